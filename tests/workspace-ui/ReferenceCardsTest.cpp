// SPDX-License-Identifier: LicenseRef-Kestrom
// The product, business entity and enterprise cards on a data folder: view
// mode, the entity's list of enterprises, the choice of the working
// enterprise (and its rollback), the access settings rule and saving the own
// entity.
#include "WindowData.h"

#include "framework/ui/Controls.h"
#include "store/tables/Product.h"
#include "workspace/ui/EnterpriseCard.h"
#include "workspace/ui/EntityCard.h"
#include "workspace/ui/ProductCard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <functional>
#include <optional>

using framework::ui::control;
using namespace windowtest;
using workspace::CardMode;
using workspace::ui::EntityCard;

namespace {

constexpr const char* kCardsProduct = "a1b2c3d4-e5f6-4a7b-8c9d-0e1f2a3b4c5d";
constexpr const char* kCardsStranger = "b2c3d4e5-f6a7-4b8c-9dae-1f2a3b4c5d6e";

class ReferenceCardsTest : public WindowData
{
protected:
    void SetUp() override
    {
        WindowData::SetUp();
        addOwnEntity();
    }

    store::EntityRecord entity(const char* guid)
    {
        store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
        EXPECT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, guid);
        EXPECT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
        return entities.rec();
    }

    // MPL:MARK of the own entity's link to `enterprise`.
    int mark(const char* enterprise)
    {
        store::TypedTable<store::PlaceRecord> places(m_session, store::placeTable());
        EXPECT_EQ(places.open(), store::kOk);
        places.clear();
        store::setText(places.rec().ENTITY, kOwn);
        store::setText(places.rec().ENTERPRISE, enterprise);
        EXPECT_EQ(places.fetch("MPL:BYENTITY"), store::kOk);
        return places.rec().MARK;
    }

    std::unique_ptr<EntityCard> entityCard(const char* guid, CardMode mode)
    {
        workspace::ui::EntityCardHooks hooks;
        hooks.openAccessSettings = [this](QWidget*, const std::string& g) { m_accessOpened.push_back(g); };
        hooks.openEnterprise = [this](QWidget*, const std::string& g) {
            m_enterprisesOpened.push_back(g);
            return true;
        };
        hooks.loadFromMercury = [this](QWidget*, const std::string& g) {
            m_loaded.push_back(g);
            if (m_loadResult == responses::EntityLoadResult::Loaded) {
                store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
                EXPECT_EQ(entities.open(), store::kOk);
                entities.clear();
                store::setText(entities.rec().GUID, g);
                EXPECT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
                store::setText(entities.rec().NAME, platform::toCp1251(u"ООО \"Заря\" из Меркурия"));
                EXPECT_EQ(entities.put(), store::kOk);
            }
            return m_loadResult;
        };
        auto card = std::make_unique<EntityCard>(m_session, entity(guid), mode, hooks);
        card->show();
        return card;
    }

    static void selectEnterprise(EntityCard& card, const char* guid)
    {
        auto* list = control<QTableWidget>(&card, QStringLiteral("PLACES"));
        for (std::size_t i = 0; i < card.enterprises().size(); ++i)
            if (card.enterprises()[i].guid == guid)
                list->selectRow(static_cast<int>(i));
    }

    static QPushButton* button(QWidget& w, const char* name)
    {
        return control<QPushButton>(&w, QString::fromLatin1(name));
    }

    // Every text field of the window is read-only, " Да" is hidden and " Нет"
    // closes it.
    static void expectViewOnly(QDialog& card)
    {
        for (QLineEdit* edit : card.findChildren<QLineEdit*>())
            EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
        EXPECT_FALSE(button(card, "BOK")->isVisible());
        QTest::mouseClick(button(card, "BCANCEL"), Qt::LeftButton);
        EXPECT_FALSE(card.isVisible());
        EXPECT_EQ(card.result(), QDialog::Rejected);
    }

