// SPDX-License-Identifier: LicenseRef-Kestrom
// Whole envelopes of the repay (55) and return (56) of a VSD, byte for byte.
#include "CatalogueConsignmentFixture.h"
#include "CatalogueTestSupport.h"
#include "vetis/Catalogue.h"

#include <gtest/gtest.h>
#include <vector>

using namespace cataloguetest;
using vetis::RequestCode;

namespace {

using Lines = std::vector<std::string>;

void append(Lines& to, const Lines& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

std::string join(const Lines& lines)
{
    std::string out;
    for (std::size_t n = 0; n < lines.size(); ++n)
        out += lines[n] + (n + 1 < lines.size() ? "\r\n" : "");
    return out;
}

Lines wrapperHead()
{
    return {
        R"(<SOAP-ENV:Envelope xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2" xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:merc="http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2" xmlns:apldef="http://api.vetrf.ru/schema/cdm/application/ws-definitions" xmlns:apl="http://api.vetrf.ru/schema/cdm/application" xmlns:vd="http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2" xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/">)",
        "<SOAP-ENV:Header/>",
        "<SOAP-ENV:Body>",
        "<apldef:submitApplicationRequest>",
        "<apldef:apiKey>MzY0YWJjZGVmMTIzNDU2Nzg5MA==</apldef:apiKey>",
        "<apl:application>",
        "<apl:serviceId>mercury-g2b.service:2.1</apl:serviceId>",
        "<apl:issuerId>400cb70f-964e-43c0-b4a3-165de1ab3e01</apl:issuerId>",
        "<apl:issueDate>2024-05-15T10:20:30</apl:issueDate>",
        "<apl:data>",
        "<merc:processIncomingConsignmentRequest>",
        "<merc:localTransactionId>Zanvs_3723001</merc:localTransactionId>",
        "<merc:initiator>",
        "<vd:login>user_ab_150101</vd:login>",
        "</merc:initiator>",
    };
}

Lines wrapperTail()
{
    return {"</merc:processIncomingConsignmentRequest>", "</apl:data>",      "</apl:application>",
            "</apldef:submitApplicationRequest>",        "</SOAP-ENV:Body>", "</SOAP-ENV:Envelope>"};
}

Lines party(const std::string& tag, const std::string& entity, const std::string& enterprise)
{
    return {"<" + tag + ">",        "<dt:businessEntity>", "<bs:guid>" + entity + "</bs:guid>",
            "</dt:businessEntity>", "<dt:enterprise>",     "<bs:guid>" + enterprise + "</bs:guid>",
            "</dt:enterprise>",     "</" + tag + ">"};
}

const std::string kConsignorHs = "79c8c292-6b94-45b5-b498-82321e35049e";
const std::string kConsignorEnt = "eb7a7995-9588-432d-8242-aadbc8f429a4";
const std::string kConsigneeHs = "515c6123-6c88-4537-bcf3-bd58da60fb1c";
const std::string kConsigneeEnt = "88718c96-6f3d-48f7-b4b1-b64633be40f5";

// The consignment of the full fixture VSD.
Lines fullConsignment()
{
    return {
        "<vd:consignment>",
        "<vd:productType>1</vd:productType>",
        "<vd:product>",
        "<bs:guid>b039ee16-9646-4718-8f3d-9a4de6cf02bb</bs:guid>",
        "</vd:product>",
        "<vd:subProduct>",
        "<bs:guid>e085b021-e0d4-4f2b-935a-b03d8de49eb1</bs:guid>",
        "</vd:subProduct>",
        "<vd:productItem>",
        "<bs:guid>428474c1-5e9e-4ba7-a6a8-6bd5a7550d23</bs:guid>",
        "<dt:name>Говядина &amp; кости, охл.</dt:name>",
        "<dt:code>4401</dt:code>",
        "</vd:productItem>",
        "<vd:volume>812.4</vd:volume>",
        "<vd:unit>",
        "<bs:guid>21ed96c9-337b-4a27-8761-c6e6ad3c9f5b</bs:guid>",
        "</vd:unit>",
        "<vd:dateOfProduction><vd:firstDate><dt:year>2024</dt:year><dt:month>5</dt:month><dt:day>9</dt:day>"
        "</vd:firstDate></vd:dateOfProduction><vd:expiryDate><vd:firstDate><dt:year>2024</dt:year>"
        "<dt:month>5</dt:month><dt:day>21</dt:day></vd:firstDate><vd:secondDate><dt:year>2024</dt:year>"
        "<dt:month>5</dt:month><dt:day>23</dt:day><dt:hour>14</dt:hour></vd:secondDate></vd:expiryDate>"
        "<vd:batchID>4401-A</vd:batchID>",
        "<vd:batchID>4401-B</vd:batchID>",
        "<vd:perishable>1</vd:perishable>",
        "<vd:origin>",
        "<vd:country>",
        "<bs:guid>74a3cbb1-56fa-94f3-ab3f-e8db4940d96b</bs:guid>",
        "</vd:country>",
        "<vd:producer>",
        "<dt:enterprise>",
        "<bs:uuid>3f0279a1-abe7-420e-89e0-b9583a589e65</bs:uuid>",
        "<bs:guid>eb7a7995-9588-432d-8242-aadbc8f429a4</bs:guid>",
        "<dt:name>Мясокомбинат &quot;Восход&quot;</dt:name>",
        "</dt:enterprise>",
        "<dt:role>SLAUGHTER_HOUSE</dt:role>",
        "</vd:producer>",
        "<vd:producer>",
        "<dt:enterprise>",
        "<bs:uuid>5043796d-4061-4823-9b39-320448410fe3</bs:uuid>",
        "<bs:guid>4a894db7-e48f-42b9-aa5d-670af9a3638e</bs:guid>",
        "</dt:enterprise>",
        "<dt:role>CUTTING_PLANT</dt:role>",
        "</vd:producer>",
        "</vd:origin>",
        "<vd:lowGradeCargo>0</vd:lowGradeCargo>",
        "<vd:packageList>",
        "<dt:package>",
        "<dt:level>4</dt:level>",
        "<dt:packingType>",
        "<bs:guid>c10c2788-a8e1-4980-86f6-d2e1c91d6da3</bs:guid>",
        "<dt:globalID>BX</dt:globalID>",
        "<dt:name>Коробка</dt:name>",
        "</dt:packingType>",
        "<dt:quantity>50</dt:quantity>",
        "</dt:package>",
        "<dt:package>",
        "<dt:level>6</dt:level>",
        "<dt:packingType>",
        "<bs:guid>f46cc4e4-3e4b-4e1c-9dfd-5a4b3d6b3a77</bs:guid>",
        "<dt:globalID>PX</dt:globalID>",
        "<dt:name>Поддон</dt:name>",
        "</dt:packingType>",
        "<dt:quantity>1</dt:quantity>",
        "</dt:package>",
        "</vd:packageList>",
        "</vd:consignment>",
    };
}

// Transport and storage type of the fixture, with the start of the forms.
const std::string kTransportLine =
    "<vd:transportInfo><vd:transportType>1</vd:transportType><vd:transportNumber>"
    "<vd:vehicleNumber>А123ВС163</vd:vehicleNumber><vd:trailerNumber>АВ1234 63</vd:trailerNumber>"
    "</vd:transportNumber></vd:transportInfo><vd:transportStorageType>CHILLED</vd:transportStorageType>"
    "<vd:accompanyingForms>";

Lines waybill()
{
    return {"<vd:waybill>",
            "<vd:issueSeries>ТТН</vd:issueSeries>",
            "<vd:issueNumber>1003</vd:issueNumber>",
            "<vd:issueDate>2024-05-13</vd:issueDate>",
            "<vd:type>1</vd:type>",
            "</vd:waybill>"};
}

Lines deliveryFacts(const std::string& decision)
{
    return {"<merc:deliveryFacts>",
            "<vd:vetCertificatePresence>ELECTRONIC</vd:vetCertificatePresence>",
            "<vd:docInspection>",
            "<vd:responsible>",
            "<vd:login>user_ab_150101</vd:login>",
            "</vd:responsible>",
            "<vd:result>CORRESPONDS</vd:result>",
            "</vd:docInspection>",
            "<vd:vetInspection>",
            "<vd:responsible>",
            "<vd:login>user_ab_150101</vd:login>",
            "</vd:responsible>",
            "<vd:result>CORRESPONDS</vd:result>",
            "</vd:vetInspection>",
            "<vd:decision>" + decision + "</vd:decision>",
            "</merc:deliveryFacts>"};
}

std::string build(RequestCode code, const store::VsdRecord& vsd, std::span<const store::InsideRecord> rows)
{
    vetis::RequestRecord r = makeRequest(code);
    const store::VetisRecord settings = makeSettings();
    std::string out;
    EXPECT_EQ(vetis::BuildEnvelope(r, settings, &vsd, rows, out), 1);
    return out;
}

} // namespace

TEST(CatalogueConsignment, RepayOfAFullVsd)
{
    const consignmentfixture::Vsd fixture = consignmentfixture::fullVsd();
    Lines expected = wrapperHead();
    append(expected, {"<merc:delivery>", "<vd:deliveryDate>2024-05-15T10:20:30</vd:deliveryDate>"});
    append(expected, party("vd:consignor", kConsignorHs, kConsignorEnt));
    append(expected, party("vd:consignee", kConsigneeHs, kConsigneeEnt));
    append(expected, fullConsignment());
    expected.push_back(kTransportLine);
    append(expected, waybill());
    append(expected, {"<vd:vetCertificate>", "<bs:uuid>0d6fc2f2-7c44-4cbb-a0d3-1f5ee8b1b6f4</bs:uuid>",
                      "</vd:vetCertificate>", "</vd:accompanyingForms>", "</merc:delivery>"});
    append(expected, deliveryFacts("ACCEPT_ALL"));
    append(expected, wrapperTail());
    EXPECT_EQ(build(RequestCode::RepayConsignment, fixture.vsd, fixture.rows), join(expected));
}

TEST(CatalogueConsignment, ReturnSwapsTheRolesAndCarriesTheConsignmentBack)
{
    const consignmentfixture::Vsd fixture = consignmentfixture::fullVsd();
    Lines expected = wrapperHead();
    append(expected, {"<merc:delivery>", "<vd:deliveryDate>2024-05-15T10:20:30</vd:deliveryDate>"});
    append(expected, party("vd:consignor", kConsignorHs, kConsignorEnt));
    append(expected, party("vd:consignee", kConsigneeHs, kConsigneeEnt));
    expected.push_back(kTransportLine);
    append(expected, waybill());
    append(expected, {"<vd:vetCertificate>", "<bs:uuid>0d6fc2f2-7c44-4cbb-a0d3-1f5ee8b1b6f4</bs:uuid>",
                      "</vd:vetCertificate>", "</vd:accompanyingForms>", "</merc:delivery>"});
    append(expected, deliveryFacts("RETURN_ALL"));
    expected.push_back("<merc:returnedDelivery>");
    append(expected, party("vd:consignor", kConsigneeHs, kConsigneeEnt));
    append(expected, party("vd:consignee", kConsignorHs, kConsignorEnt));
    append(expected, fullConsignment());
    expected.push_back(kTransportLine);
    append(expected, waybill());
    append(expected,
           {"<vd:vetCertificate>", "<vd:authentication>", "<vd:purpose>",
            "<bs:guid>94a2de50-ff54-4939-a9d6-bd800bc49874</bs:guid>", "</vd:purpose>",
            "<vd:cargoInspected>1</vd:cargoInspected>", "<vd:cargoExpertized>VSEFULL</vd:cargoExpertized>",
            "<vd:locationProsperity>Местность благополучна</vd:locationProsperity>", "</vd:authentication>",
            "</vd:vetCertificate>", "</vd:accompanyingForms>", "</merc:returnedDelivery>"});
    append(expected, wrapperTail());
    EXPECT_EQ(build(RequestCode::ReturnConsignment, fixture.vsd, fixture.rows), join(expected));
}

TEST(CatalogueConsignment, RepayOfASparseVsd)
{
    // Broker, the last route point's transport, no waybill, no expiry, no
    // contents rows; production hour 0 left out, year 0 sent; a second date
    // without its year; the informal date escaped.
    const consignmentfixture::Vsd fixture = consignmentfixture::sparseVsd();
    Lines expected = wrapperHead();
    append(expected, {"<merc:delivery>", "<vd:deliveryDate>2024-05-15T10:20:30</vd:deliveryDate>"});
    append(expected, party("vd:consignor", kConsignorHs, kConsignorEnt));
    append(expected, party("vd:consignee", kConsigneeHs, kConsigneeEnt));
    append(expected,
           {
               "<vd:consignment>",
               "<vd:productType>7</vd:productType>",
               "<vd:product>",
               "<bs:guid>8935b28f-afb5-454b-b80b-86486a2a1812</bs:guid>",
               "</vd:product>",
               "<vd:subProduct>",
               "<bs:guid>17cde531-518b-48ab-af8d-8e8e32474e22</bs:guid>",
               "</vd:subProduct>",
               "<vd:productItem>",
               "<dt:name>Треска</dt:name>",
               "<dt:code></dt:code>",
               "</vd:productItem>",
               "<vd:volume>1250.5</vd:volume>",
               "<vd:unit>",
               "<bs:guid>21ed96c9-337b-4a27-8761-c6e6ad3c9f5b</bs:guid>",
               "</vd:unit>",
               "<vd:dateOfProduction><vd:firstDate><dt:year>0</dt:year></vd:firstDate><vd:secondDate>"
               "<dt:month>4</dt:month><dt:day>30</dt:day></vd:secondDate>"
               "<vd:informalDate>апрель &lt;2024&gt;</vd:informalDate></vd:dateOfProduction>"
               "<vd:perishable>0</vd:perishable>",
               "<vd:origin>",
               "<vd:country>",
               "<bs:guid>74a3cbb1-56fa-94f3-ab3f-e8db4940d96b</bs:guid>",
               "</vd:country>",
               "</vd:origin>",
               "<vd:lowGradeCargo>1</vd:lowGradeCargo>",
               "</vd:consignment>",
               "<vd:broker><bs:guid>5b08acc2-13a5-4f07-9a1b-195060c40eb7</bs:guid></vd:broker>"
               "<vd:transportInfo><vd:transportType>2</vd:transportType><vd:transportNumber>"
               "<vd:wagonNumber>52839104</vd:wagonNumber></vd:transportNumber></vd:transportInfo>"
               "<vd:accompanyingForms>",
               "<vd:vetCertificate>",
               "<bs:uuid>a22fa1f7-2560-4b2f-8a7c-e6e5f89c8d33</bs:uuid>",
               "</vd:vetCertificate>",
               "</vd:accompanyingForms>",
               "</merc:delivery>",
           });
    append(expected, deliveryFacts("ACCEPT_ALL"));
    append(expected, wrapperTail());
    EXPECT_EQ(build(RequestCode::RepayConsignment, fixture.vsd, fixture.rows), join(expected));
}

TEST(CatalogueConsignment, RepayWithoutAVsdIsRefused)
{
    vetis::RequestRecord r = makeRequest(RequestCode::RepayConsignment);
    const store::VetisRecord settings = makeSettings();
    std::string out;
    EXPECT_EQ(vetis::BuildEnvelope(r, settings, nullptr, {}, out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(vetis::isKnownOperation(RequestCode::RepayConsignment));
    EXPECT_TRUE(vetis::operationNeedsVsd(RequestCode::ReturnConsignment));
}

TEST(CatalogueConsignment, AProducerKnownByGuidOnlyHasNoEmptyUuid)
{
    consignmentfixture::Vsd f = consignmentfixture::fullVsd();
    for (store::InsideRecord& row : f.rows)
        if (row.VID == 3)
            store::setText(row.GUID2, "");
    const std::string envelope = build(RequestCode::RepayConsignment, f.vsd, f.rows);
    EXPECT_EQ(envelope.find("<bs:uuid></bs:uuid>"), std::string::npos);
    EXPECT_NE(envelope.find("<dt:enterprise>\r\n<bs:guid>"), std::string::npos);
}
