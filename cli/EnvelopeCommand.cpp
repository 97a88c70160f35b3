// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli envelope REQUEST.json: prints, byte for byte, the envelope the
// exchange would post for the request. The JSON object holds the request
// record's fields (VREQUEST, COUNT, OFFSET, GUID, UUID, P1..P7, DATE1, DATE2 as
// "yyyy-mm-dd", LTID, ISSUEDATE), a "settings" object with m_Vetis fields, and
// for repay and return a "vsd" object with m_VSD fields and an "inside" array
// of m_Inside rows. LTID and ISSUEDATE are used as given; when absent they are
// stamped from the clock as the exchange does. A value of the wrong JSON type,
// out of its field's range, longer than its field or holding a zero character
// is refused with a message naming it.
#include "cli/Command.h"
#include "cli/RecordJson.h"

#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/tables/Inside.h"
#include "store/tables/Vetis.h"
#include "store/tables/Vsd.h"
#include "vetis/Catalogue.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"
#include "vetis/VetisSettings.h"

#include <QJsonArray>
#include <algorithm>
#include <cstring>
#include <vector>

namespace cli {

namespace {

// A field of the request record, read like a table field of the given type.
template <typename Field>
[[nodiscard]] bool setRequestField(const QJsonObject& o, const char* key, store::FieldType type, Field& field,
                                   std::string& error)
{
    const QJsonValue value = o.value(QLatin1String(key));
    const store::FieldDef def{key, type, static_cast<std::uint16_t>(sizeof field), 0};
    return setFieldFromJson(def, reinterpret_cast<char*>(&field), value, key, error);
}

[[nodiscard]] bool fillRequest(const QJsonObject& o, vetis::RequestRecord& r, std::string& error)
{
    static const char* const known[] = {"VREQUEST", "COUNT", "OFFSET", "GUID",      "UUID",      "P1",
                                        "P2",       "P3",    "P4",     "P5",        "P6",        "P7",
                                        "DATE1",    "DATE2", "LTID",   "ISSUEDATE", "VETISGUID", "ROWTAG",
                                        "settings", "vsd",   "inside"};
    for (auto it = o.begin(); it != o.end(); ++it)
        if (std::find(std::begin(known), std::end(known), it.key().toStdString()) == std::end(known)) {
            error = "unknown key " + it.key().toStdString();
            return false;
        }
    // Every value as written or none: one of the wrong type or out of range
    // would otherwise ask for another request than the one written.
    const auto has = [&](const char* key) { return o.contains(QLatin1String(key)); };
    const auto number = [&](const char* key, store::FieldType type, auto& field) {
        if (!has(key))
            return true;
        if (!o.value(QLatin1String(key)).isDouble()) {
            error = std::string("the value of ") + key + " must be a number, not " +
                    jsonTypeName(o.value(QLatin1String(key)));
            return false;
        }
        return setRequestField(o, key, type, field, error);
    };
    const auto date = [&](const char* key, std::int32_t& field) {
        if (!has(key))
            return true;
        if (!o.value(QLatin1String(key)).isString()) {
            error = std::string("the value of ") + key + " must be a date string yyyy-mm-dd, not " +
                    jsonTypeName(o.value(QLatin1String(key)));
            return false;
        }
        return setRequestField(o, key, store::FieldType::I32, field, error);
    };
    const auto text = [&](const char* key, auto& field, store::FieldType type) {
        return !has(key) || setRequestField(o, key, type, field, error);
    };
    using store::FieldType;
    return number("VREQUEST", FieldType::U8, r.VREQUEST) && number("COUNT", FieldType::I32, r.COUNT) &&
           number("OFFSET", FieldType::I32, r.OFFSET) && date("DATE1", r.DATE1) && date("DATE2", r.DATE2) &&
           text("GUID", r.GUID, FieldType::Text) && text("UUID", r.UUID, FieldType::Text) &&
           text("VETISGUID", r.VETISGUID, FieldType::Text) && text("P1", r.P1, FieldType::ZText) &&
           text("P2", r.P2, FieldType::ZText) && text("P3", r.P3, FieldType::ZText) &&
           text("P4", r.P4, FieldType::ZText) && text("P5", r.P5, FieldType::ZText) &&
           text("P6", r.P6, FieldType::ZText) && text("P7", r.P7, FieldType::ZText) &&
           text("LTID", r.LTID, FieldType::ZText) && text("ISSUEDATE", r.ISSUEDATE, FieldType::ZText) &&
           text("ROWTAG", r.ROWTAG, FieldType::ZText);
}

[[nodiscard]] int run(std::span<const std::string> words)
{
    Arguments args;
    std::string error;
    if (!parseArguments(words, {}, {}, args, error))
        return usageError(command("envelope"), error);
    if (args.positional.size() != 1)
        return usageError(command("envelope"), "one request file is expected");

    QJsonObject o;
    if (!readJsonFile(args.positional[0], o, error)) {
        fail(error);
        return kExitFailure;
    }
    vetis::RequestRecord request;
    if (!fillRequest(o, request, error)) {
        fail(error);
        return kExitFailure;
    }
    if (!o.contains(QLatin1String("LTID")) || !o.contains(QLatin1String("ISSUEDATE"))) {
        vetis::RequestRecord stamped;
        vetis::stampRequest(stamped);
        if (!o.contains(QLatin1String("LTID")))
            std::memcpy(request.LTID, stamped.LTID, sizeof request.LTID);
        if (!o.contains(QLatin1String("ISSUEDATE")))
            std::memcpy(request.ISSUEDATE, stamped.ISSUEDATE, sizeof request.ISSUEDATE);
    }

    for (const char* key : {"settings", "vsd"})
        if (o.contains(QLatin1String(key)) && !o.value(QLatin1String(key)).isObject()) {
            fail(std::string("the value of ") + key + " is not an object");
            return kExitFailure;
        }
    if (o.contains(QLatin1String("inside")) && !o.value(QLatin1String("inside")).isArray()) {
        fail("the value of inside is not an array");
        return kExitFailure;
    }

    store::VetisRecord settings = vetis::clearedVetisRecord();
    if (!fillRecordFromJson(store::vetisTable(), reinterpret_cast<char*>(&settings),
                            o.value(QLatin1String("settings")).toObject(), error)) {
        fail(error);
        return kExitFailure;
    }

    store::VsdRecord vsd;
    store::clearRecordOf(store::vsdTable(), reinterpret_cast<char*>(&vsd));
    const bool hasVsd = o.contains(QLatin1String("vsd"));
    if (hasVsd && !fillRecordFromJson(store::vsdTable(), reinterpret_cast<char*>(&vsd),
                                      o.value(QLatin1String("vsd")).toObject(), error)) {
        fail(error);
        return kExitFailure;
    }
    std::vector<store::InsideRecord> inside;
    for (const QJsonValue& row : o.value(QLatin1String("inside")).toArray()) {
        if (!row.isObject()) {
            fail("an entry of inside is not an object");
            return kExitFailure;
        }
        store::InsideRecord rec;
        store::clearRecordOf(store::insideTable(), reinterpret_cast<char*>(&rec));
        if (!fillRecordFromJson(store::insideTable(), reinterpret_cast<char*>(&rec), row.toObject(), error)) {
            fail(error);
            return kExitFailure;
        }
        inside.push_back(rec);
    }

    std::string envelope;
    const int service = vetis::BuildEnvelope(request, settings, hasVsd ? &vsd : nullptr, inside, envelope);
    if (service == 0) {
        fail(vetis::isKnownOperation(request.requestCode())
                 ? std::string("a repay or return needs the \"vsd\" object")
                 : "unknown operation code " + std::to_string(request.VREQUEST));
        return kExitFailure;
    }
    out(envelope);
    return kExitOk;
}

} // namespace

int runEnvelope(std::span<const std::string> words)
{
    return run(words);
}

} // namespace cli