    store::Session m_session{m_folder.path()};
    std::vector<std::string> m_accessOpened;
    std::vector<std::string> m_enterprisesOpened;
    std::vector<std::string> m_loaded;
    responses::EntityLoadResult m_loadResult = responses::EntityLoadResult::Loaded;
};

TEST_F(ReferenceCardsTest, AProductWithoutItsDictionariesShowsEmptyNames)
{
    store::ProductRecord p{};
    store::setText(p.GUID, kCardsProduct);
    store::setText(p.NAME, platform::toCp1251(u"Колбаса варёная"));
    store::setText(p.PRODUCT, "c0c0c0c0-1111-4222-8333-444444444444");
    store::setText(p.SUBPRODUCT, "d0d0d0d0-1111-4222-8333-444444444444");
    store::setText(p.PRODUCER, kCardsStranger);
    p.CORRGOST = 1;
    workspace::ui::ProductCard card(m_session, p);
    card.show();
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Просмотр продукции"));
    EXPECT_EQ(control<QLineEdit>(&card, QStringLiteral("NAME"))->text(), QStringLiteral("Колбаса варёная"));
    EXPECT_EQ(control<QLineEdit>(&card, QStringLiteral("CORRGOST_TEXT"))->text(),
              QStringLiteral("СООТВЕТСТВУЕТ"));
    for (const char* name : {"PRODUCT_TEXT", "SUBPRODUCT_TEXT", "PRODUCER_TEXT", "TMOWNER_TEXT"})
        EXPECT_TRUE(control<QLineEdit>(&card, QString::fromLatin1(name))->text().isEmpty()) << name;
    EXPECT_EQ(m_presenter.count(), 0u);
    expectViewOnly(card);
}

TEST_F(ReferenceCardsTest, TheEntriesTellAMissingGuidFromAMissingRecord)
{
    workspace::ui::openProductCard(nullptr, m_session, kOwn, "");
    workspace::ui::openProductCard(nullptr, m_session, kOwn, kCardsProduct);
    workspace::ui::openEnterpriseCard(nullptr, m_session, kOwn, "12345");
    workspace::ui::openEnterpriseCard(nullptr, m_session, kOwn, kCardsStranger);
    ASSERT_EQ(m_presenter.count(), 4u);
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("Нет данных производителя (кода GUID) о продукции !"));
    EXPECT_EQ(m_presenter.shown()[1].text,
              QStringLiteral("В справочник не загружены данные производителя о продукции !"));
    EXPECT_EQ(m_presenter.shown()[1].caption, QStringLiteral("Сообщение"));
    EXPECT_EQ(m_presenter.shown()[2].text,
              QStringLiteral("Нет данных о площадке - отправителе продукции по ВСД !"));
    EXPECT_EQ(m_presenter.shown()[3].text,
              QStringLiteral("В справочник не загружены данные о площадке - отправителе продукции по ВСД !"));

    EXPECT_EQ(workspace::ui::runEntityCard(nullptr, m_session, kOwn, "", false),
              workspace::ui::EntityCardResult::NoGuid);
    EXPECT_EQ(workspace::ui::runEntityCard(nullptr, m_session, kOwn, kCardsStranger, false),
              workspace::ui::EntityCardResult::NotStored);
    EXPECT_EQ(m_presenter.count(), 4u);

    // A stored product opens, and closes with " Нет".
    {
        store::TypedTable<store::ProductRecord> products(m_session, store::productTable());
        ASSERT_EQ(products.open(), store::kOk);
        products.clear();
        store::setText(products.rec().GUID, kCardsProduct);
        ASSERT_EQ(products.add(), store::kOk);
    }
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        if (auto* card = qobject_cast<workspace::ui::ProductCard*>(QApplication::activeModalWidget())) {
            shown = true;
            QTest::mouseClick(control<QPushButton>(card, QStringLiteral("BCANCEL")), Qt::LeftButton);
        }
    });
    workspace::ui::openProductCard(nullptr, m_session, kOwn, kCardsProduct);
    EXPECT_TRUE(shown);
}

