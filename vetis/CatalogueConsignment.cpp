// SPDX-License-Identifier: LicenseRef-Kestrom
// Repay and return of one incoming VSD: the application's
// inner merc:processIncomingConsignmentRequest is built from the VSD's m_VSD
// record and its m_Inside contents rows, not from the request record.
#include "store/RecordText.h"
#include "store/tables/Inside.h"
#include "store/tables/Vetis.h"
#include "store/tables/Vsd.h"
#include "vetis/ApplicationEnvelope.h"
#include "vetis/CatalogueParts.h"
#include "vetis/EnvelopeWriter.h"
#include "vetis/RequestRecord.h"

#include <algorithm>
#include <vector>

namespace vetis {

namespace {

constexpr std::string_view kInnerElement = "merc:processIncomingConsignmentRequest";

// Contents kinds of m_Inside used here.
constexpr std::int32_t kKindBatchId = 1;
constexpr std::int32_t kKindProducer = 3;
constexpr std::int32_t kKindPackage = 4;

using store::isBlank;
using store::textOf;
using store::ztextOf;

// The VSD's rows of one kind in key order (MIN:NUMBER).
std::vector<const store::InsideRecord*> rowsOfKind(std::span<const store::InsideRecord> inside,
                                                   std::string_view uuid, std::int32_t kind)
{
    std::vector<const store::InsideRecord*> rows;
    for (const store::InsideRecord& row : inside)
        if (row.VID == kind && textOf(row.UUID) == uuid)
            rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto* a, const auto* b) { return a->NUMBER < b->NUMBER; });
    return rows;
}

class ConsignmentWriter
{
public:
    ConsignmentWriter(EnvelopeWriter& w, const store::VsdRecord& vsd,
                      std::span<const store::InsideRecord> inside)
        : w(w)
        , vsd(vsd)
        , inside(inside)
        , uuid(textOf(vsd.UUID))
    {}

    void party(std::string_view tag, std::string_view entityGuid, std::string_view enterpriseGuid)
    {
        w.open(tag);
        w.guidRef("dt:businessEntity", "bs:guid", entityGuid);
        w.guidRef("dt:enterprise", "bs:guid", enterpriseGuid);
        w.close(tag);
    }

    void consignment()
    {
        w.open("vd:consignment");
        w.leafNumber("vd:productType", vsd.PRODTYPE);
        w.guidRef("vd:product", "bs:guid", textOf(vsd.PRODUCT));
        w.guidRef("vd:subProduct", "bs:guid", textOf(vsd.SUBPRODUCT));
        w.open("vd:productItem");
        if (!isBlank(textOf(vsd.PRODITEMGUID)))
            w.leafAsIs("bs:guid", textOf(vsd.PRODITEMGUID));
        w.leafEsc("dt:name", ztextOf(vsd.PRODITEMNAME));
        w.leafEsc("dt:code", ztextOf(vsd.PRODITEMCODE));
        w.close("vd:productItem");
        w.leafReal("vd:volume", vsd.KOLVO);
        w.guidRef("vd:unit", "bs:guid", textOf(vsd.UNITGUID));
        productionAndExpiry();
        for (const store::InsideRecord* row : rowsOfKind(inside, uuid, kKindBatchId))
            if (!isBlank(ztextOf(row->STR120_01)))
                w.leafEsc("vd:batchID", ztextOf(row->STR120_01));
        w.leafNumber("vd:perishable", vsd.PERISHABLE);
        w.open("vd:origin");
        w.guidRef("vd:country", "bs:guid", textOf(vsd.ORIGINCOUNTRY_GUID));
        for (const store::InsideRecord* row : rowsOfKind(inside, uuid, kKindProducer))
            producer(*row);
        w.close("vd:origin");
        w.leafNumber("vd:lowGradeCargo", vsd.LOWGRADECARGO);
        packageList();
        w.close("vd:consignment");
    }

