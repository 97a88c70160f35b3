// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/VsdCard.h"

#include "ui_VsdCard.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "workspace/ui/PurposePicker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>

#include <algorithm>

namespace workspace::ui {

namespace {

const QString kVsdCardWindowId = QStringLiteral("Form_VSD");

template <std::size_t N>
QString cardTextField(const char (&field)[N])
{
    return platform::fromCp1251(store::textOf(field));
}

template <std::size_t N>
QString cardZTextField(const char (&field)[N])
{
    return platform::fromCp1251(store::clip(store::ztextOf(field)));
}

// An hour as two digits, blank for 0.
QString cardHourText(int hour)
{
    return hour == 0 ? QString() : QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0'));
}

// A whole number, blank for 0.
QString cardNumberOrBlank(int value)
{
    return value == 0 ? QString() : QString::number(value);
}

// The numeric-pad decimal key types what the layout gives (a comma under the
// Russian one); a volume control takes it as the full stop.
class KeypadDecimalAsFullStop final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->modifiers().testFlag(Qt::KeypadModifier) ||
            (key->key() != Qt::Key_Comma && key->key() != Qt::Key_Period) ||
            key->text() == QStringLiteral("."))
            return false;
        QKeyEvent fullStop(key->type(), Qt::Key_Period, key->modifiers(), QStringLiteral("."),
                           key->isAutoRepeat(), static_cast<quint16>(key->count()));
        QCoreApplication::sendEvent(watched, &fullStop);
        return true;
    }
};

} // namespace

void useFullStopOnKeypadDecimal(QDoubleSpinBox& spin)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    spin.setLocale(c);
    spin.installEventFilter(new KeypadDecimalAsFullStop(&spin));
}

VsdCard::VsdCard(store::Session& session, std::string ownEntityGuid, const store::VsdRecord& record,
                 bool requestChange, OpenNestedLists openNestedLists, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::VsdCard>())
    , m_session(session)
    , m_ownEntityGuid(std::move(ownEntityGuid))
    , m_record(record)
    , m_change(requestChange && record.CODSTATUS == kChangeableStatus)
    , m_openNestedLists(std::move(openNestedLists))
{
    m_ui->setupUi(this);
    m_choosePurpose = [this](QWidget* p, const std::string&) { return chooseLocalPurpose(p, m_session); };
    useFullStopOnKeypadDecimal(*m_ui->KOLVO);

    m_texts = vsdCardTexts(m_session, m_record);
    showRecord();
    applyMode();
    showPurposeControls();

    connect(m_ui->PURPOSE_ON, &QCheckBox::toggled, this, &VsdCard::showPurposeControls);
    connect(m_ui->BPURPOSE, &QToolButton::clicked, this, &VsdCard::choosePurpose);
    connect(m_ui->PROSPERITY, &QPlainTextEdit::textChanged, this, &VsdCard::limitProsperity);
    connect(m_ui->BOK, &QPushButton::clicked, this, &VsdCard::save);
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->BINSIDE, &QPushButton::clicked, this, &VsdCard::openNested);

    lists::ui::useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kVsdCardWindowId);
}

VsdCard::~VsdCard() = default;

