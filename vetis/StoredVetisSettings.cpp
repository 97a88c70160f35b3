// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/StoredVetisSettings.h"

#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Transaction.h"

namespace vetis {

using VetisTable = store::TypedTable<store::VetisRecord>;

StoredVetisSettings::StoredVetisSettings(store::Session& session)
    : m_session(session)
{}

int StoredVetisSettings::openAt(VetisTable& table, std::string_view guid)
{
    if (int rc = table.open(); rc != store::kOk)
        return rc;
    table.clear();
    store::setText(table.rec().GUID, store::clip(guid));
    return table.fetch("MVS:BYGUID");
}

std::optional<store::VetisRecord> StoredVetisSettings::find(std::string_view guid)
{
    VetisTable table(m_session, store::vetisTable());
    if (openAt(table, guid) != store::kOk)
        return std::nullopt;
    return table.rec();
}

int StoredVetisSettings::add(const store::VetisRecord& record)
{
    VetisTable table(m_session, store::vetisTable());
    if (int rc = table.open(); rc != store::kOk)
        return rc;
    table.rec() = record;
    return table.add();
}

int StoredVetisSettings::put(const store::VetisRecord& record)
{
    VetisTable table(m_session, store::vetisTable());
    if (int rc = openAt(table, store::textOf(record.GUID)); rc != store::kOk)
        return rc;
    table.rec() = record;
    return table.put();
}

int StoredVetisSettings::remove(std::string_view guid)
{
    VetisTable table(m_session, store::vetisTable());
    if (int rc = openAt(table, guid); rc != store::kOk)
        return rc;
    return table.deleteRecord();
}

} // namespace vetis