    // Broker, transport and storage type on one line that the accompanying
    // forms continue; the certificate part differs between delivery and return.
    void brokerTransportForms(bool authenticatedCertificate)
    {
        const bool breaks = w.setBreaks(false);
        if (!isBlank(textOf(vsd.BROKER)))
            w.guidRef("vd:broker", "bs:guid", textOf(vsd.BROKER));
        transport();
        if (!isBlank(ztextOf(vsd.TRSTORAGETYPE)))
            w.leafAsIs("vd:transportStorageType", ztextOf(vsd.TRSTORAGETYPE));
        w.setBreaks(breaks);
        w.open("vd:accompanyingForms");
        if (vsd.TTN_TYPE != 0) {
            w.open("vd:waybill");
            if (!isBlank(ztextOf(vsd.TTN_SERIES)))
                w.leafEsc("vd:issueSeries", ztextOf(vsd.TTN_SERIES));
            if (!isBlank(ztextOf(vsd.TTN_NUMBER)))
                w.leafEsc("vd:issueNumber", ztextOf(vsd.TTN_NUMBER));
            if (!isBlank(ztextOf(vsd.TTN_DATE)))
                w.leafAsIs("vd:issueDate", ztextOf(vsd.TTN_DATE));
            w.leafNumber("vd:type", vsd.TTN_TYPE);
            w.close("vd:waybill");
        }
        w.open("vd:vetCertificate");
        if (authenticatedCertificate) {
            w.open("vd:authentication");
            w.guidRef("vd:purpose", "bs:guid", textOf(vsd.PURPOSE));
            w.leafNumber("vd:cargoInspected", vsd.CARGOINSPECTED);
            w.leafAsIs("vd:cargoExpertized", ztextOf(vsd.CARGOEXPERTIZED));
            w.leafEsc("vd:locationProsperity", ztextOf(vsd.PROSPERITY));
            w.close("vd:authentication");
        } else {
            w.leafAsIs("bs:uuid", uuid);
        }
        w.close("vd:vetCertificate");
        w.close("vd:accompanyingForms");
    }

    void deliveryFacts(std::string_view login, std::string_view decision)
    {
        w.open("merc:deliveryFacts");
        w.leaf("vd:vetCertificatePresence", "ELECTRONIC");
        for (const std::string_view inspection : {"vd:docInspection", "vd:vetInspection"}) {
            w.open(inspection);
            w.open("vd:responsible");
            w.leafAsIs("vd:login", login);
            w.close("vd:responsible");
            w.leaf("vd:result", "CORRESPONDS");
            w.close(inspection);
        }
        w.leaf("vd:decision", decision);
        w.close("merc:deliveryFacts");
    }

private:
    // A date of production or expiry: parts outside their ranges are left out.
    void datePart(std::string_view tag, unsigned year, unsigned month, unsigned day, unsigned hour,
                  bool yearAlways)
    {
        w.open(tag);
        if (yearAlways || year != 0)
            w.leafNumber("dt:year", year);
        if (month >= 1 && month <= 12)
            w.leafNumber("dt:month", month);
        if (day >= 1 && day <= 31)
            w.leafNumber("dt:day", day);
        if (hour >= 1 && hour <= 23)
            w.leafNumber("dt:hour", hour);
        w.close(tag);
    }

    // Written without line breaks; the next element follows directly.
    void productionAndExpiry()
    {
        const bool breaks = w.setBreaks(false);
        w.open("vd:dateOfProduction");
        datePart("vd:firstDate", vsd.PROYEAR1, vsd.PROMONTH1, vsd.PRODAY1, vsd.PROHOUR1, true);
        if (vsd.PRODATE2 != 0)
            datePart("vd:secondDate", vsd.PROYEAR2, vsd.PROMONTH2, vsd.PRODAY2, vsd.PROHOUR2, false);
        if (!isBlank(ztextOf(vsd.PROINFORMALDATE)))
            w.leafEsc("vd:informalDate", ztextOf(vsd.PROINFORMALDATE));
        w.close("vd:dateOfProduction");
        if (vsd.EXPDATE1 != 0 || vsd.EXPDATE2 != 0) {
            w.open("vd:expiryDate");
            if (vsd.EXPDATE1 != 0)
                datePart("vd:firstDate", vsd.EXPYEAR1, vsd.EXPMONTH1, vsd.EXPDAY1, vsd.EXPHOUR1, false);
            if (vsd.EXPDATE2 != 0)
                datePart("vd:secondDate", vsd.EXPYEAR2, vsd.EXPMONTH2, vsd.EXPDAY2, vsd.EXPHOUR2, false);
            if (!isBlank(ztextOf(vsd.EXPINFORMALDATE)))
                w.leafEsc("vd:informalDate", ztextOf(vsd.EXPINFORMALDATE));
            w.close("vd:expiryDate");
        }
        w.setBreaks(breaks);
    }

