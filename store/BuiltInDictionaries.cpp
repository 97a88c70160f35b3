// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/BuiltInDictionaries.h"

#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/BuiltInRows.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Refs.h"

#include <QString>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace store {

namespace {

const QString kNoAccess = QStringLiteral("Нет доступа к спискам БД для выполнения операции !");

std::string cp1251(std::string_view utf8)
{
    return platform::toCp1251(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

// Fills the buffer with a built-in entry: the kind, GUID, UUID and name given,
// status 100, both dates today, the parent given; other fields untouched.
void setEntry(RefsRecord& r, int kind, std::string_view parent, std::string_view guid, std::string_view uuid,
              std::string_view utf8Name)
{
    r.VID = static_cast<std::uint8_t>(kind);
    setText(r.GUID, guid);
    setText(r.UUID, uuid);
    setZText(r.PARENT, parent);
    r.STATUS = 100;
    r.CDATE = platform::today();
    r.EDATE = r.CDATE;
    setText(r.NAME, cp1251(utf8Name));
}

struct StoredEntry
{
    std::string guid;
    std::uint8_t mark;
};

// The entries of a kind and parent, in name order; false when reading failed.
bool readEntries(TypedTable<RefsRecord>& refs, int kind, std::string_view parent,
                 std::vector<StoredEntry>& out)
{
    refs.clear();
    refs.rec().VID = static_cast<std::uint8_t>(kind);
    setZText(refs.rec().PARENT, parent);
    if (refs.set("MRE:BYNAME", 2) != kOk)
        return false;
    for (;;) {
        const int rc = refs.next();
        if (rc == kRecordNotFound)
            return true;
        if (rc != kOk)
            return false;
        const RefsRecord& r = refs.rec();
        if (r.VID != kind || ztextOf(r.PARENT) != parent)
            return true;
        out.push_back({std::string(textOf(r.GUID)), r.MARK});
    }
}

bool deleteEntry(TypedTable<RefsRecord>& refs, std::string_view guid)
{
    refs.clear();
    setText(refs.rec().GUID, guid);
    return refs.fetch("MRE:BYGUID") == kOk && refs.deleteRecord() == kOk;
}

// Runs `rewrite` in a transaction on m_Refs and tells the user how it ended.
template <typename Rewrite>
BuiltInResult inTransaction(Session& session, framework::MessagePresenter& presenter, const QString& done,
                            const QString& failed, Rewrite rewrite)
{
    BuiltInResult result;
    TypedTable<RefsRecord> refs(session, refsTable());
    Transaction transaction(session, {&refs}, kDataLockTimeoutSeconds);
    if (refs.open() != kOk || transaction.start() != kOk) {
        framework::informationMessage(presenter, kNoAccess);
        return result;
    }
    if (rewrite(refs, result.written) && transaction.commit() == kOk) {
        result.ok = true;
        framework::informationMessage(presenter, done + QString::number(result.written));
        return result;
    }
    transaction.rollback();
    result.written = 0;
    framework::informationMessage(presenter, failed);
    return result;
}

bool isProductTypeGuid(std::string_view guid, int& number)
{
    if (guid.size() != 5 || guid.substr(0, 3) != "11-" || guid[3] < '0' || guid[3] > '9' || guid[4] < '0' ||
        guid[4] > '9')
        return false;
    number = (guid[3] - '0') * 10 + (guid[4] - '0');
    return number >= 1 && number <= 8;
}

} // namespace

BuiltInResult rebuildPackageTypes(Session& session, std::string_view parent,
                                  framework::MessagePresenter& presenter)
{
    return inTransaction(
        session, presenter, QStringLiteral("Успешно загружено записей в справочник видов упаковки: "),
        QStringLiteral("Не удалось выполнить операцию изменения справочника видов упаковки !"),
        [&](TypedTable<RefsRecord>& refs, int& written) {
            std::vector<StoredEntry> stored;
            if (!readEntries(refs, kPackageTypeKind, parent, stored))
                return false;
            std::unordered_map<std::string, std::uint8_t> marks;
            for (const StoredEntry& e : stored) {
                if (e.mark != 0)
                    marks.emplace(e.guid, e.mark);
                if (!deleteEntry(refs, e.guid))
                    return false;
            }
            for (const PackageTypeRow& row : packageTypeRows()) {
                const std::string guid = builtInPackageGuid(row);
                refs.clear();
                RefsRecord& r = refs.rec();
                setEntry(r, kPackageTypeKind, parent, guid, builtInPackageUuid(row), row.name);
                setZText(r.STR40_01, row.code);
                const auto mark = marks.find(guid);
                r.MARK = mark == marks.end() ? 0 : mark->second;
                if (refs.add() != kOk)
                    return false;
                ++written;
            }
            return true;
        });
}

BuiltInResult rebuildProductTypes(Session& session, std::string_view parent,
                                  framework::MessagePresenter& presenter)
{
    return inTransaction(
        session, presenter, QStringLiteral("Успешно загружено записей в справочник типов продукции: "),
        QStringLiteral("Не удалось выполнить операцию изменения справочника типов продукции !"),
        [&](TypedTable<RefsRecord>& refs, int& written) {
            std::vector<StoredEntry> stored;
            if (!readEntries(refs, kProductTypeKind, parent, stored))
                return false;
            for (const StoredEntry& e : stored) {
                int number = 0;
                if (!isProductTypeGuid(e.guid, number) && !deleteEntry(refs, e.guid))
                    return false;
            }
            for (int number = 1; number <= 8; ++number) {
                const std::string guid = productTypeGuid(number);
                refs.clear();
                setText(refs.rec().GUID, guid);
                const int found = refs.fetch("MRE:BYGUID");
                if (found != kOk && found != kRecordNotFound)
                    return false;
                if (found == kRecordNotFound)
                    refs.clear();
                setEntry(refs.rec(), kProductTypeKind, parent, guid, guid, productTypeName(number));
                if ((found == kOk ? refs.put() : refs.add()) != kOk)
                    return false;
                ++written;
            }
            return true;
        });
}

int createProductType(TypedTable<RefsRecord>& refs, std::string_view code)
{
    int number = 0;
    const std::string_view digits = code.size() >= 5 ? code.substr(3, 2) : std::string_view();
    std::string name;
    if (isProductTypeGuid(code, number))
        name = productTypeName(number);
    else
        name = "Неизвестный код: " + std::string(digits);
    refs.clear();
    setEntry(refs.rec(), kProductTypeKind, {}, code, code, name);
    return refs.add();
}

} // namespace store
