// SPDX-License-Identifier: LicenseRef-Kestrom
// The VSD card on a data folder: view and change modes, the texts of its
// codes from the local tables, the cargo purpose, the actual volume typed
// with the numeric pad, and saving (and failing to save) the record.
#include "WindowData.h"

#include "framework/ui/Controls.h"
#include "store/tables/Refs.h"
#include "workspace/CodeTexts.h"
#include "workspace/ui/VsdCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sqlite3.h>

#include <functional>
#include <optional>

using framework::ui::control;
using namespace windowtest;
using workspace::ui::VsdCard;

namespace {

constexpr const char* kCardPurposeGuid = "7a1c0d52-3f0e-4b8e-9d5c-2b6f1e0a9c11";
constexpr const char* kCardOtherGuid = "0b8f3c2e-6a4d-4f1b-8e7c-5d9a2b1c3e44";
constexpr const char* kCardProductGuid = "c3d5e7f9-1a2b-4c3d-8e4f-5a6b7c8d9e01";
constexpr const char* kCardOwnerGuid = "d1e2f3a4-b5c6-4d7e-8f90-a1b2c3d4e5f6";

class VsdCardTest : public WindowData
{
protected:
    void SetUp() override
    {
        WindowData::SetUp();
        addOwnEntity();
    }

