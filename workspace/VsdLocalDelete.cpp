// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdLocalDelete.h"

#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"

namespace workspace {

LocalDeleteResult deleteVsdsLocally(store::Session& session, const std::vector<std::string>& uuids,
                                    int* deleted)
{
    if (deleted)
        *deleted = 0;
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    store::TypedTable<store::InsideRecord> inside(session, store::insideTable());
    store::Transaction transaction(session, {&vsds, &inside}, store::kDataLockTimeoutSeconds);
    if (vsds.open() != store::kOk || inside.open() != store::kOk || transaction.start() != store::kOk)
        return LocalDeleteResult::NoAccess;
    int count = 0;
    for (const std::string& uuid : uuids) {
        vsds.clear();
        store::setText(vsds.rec().UUID, uuid);
        const int found = vsds.fetch("MVD:BYUUID");
        if (found == store::kRecordNotFound)
            continue;
        inside.clear();
        store::setText(inside.rec().UUID, uuid);
        if (found != store::kOk || inside.deleteEqual("MIN:BYUUID", 1) != store::kOk ||
            vsds.deleteRecord() != store::kOk) {
            transaction.rollback();
            return LocalDeleteResult::Failed;
        }
        ++count;
    }
    if (transaction.commit() != store::kOk)
        return LocalDeleteResult::Failed;
    if (deleted)
        *deleted = count;
    return LocalDeleteResult::Deleted;
}

} // namespace workspace
