// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Dates.h"
#include "store/RecordText.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"

#include <QDate>
#include <cstring>
#include <string_view>
#include <vector>

// Two VSDs for the repay and return envelopes: a full one with contents rows of
// every kind written, and a sparse one. Texts are Windows-1251.
namespace consignmentfixture {

struct Vsd
{
    store::VsdRecord vsd;
    std::vector<store::InsideRecord> rows;
};

inline store::VsdRecord blankVsd()
{
    store::VsdRecord v;
    std::memset(&v, 0, sizeof v);
#define ZANVO_BLANK_TEXT(member, fname, ftype, fsize)                                                        \
    if constexpr (::store::FieldType::ftype == ::store::FieldType::Text)                                     \
        std::memset(&v.member, ' ', fsize);
    ZANVO_MVD_FIELDS(ZANVO_BLANK_TEXT)
#undef ZANVO_BLANK_TEXT
    return v;
}

inline store::InsideRecord row(std::string_view uuid, std::int32_t kind, std::int32_t number)
{
    store::InsideRecord r;
    std::memset(&r, 0, sizeof r);
    for (char* guid : {r.GUID1, r.GUID2, r.GUID3, r.GUID4, r.GUID5, r.GUID6})
        std::memset(guid, ' ', 36);
    store::setText(r.UUID, uuid);
    r.VID = kind;
    r.NUMBER = number;
    return r;
}

inline std::int32_t day(int y, int m, int d)
{
    return platform::dayNumber(QDate(y, m, d));
}

inline void setParties(store::VsdRecord& v)
{
    store::setText(v.CONSIGNORHS, "79c8c292-6b94-45b5-b498-82321e35049e");
    store::setText(v.CONSIGNORENT, "eb7a7995-9588-432d-8242-aadbc8f429a4");
    store::setText(v.CONSIGNEEHS, "515c6123-6c88-4537-bcf3-bd58da60fb1c");
    store::setText(v.CONSIGNEEENT, "88718c96-6f3d-48f7-b4b1-b64633be40f5");
}

inline Vsd fullVsd()
{
    constexpr std::string_view uuid = "0d6fc2f2-7c44-4cbb-a0d3-1f5ee8b1b6f4";
    Vsd f{blankVsd(), {}};
    store::VsdRecord& v = f.vsd;
    store::setText(v.UUID, uuid);
    setParties(v);
    v.PRODTYPE = 1;
    store::setText(v.PRODUCT, "b039ee16-9646-4718-8f3d-9a4de6cf02bb");
    store::setText(v.SUBPRODUCT, "e085b021-e0d4-4f2b-935a-b03d8de49eb1");
    store::setText(v.PRODITEMGUID, "428474c1-5e9e-4ba7-a6a8-6bd5a7550d23");
    store::setZText(
        v.PRODITEMNAME,
        "\xC3\xEE\xE2\xFF\xE4\xE8\xED\xE0 & \xEA\xEE\xF1\xF2\xE8, \xEE\xF5\xEB."); // Говядина & кости, охл.
    store::setZText(v.PRODITEMCODE, "4401");
    v.KOLVO = 812.4;
    store::setText(v.UNITGUID, "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b");
    v.PRODATE1 = day(2024, 5, 9);
    v.PROYEAR1 = 2024;
    v.PROMONTH1 = 5;
    v.PRODAY1 = 9;
    v.PROHOUR1 = 0;
    v.EXPDATE1 = day(2024, 5, 21);
    v.EXPYEAR1 = 2024;
    v.EXPMONTH1 = 5;
    v.EXPDAY1 = 21;
    v.EXPDATE2 = day(2024, 5, 23);
    v.EXPYEAR2 = 2024;
    v.EXPMONTH2 = 5;
    v.EXPDAY2 = 23;
    v.EXPHOUR2 = 14;
    v.PERISHABLE = 1;
    store::setText(v.ORIGINCOUNTRY_GUID, "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    v.LOWGRADECARGO = 0;
    v.TRANSPORTTYPE1 = 1;
    store::setZText(v.VEHICLENUMBER1, "\xC0\x31\x32\x33\xC2\xD1\x31\x36\x33"); // А123ВС163
    store::setZText(v.TRAILERNUMBER1, "\xC0\xC2\x31\x32\x33\x34 63");          // АВ1234 63
    store::setZText(v.TRSTORAGETYPE, "CHILLED");
    v.TTN_TYPE = 1;
    store::setZText(v.TTN_SERIES, "\xD2\xD2\xCD"); // ТТН
    store::setZText(v.TTN_NUMBER, "1003");
    store::setZText(v.TTN_DATE, "2024-05-13");
    store::setText(v.PURPOSE, "94a2de50-ff54-4939-a9d6-bd800bc49874");
    v.CARGOINSPECTED = 1;
    store::setZText(v.CARGOEXPERTIZED, "VSEFULL");
    store::setZText(v.PROSPERITY,
                    "\xCC\xE5\xF1\xF2\xED\xEE\xF1\xF2\xFC "
                    "\xE1\xEB\xE0\xE3\xEE\xEF\xEE\xEB\xF3\xF7\xED\xE0"); // Местность благополучна

    // Batch identifiers out of key order, and a blank one that is left out.
    store::InsideRecord b2 = row(uuid, 1, 2);
    store::setZText(b2.STR120_01, "4401-B");
    store::InsideRecord b1 = row(uuid, 1, 1);
    store::setZText(b1.STR120_01, "4401-A");
    store::InsideRecord b3 = row(uuid, 1, 3);
    // A referenced document (kind 2) is not part of the envelope.
    store::InsideRecord doc = row(uuid, 2, 1);
    store::setZText(doc.STR120_01, "DOC-1");
    store::InsideRecord p1 = row(uuid, 3, 1);
    store::setText(p1.GUID1, "eb7a7995-9588-432d-8242-aadbc8f429a4");
    store::setText(p1.GUID2, "3f0279a1-abe7-420e-89e0-b9583a589e65");
    store::setZText(
        p1.STR250_01,
        "\xCC\xFF\xF1\xEE\xEA\xEE\xEC\xE1\xE8\xED\xE0\xF2 \"\xC2\xEE\xF1\xF5\xEE\xE4\""); // Мясокомбинат
                                                                                          // "Восход"
    store::setZText(p1.STR40_01, "SLAUGHTER_HOUSE");
    store::InsideRecord p2 = row(uuid, 3, 2);
    store::setText(p2.GUID1, "4a894db7-e48f-42b9-aa5d-670af9a3638e");
    store::setText(p2.GUID2, "5043796d-4061-4823-9b39-320448410fe3");
    store::setZText(p2.STR40_01, "CUTTING_PLANT");
    store::InsideRecord k1 = row(uuid, 4, 1);
    k1.BYTE_01 = 4;
    store::setText(k1.GUID1, "c10c2788-a8e1-4980-86f6-d2e1c91d6da3");
    store::setZText(k1.STR40_01, "BX");
    store::setZText(k1.STR250_01, "\xCA\xEE\xF0\xEE\xE1\xEA\xE0"); // Коробка
    store::setZText(k1.STR40_02, "50");
    store::InsideRecord k0 = row(uuid, 4, 2); // level 0: not a package
    store::setZText(k0.STR40_01, "ZZ");
    store::InsideRecord k2 = row(uuid, 4, 3);
    k2.BYTE_01 = 6;
    store::setText(k2.GUID1, "f46cc4e4-3e4b-4e1c-9dfd-5a4b3d6b3a77");
    store::setZText(k2.STR40_01, "PX");
    store::setZText(k2.STR250_01, "\xCF\xEE\xE4\xE4\xEE\xED"); // Поддон
    store::setZText(k2.STR40_02, "1");
    // A row of another VSD.
    store::InsideRecord other = row("a22fa1f7-2560-4b2f-8a7c-e6e5f89c8d33", 1, 1);
    store::setZText(other.STR120_01, "FOREIGN");
    f.rows = {other, k2, b2, p1, doc, b1, k1, b3, p2, k0};
    return f;
}

inline Vsd sparseVsd()
{
    Vsd f{blankVsd(), {}};
    store::VsdRecord& v = f.vsd;
    store::setText(v.UUID, "a22fa1f7-2560-4b2f-8a7c-e6e5f89c8d33");
    setParties(v);
    v.PRODTYPE = 7;
    store::setText(v.PRODUCT, "8935b28f-afb5-454b-b80b-86486a2a1812");
    store::setText(v.SUBPRODUCT, "17cde531-518b-48ab-af8d-8e8e32474e22");
    store::setZText(v.PRODITEMNAME, "\xD2\xF0\xE5\xF1\xEA\xE0"); // Треска
    v.KOLVO = 1250.5;
    store::setText(v.UNITGUID, "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b");
    v.PRODATE1 = day(2024, 4, 2);
    v.PROYEAR1 = 0;
    v.PROMONTH1 = 13; // out of range: left out
    v.PRODAY1 = 0;
    v.PROHOUR1 = 0;
    v.PRODATE2 = day(2024, 4, 30);
    v.PROYEAR2 = 0;
    v.PROMONTH2 = 4;
    v.PRODAY2 = 30;
    v.PROHOUR2 = 24;                                                       // out of range: left out
    store::setZText(v.PROINFORMALDATE, "\xE0\xEF\xF0\xE5\xEB\xFC <2024>"); // апрель <2024>
    store::setZText(v.EXPINFORMALDATE, "not sent without an expiry date");
    v.PERISHABLE = 0;
    store::setText(v.ORIGINCOUNTRY_GUID, "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    v.LOWGRADECARGO = 1;
    store::setText(v.BROKER, "5b08acc2-13a5-4f07-9a1b-195060c40eb7");
    v.TRANSPORTTYPE1 = 1;
    store::setZText(v.VEHICLENUMBER1, "FIRST-SET");
    v.TRANSPORTTYPE2 = 2;
    store::setZText(v.WAGONNUMBER2, "52839104");
    v.TTN_TYPE = 0;
    store::setZText(v.TTN_NUMBER, "not sent without a waybill type");
    return f;
}

} // namespace consignmentfixture
