// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli envelope REQUEST.json: prints, byte for byte, the envelope the
// exchange would post for the request. The JSON object holds the request
// record's fields (VREQUEST, COUNT, OFFSET, GUID, UUID, P1..P7, DATE1, DATE2 as
// "yyyy-mm-dd", LTID, ISSUEDATE), a "settings" object with m_Vetis fields, and
// for repay and return a "vsd" object with m_VSD fields and an "inside" array
// of m_Inside rows. LTID and ISSUEDATE are used as given; when absent they are
// stamped from the clock as the exchange does.
#include "cli/Command.h"
#include "cli/RecordJson.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
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
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace cli {

namespace {

template <std::size_t N>
void setTextField(char (&field)[N], const QJsonValue& v, bool zeroTerminated)
{
    const std::string cp = platform::toCp1251(v.toString());
    if (zeroTerminated)
        store::setZText(field, cp);
    else
        store::setText(field, cp);
}

bool fillRequest(const QJsonObject& o, vetis::RequestRecord& r, std::string& error)
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
    // Whole numbers within the field's range only: a value that does not fit
    // would otherwise ask for another request than the one written.
    auto number = [&](const char* key, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if (!o.contains(QLatin1String(key)))
            return true;
        const QJsonValue v = o.value(QLatin1String(key));
        bool ok = v.isDouble() || v.isString();
        const double d = v.isDouble() ? v.toDouble() : v.toString().toDouble(&ok);
        if (!ok || d != std::trunc(d) || d < static_cast<double>(std::numeric_limits<Field>::min()) ||
            d > static_cast<double>(std::numeric_limits<Field>::max())) {
            error = std::string("the value of ") + key + " is not a whole number the field holds";
            return false;
        }
        field = static_cast<Field>(d);
        return true;
    };
    auto date = [&](const char* key, std::int32_t& field) {
        if (!o.contains(QLatin1String(key)))
            return true;
        field = platform::dayFromIso(o.value(QLatin1String(key)).toString().toStdString());
        if (field == 0) {
            error = std::string("the value of ") + key + " is not a date yyyy-mm-dd";
            return false;
        }
        return true;
    };
    if (!number("VREQUEST", r.VREQUEST) || !number("COUNT", r.COUNT) || !number("OFFSET", r.OFFSET) ||
        !date("DATE1", r.DATE1) || !date("DATE2", r.DATE2))
        return false;
    const auto text = [&](const char* key, auto& field, bool zeroTerminated) {
        if (o.contains(QLatin1String(key)))
            setTextField(field, o.value(QLatin1String(key)), zeroTerminated);
    };
    text("GUID", r.GUID, false);
    text("UUID", r.UUID, false);
    text("VETISGUID", r.VETISGUID, false);
    text("P1", r.P1, true);
    text("P2", r.P2, true);
    text("P3", r.P3, true);
    text("P4", r.P4, true);
    text("P5", r.P5, true);
    text("P6", r.P6, true);
    text("P7", r.P7, true);
    text("LTID", r.LTID, true);
    text("ISSUEDATE", r.ISSUEDATE, true);
    text("ROWTAG", r.ROWTAG, true);
    return true;
}

int run(std::span<const std::string> words)
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
        fail(vetis::isKnownOperation(request.VREQUEST)
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