    // Changes the stored VSD number `n`.
    void change(int n, const std::function<void(store::VsdRecord&)>& edit)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, uuidOf(n));
        ASSERT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        edit(vsds.rec());
        ASSERT_EQ(vsds.put(), store::kOk);
    }

    void addReference(int kind, std::string_view guid, const char16_t* name)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::RefsRecord> refs(s, store::refsTable());
        ASSERT_EQ(refs.open(), store::kOk);
        refs.clear();
        refs.rec().VID = static_cast<std::uint8_t>(kind);
        store::setText(refs.rec().GUID, guid);
        store::setText(refs.rec().NAME, platform::toCp1251(name));
        ASSERT_EQ(refs.add(), store::kOk);
    }

    store::VsdRecord stored(int n)
    {
        store::Session s(m_folder.path());
        store::VsdRecord r{};
        EXPECT_TRUE(workspace::readVsdForCard(s, uuidOf(n), r));
        return r;
    }

    std::unique_ptr<VsdCard> open(int n, bool requestChange, workspace::ui::OpenNestedLists nested = {})
    {
        auto card = std::make_unique<VsdCard>(m_session, kOwn, stored(n), requestChange, std::move(nested));
        card->show();
        return card;
    }

    template <typename T = QWidget>
    static T* at(VsdCard& card, const char* name)
    {
        T* w = control<T>(&card, QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QString text(VsdCard& card, const char* name) { return at<QLineEdit>(card, name)->text(); }

    static void typeVolume(VsdCard& card, const char* digitsBefore, Qt::Key decimalKey,
                           const char* digitsAfter)
    {
        auto* spin = at<QDoubleSpinBox>(card, "KOLVO");
        spin->selectAll();
        QTest::keyClicks(spin, QString::fromLatin1(digitsBefore));
        QTest::keyClick(spin, decimalKey, Qt::KeypadModifier);
        QTest::keyClicks(spin, QString::fromLatin1(digitsAfter));
    }

    store::Session m_session{m_folder.path()};
};

TEST_F(VsdCardTest, AVsdThatIsNoLongerIssuedOpensForViewing)
{
    addVsds({{1, 1, 3}, {2, 1, 3}});
    change(1, [](store::VsdRecord& r) { r.KOLVO = 0; });

    std::vector<std::string> nestedOpened;
    auto card = open(1, true, [&](const std::string& uuid) { nestedOpened.push_back(uuid); });
    EXPECT_FALSE(card->changeMode());
    EXPECT_EQ(card->windowTitle(), QStringLiteral("Просмотр ВСД"));
    EXPECT_FALSE(at(*card, "BOK")->isVisible());
    EXPECT_EQ(at<QPushButton>(*card, "BCANCEL")->text(), QStringLiteral(" Закрыть"));
    EXPECT_TRUE(at<QPushButton>(*card, "BCANCEL")->isDefault());
    EXPECT_TRUE(at(*card, "KOLVO")->isHidden());
    EXPECT_TRUE(at(*card, "KOLVO_PROMPT")->isHidden());
    EXPECT_FALSE(at(*card, "PURPOSE_ON")->isEnabled());
    EXPECT_TRUE(at<QPlainTextEdit>(*card, "PROSPERITY")->isReadOnly());
    EXPECT_EQ(text(*card, "CODSTATUS_TEXT"), QStringLiteral("Погашен"));

    // The nested lists open on the VSD and the card stays.
    QTest::mouseClick(at(*card, "BINSIDE"), Qt::LeftButton);
    EXPECT_EQ(nestedOpened, std::vector<std::string>{uuidOf(1)});
    EXPECT_TRUE(card->isVisible());

    // With a volume the line stays, disabled; without a way to the nested
    // lists their button is disabled.
    auto second = open(2, true);
    EXPECT_FALSE(at(*second, "KOLVO")->isHidden());
    EXPECT_FALSE(at(*second, "KOLVO")->isEnabled());
    EXPECT_FALSE(at(*second, "BINSIDE")->isEnabled());
    QTest::mouseClick(at(*second, "BCANCEL"), Qt::LeftButton);
    EXPECT_EQ(second->result(), QDialog::Rejected);
}

TEST_F(VsdCardTest, CodesShowAsTextsFromTheLocalTablesOnly)
{
    addVsds({{1, 1, 1}});
    addReference(11, "11-05", u"Рыба и морепродукты");
    addReference(12, kCardProductGuid, u"Рыба мороженая");
    addReference(10, kCardPurposeGuid, u"Реализация в пищу людям");
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kCardOwnerGuid);
        store::setText(entities.rec().NAME, platform::toCp1251(u"ООО \"Океан\""));
        ASSERT_EQ(entities.add(), store::kOk);
    }
    change(1, [](store::VsdRecord& r) {
        store::setZText(r.VETDTYPE, "SOMETHING_NEW");
        store::setZText(r.VETDFORM, "CERT99");
        store::setZText(r.NONFOODSOURCE, "MIXED");
        r.PRODTYPE = 5;
        store::setText(r.PRODUCT, kCardProductGuid);
        store::setText(r.SUBPRODUCT, kCardOtherGuid); // not stored: no text, nothing fetched
        store::setText(r.OWNER, kCardOwnerGuid);
        store::setText(r.BROKER, "11111111-2222-4333-8444-555555555555");
        store::setText(r.PURPOSE, kCardPurposeGuid);
        r.TRANSPORTTYPE1 = 1;
        store::setZText(r.TRAILERNUMBER1, platform::toCp1251(u"АВ 1234 77"));
        r.PERISHABLE = 1;
        store::setZText(r.TRSTORAGETYPE, "FROZEN");
        r.PROHOUR1 = 7;
        r.QURANTINEDURATION = 0;
    });

    auto card = open(1, true);
    EXPECT_TRUE(card->changeMode());
    EXPECT_EQ(card->windowTitle(), QStringLiteral("Изменить ВСД ?"));
    EXPECT_EQ(text(*card, "VETDTYPE_TEXT"), QStringLiteral("???"));
    // The list shows the code itself.
    EXPECT_EQ(workspace::vsdTypeText("SOMETHING_NEW"), QStringLiteral("SOMETHING_NEW"));
    EXPECT_EQ(text(*card, "VETDFORM_TEXT"), QStringLiteral("CERT99"));
    EXPECT_EQ(text(*card, "NONFOODSOURCE_TEXT"), QStringLiteral("Сборное"));
    EXPECT_EQ(text(*card, "PRODTYPE_TEXT"), QStringLiteral("Рыба и морепродукты"));
    EXPECT_EQ(text(*card, "PRODUCT_TEXT"), QStringLiteral("Рыба мороженая"));
    EXPECT_EQ(text(*card, "SUBPRODUCT_TEXT"), QString());
    EXPECT_EQ(text(*card, "OWNER_TEXT"), QStringLiteral("ООО \"Океан\""));
    EXPECT_EQ(text(*card, "BROKER_TEXT"), QString());
    EXPECT_EQ(text(*card, "TRANSPORTTYPE1_TEXT"), QStringLiteral("Автомобильный"));
    EXPECT_EQ(text(*card, "TRANSPORTNUMBER1"), QStringLiteral("АВ 1234 77"));
    EXPECT_EQ(at<QLabel>(*card, "PERISHABLE")->text(), QStringLiteral("Скоропортящийся груз"));
    EXPECT_EQ(at<QLabel>(*card, "LOWGRADECARGO")->text(), QString());
    EXPECT_EQ(text(*card, "TRSTORAGETYPE"), QStringLiteral("Замороженный"));
    EXPECT_EQ(text(*card, "PROHOUR1"), QStringLiteral("07"));
    EXPECT_EQ(text(*card, "PROHOUR2"), QString());
    EXPECT_EQ(text(*card, "QURANTINEDURATION"), QString());
    EXPECT_EQ(text(*card, "DATE"), QStringLiteral("19.05.2024"));
    EXPECT_TRUE(at<QCheckBox>(*card, "PURPOSE_ON")->isChecked());
    EXPECT_EQ(text(*card, "PURPOSE_NAME"), QStringLiteral("Реализация в пищу людям"));

    // An unknown status is no number here either.
    change(1, [](store::VsdRecord& r) { r.CODSTATUS = 7; });
    auto unknown = open(1, true);
    EXPECT_EQ(text(*unknown, "CODSTATUS_TEXT"), QStringLiteral("???"));
    EXPECT_FALSE(unknown->changeMode());
}

