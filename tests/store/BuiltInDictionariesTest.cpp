// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/BuiltInDictionaries.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "store/BuiltInRows.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Refs.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace store;

namespace {

struct Entry
{
    std::string name; // UTF-8
    std::string uuid;
    std::string code;
    int mark = 0;
};

class BuiltInDictionariesTest : public ::testing::Test
{
protected:
    // Entries of a kind and parent by GUID, read in a session of their own.
    std::map<std::string, Entry> entries(int kind, std::string_view parent = {})
    {
        std::map<std::string, Entry> out;
        Session s(m_folder.path());
        TypedTable<RefsRecord> refs(s, refsTable());
        EXPECT_EQ(refs.open(), kOk);
        refs.clear();
        EXPECT_EQ(refs.set("MRE:BYGUID", 0), kOk);
        for (int rc = refs.next(); rc == kOk; rc = refs.next()) {
            const RefsRecord& r = refs.rec();
            if (r.VID == kind && ztextOf(r.PARENT) == parent) {
                const QString name = platform::fromCp1251(textOf(r.NAME));
                out[std::string(textOf(r.GUID))] = {name.toStdString(), std::string(textOf(r.UUID)),
                                                    std::string(ztextOf(r.STR40_01)), r.MARK};
            }
        }
        return out;
    }

    void add(int kind, std::string_view guid, std::string_view parent = {}, int mark = 0)
    {
        Session s(m_folder.path());
        TypedTable<RefsRecord> refs(s, refsTable());
        ASSERT_EQ(refs.open(), kOk);
        refs.clear();
        refs.rec().VID = static_cast<std::uint8_t>(kind);
        setText(refs.rec().GUID, guid);
        setZText(refs.rec().PARENT, parent);
        setText(refs.rec().NAME, "foreign");
        refs.rec().MARK = static_cast<std::uint8_t>(mark);
        ASSERT_EQ(refs.add(), kOk);
    }

    void setMark(std::string_view guid, int mark)
    {
        Session s(m_folder.path());
        TypedTable<RefsRecord> refs(s, refsTable());
        ASSERT_EQ(refs.open(), kOk);
        refs.clear();
        setText(refs.rec().GUID, guid);
        ASSERT_EQ(refs.fetch("MRE:BYGUID"), kOk);
        refs.rec().MARK = static_cast<std::uint8_t>(mark);
        ASSERT_EQ(refs.put(), kOk);
    }

    BuiltInResult rebuildPackages()
    {
        Session s(m_folder.path());
        return rebuildPackageTypes(s, {}, presenter);
    }
    BuiltInResult rebuildProducts()
    {
        Session s(m_folder.path());
        return rebuildProductTypes(s, {}, presenter);
    }
    QString lastMessage() const
    {
        return presenter.shown().empty() ? QString() : presenter.shown().back().text;
    }

    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }

    testsupport::TempFolder m_folder;
    framework::RecordingPresenter presenter;
};

TEST_F(BuiltInDictionariesTest, PackageTypesArriveWholeWithStableDistinctGuids)
{
    BuiltInResult result = rebuildPackages();
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.written, 364);
    EXPECT_EQ(lastMessage(), QStringLiteral("Успешно загружено записей в справочник видов упаковки: 364"));
    EXPECT_EQ(presenter.shown().back().caption, QStringLiteral("Сообщение"));

    const auto first = entries(kPackageTypeKind);
    ASSERT_EQ(first.size(), 364u);
    std::set<std::string> codes, uuids;
    for (const auto& [guid, e] : first) {
        EXPECT_FALSE(QUuid::fromString(QString::fromStdString(guid)).isNull()) << guid;
        EXPECT_FALSE(QUuid::fromString(QString::fromStdString(e.uuid)).isNull()) << e.uuid;
        codes.insert(e.code);
        uuids.insert(e.uuid);
    }
    EXPECT_EQ(codes.size(), 364u);
    EXPECT_EQ(uuids.size(), 364u);
    // The rows the service's GUIDs are known for, and names beyond ASCII kept.
    const Entry& protectedAmpoule = first.at("5ad138ef-2493-4117-bf83-b76e4e5f609d");
    EXPECT_EQ(protectedAmpoule.name, "Ампула, защищенная");
    EXPECT_EQ(protectedAmpoule.uuid, "a1798e88-54f2-4cab-ac60-6c075fcce19f");
    EXPECT_EQ(protectedAmpoule.code, "AP");
    EXPECT_EQ(first.at("a4992438-8d0c-45b2-9ffd-669dff708417").name, "Ящик, стальной");
    bool gas = false;
    for (const auto& [guid, e] : first)
        gas = gas || (e.code == "VG" && e.name == "Наливом газ (при 1031 мБар и 15°C)");
    EXPECT_TRUE(gas);

    // A second rebuild writes the same GUIDs (derived ones included) again.
    presenter.clear();
    result = rebuildPackages();
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(lastMessage(), QStringLiteral("Успешно загружено записей в справочник видов упаковки: 364"));
    const auto second = entries(kPackageTypeKind);
    ASSERT_EQ(second.size(), 364u);
    for (const auto& [guid, e] : first)
        EXPECT_EQ(second.count(guid), 1u) << guid;
}

