// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli tables [--json]: every table's fields (type, width) and keys.
#include "cli/Command.h"

#include "store/FieldDef.h"
#include "store/tables/AllTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string typeText(const store::FieldDef& f)
{
    std::string t(store::fieldTypeName(f.type));
    if (store::isTextType(f.type))
        t += '(' + std::to_string(f.size) + ')';
    return t;
}

QJsonObject tableJson(const store::TableDef& def)
{
    QJsonArray fields;
    for (const store::FieldDef& f : def.fields)
        fields.append(QJsonObject{{QStringLiteral("name"), qs(f.name)},
                                  {QStringLiteral("type"), qs(store::fieldTypeName(f.type))},
                                  {QStringLiteral("size"), f.size}});
    QJsonArray keys;
    for (const store::KeyDef& k : def.keys) {
        QJsonArray components;
        for (std::uint8_t c : k.componentSpan())
            components.append(qs(def.fields[c].name));
        keys.append(QJsonObject{{QStringLiteral("name"), qs(k.name)},
                                {QStringLiteral("components"), components},
                                {QStringLiteral("unique"), k.unique},
                                {QStringLiteral("primary"), k.primary},
                                {QStringLiteral("label"), qs(k.label)}});
    }
    return QJsonObject{{QStringLiteral("name"), qs(def.name)},
                       {QStringLiteral("prefix"), qs(def.prefix)},
                       {QStringLiteral("file"), qs(def.fileName)},
                       {QStringLiteral("fields"), fields},
                       {QStringLiteral("keys"), keys}};
}

std::string tableText(const store::TableDef& def)
{
    const bool memory =
        def.storage == store::Storage::SharedMemory || def.storage == store::Storage::ThreadMemory;
    std::string s = std::string(def.name) + "  prefix " + std::string(def.prefix) + ", " +
                    (memory ? "in memory \"" : "file \"") + std::string(def.fileName) + "\", " +
                    std::to_string(def.fields.size()) + " fields, record " +
                    std::to_string(def.recordLength) + " bytes\n";
    std::size_t width = 0;
    for (const store::FieldDef& f : def.fields)
        width = std::max(width, f.name.size());
    int n = 0;
    for (const store::FieldDef& f : def.fields) {
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", ++n);
        s += number + std::string(f.name) + std::string(width - f.name.size() + 2, ' ') + typeText(f) + '\n';
    }
    for (const store::KeyDef& k : def.keys) {
        s += "  key " + std::string(k.name) + " \"" + std::string(k.label) + "\" " +
             (k.primary  ? "primary, unique"
              : k.unique ? "unique"
                         : "duplicates allowed") +
             ":";
        for (std::uint8_t c : k.componentSpan())
            s += ' ' + std::string(def.fields[c].name);
        s += '\n';
    }
    return s;
}

} // namespace

int runTables(std::span<const std::string> words)
{
    const Command& self = command("tables");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {}, {"--json"}, args, error))
        return usageError(self, error);
    if (!args.positional.empty())
        return usageError(self, "unexpected argument " + args.positional.front());

    if (args.has("--json")) {
        QJsonArray tables;
        for (const store::TableDef* def : store::allTables())
            tables.append(tableJson(*def));
        out(QJsonDocument(tables).toJson(QJsonDocument::Indented).toStdString());
        return kExitOk;
    }
    bool first = true;
    for (const store::TableDef* def : store::allTables()) {
        if (!first)
            out("\n");
        first = false;
        out(tableText(*def));
    }
    return kExitOk;
}

} // namespace cli