TEST_F(VsdCardTest, ThePurposeIsSavedOnlyWhileItsBoxIsOn)
{
    addVsds({{1, 1, 1}, {2, 1, 1}});
    change(2, [](store::VsdRecord& r) { store::setText(r.PURPOSE, "not a guid"); });

    auto card = open(1, true);
    card->setPurposeChooser(
        [](QWidget*, const std::string& own) -> std::optional<workspace::ReferenceChoice> {
            EXPECT_EQ(own, kOwn);
            return workspace::ReferenceChoice{kCardPurposeGuid, QStringLiteral("Переработка")};
        });
    auto* box = at<QCheckBox>(*card, "PURPOSE_ON");
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(at(*card, "PURPOSE_NAME")->isHidden());
    EXPECT_TRUE(at(*card, "BPURPOSE")->isHidden());
    box->setChecked(true);
    EXPECT_FALSE(at(*card, "PURPOSE_NAME")->isHidden());
    EXPECT_FALSE(at(*card, "BPURPOSE")->isHidden());
    QTest::mouseClick(at(*card, "BPURPOSE"), Qt::LeftButton);
    EXPECT_EQ(text(*card, "PURPOSE_NAME"), QStringLiteral("Переработка"));
    box->setChecked(false);
    QTest::mouseClick(at(*card, "BOK"), Qt::LeftButton);
    EXPECT_EQ(card->result(), QDialog::Accepted);
    EXPECT_EQ(store::textOf(stored(1).PURPOSE), "");

    // With the box on the choice is written.
    auto again = open(1, true);
    again->setPurposeChooser([](QWidget*, const std::string&) -> std::optional<workspace::ReferenceChoice> {
        return workspace::ReferenceChoice{kCardPurposeGuid, QStringLiteral("Переработка")};
    });
    at<QCheckBox>(*again, "PURPOSE_ON")->setChecked(true);
    QTest::mouseClick(at(*again, "BPURPOSE"), Qt::LeftButton);
    QTest::mouseClick(at(*again, "BOK"), Qt::LeftButton);
    EXPECT_EQ(store::textOf(stored(1).PURPOSE), kCardPurposeGuid);

    // A purpose that is no GUID opens with the box off and is not written back.
    auto odd = open(2, true);
    EXPECT_FALSE(at<QCheckBox>(*odd, "PURPOSE_ON")->isChecked());
    at<QCheckBox>(*odd, "PURPOSE_ON")->setChecked(true);
    QTest::mouseClick(at(*odd, "BOK"), Qt::LeftButton);
    EXPECT_EQ(store::textOf(stored(2).PURPOSE), "");
}

