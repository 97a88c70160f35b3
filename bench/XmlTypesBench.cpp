// SPDX-License-Identifier: LicenseRef-Kestrom
// The XML of N VSDs (100,000 by default), written once through the type
// descriptions of xmltypes (what zanvo-cli xml-export does) and once with
// pugixml directly from the field dictionary, into memory. Goal: the first
// within 3 times the second. Prints both times, their ratio and the sizes.
#include "BenchCommandLine.h"

#include "cli/TableXml.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/tables/Vsd.h"

#include <QCoreApplication>
#include <QDate>
#include <QString>

#include <pugixml.hpp>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] = "usage: xmltypes_bench [N]\n"
                          "  N  VSDs written as XML (default 100000)\n";

// Distinct records, written over and over.
constexpr int kDistinct = 1000;

void fillVsd(store::VsdRecord& r, int n)
{
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "%08x-0000-4000-8000-%012d", n, n);
    const std::int32_t day = platform::dayNumber(QDate(2024, 1, 1).addDays(n % 300));
    store::setText(r.UUID, uuid);
    store::setZText(r.ISSUESERIES, platform::toCp1251(u"ВСД"));
    store::setZText(r.ISSUENUMBER, std::to_string(1000000 + n));
    r.DATE = day;
    store::setZText(r.VETDTYPE, "INCOMING");
    r.CODSTATUS = static_cast<std::uint8_t>(1 + n % 4);
    store::setZText(r.PRODITEMNAME,
                    platform::toCp1251(QStringLiteral("Говядина охлаждённая, полутуши, партия %1").arg(n)));
    store::setZText(r.VOLUME, std::to_string(100 + n % 900) + ".125");
    r.KOLVO = 99.5 + n % 100;
    store::setZText(r.UNITNAME, platform::toCp1251(u"кг"));
    store::setZText(r.CONSIGNORNAME,
                    platform::toCp1251(QStringLiteral("АО \"Мясокомбинат №%1\" & Ко").arg(n % 50)));
    store::setZText(r.CONSIGNORPLACE, platform::toCp1251(u"Цех убоя и разделки, г. Тверь"));
    r.PACKQUANTITY = n % 40;
}

std::string_view shortName(std::string_view name)
{
    return name.substr(name.find(':') + 1);
}

std::string pugixmlDirect(const store::TableDef& def, const std::vector<char>& records, int count)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("table");
    root.append_attribute("name") = std::string(def.name).c_str();
    root.append_attribute("version") = def.version();
    std::vector<std::string> names;
    for (const store::FieldDef& f : def.fields)
        names.emplace_back(shortName(f.name));
    for (int n = 0; n < count; ++n) {
        const char* rec = records.data() + static_cast<std::size_t>(n % kDistinct) * def.recordLength;
        pugi::xml_node r = root.append_child("record");
        for (std::size_t i = 0; i < def.fields.size(); ++i) {
            const store::FieldDef& f = def.fields[i];
            std::string value;
            if (f.type == store::FieldType::ZText) {
                const char* p = rec + f.offset;
                const void* z = std::memchr(p, 0, f.size);
                value = platform::cp1251ToUtf8(std::string_view(
                    p, z ? static_cast<std::size_t>(static_cast<const char*>(z) - p) : f.size));
            } else {
                value = store::fieldAsUtf8(f, rec);
            }
            r.append_child(names[i].c_str()).text().set(value.c_str());
        }
    }
    struct Sink : pugi::xml_writer
    {
        std::string text;
        void write(const void* data, std::size_t size) override
        {
            text.append(static_cast<const char*>(data), size);
        }
    } sink;
    doc.save(sink, "", pugi::format_raw);
    return sink.text;
}

std::string throughXmlTypes(const store::TableDef& def, const std::vector<char>& records, int count)
{
    cli::TableXmlWriter writer(def);
    std::string text;
    writer.begin(text);
    for (int n = 0; n < count; ++n)
        writer.record(records.data() + static_cast<std::size_t>(n % kDistinct) * def.recordLength, text);
    writer.end(text);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 1, {}, {}, line, exitCode))
        return exitCode;
    const int count = static_cast<int>(line.number(0, 100000));

    const store::TableDef& def = store::vsdTable();
    std::vector<char> records(static_cast<std::size_t>(kDistinct) * def.recordLength);
    for (int n = 0; n < kDistinct; ++n) {
        char* rec = records.data() + static_cast<std::size_t>(n) * def.recordLength;
        store::clearRecordOf(def, rec);
        store::VsdRecord r;
        std::memcpy(&r, rec, sizeof r);
        fillVsd(r, n + 1);
        std::memcpy(rec, &r, sizeof r);
    }

    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    const std::string viaTypes = throughXmlTypes(def, records, count);
    const auto t1 = Clock::now();
    const std::string direct = pugixmlDirect(def, records, count);
    const auto t2 = Clock::now();
    const double typesSeconds = std::chrono::duration<double>(t1 - t0).count();
    const double directSeconds = std::chrono::duration<double>(t2 - t1).count();
    const double ratio = directSeconds > 0 ? typesSeconds / directSeconds : 0;
    std::printf("xmltypes_bench: %d VSDs of %zu fields\n", count, def.fields.size());
    std::printf("  through xmltypes: %.3f s, %zu bytes\n", typesSeconds, viaTypes.size());
    std::printf("  pugixml directly: %.3f s, %zu bytes\n", directSeconds, direct.size());
    std::printf("  ratio %.2f (goal: at most 3)%s\n", ratio, ratio <= 3.0 ? "" : "  <- OVER");
    return ratio <= 3.0 ? 0 : 1;
}