    void producer(const store::InsideRecord& row)
    {
        w.open("vd:producer");
        w.open("dt:enterprise");
        // Producers are often known by GUID only; an empty bs:uuid would make
        // the service refuse the whole repay, so a blank one is left out.
        if (!isBlank(textOf(row.GUID2)))
            w.leafAsIs("bs:uuid", textOf(row.GUID2));
        w.leafAsIs("bs:guid", textOf(row.GUID1));
        if (!isBlank(ztextOf(row.STR250_01)))
            w.leafEsc("dt:name", ztextOf(row.STR250_01));
        w.close("dt:enterprise");
        w.leafAsIs("dt:role", ztextOf(row.STR40_01));
        w.close("vd:producer");
    }

    void packageList()
    {
        bool opened = false;
        for (const store::InsideRecord* row : rowsOfKind(inside, uuid, kKindPackage)) {
            if (row->BYTE_01 == 0)
                continue;
            if (!opened)
                w.open("vd:packageList");
            opened = true;
            w.open("dt:package");
            w.leafNumber("dt:level", row->BYTE_01);
            w.open("dt:packingType");
            w.leafAsIs("bs:guid", textOf(row->GUID1));
            w.leafAsIs("dt:globalID", ztextOf(row->STR40_01));
            w.leafEsc("dt:name", ztextOf(row->STR250_01));
            w.close("dt:packingType");
            w.leafAsIs("dt:quantity", ztextOf(row->STR40_02));
            w.close("dt:package");
        }
        if (opened)
            w.close("vd:packageList");
    }

    // The second transport set (the last route point) wins over the first.
    void transport()
    {
        const bool second = vsd.TRANSPORTTYPE2 != 0;
        if (!second && vsd.TRANSPORTTYPE1 == 0)
            return;
        const std::pair<std::string_view, std::string_view> numbers[] = {
            {"vd:containerNumber", second ? ztextOf(vsd.CONTAINERNUMBER2) : ztextOf(vsd.CONTAINERNUMBER1)},
            {"vd:wagonNumber", second ? ztextOf(vsd.WAGONNUMBER2) : ztextOf(vsd.WAGONNUMBER1)},
            {"vd:vehicleNumber", second ? ztextOf(vsd.VEHICLENUMBER2) : ztextOf(vsd.VEHICLENUMBER1)},
            {"vd:trailerNumber", second ? ztextOf(vsd.TRAILERNUMBER2) : ztextOf(vsd.TRAILERNUMBER1)},
            {"vd:shipName", second ? ztextOf(vsd.SHIPNAME2) : ztextOf(vsd.SHIPNAME1)},
            {"vd:flightNumber", second ? ztextOf(vsd.FLIGHTNUMBER2) : ztextOf(vsd.FLIGHTNUMBER1)},
        };
        w.open("vd:transportInfo");
        w.leafNumber("vd:transportType", second ? vsd.TRANSPORTTYPE2 : vsd.TRANSPORTTYPE1);
        w.open("vd:transportNumber");
        for (const auto& [tag, value] : numbers)
            if (!isBlank(value))
                w.leafEsc(tag, value);
        w.close("vd:transportNumber");
        w.close("vd:transportInfo");
    }

    EnvelopeWriter& w;
    const store::VsdRecord& vsd;
    std::span<const store::InsideRecord> inside;
    std::string_view uuid;
};

} // namespace

void writeConsignmentEnvelope(bool isReturn, const RequestRecord& r, const store::VetisRecord& s,
                              const store::VsdRecord& vsd, std::span<const store::InsideRecord> inside,
                              std::string& out)
{
    EnvelopeWriter w(out, LineStyle::Multi);
    ConsignmentWriter c(w, vsd, inside);
    beginApplication(w, s, r, true, kInnerElement);
    w.open("merc:delivery");
    w.leafAsIs("vd:deliveryDate", ztextOf(r.ISSUEDATE));
    c.party("vd:consignor", textOf(vsd.CONSIGNORHS), textOf(vsd.CONSIGNORENT));
    c.party("vd:consignee", textOf(vsd.CONSIGNEEHS), textOf(vsd.CONSIGNEEENT));
    if (!isReturn)
        c.consignment();
    c.brokerTransportForms(false);
    w.close("merc:delivery");
    c.deliveryFacts(ztextOf(s.WEBLOGIN), isReturn ? "RETURN_ALL" : "ACCEPT_ALL");
    if (isReturn) {
        w.open("merc:returnedDelivery");
        c.party("vd:consignor", textOf(vsd.CONSIGNEEHS), textOf(vsd.CONSIGNEEENT));
        c.party("vd:consignee", textOf(vsd.CONSIGNORHS), textOf(vsd.CONSIGNORENT));
        c.consignment();
        c.brokerTransportForms(true);
        w.close("merc:returnedDelivery");
    }
    endApplication(w, kInnerElement);
}

} // namespace vetis