TEST_F(ReferenceCardsTest, AnEnterpriseOfTypeZeroShowsQuestionMarks)
{
    store::EnterpriseRecord e{};
    store::setText(e.GUID, kPlace);
    store::setText(e.NAME, platform::toCp1251(u"Склад"));
    store::setText(e.OWNER, kOwn);
    store::setZText(e.REGSTATUS, "CANCELED");
    e.TYPE = 0;
    workspace::ui::EnterpriseCard card(m_session, e);
    card.show();
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Просмотр площадки"));
    EXPECT_EQ(control<QLineEdit>(&card, QStringLiteral("TYPE_TEXT"))->text(), QStringLiteral("???"));
    EXPECT_EQ(control<QLineEdit>(&card, QStringLiteral("REGSTATUS_TEXT"))->text(),
              QStringLiteral("Исключён"));
    EXPECT_EQ(control<QLineEdit>(&card, QStringLiteral("OWNER_TEXT"))->text(),
              QStringLiteral("ООО \"Ромашка\""));
    expectViewOnly(card);
}

TEST_F(ReferenceCardsTest, TheViewedEntityListsItsEnterprisesAndOpensTheirCards)
{
    auto card = entityCard(kOwn, CardMode::View);
    EXPECT_EQ(card->windowTitle(), QStringLiteral("Просмотр XC"));
    auto* list = control<QTableWidget>(card.get(), QStringLiteral("PLACES"));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->horizontalHeaderItem(8)->text(), QStringLiteral("GUID"));
    QStringList names;
    for (int row = 0; row < 2; ++row)
        names << list->item(row, 0)->text();
    EXPECT_TRUE(names.contains(QStringLiteral("Склад №1")));
    EXPECT_TRUE(names.contains(QStringLiteral("Магазин на Ленина")));

    // Viewing changes nothing: no working enterprise, no access settings.
    EXPECT_FALSE(button(*card, "BWORK")->isEnabled());
    EXPECT_FALSE(button(*card, "BACCESS")->isEnabled());

    selectEnterprise(*card, kOtherPlace);
    QTest::mouseClick(button(*card, "BPLACE"), Qt::LeftButton);
    ASSERT_EQ(m_enterprisesOpened.size(), 1u);
    EXPECT_EQ(m_enterprisesOpened.front(), kOtherPlace);
    expectViewOnly(*card);
}

TEST_F(ReferenceCardsTest, TheWorkingEnterpriseMovesInOneTransaction)
{
    auto card = entityCard(kOwn, CardMode::Change);
    EXPECT_EQ(card->windowTitle(), QStringLiteral("Изменить XC ?"));
    selectEnterprise(*card, kOtherPlace);
    QTest::mouseClick(button(*card, "BWORK"), Qt::LeftButton);
    EXPECT_EQ(m_presenter.count(), 0u);
    EXPECT_EQ(mark(kPlace), 0);
    EXPECT_EQ(mark(kOtherPlace), 1);
    for (const auto& e : card->enterprises())
        EXPECT_EQ(e.working, e.guid == kOtherPlace);

    // The second update of m_Place fails: the first one is undone.
    sqlite3* db = nullptr;
    const QString file = m_folder.path() + QStringLiteral("Base/mv05.dat");
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE updates(n INTEGER); INSERT INTO updates VALUES(0);"
                           "CREATE TRIGGER second_fails BEFORE UPDATE ON records BEGIN "
                           "UPDATE updates SET n = n + 1; "
                           "SELECT RAISE(ABORT, 'disk full') WHERE (SELECT n FROM updates) >= 2; END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    selectEnterprise(*card, kPlace);
    QTest::mouseClick(button(*card, "BWORK"), Qt::LeftButton);
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER second_fails; DROP TABLE updates", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text, QStringLiteral("Не удалось выполнить операцию !"));
    EXPECT_EQ(mark(kPlace), 0);
    EXPECT_EQ(mark(kOtherPlace), 1);
}

