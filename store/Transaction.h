// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/Session.h"

#include <initializer_list>
#include <vector>

namespace store {

class Table;

// A change of several tables that is kept whole or not at all. start() takes
// the write lock of every named table, waiting up to the time-out (32 when a
// lock cannot be had); the tables must be open. Until commit() every write of
// the session belongs to the transaction; a transaction that is neither
// committed nor rolled back is rolled back when the object goes. A commit that
// fails (lock time-out, full disk, I/O error) is rolled back: every file stays
// at its last committed state.
//
//     Transaction t(session, {&vsd, &inside}, kDataLockTimeoutSeconds);
//     if (t.start() != kOk) -> "Нет доступа ..."
//     ... writes; on a failed write: t.rollback();
//     t.commit();
class Transaction final
{
public:
    Transaction(Session& session, std::initializer_list<Table*> tables,
                int timeoutSeconds = kDataLockTimeoutSeconds);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    [[nodiscard]] int start();
    [[nodiscard]] int commit();
    void rollback();
    bool active() const { return m_active; }

private:
    Session& m_session;
    std::vector<Table*> m_tables;
    int m_timeoutSeconds;
    bool m_active = false;
};

} // namespace store
