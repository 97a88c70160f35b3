// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/EnterpriseCard.h"

#include "ui_EnterpriseCard.h"

#include "framework/MessageBox.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "workspace/ReferenceCardTexts.h"
#include "workspace/VsdCardTexts.h"
#include "workspace/ui/ReferenceCardMode.h"

#include <optional>

namespace workspace::ui {

namespace {

const QString kEnterpriseCardWindowId = QStringLiteral("Form_Enterprise");

QString enterpriseFieldText(std::string_view cp1251)
{
    return platform::fromCp1251(store::withoutLeadingBlanks(store::clip(cp1251)));
}

// The stored enterprise, or nothing.
std::optional<store::EnterpriseRecord> storedEnterprise(store::Session& session, const std::string& guid)
{
    store::TypedTable<store::EnterpriseRecord> enterprises(session, store::enterpriseTable());
    if (enterprises.open() != store::kOk)
        return std::nullopt;
    enterprises.clear();
    store::setText(enterprises.rec().GUID, store::clip(guid));
    if (enterprises.fetch("MEP:BYGUID") != store::kOk)
        return std::nullopt;
    return enterprises.rec();
}

} // namespace

EnterpriseCard::EnterpriseCard(store::Session& session, const store::EnterpriseRecord& r, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::EnterpriseCard>())
{
    m_ui->setupUi(this);
    Ui::EnterpriseCard& ui = *m_ui;
    const PlaceNames place =
        placeNames(session, store::textOf(r.COUNTRY), store::textOf(r.REGION), store::textOf(r.LOCALITY));
    ui.NAME->setText(enterpriseFieldText(store::textOf(r.NAME)));
    ui.GUID->setText(enterpriseFieldText(store::textOf(r.GUID)));
    ui.TYPE_TEXT->setText(enterpriseTypeName(r.TYPE));
    ui.REGSTATUS_TEXT->setText(registrationStatusName(store::ztextOf(r.REGSTATUS)));
    ui.NUMBER1->setText(enterpriseFieldText(store::ztextOf(r.NUMBER1)));
    ui.ADDRESS->setText(enterpriseFieldText(store::textOf(r.ADDRESS)));
    ui.COUNTRY_TEXT->setText(place.country);
    ui.STATUS->setText(QString::number(r.STATUS));
    ui.REGION_TEXT->setText(place.region);
    ui.LOCALITY_TEXT->setText(place.locality);
    ui.CDATE->setText(platform::formatDay(r.CDATE));
    ui.EDATE->setText(platform::formatDay(r.EDATE));
    ui.OWNER_TEXT->setText(localEntityName(session, store::textOf(r.OWNER)));

    setWindowTitle(QStringLiteral("Просмотр площадки"));
    showCardMode(*this, *ui.BOK, *ui.BCANCEL, CardMode::View);
    connect(ui.BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    lists::ui::useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kEnterpriseCardWindowId);
}

EnterpriseCard::~EnterpriseCard() = default;

void EnterpriseCard::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kEnterpriseCardWindowId);
    QDialog::done(result);
}

void openEnterpriseCard(QWidget* parent, store::Session& session, const std::string& /*ownEntityGuid*/,
                        const std::string& enterpriseGuid)
{
    if (!isGuid(enterpriseGuid)) {
        framework::informationMessage(
            framework::messagePresenter(),
            QStringLiteral("Нет данных о площадке - отправителе продукции по ВСД !"));
        return;
    }
    if (!showStoredEnterprise(parent, session, enterpriseGuid))
        framework::informationMessage(
            framework::messagePresenter(),
            QStringLiteral("В справочник не загружены данные о площадке - отправителе продукции по ВСД !"));
}

bool showStoredEnterprise(QWidget* parent, store::Session& session, const std::string& enterpriseGuid)
{
    const std::optional<store::EnterpriseRecord> record = storedEnterprise(session, enterpriseGuid);
    if (!record)
        return false;
    EnterpriseCard card(session, *record, parent);
    card.exec();
    return true;
}

} // namespace workspace::ui
