// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/DictionaryRefresh.h"

#include "framework/MessageBox.h"
#include "platform/Dates.h"
#include "responses/DictionaryKinds.h"
#include "responses/FieldValue.h"
#include "responses/ListCatalogue.h"
#include "responses/ListPages.h"
#include "responses/ResponseList.h"
#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Refs.h"
#include "vetis/Exchange.h"
#include "vetis/RequestCodes.h"
#include "vetis/RequestRecord.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace responses {

namespace {

// Every page of the service's list into `rows`; false when a page failed.
bool readAllPages(const DictionaryKind& k, const ListLayout& layout, vetis::ExchangeContext& context,
                  std::string_view parent, std::string_view entityGuid, vetis::TransferControl* control,
                  ResponseList& rows, int& pages)
{
    std::string p1;
    if (k.param == Param::Parent)
        p1 = parent;
    else if (k.param == Param::ProductType)
        p1 = std::to_string(parent.size() >= 5 ? std::atoi(std::string(parent.substr(3, 2)).c_str()) : 0);
    for (pages = 1; pages <= kMaxListPages; ++pages) {
        if (control && control->cancelRequested())
            return false;
        vetis::RequestRecord request;
        request.control = control;
        request.setRequestCode(k.request);
        request.COUNT = kListPageSize;
        request.OFFSET = kListPageSize * (pages - 1);
        request.INDICATOR = 16;
        store::setText(request.VETISGUID, entityGuid);
        store::setZText(request.ROWTAG, layout.rowTag);
        store::setZText(request.P1, p1);
        ResponseList page(layout);
        request.lists[0] = &page;
        if (!vetis::Exchange(request, context))
            return false;
        for (std::size_t i = 0; i < page.count(); ++i)
            if (!rows.add(page.row(i)))
                return false;
        if (!listHasMorePages(request))
            return true;
    }
    return true;
}

} // namespace

bool isRefreshableKind(int kind)
{
    return dictionaryKind(kind) != nullptr;
}

RefreshOutcome refreshDictionary(store::Session& session, vetis::ExchangeContext& context, int kind,
                                 std::string_view parent, std::string_view entityGuid,
                                 framework::MessagePresenter& presenter, vetis::TransferControl* control)
{
    RefreshOutcome outcome;
    const DictionaryKind* k = dictionaryKind(kind);
    if (!k) {
        framework::informationMessage(presenter, QStringLiteral("Неизвестный номер справочника: ") +
                                                     QString::number(kind) + QStringLiteral(" !"));
        return outcome;
    }
    const ListLayout& layout = *findListKind(k->list)->main;

    // The service first, so that no lock is held while it answers.
    ResponseList rows(layout);
    if (!readAllPages(*k, layout, context, parent, entityGuid, control, rows, outcome.pages))
        return outcome; // the exchange has told the user why, or the user stopped it; nothing changed
    const auto guidOf = [&](const std::byte* row) { return listValue(layout, row, "GUID"); };
    if (!rows.sortRows([&](const std::byte* a, const std::byte* b) { return guidOf(a) < guidOf(b); }))
        return outcome;

    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    store::Transaction transaction(session, {&refs}, store::kDataLockTimeoutSeconds);
    if (refs.open() != store::kOk || transaction.start() != store::kOk) {
        framework::informationMessage(presenter,
                                      QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
        return outcome;
    }
    const auto failed = [&] {
        transaction.rollback();
        outcome.stored = 0;
        framework::informationMessage(presenter, QString::fromUtf8(k->failure));
        return outcome;
    };
    if (rows.empty()) { // nothing listed: nothing deleted
        if (transaction.commit() != store::kOk)
            return failed();
        outcome.ok = true;
        return outcome;
    }

    // Delete pass: local entries of the kind and parent the list does not name.
    std::vector<std::string> listed;
    listed.reserve(rows.count());
    for (std::size_t i = 0; i < rows.count(); ++i)
        listed.push_back(guidOf(rows.row(i)));
    std::vector<std::string> gone;
    refs.clear();
    refs.rec().VID = static_cast<std::uint8_t>(kind);
    store::setZText(refs.rec().PARENT, parent);
    if (refs.set("MRE:BYNAME", 2) != store::kOk)
        return failed();
    for (int rc = refs.next();; rc = refs.next()) {
        if (rc == store::kRecordNotFound)
            break;
        if (rc != store::kOk)
            return failed();
        if (refs.rec().VID != kind || store::ztextOf(refs.rec().PARENT) != parent)
            break;
        const std::string guid(store::textOf(refs.rec().GUID));
        if (!std::binary_search(listed.begin(), listed.end(), guid))
            gone.push_back(guid);
    }
    for (const std::string& guid : gone) {
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        if (refs.fetch("MRE:BYGUID") != store::kOk || refs.deleteRecord() != store::kOk)
            return failed();
    }

    // Store pass, in GUID order, each GUID once.
    for (std::size_t i = 0; i < rows.count(); ++i) {
        const std::string guid = listed[i];
        if (guid.empty() || (kind == 13 && guid.size() != 36) || (i > 0 && listed[i - 1] == guid))
            continue;
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        const int found = refs.fetch("MRE:BYGUID");
        if (found != store::kOk && found != store::kRecordNotFound)
            return failed();
        if (found == store::kRecordNotFound) {
            refs.clear();
            refs.rec().VID = static_cast<std::uint8_t>(kind);
            store::setText(refs.rec().GUID, guid);
            store::setZText(refs.rec().PARENT,
                            kind == 12 ? productTypeParent(layout, rows.row(i)) : std::string(parent));
        }
        mapDictionaryRow(*k, layout, rows.row(i), refs.rec());
        if ((found == store::kOk ? refs.put() : refs.add()) != store::kOk)
            return failed();
        ++outcome.stored;
    }
    if (transaction.commit() != store::kOk)
        return failed();
    outcome.ok = true;
    framework::informationMessage(presenter, QString::fromUtf8(k->success) + QString::number(outcome.stored));
    return outcome;
}

} // namespace responses
