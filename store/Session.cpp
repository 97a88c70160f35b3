// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Session.h"

#include "platform/Paths.h"
#include "store/Connection.h"
#include "store/FieldDef.h"
#include "store/Table.h"

#include <QDir>

namespace store {

namespace {
QString folderWithSlash(const QString& folder)
{
    return platform::withTrailingSlash(
        QDir::fromNativeSeparators(folder.isEmpty() ? QDir::currentPath() : folder));
}

// The empty database every connection of a data folder opens as its main
// database. SQLite writes the super-journal of a commit over several files
// beside it, so it lies with the tables. Whether it can be had is decided when
// the connection opens, not here: the folder may not exist yet.
std::string anchorPath(const QString& dataFolder)
{
    return (dataFolder + QStringLiteral("Base/commit.db")).toStdString();
}
} // namespace

Session::Session(const QString& dataFolder, const QString& listFormatFile, Access access)
    : m_dataFolder(folderWithSlash(dataFolder))
    , m_listFormatFile(listFormatFile)
    , m_access(access)
    // A session that only reads commits nothing, so it needs no anchor (and
    // must not create one).
    , m_connection(std::make_unique<Connection>(
          access == Access::ReadOnly ? std::string() : anchorPath(m_dataFolder), access == Access::ReadOnly))
{}

Session::~Session()
{
    m_related.clear();
    // Tables that outlive their session are closed and cut loose.
    for (Table* table : std::set<Table*>(m_tables)) {
        table->close();
        table->m_session = nullptr;
    }
    m_tables.clear();
}

QString Session::filePath(const TableDef& def) const
{
    const QString name = QString::fromUtf8(def.fileName.data(), static_cast<qsizetype>(def.fileName.size()));
    switch (def.storage) {
    case Storage::SharedMemory:
    case Storage::ThreadMemory:
        return name;
    case Storage::ListFormat:
        if (!m_listFormatFile.isEmpty())
            return QDir::isAbsolutePath(m_listFormatFile) ? m_listFormatFile
                                                          : m_dataFolder + m_listFormatFile;
        return m_dataFolder + name;
    default:
        return m_dataFolder + name;
    }
}

bool Session::inTransaction() const
{
    return m_connection->inTransaction();
}

void Session::holdReads(bool hold)
{
    m_connection->holdReads(hold);
}

Table* Session::relatedTable(const TableDef& def)
{
    auto& slot = m_related[&def];
    if (!slot)
        slot = std::make_unique<Table>(*this, def);
    if (!slot->isOpen() && slot->open() != 0)
        return nullptr;
    return slot.get();
}

} // namespace store