TEST_F(BuiltInDictionariesTest, PackageRebuildKeepsMarksDropsForeignEntriesAndLeavesOtherParentsAlone)
{
    ASSERT_TRUE(rebuildPackages().ok);
    const std::string boxGuid = builtInPackageGuid(packageTypeRows()[packageTypeRows().size() - 2]);
    setMark(boxGuid, 3);
    add(kPackageTypeKind, "gone-from-the-table", {}, 2);
    add(kPackageTypeKind, "under-another-parent", "some-parent");

    ASSERT_TRUE(rebuildPackages().ok);
    const auto after = entries(kPackageTypeKind);
    EXPECT_EQ(after.size(), 364u);
    EXPECT_EQ(after.at(boxGuid).mark, 3);
    EXPECT_EQ(after.count("gone-from-the-table"), 0u);
    int marked = 0;
    for (const auto& [guid, e] : after)
        marked += e.mark != 0;
    EXPECT_EQ(marked, 1);
    EXPECT_EQ(entries(kPackageTypeKind, "some-parent").size(), 1u);
}

TEST_F(BuiltInDictionariesTest, AFailedPackageRebuildLeavesTheDictionaryAsItWas)
{
    ASSERT_TRUE(rebuildPackages().ok);
    const std::string firstGuid = builtInPackageGuid(packageTypeRows()[0]);
    setMark(firstGuid, 1);
    // Another kind already holds the GUID of the last row: its insert fails.
    const std::string lastGuid = builtInPackageGuid(packageTypeRows()[packageTypeRows().size() - 1]);
    {
        Session s(m_folder.path());
        TypedTable<RefsRecord> refs(s, refsTable());
        ASSERT_EQ(refs.open(), kOk);
        refs.clear();
        setText(refs.rec().GUID, lastGuid);
        ASSERT_EQ(refs.fetch("MRE:BYGUID"), kOk);
        refs.rec().VID = 9;
        ASSERT_EQ(refs.put(), kOk);
    }
    presenter.clear();
    const BuiltInResult result = rebuildPackages();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(lastMessage(),
              QStringLiteral("Не удалось выполнить операцию изменения справочника видов упаковки !"));
    const auto after = entries(kPackageTypeKind);
    EXPECT_EQ(after.size(), 363u); // as before the rebuild: every row but the one moved away
    EXPECT_EQ(after.at(firstGuid).mark, 1);
}

TEST_F(BuiltInDictionariesTest, ProductTypesAreTheEightWithMarksKeptAndNothingElse)
{
    add(kProductTypeKind, "11-03", {}, 4);
    add(kProductTypeKind, "11-09");
    add(kProductTypeKind, "12-01");
    add(kProductTypeKind, "someone-else");
    const BuiltInResult result = rebuildProducts();
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.written, 8);
    EXPECT_EQ(lastMessage(), QStringLiteral("Успешно загружено записей в справочник типов продукции: 8"));
    const auto after = entries(kProductTypeKind);
    ASSERT_EQ(after.size(), 8u);
    EXPECT_EQ(after.at("11-01").name, "Мясо и мясопродукты");
    EXPECT_EQ(after.at("11-01").uuid, "11-01");
    EXPECT_EQ(after.at("11-03").name, "Живые животные");
    EXPECT_EQ(after.at("11-03").mark, 4);
    EXPECT_EQ(after.at("11-08").name, "Продукция, не требующая разрешения");
}

TEST_F(BuiltInDictionariesTest, AProductTypeIsCreatedOnDemandAlsoForAnUnknownCode)
{
    {
        Session s(m_folder.path());
        TypedTable<RefsRecord> refs(s, refsTable());
        ASSERT_EQ(refs.open(), kOk);
        EXPECT_EQ(createProductType(refs, "11-05"), kOk);
        EXPECT_EQ(createProductType(refs, "11-09"), kOk);
        EXPECT_NE(createProductType(refs, "11-05"), kOk); // already there
    }
    const auto made = entries(kProductTypeKind);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made.at("11-05").name, "Пищевые продукты");
    EXPECT_EQ(made.at("11-09").name, "Неизвестный код: 09");
}

} // namespace
