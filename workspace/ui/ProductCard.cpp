// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/ProductCard.h"

#include "ui_ProductCard.h"

#include "framework/MessageBox.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "workspace/VsdCardTexts.h"
#include "workspace/ui/ReferenceCardMode.h"

namespace workspace::ui {

namespace {

const QString kProductCardWindowId = QStringLiteral("Form_Product");

QString productFieldText(std::string_view cp1251)
{
    return platform::fromCp1251(store::withoutLeadingBlanks(store::clip(cp1251)));
}

} // namespace

ProductCard::ProductCard(store::Session& session, const store::ProductRecord& r, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::ProductCard>())
{
    m_ui->setupUi(this);
    Ui::ProductCard& ui = *m_ui;
    const ProductCardTexts texts = productCardTexts(session, r);
    ui.NAME->setText(productFieldText(store::textOf(r.NAME)));
    ui.GUID->setText(productFieldText(store::textOf(r.GUID)));
    ui.GTIN->setText(productFieldText(store::ztextOf(r.GLOBALID)));
    ui.GOST->setText(productFieldText(store::ztextOf(r.GOST)));
    ui.CORRGOST_TEXT->setText(r.CORRGOST != 0 ? QStringLiteral("СООТВЕТСТВУЕТ") : QString());
    ui.UNITNAME->setText(productFieldText(store::ztextOf(r.UNITNAME)));
    ui.CDATE->setText(platform::formatDay(r.CDATE));
    ui.EDATE->setText(platform::formatDay(r.EDATE));
    ui.STATUS->setText(QString::number(r.STATUS));
    ui.PRODTYPE_TEXT->setText(texts.productType);
    ui.PRODUCT_TEXT->setText(texts.product);
    ui.SUBPRODUCT_TEXT->setText(texts.subProduct);
    ui.PRODUCER_TEXT->setText(texts.producer);
    ui.TMOWNER_TEXT->setText(texts.tmOwner);

    setWindowTitle(QStringLiteral("Просмотр продукции"));
    showCardMode(*this, *ui.BOK, *ui.BCANCEL, CardMode::View);
    connect(ui.BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    lists::ui::useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kProductCardWindowId);
}

ProductCard::~ProductCard() = default;

void ProductCard::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kProductCardWindowId);
    QDialog::done(result);
}

void openProductCard(QWidget* parent, store::Session& session, const std::string& /*ownEntityGuid*/,
                     const std::string& productItemGuid)
{
    if (!isGuid(productItemGuid)) {
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Нет данных производителя (кода GUID) о продукции !"));
        return;
    }
    store::TypedTable<store::ProductRecord> products(session, store::productTable());
    const bool opened = products.open() == store::kOk;
    products.clear();
    store::setText(products.rec().GUID, store::clip(productItemGuid));
    if (!opened || products.fetch("PRD:BYGUID") != store::kOk) {
        framework::informationMessage(
            framework::messagePresenter(),
            QStringLiteral("В справочник не загружены данные производителя о продукции !"));
        return;
    }
    ProductCard card(session, products.rec(), parent);
    card.exec();
}

} // namespace workspace::ui