TEST_F(ReferenceCardsTest, AccessSettingsOpenOnlyForTheOwnEntityWithAnIssuerId)
{
    {
        store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kCardsStranger);
        ASSERT_EQ(entities.add(), store::kOk);
    }
    auto own = entityCard(kOwn, CardMode::Change);
    QTest::mouseClick(button(*own, "BACCESS"), Qt::LeftButton);
    ASSERT_EQ(m_accessOpened.size(), 1u);
    EXPECT_EQ(m_accessOpened.front(), kOwn);

    // An issuer id typed short is refused.
    control<QLineEdit>(own.get(), QStringLiteral("GUID"))->setText(QStringLiteral("400cb70f"));
    QTest::mouseClick(button(*own, "BACCESS"), Qt::LeftButton);
    auto stranger = entityCard(kCardsStranger, CardMode::Change);
    QTest::mouseClick(button(*stranger, "BACCESS"), Qt::LeftButton);
    EXPECT_EQ(m_accessOpened.size(), 1u);
    ASSERT_EQ(m_presenter.count(), 2u);
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
    EXPECT_EQ(m_presenter.shown()[1].text,
              QStringLiteral("Настройки доступа к сервису Ветис.API доступны только для своих ХС !"));
}

TEST_F(ReferenceCardsTest, TheOwnEntitySavesWhatWasTyped)
{
    auto card = entityCard(kOwn, CardMode::Change);
    control<QLineEdit>(card.get(), QStringLiteral("INN"))->setText(QStringLiteral("7701234567"));
    control<QLineEdit>(card.get(), QStringLiteral("NAME"))->setText(QStringLiteral("ООО \"Василёк\""));
    EXPECT_TRUE(control<QLineEdit>(card.get(), QStringLiteral("CDATE"))->isReadOnly());
    QTest::mouseClick(button(*card, "BOK"), Qt::LeftButton);
    EXPECT_EQ(card->result(), QDialog::Accepted);
    const store::EntityRecord saved = entity(kOwn);
    EXPECT_EQ(store::ztextOf(saved.INN), "7701234567");
    EXPECT_EQ(platform::fromCp1251(store::clip(store::textOf(saved.NAME))),
              QStringLiteral("ООО \"Василёк\""));
    EXPECT_EQ(+saved.HOME, 1);
    // The links of its enterprises are untouched.
    EXPECT_EQ(mark(kPlace), 1);
}

TEST_F(ReferenceCardsTest, TheOwnEntityIsLoadedFromMercuryWhenTheUserAgrees)
{
    auto card = entityCard(kOwn, CardMode::Change);
    m_presenter.setNextAnswer(framework::ButtonNo);
    QTest::mouseClick(button(*card, "BLOAD"), Qt::LeftButton);
    EXPECT_TRUE(m_loaded.empty());
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("Получить по коду IssuerID данные текущего ХС и его торговых площадок ?"));

    m_presenter.setNextAnswer(framework::ButtonYes);
    QTest::mouseClick(button(*card, "BLOAD"), Qt::LeftButton);
    ASSERT_EQ(m_loaded.size(), 1u);
    EXPECT_EQ(m_loaded.front(), kOwn);
    EXPECT_EQ(control<QLineEdit>(card.get(), QStringLiteral("NAME"))->text(),
              QStringLiteral("ООО \"Заря\" из Меркурия"));
    EXPECT_EQ(m_presenter.count(), 2u); // only the question

    // A load whose write failed says so.
    m_loadResult = responses::EntityLoadResult::WriteFailed;
    m_presenter.setNextAnswer(framework::ButtonYes);
    QTest::mouseClick(button(*card, "BLOAD"), Qt::LeftButton);
    ASSERT_EQ(m_presenter.count(), 4u);
    EXPECT_EQ(m_presenter.shown()[3].text,
              QStringLiteral("Не удалось выполнить операцию изменения данных !"));

    // Counterparties and viewed cards are not loaded.
    {
        store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kCardsStranger);
        ASSERT_EQ(entities.add(), store::kOk);
    }
    EXPECT_FALSE(button(*entityCard(kCardsStranger, CardMode::Change), "BLOAD")->isEnabled());
    EXPECT_FALSE(button(*entityCard(kOwn, CardMode::View), "BLOAD")->isEnabled());
}

} // namespace