TEST_F(VsdCardTest, TheKeypadDecimalKeyTypesAFullStopAndTheCardSavesTheRecord)
{
    addVsds({{1, 1, 1}});
    auto card = open(1, true);
    // A Russian layout gives the keypad's decimal key as a comma.
    typeVolume(*card, "12", Qt::Key_Comma, "5");
    EXPECT_DOUBLE_EQ(at<QDoubleSpinBox>(*card, "KOLVO")->value(), 12.5);
    typeVolume(*card, "7", Qt::Key_Period, "125");
    EXPECT_DOUBLE_EQ(at<QDoubleSpinBox>(*card, "KOLVO")->value(), 7.125);
    typeVolume(*card, "12", Qt::Key_Comma, "5");

    // The prosperity keeps 120 characters, however much is typed or pasted.
    auto* prosperity = at<QPlainTextEdit>(*card, "PROSPERITY");
    EXPECT_FALSE(prosperity->isReadOnly());
    QTest::keyClicks(prosperity, QString(100, QLatin1Char('a')));
    prosperity->insertPlainText(QString(30, QChar(u'ж')));
    QTest::keyClicks(prosperity, QStringLiteral("b"));
    const QString kept = QString(100, QLatin1Char('a')) + QString(20, QChar(u'ж'));
    EXPECT_EQ(prosperity->toPlainText(), kept);

    const store::VsdRecord before = stored(1);
    QTest::mouseClick(at(*card, "BOK"), Qt::LeftButton);
    EXPECT_EQ(card->result(), QDialog::Accepted);
    const store::VsdRecord after = stored(1);
    EXPECT_DOUBLE_EQ(+after.KOLVO, 12.5);
    EXPECT_EQ(platform::fromCp1251(store::ztextOf(after.PROSPERITY)), kept);
    EXPECT_EQ(store::ztextOf(after.PRODITEMNAME), store::ztextOf(before.PRODITEMNAME));
    EXPECT_EQ(+after.CODSTATUS, +before.CODSTATUS);
}

TEST_F(VsdCardTest, AFailedSaveIsReportedAndTheCardStaysOpen)
{
    addVsds({{1, 1, 1}});
    auto card = open(1, true);
    typeVolume(*card, "3", Qt::Key_Comma, "25");

    // m_VSD refuses every change, as a full disk would.
    sqlite3* db = nullptr;
    const QString file = m_folder.path() + QStringLiteral("Base/mv08.dat");
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TRIGGER full_disk BEFORE UPDATE ON records BEGIN SELECT RAISE(ABORT, 'disk "
                     "full'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    QTest::mouseClick(at(*card, "BOK"), Qt::LeftButton);
    EXPECT_TRUE(card->isVisible());
    EXPECT_NE(card->result(), QDialog::Accepted);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().caption, QStringLiteral("Запись не обновляется"));
    EXPECT_TRUE(m_presenter.shown().front().text.contains(QStringLiteral("mv08.dat")));
    EXPECT_DOUBLE_EQ(+stored(1).KOLVO, 120.5);

    // Once the file takes changes again the same card saves.
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER full_disk", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    QTest::mouseClick(at(*card, "BOK"), Qt::LeftButton);
    EXPECT_EQ(card->result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(+stored(1).KOLVO, 3.25);
}

TEST_F(VsdCardTest, TheEntryRunsTheCardOnAStoredVsd)
{
    addVsds({{1, 1, 1}});
    // A VSD that is not stored opens no card.
    EXPECT_FALSE(workspace::ui::openVsdCard(nullptr, m_session, kOwn, uuidOf(99), true));
    EXPECT_EQ(m_presenter.count(), 1u);

    QTimer::singleShot(0, [] {
        if (auto* card = qobject_cast<VsdCard*>(QApplication::activeModalWidget()))
            QTest::mouseClick(control(card, QStringLiteral("BOK")), Qt::LeftButton);
    });
    EXPECT_TRUE(workspace::ui::openVsdCard(nullptr, m_session, kOwn, uuidOf(1), true));

    QTimer::singleShot(0, [] {
        if (auto* card = qobject_cast<VsdCard*>(QApplication::activeModalWidget()))
            QTest::mouseClick(control(card, QStringLiteral("BCANCEL")), Qt::LeftButton);
    });
    EXPECT_FALSE(workspace::ui::openVsdCard(nullptr, m_session, kOwn, uuidOf(1), true));
}

} // namespace
