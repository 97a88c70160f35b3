// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli settings --data DIR --guid GUID [--FIELD VALUE ...] [--show]:
// creates or changes an entity's VetIS.API access settings (m_Vetis) without
// the window, for administrators and automation. A new record gets the
// window's defaults (creation date today, answers shown on errors, period 30).
// --show prints the record afterwards with the password and API key masked.
// "--password -" and "--apikey -" read the secret from standard input (both:
// two lines, the password first), so that it shows neither in the process
// list nor in the shell's history. Every value is stored as given or refused.
#include "cli/Command.h"
#include "cli/FieldInput.h"
#include "cli/SecretInput.h"
#include "cli/StoreMessages.h"

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
    if (!readSecretsFromInput(args, error)) {
        fail(error);
        return kExitFailure;
    }

    store::Session session(QDir(QString::fromStdString(data)).absolutePath() + u'/');
    vetis::StoredVetisSettings repo(session);
    std::optional<store::VetisRecord> found = repo.find(guid);
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
