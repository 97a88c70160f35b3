// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli settings --data DIR --guid GUID [--FIELD VALUE ...] [--show]:
// creates or changes an entity's VetIS.API access settings (m_Vetis) without
// the window, for administrators and automation. A new record gets the
// window's defaults (creation date today, answers shown on errors, period 30).
// --show prints the record afterwards with the password and API key masked;
// given without any value to change, it only reads: the files stay as they
// are, and an entity without settings is reported, not given a record.
// "--password -" and "--apikey -" read the secret from standard input (both:
// two lines, the password first), so that it shows neither in the process
// list nor in the shell's history. Every value is stored as given or refused.
#include "cli/Command.h"
#include "cli/FieldInput.h"
#include "cli/SecretInput.h"
#include "cli/StoreMessages.h"

#include "framework/LastError.h"
#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/tables/Vetis.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/VetisSettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace cli {

namespace {

// Option -> field of m_Vetis.
struct SettingOption
{
    std::string_view option;
    std::string_view field;
};
constexpr SettingOption kOptions[] = {
    {"login", "MVS:LOGIN"},       {"password", "MVS:PASSWORD"},   {"apikey", "MVS:APIKEY"},
    {"weblogin", "MVS:WEBLOGIN"}, {"remark", "MVS:REMARK"},       {"test", "MVS:TEST"},
    {"answer", "MVS:ANSWER"},     {"dumppath", "MVS:DUMPPATH"},   {"period", "MVS:PERIOD"},
    {"scale", "MVS:WINSFONT"},    {"ca-bundle", "MVS:STR250_01"}, {"no-verify", "MVS:BYTE_03"},
};

// 8-4-4-4-12 hexadecimal digits with hyphens, as Mercury writes an issuer id.
bool isGuidText(std::string_view text)
{
    static constexpr std::size_t kHyphens[] = {8, 13, 18, 23};
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hyphenPlace = std::find(std::begin(kHyphens), std::end(kHyphens), i) != std::end(kHyphens);
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (hyphenPlace ? c != '-' : !hex)
            return false;
    }
    return true;
}

// A value echoed in a message: at most 60 bytes, control characters as '?'.
std::string shownValue(std::string_view value)
{
    std::string out = "\"";
    for (const char c : value.substr(0, 60))
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (value.size() > 60)
        out += "...";
    return out + "\"";
}

// Replaces "-" given for a secret by the line read from standard input, in
// the order of the options: password, then API key.
[[nodiscard]] bool readSecretsFromInput(Arguments& args, std::string& error)
{
    static constexpr std::pair<std::string_view, std::string_view> kSecrets[] = {
        {"--password", "Пароль для доступа к Ветис.API: "},
        {"--apikey", "Ключ API (API Key) Ветис.API: "},
    };
    for (const auto& [option, prompt] : kSecrets) {
        const auto it = args.options.find(option);
        if (it == args.options.end() || it->second != "-")
            continue;
        std::string line;
        if (!readSecretLine(prompt, line, error)) {
            error = std::string(option) + " -: " + error;
            return false;
        }
        it->second = std::move(line);
    }
    return true;
}

// True when an option gives a value to store.
bool changesAValue(const Arguments& args)
{
    return std::any_of(std::begin(kOptions), std::end(kOptions), [&](const SettingOption& o) {
        return args.options.count("--" + std::string(o.option));
    });
}

// The settings stored for the GUID. A settings file that cannot be read
// (damaged, locked, a record that fails its authentication) is not the same
// as a missing record: false then, with the message said, and `found` empty.
[[nodiscard]] bool readStored(vetis::StoredVetisSettings& repo, const std::string& guid,
                              std::optional<store::VetisRecord>& found)
{
    framework::clearLastError();
    found = repo.find(guid);
    if (found)
        return true;
    const int code = framework::lastError().code;
    if (code == store::kOk || code == store::kRecordNotFound)
        return true;
    fail("the stored settings of " + guid + " cannot be read: " + describeLastError(store::vetisTable()));
    return false;
}

void show(const store::VetisRecord& r)
{
    const store::TableDef& def = store::vetisTable();
    for (const SettingOption& o : kOptions) {
        const store::FieldDef& f = def.fields[static_cast<std::size_t>(def.fieldIndex(o.field))];
        std::string value = store::fieldAsUtf8(f, reinterpret_cast<const char*>(&r));
        if ((o.option == "password" || o.option == "apikey") && !value.empty())
            value = "***";
        out(std::string(o.field) + "\t" + value + "\n");
    }
}

[[nodiscard]] int run(std::span<const std::string> words)
{
    Arguments args;
    std::string error;
    if (!parseArguments(words,
                        {"--data", "--guid", "--login", "--password", "--apikey", "--weblogin", "--remark",
                         "--test", "--answer", "--dumppath", "--period", "--scale", "--ca-bundle",
                         "--no-verify"},
                        {"--show"}, args, error))
        return usageError(command("settings"), error);
    const std::string data = args.option("--data");
    const std::string guid = args.option("--guid");
    if (data.empty() || !args.positional.empty())
        return usageError(command("settings"), "--data DIR and --guid GUID are needed");
    if (!isGuidText(guid))
        return usageError(command("settings"), "the entity GUID " + shownValue(guid) +
                                                   " is not a GUID (8-4-4-4-12 hexadecimal digits)");
    if (!QFileInfo(QString::fromStdString(data) + QStringLiteral("/Base")).isDir()) {
        fail("no data folder with Base at " + data + " (run zanvo-cli init first)");
        return kExitFailure;
    }
    const QString folder = QDir(QString::fromStdString(data)).absolutePath() + u'/';
    std::optional<store::VetisRecord> found;

    if (args.has("--show") && !changesAValue(args)) {
        // Only reading: nothing is created, upgraded or written.
        store::Session session(folder, {}, store::Access::ReadOnly);
        vetis::StoredVetisSettings repo(session);
        if (!readStored(repo, guid, found))
            return kExitFailure;
        if (!found) {
            fail("no settings are stored for the entity " + guid);
            return kExitFailure;
        }
        show(*found);
        return kExitOk;
    }

    if (!readSecretsFromInput(args, error)) {
        fail(error);
        return kExitFailure;
    }
    store::Session session(folder);
    vetis::StoredVetisSettings repo(session);
    if (!readStored(repo, guid, found))
        return kExitFailure;
    const bool isNew = !found;
    store::VetisRecord record = found ? *found : vetis::newVetisRecord(guid);
    const store::TableDef& def = store::vetisTable();
    for (const SettingOption& o : kOptions) {
        const std::string option = "--" + std::string(o.option);
        if (!args.options.count(option))
            continue;
        const store::FieldDef& f = def.fields[static_cast<std::size_t>(def.fieldIndex(o.field))];
        std::string why;
        if (!setFieldChecked(f, reinterpret_cast<char*>(&record), args.option(option), why))
            return usageError(command("settings"), "the value of " + option + " " + why);
    }
    if (record.ANSWER > 2 || record.TEST > 1 || record.BYTE_03 > 1)
        return usageError(command("settings"), "--test and --no-verify take 0 or 1, --answer 0, 1 or 2");

    const int rc = isNew ? repo.add(record) : repo.put(record);
    if (rc != store::kOk) {
        fail(describeLastError(store::vetisTable()));
        return kExitFailure;
    }
    if (args.has("--show"))
        show(record);
    return kExitOk;
}

} // namespace

int runSettings(std::span<const std::string> words)
{
    return run(words);
}

} // namespace cli