void VsdCard::showRecord()
{
    const store::VsdRecord& r = m_record;
    Ui::VsdCard& ui = *m_ui;
    // General
    ui.UUID->setText(cardTextField(r.UUID));
    ui.ISSUESERIES->setText(cardZTextField(r.ISSUESERIES));
    ui.ISSUENUMBER->setText(cardZTextField(r.ISSUENUMBER));
    ui.DATE->setText(platform::formatDay(r.DATE));
    ui.VETDTYPE_TEXT->setText(m_texts.type);
    ui.VETDFORM_TEXT->setText(m_texts.form);
    ui.TTN_SERIES->setText(cardZTextField(r.TTN_SERIES));
    ui.TTN_NUMBER->setText(cardZTextField(r.TTN_NUMBER));
    ui.TTN_ORVDATE->setText(platform::formatDay(r.TTN_ORVDATE));
    ui.TRANSPORTTYPE1_TEXT->setText(m_texts.transportType1);
    ui.TRANSPORTNUMBER1->setText(m_texts.transportNumber1);
    ui.TRANSPORTTYPE2_TEXT->setText(m_texts.transportType2);
    ui.TRANSPORTNUMBER2->setText(m_texts.transportNumber2);
    ui.CODSTATUS_TEXT->setText(m_texts.status);
    ui.UPDATEDATE->setText(platform::formatDay(r.UPDATEDATE));
    ui.UPDATETIME->setText(platform::formatTime(r.UPDATETIME));
    ui.APPERROR->setPlainText(cardZTextField(r.APPERROR));
    // Product
    ui.PRODITEMNAME->setText(cardZTextField(r.PRODITEMNAME));
    ui.PRODITEMGUID->setText(cardTextField(r.PRODITEMGUID));
    ui.PRODITEMGTIN->setText(cardZTextField(r.PRODITEMGTIN));
    ui.ORIGINCOUNTRY_NAME->setText(cardZTextField(r.ORIGINCOUNTRY_NAME));
    ui.PRODITEMCODE->setText(cardZTextField(r.PRODITEMCODE));
    ui.VOLUME->setText(cardZTextField(r.VOLUME));
    ui.KOLVO->setValue(r.KOLVO);
    ui.UNITNAME->setText(cardZTextField(r.UNITNAME));
    ui.NONFOODSOURCE_TEXT->setText(m_texts.origin);
    ui.PRODTYPE_TEXT->setText(m_texts.productType);
    ui.LOWGRADECARGO->setText(m_texts.lowGrade);
    ui.PRODUCT_TEXT->setText(m_texts.product);
    ui.SUBPRODUCT_TEXT->setText(m_texts.productKind);
    ui.OWNER_TEXT->setText(m_texts.owner);
    // Terms
    ui.PRODATE1->setText(platform::formatDay(r.PRODATE1));
    ui.PROHOUR1->setText(cardHourText(r.PROHOUR1));
    ui.PRODATE2->setText(platform::formatDay(r.PRODATE2));
    ui.PROHOUR2->setText(cardHourText(r.PROHOUR2));
    ui.EXPDATE1->setText(platform::formatDay(r.EXPDATE1));
    ui.EXPHOUR1->setText(cardHourText(r.EXPHOUR1));
    ui.EXPDATE2->setText(platform::formatDay(r.EXPDATE2));
    ui.EXPHOUR2->setText(cardHourText(r.EXPHOUR2));
    ui.PERISHABLE->setText(m_texts.perishable);
    ui.TRSTORAGETYPE->setText(m_texts.storageType);
    ui.QURANTINELOCATION->setText(cardZTextField(r.QURANTINELOCATION));
    ui.QURANTINEDURATION->setText(cardNumberOrBlank(r.QURANTINEDURATION));
    // Counterparties
    ui.CONSIGNORNAME->setText(cardZTextField(r.CONSIGNORNAME));
    ui.CONSIGNORINN->setText(cardZTextField(r.CONSIGNORINN));
    ui.CONSIGNORPLACE->setText(cardZTextField(r.CONSIGNORPLACE));
    ui.CONSIGNEENAME->setText(cardZTextField(r.CONSIGNEENAME));
    ui.CONSIGNEEINN->setText(cardZTextField(r.CONSIGNEEINN));
    ui.CONSIGNEEPLACE->setText(cardZTextField(r.CONSIGNEEPLACE));
    ui.BROKER_TEXT->setText(m_texts.carrier);
    // Return
    m_purposeGuid = std::string(store::textOf(r.PURPOSE));
    ui.PURPOSE_ON->setChecked(m_texts.purposeSet);
    ui.PURPOSE_NAME->setText(m_texts.purpose);
    ui.PROSPERITY->setPlainText(cardZTextField(r.PROSPERITY));
    ui.PROSPERITY->setReadOnly(false);
}

