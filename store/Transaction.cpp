// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Transaction.h"

#include "framework/LastError.h"
#include "store/Connection.h"
#include "store/ErrorCodes.h"
#include "store/Table.h"

namespace store {

Transaction::Transaction(Session& session, std::initializer_list<Table*> tables, int timeoutSeconds)
    : m_session(session)
    , m_tables(tables)
    , m_timeoutSeconds(timeoutSeconds)
{}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

int Transaction::start()
{
    const std::string firstFile = m_tables.empty() ? std::string() : m_tables.front()->m_path;
    if (m_active || m_session.inTransaction()) {
        framework::setLastError(kTransactionActive, firstFile);
        return kTransactionActive;
    }
    std::vector<AttachedFile*> files;
    for (Table* table : m_tables) {
        if (!table->isOpen() || &table->session() != &m_session) {
            framework::setLastError(kFileNotOpen, table->m_path);
            return kFileNotOpen;
        }
        files.push_back(table->m_file);
    }
    sqlite::DbError err;
    if (m_session.connection().begin(files, m_timeoutSeconds, err) != kOk) {
        framework::setLastError(err.code, firstFile, err.sqliteCode, err.text);
        return err.code;
    }
    m_active = true;
    return kOk;
}

int Transaction::commit()
{
    const std::string firstFile = m_tables.empty() ? std::string() : m_tables.front()->m_path;
    if (!m_active) {
        framework::setLastError(kFileNotOpen, firstFile, 0, "no transaction is active");
        return kFileNotOpen;
    }
    m_active = false;
    sqlite::DbError err;
    if (m_session.connection().commit(err) != kOk) {
        framework::setLastError(err.code, firstFile, err.sqliteCode, err.text);
        return err.code;
    }
    return kOk;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_session.connection().rollback();
}

} // namespace store
