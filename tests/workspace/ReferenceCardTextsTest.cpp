// SPDX-License-Identifier: LicenseRef-Kestrom
// The display texts of the reference cards and the names a product card looks
// up in the local tables.
#include "workspace/ReferenceCardTexts.h"

#include "support/TestSupport.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"
#include "store/tables/Product.h"
#include "store/tables/Refs.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace workspace;

namespace {

constexpr const char* kRefProduct = "6a2f0b7e-3c1d-4e5f-8a9b-0c1d2e3f4a5b";
constexpr const char* kRefSubProduct = "7b3a1c8f-4d2e-4f60-9bac-1d2e3f4a5b6c";
constexpr const char* kRefProducer = "8c4b2d90-5e3f-4071-acbd-2e3f4a5b6c7d";

TEST(ReferenceCardTexts, EnterpriseTypesAndRegistrationStatuses)
{
    EXPECT_EQ(enterpriseTypeName(1), QStringLiteral("Предприятие"));
    EXPECT_EQ(enterpriseTypeName(2), QStringLiteral("Рынок"));
    EXPECT_EQ(enterpriseTypeName(3), QStringLiteral("СББЖ"));
    EXPECT_EQ(enterpriseTypeName(4), QStringLiteral("Судно"));
    EXPECT_EQ(enterpriseTypeName(0), QStringLiteral("???"));
    EXPECT_EQ(enterpriseTypeName(5), QStringLiteral("???"));

    EXPECT_EQ(registrationStatusName("UNVERIFIED"), QStringLiteral("Не подтверждён"));
    EXPECT_EQ(registrationStatusName("VERIFIED  "), QStringLiteral("Подтверждён"));
    EXPECT_EQ(registrationStatusName("CANCELED"), QStringLiteral("Исключён"));
    EXPECT_EQ(registrationStatusName("DELETED"), QStringLiteral("Удалён"));
    EXPECT_EQ(registrationStatusName(""), QStringLiteral("???"));
    EXPECT_EQ(registrationStatusName("verified"), QStringLiteral("???"));
}

TEST(ReferenceCardTexts, OnlyAnOwnEntityWithACompleteGuidGetsItsAccessSettings)
{
    store::EntityRecord e{};
    store::setText(e.GUID, "400cb70f-964e-43c0-b4a3-165de1ab3e01");
    e.HOME = 1;
    EXPECT_EQ(accessSettingsCheck(e), AccessSettingsCheck::Allowed);
    e.HOME = 0;
    EXPECT_EQ(accessSettingsCheck(e), AccessSettingsCheck::NotOwn);
    e.HOME = 1;
    store::setText(e.GUID, "400cb70f-964e-43c0");
    EXPECT_EQ(accessSettingsCheck(e), AccessSettingsCheck::BadIssuerId);

    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    EXPECT_FALSE(allowAccessSettings(e));
    e.HOME = 0;
    EXPECT_FALSE(allowAccessSettings(e));
    framework::setMessagePresenter(nullptr);
    ASSERT_EQ(presenter.count(), 2u);
    EXPECT_EQ(presenter.shown()[0].text,
              QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
    EXPECT_EQ(presenter.shown()[1].text,
              QStringLiteral("Настройки доступа к сервису Ветис.API доступны только для своих ХС !"));
    EXPECT_EQ(presenter.shown()[1].caption, QStringLiteral("У нас проблема"));
}

class ProductNames : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }

    void addRef(int kind, const char* guid, const char16_t* name)
    {
        store::TypedTable<store::RefsRecord> refs(m_session, store::refsTable());
        ASSERT_EQ(refs.open(), store::kOk);
        refs.clear();
        refs.rec().VID = static_cast<decltype(refs.rec().VID)>(kind);
        store::setText(refs.rec().GUID, guid);
        store::setText(refs.rec().NAME, platform::toCp1251(QString::fromUtf16(name)));
        ASSERT_EQ(refs.add(), store::kOk);
    }

    store::ProductRecord product() const
    {
        store::ProductRecord r{};
        r.PRODTYPE = 1;
        store::setText(r.PRODUCT, kRefProduct);
        store::setText(r.SUBPRODUCT, kRefSubProduct);
        store::setText(r.PRODUCER, kRefProducer);
        store::setText(r.TMOWNER, "");
        return r;
    }

    testsupport::TempFolder m_folder;
    store::Session m_session{m_folder.path()};
};

TEST_F(ProductNames, MissingDictionaryEntriesGiveEmptyNames)
{
    const ProductCardTexts t = productCardTexts(m_session, product());
    EXPECT_TRUE(t.product.isEmpty());
    EXPECT_TRUE(t.subProduct.isEmpty());
    EXPECT_TRUE(t.producer.isEmpty());
    EXPECT_TRUE(t.tmOwner.isEmpty());
}

TEST_F(ProductNames, StoredEntriesAreNamedOnlyUnderTheirOwnKind)
{
    addRef(12, kRefProduct, u"Мясо");
    // A sub-product GUID stored under another kind is no sub-product.
    addRef(10, kRefSubProduct, u"Реализация");
    {
        store::TypedTable<store::EntityRecord> entities(m_session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kRefProducer);
        store::setText(entities.rec().NAME, platform::toCp1251(u"АО \"Мясокомбинат\""));
        ASSERT_EQ(entities.add(), store::kOk);
    }
    const ProductCardTexts t = productCardTexts(m_session, product());
    EXPECT_EQ(t.product, QStringLiteral("Мясо"));
    EXPECT_TRUE(t.subProduct.isEmpty());
    EXPECT_EQ(t.producer, QStringLiteral("АО \"Мясокомбинат\""));
}

} // namespace