void VsdCard::applyMode()
{
    Ui::VsdCard& ui = *m_ui;
    setWindowTitle(m_change ? QStringLiteral("Изменить ВСД ?") : QStringLiteral("Просмотр ВСД"));
    ui.TABS->setTabIcon(0, style()->standardIcon(m_change ? QStyle::SP_FileDialogDetailedView
                                                          : QStyle::SP_FileDialogContentsView));
    if (m_record.CODSTATUS != kChangeableStatus && m_record.KOLVO == 0) {
        ui.KOLVO->hide();
        ui.KOLVO_PROMPT->hide();
    }
    if (!m_change) {
        ui.BOK->hide();
        ui.BCANCEL->setText(QStringLiteral(" Закрыть"));
        ui.BCANCEL->setDefault(true);
        ui.PROSPERITY->setReadOnly(true);
        ui.KOLVO->setEnabled(false);
        ui.PURPOSE_ON->setEnabled(false);
        ui.PURPOSE_NAME->setEnabled(false);
        ui.BPURPOSE->setEnabled(false);
    } else {
        ui.BOK->setDefault(true);
    }
    ui.BINSIDE->setEnabled(static_cast<bool>(m_openNestedLists));
}

void VsdCard::showPurposeControls()
{
    const bool on = m_ui->PURPOSE_ON->isChecked();
    m_ui->PURPOSE_NAME->setVisible(on);
    m_ui->BPURPOSE->setVisible(on);
}

void VsdCard::choosePurpose()
{
    if (!m_change || !m_choosePurpose)
        return;
    if (const std::optional<ReferenceChoice> chosen = m_choosePurpose(this, m_ownEntityGuid)) {
        m_purposeGuid = chosen->guid;
        m_ui->PURPOSE_NAME->setText(chosen->name);
    }
}

void VsdCard::limitProsperity()
{
    QPlainTextEdit& edit = *m_ui->PROSPERITY;
    const QString text = edit.toPlainText();
    const qsizetype excess = text.size() - kProsperityMaxLength;
    if (excess <= 0)
        return;
    // What was typed or pasted last, just before the cursor, goes.
    const qsizetype cursor = edit.textCursor().position();
    const qsizetype from = cursor >= excess ? cursor - excess : kProsperityMaxLength;
    const QString kept = text.left(from) + text.mid(from + excess);
    const QSignalBlocker block(edit);
    edit.setPlainText(kept);
    QTextCursor c = edit.textCursor();
    c.setPosition(static_cast<int>(std::min<qsizetype>(from, kept.size())));
    edit.setTextCursor(c);
}

VsdCardChanges VsdCard::changes() const
{
    VsdCardChanges c;
    m_ui->KOLVO->interpretText();
    c.volume = m_ui->KOLVO->value();
    c.purposeOn = m_ui->PURPOSE_ON->isChecked();
    c.purposeGuid = m_purposeGuid;
    c.prosperity = m_ui->PROSPERITY->toPlainText();
    return c;
}

store::VsdRecord VsdCard::recordShown() const
{
    store::VsdRecord r = m_record;
    applyVsdCardChanges(changes(), r);
    return r;
}

void VsdCard::save()
{
    if (!m_change)
        return;
    const VsdCardChanges c = changes();
    if (!saveVsdCardChanges(m_session, store::textOf(m_record.UUID), c))
        return; // reported; the card stays open
    applyVsdCardChanges(c, m_record);
    accept();
}

void VsdCard::openNested()
{
    if (!m_openNestedLists)
        return;
    if (m_change)
        m_record = recordShown();
    m_openNestedLists(std::string(store::textOf(m_record.UUID)));
}

void VsdCard::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kVsdCardWindowId);
    QDialog::done(result);
}

bool openVsdCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                 const std::string& vsdUuid, bool requestChange,
                 std::function<void(const std::string&)> openNestedLists, PurposeChooser choosePurpose)
{
    store::VsdRecord record{};
    if (!readVsdForCard(session, vsdUuid, record))
        return false;
    VsdCard card(session, ownEntityGuid, record, requestChange, std::move(openNestedLists), parent);
    if (choosePurpose)
        card.setPurposeChooser(std::move(choosePurpose));
    return card.exec() == QDialog::Accepted;
}

} // namespace workspace::ui
