// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli dump TABLE --data DIR [--reveal]: the rows of one table as UTF-8
// tab-separated text under a header line of the field names. Texts are clipped
// and converted from Windows-1251; a tab, line break or backslash inside a
// text is written as \t, \n, \r or \\ so that every row stays one line. Dates
// and times are their numbers. The secrets of the access settings (password,
// API key) are masked unless --reveal is given.
#include "cli/Command.h"

#include "cli/StoreMessages.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <QFileInfo>

#include <charconv>
#include <cstring>

namespace cli {

namespace {

std::string escaped(std::string_view utf8)
{
    std::string s;
    s.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\t':
            s += "\\t";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\\':
            s += "\\\\";
            break;
        default:
            s += c;
        }
    }
    return s;
}

template <typename T>
T load(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::string fieldText(const store::FieldDef& f, const char* record)
{
    const char* p = record + f.offset;
    switch (f.type) {
    case store::FieldType::Text:
        return escaped(platform::cp1251ToUtf8(store::clip(std::string_view(p, f.size))));
    case store::FieldType::ZText: {
        const void* z = std::memchr(p, 0, f.size);
        const std::size_t n = z ? static_cast<std::size_t>(static_cast<const char*>(z) - p) : f.size;
        return escaped(platform::cp1251ToUtf8(std::string_view(p, n)));
    }
    case store::FieldType::U8:
        return std::to_string(load<std::uint8_t>(p));
    case store::FieldType::I16:
        return std::to_string(load<std::int16_t>(p));
    case store::FieldType::U16:
        return std::to_string(load<std::uint16_t>(p));
    case store::FieldType::I32:
        return std::to_string(load<std::int32_t>(p));
    case store::FieldType::F64: {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, load<double>(p));
        return std::string(buf, r.ptr);
    }
    }
    return {};
}

bool isSecret(std::string_view field)
{
    return field == "MVS:PASSWORD" || field == "MVS:APIKEY";
}

} // namespace

int runDump(std::span<const std::string> words)
{
    const Command& self = commands()[2];
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data"}, {"--reveal"}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 1)
        return usageError(self, "one table name is required");
    const QString data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty())
        return usageError(self, "--data DIR is required");
    const store::TableDef* def = store::tableByName(args.positional.front());
    if (!def) {
        fail("no table named " + args.positional.front() + " (see zanvo-cli tables)");
        return kExitUsage;
    }

    store::Session session(data);
    store::Table table(session, *def);
    // Dumping never creates a missing file.
    const bool onDisk = def->storage == store::Storage::File ||
                        def->storage == store::Storage::EncryptedFile ||
                        def->storage == store::Storage::ListFormat;
    if (onDisk && !QFileInfo::exists(table.filePath())) {
        fail("the file " + table.filePath().toStdString() + " does not exist");
        return kExitFailure;
    }
    if (table.open() != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }

    std::string line;
    for (const store::FieldDef& f : def->fields)
        line += (line.empty() ? "" : "\t") + std::string(f.name);
    out(line + '\n');

    const store::KeyDef* order = def->primaryKey() ? def->primaryKey() : &def->keys.front();
    table.set(*order, 0);
    int code = store::kOk;
    while ((code = table.next()) == store::kOk) {
        line.clear();
        bool first = true;
        for (const store::FieldDef& f : def->fields) {
            if (!first)
                line += '\t';
            first = false;
            line +=
                (isSecret(f.name) && !args.has("--reveal")) ? std::string("***") : fieldText(f, table.data());
        }
        out(line + '\n');
    }
    if (code != store::kRecordNotFound) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace cli
