// SPDX-License-Identifier: LicenseRef-Kestrom
// The Mercury g2b operations other than repay and return (the modifications of
// an enterprise, the VSD, user and stock entry lists and one VSD by its UUID);
// each travels inside an application.
#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis/ApplicationEnvelope.h"
#include "vetis/CatalogueParts.h"
#include "vetis/EnvelopeWriter.h"
#include "vetis/RequestRecord.h"

namespace vetis {

namespace {

// The fixed address of the test enterprise created by ModifyEnterprise: Russia and a
// region, district and locality of it.
constexpr std::string_view kRussiaGuid = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";
constexpr std::string_view kTestRegionGuid = "f10763dc-63e3-48db-83e1-9c566fe3092b";
constexpr std::string_view kTestDistrictGuid = "fd56a552-3bfc-4bbd-853f-297a8db00034";
constexpr std::string_view kTestLocalityGuid = "c07d0c34-eadb-4102-bcef-7dd1a3ba27c3";
// Fixed Russian texts, already UTF-8 and free of special characters.
constexpr std::string_view kTestActivityName = "Торгуем всем что движется";
constexpr std::string_view kTestEnterpriseReason = "Тестовое предприятие для гашения ВСД";

void writeModifyEnterprise(const RequestRecord& r, const store::VetisRecord& s, EnvelopeWriter& w)
{
    w.open("merc:modificationOperation");
    w.leaf("vd:type", "CREATE");
    w.open("vd:resultingList");
    w.open("dt:enterprise");
    w.leafEsc("dt:name", store::ztextOf(r.P1));
    w.leaf("dt:type", "1");
    w.open("dt:address");
    w.guidRef("dt:country", "bs:guid", kRussiaGuid);
    w.guidRef("dt:region", "bs:guid", kTestRegionGuid);
    w.guidRef("dt:district", "bs:guid", kTestDistrictGuid);
    w.guidRef("dt:locality", "bs:guid", kTestLocalityGuid);
    w.leafEsc("dt:addressView", store::ztextOf(r.P2));
    w.close("dt:address");
    w.open("dt:activityList");
    w.open("dt:activity");
    w.leaf("dt:name", kTestActivityName);
    w.close("dt:activity");
    w.close("dt:activityList");
    w.guidRef("dt:owner", "bs:guid", store::textOf(s.GUID));
    w.close("dt:enterprise");
    w.close("vd:resultingList");
    w.leaf("vd:reason", kTestEnterpriseReason);
    w.close("merc:modificationOperation");
}

void writeModifyActivityLocations(const RequestRecord& r, EnvelopeWriter& w)
{
    w.open("merc:modificationOperation");
    w.leaf("vd:type", "CREATE");
    w.guidRef("vd:businessEntity", "bs:guid", store::ztextOf(r.P1));
    w.open("vd:activityLocation");
    w.guidRef("vd:enterprise", "bs:guid", store::ztextOf(r.P2));
    w.close("vd:activityLocation");
    w.close("merc:modificationOperation");
}

void writeVetDocumentList(const RequestRecord& r, EnvelopeWriter& w)
{
    w.listOptions("bs", r.COUNT, r.OFFSET);
    w.leafAsIs("vd:vetDocumentType", store::ztextOf(r.P3));
    if (!store::isBlank(store::ztextOf(r.P4)))
        w.leafAsIs("vd:vetDocumentStatus", store::ztextOf(r.P4));
    if (r.DATE1 != 0 && r.DATE2 != 0) {
        w.open("vd:issueDateInterval");
        w.dateInterval(r.DATE1, r.DATE2);
        w.close("vd:issueDateInterval");
    }
    w.leafAsIs("dt:enterpriseGuid", store::ztextOf(r.P2));
}

void writeStockEntryList(const RequestRecord& r, EnvelopeWriter& w)
{
    w.listOptions("bs", r.COUNT, r.OFFSET);
    w.leafAsIs("dt:enterpriseGuid", store::ztextOf(r.P2));
    w.open("merc:searchPattern");
    w.leafAsIs("vd:blankFilter", store::ztextOf(r.P3));
    if (r.DATE1 != 0 && r.DATE2 != 0) {
        w.open("vd:receiptDateInterval");
        w.dateInterval(r.DATE1, r.DATE2);
        w.close("vd:receiptDateInterval");
    }
    w.close("merc:searchPattern");
}

} // namespace

void writeApplicationEnvelope(RequestCode code, const RequestRecord& r, const store::VetisRecord& s,
                              std::string& out)
{
    EnvelopeWriter w(out, LineStyle::Multi);
    std::string_view inner;
    switch (code) {
    case RequestCode::ModifyEnterprise:
        inner = "merc:modifyEnterpriseRequest";
        beginApplication(w, s, r, true, inner);
        writeModifyEnterprise(r, s, w);
        break;
    case RequestCode::ModifyActivityLocations:
        inner = "merc:modifyActivityLocationsRequest";
        beginApplication(w, s, r, false, inner);
        writeModifyActivityLocations(r, w);
        break;
    case RequestCode::VetDocumentList:
        inner = "merc:getVetDocumentListRequest";
        beginApplication(w, s, r, true, inner);
        writeVetDocumentList(r, w);
        break;
    case RequestCode::BusinessEntityUserList:
        inner = "merc:getBusinessEntityUserListRequest";
        beginApplication(w, s, r, false, inner);
        w.listOptions("bs", r.COUNT, r.OFFSET);
        break;
    case RequestCode::StockEntryList:
        inner = "merc:getStockEntryListRequest";
        beginApplication(w, s, r, true, inner);
        writeStockEntryList(r, w);
        break;
    case RequestCode::VetDocumentByUuid:
        // The VSD's UUID and the enterprise that sees it (its consignee).
        inner = "merc:getVetDocumentByUuidRequest";
        beginApplication(w, s, r, true, inner);
        w.leafAsIs("bs:uuid", store::textOf(r.UUID));
        w.leafAsIs("dt:enterpriseGuid", store::ztextOf(r.P2));
        break;
    default:
        return;
    }
    endApplication(w, inner);
}

} // namespace vetis
