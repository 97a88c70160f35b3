// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ui/SetVetisApiDialog.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/VetisAccessCheck.h"
#include "vetis/VetisSettings.h"
#include "vetis/ui/ExchangeRunBinding.h"
#include "vetis/ui/HoverLinkLabel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

namespace vetis::ui {

namespace {

// The entries of the scale list in the order shown: text and stored value.
struct ScaleEntry
{
    const char* text;
    int value;
};
constexpr ScaleEntry kScaleEntries[] = {
    {" 85%", 2}, {" 90%", 3}, {"100% (рекомендуется)", 0}, {"110%", 4}, {"115%", 5}, {"130%", 6},
    {"140%", 7}, {"150%", 8},
};

// Longest entries, in characters (one byte each in the record).
constexpr int kLoginChars = 80;
constexpr int kPasswordChars = 80;
constexpr int kWebLoginChars = 120;

// Shows a stored value whole: one longer than the entry takes when typed
// (written by the command-line tool, or by an older version) widens the limit
// to itself rather than being cut, and then stored cut, on confirming.
void setTextWhole(QLineEdit& edit, const QString& text, int typingLimit)
{
    edit.setMaxLength(std::max(typingLimit, static_cast<int>(text.size())));
    edit.setText(text);
}

QString textOfZ(const auto& field)
{
    return platform::fromCp1251(store::ztextOf(field));
}

template <std::size_t N>
void setZ(char (&field)[N], const QString& value)
{
    store::setZText(field, platform::toCp1251(value));
}

QLineEdit* lineEdit(const char* name, int maxChars, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromUtf8(name));
    e->setMaxLength(maxChars);
    return e;
}

QRadioButton* radio(const QString& text, const QString& name, QButtonGroup* group, int id, QWidget* parent)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    group->addButton(r, id);
    return r;
}

// The id of the checked button, or the current value when none is checked
// (a stored value the window has no choice for is kept as it is).
std::uint8_t checkedOr(const QButtonGroup* group, std::uint8_t current)
{
    const int id = group->checkedId();
    return id >= 0 ? static_cast<std::uint8_t>(id) : current;
}

void checkId(QButtonGroup* group, int id)
{
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    // No choice for this value: nothing is checked.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

void openUrlOnOwnThread(const QUrl& url)
{
    // The browser may take its time to start; the window never waits for it.
    QThread* thread = QThread::create([url] { QDesktopServices::openUrl(url); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace

QUrl vetisQuickStartUrl()
{
    return QUrl(
        QString::fromUtf8(kVetisQuickStartUrl.data(), static_cast<qsizetype>(kVetisQuickStartUrl.size())));
}

SetVetisApiHooks defaultSetVetisApiHooks()
{
    SetVetisApiHooks hooks;
    hooks.chooseFolder = [](QWidget* parent, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, title, start);
    };
    hooks.chooseFile = [](QWidget* parent, const QString& title, const QString& start) {
        return QFileDialog::getOpenFileName(parent, title, start,
                                            QStringLiteral("Сертификаты (*.pem *.crt *.cer);;Все файлы (*)"));
    };
    hooks.openUrl = &openUrlOnOwnThread;
    return hooks;
}

SetVetisApiDialog::SetVetisApiDialog(VetisSettingsRepository& repository, std::string_view entityGuid,
                                     SetVetisApiHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_editor(repository)
    , m_hooks(std::move(hooks))
    , m_runner(std::make_unique<ExchangeRunner>())
{
    setObjectName(QStringLiteral("SetVetisAPI"));
    setWindowTitle(QStringLiteral("Настройки доступа ХС к сервису Ветис.API"));

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildParametersTab(), QStringLiteral(" &1. Параметры "));
    m_tabs->addTab(buildAdditionalTab(), QStringLiteral(" &2. Дополнительно "));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buildCommandRow());

    // The binding first: the window is whole again when the verdict is told.
    new ExchangeRunBinding(*m_runner, m_checkProgress, m_cancelCheck, {m_yes, m_no, m_check}, this);
    connect(m_runner.get(), &ExchangeRunner::finished, this, &SetVetisApiDialog::checkFinished);

    m_editor.open(entityGuid);
    loadFromRecord();

    const int uiSize = framework::process::uiFontSize();
    if (font().pointSize() != uiSize)
        applyFontSize(uiSize);
}

// The runner goes with the window's members; a check still running is
// cancelled and waited for there, before the window's widgets go.
SetVetisApiDialog::~SetVetisApiDialog() = default;

QLayout* SetVetisApiDialog::buildCommandRow()
{
    m_check = new QPushButton(QStringLiteral(" Проверить доступ"), this);
    m_check->setObjectName(QStringLiteral("CHECKACCESS"));
    m_check->setToolTip(QStringLiteral("Проверить доступ к сервису Ветис.API с указанными параметрами"));
    m_check->setAutoDefault(false);
    connect(m_check, &QPushButton::clicked, this, &SetVetisApiDialog::checkAccess);

    m_checkProgress = new QProgressBar(this);
    m_checkProgress->setObjectName(QStringLiteral("CHECKPROGRESS"));
    m_checkProgress->setRange(0, 100);
    m_checkProgress->setTextVisible(false);
    m_cancelCheck = new QPushButton(QStringLiteral(" Прервать"), this);
    m_cancelCheck->setObjectName(QStringLiteral("CANCELCHECK"));
    m_cancelCheck->setToolTip(QStringLiteral("Прервать проверку доступа"));
    m_cancelCheck->setAutoDefault(false);
    // Shown while a check runs; their place is kept so the row does not jump.
    for (QWidget* w : {static_cast<QWidget*>(m_checkProgress), static_cast<QWidget*>(m_cancelCheck)}) {
        QSizePolicy keepPlace = w->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keepPlace);
        w->hide();
    }

    m_yes = new QPushButton(QStringLiteral(" Да"), this);
    m_yes->setObjectName(QStringLiteral("YES"));
    m_yes->setToolTip(QStringLiteral("Выполнить операцию"));
    m_yes->setDefault(true);
    m_no = new QPushButton(QStringLiteral(" Нет"), this);
    m_no->setObjectName(QStringLiteral("NO"));
    m_no->setToolTip(QStringLiteral("Отменить операцию"));
    connect(m_yes, &QPushButton::clicked, this, &SetVetisApiDialog::confirm);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(m_check);
    row->addWidget(m_checkProgress, 1);
    row->addWidget(m_cancelCheck);
    row->addStretch();
    row->addWidget(m_yes);
    row->addWidget(m_no);
    return row;
}

bool SetVetisApiDialog::checkRunning() const
{
    return m_runner->isRunning();
}

void SetVetisApiDialog::checkAccess()
{
    if (m_runner->isRunning())
        return;
    // The check uses what the window shows now; nothing is saved.
    storeToRecord();
    if (!m_editor.checkGuid()) {
        m_tabs->setCurrentIndex(0);
        m_guid->setFocus();
        return;
    }
    // Nothing runs (checked above) and the job is given, so the run starts.
    static_cast<void>(m_runner->start(accessCheckJob(m_editor.record())));
}

void SetVetisApiDialog::checkFinished(const ExchangeRunResult& result)
{
    if (m_closing)
        return;
    const std::optional<AccessCheckVerdict> verdict = accessCheckVerdict(result);
    if (!verdict)
        return;
    if (verdict->passed)
        framework::informationMessage(framework::messagePresenter(), verdict->text);
    else
        framework::problemMessage(framework::messagePresenter(), verdict->text);
}

QWidget* SetVetisApiDialog::buildParametersTab()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout;

    m_guid = lineEdit("MVS:GUID", static_cast<int>(kGuidLength), page);
    m_guid->setMinimumWidth(m_guid->fontMetrics().horizontalAdvance(QStringLiteral("W")) * 26);
    form->addRow(QStringLiteral("Issuer ID ХС"), m_guid);

    m_login = lineEdit("MVS:LOGIN", kLoginChars, page);
    form->addRow(QStringLiteral("Логин"), m_login);

    m_password = lineEdit("MVS:PASSWORD", kPasswordChars, page);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Пароль"), m_password);

    m_apiKey = lineEdit("MVS:APIKEY", sizeof(store::VetisRecord::APIKEY) - 1, page);
    form->addRow(QStringLiteral("API Key"), m_apiKey);

    m_webLogin = lineEdit("MVS:WEBLOGIN", kWebLoginChars, page);
    m_webLogin->setToolTip(
        QStringLiteral("Укажите имя пользователя для доступа в АИС Меркурий через WEB интерфейс"));
    form->addRow(QStringLiteral("WEB логин"), m_webLogin);

    m_remark = lineEdit("MVS:REMARK", sizeof(store::VetisRecord::REMARK) - 1, page);
    form->addRow(QStringLiteral("Примечание"), m_remark);

    m_contour = new QButtonGroup(page);
    auto* contour = new QHBoxLayout;
    contour->addWidget(radio(QStringLiteral(" Продуктивный"), QStringLiteral("TEST0"), m_contour, 0, page));
    contour->addWidget(radio(QStringLiteral(" Тестовый"), QStringLiteral("TEST1"), m_contour, 1, page));
    contour->addStretch();
    form->addRow(QStringLiteral("Контур"), contour);

    m_link = new HoverLinkLabel(
        QStringLiteral("Регистрация в Ветис.API для доступа к сервису АИС «Меркурий»"), page);
    m_link->setObjectName(QStringLiteral("LINK"));
    connect(m_link, &HoverLinkLabel::activated, this, [this] {
        if (m_hooks.openUrl)
            m_hooks.openUrl(vetisQuickStartUrl());
    });

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(m_link, 0, Qt::AlignHCenter);
    return page;
}

QWidget* SetVetisApiDialog::buildAdditionalTab()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout;

    m_answer = new QButtonGroup(page);
    auto* answer = new QHBoxLayout;
    answer->addWidget(radio(QStringLiteral("НЕТ"), QStringLiteral("ANSWER0"), m_answer, 0, page));
    answer->addWidget(radio(QStringLiteral("Только ошибки"), QStringLiteral("ANSWER1"), m_answer, 1, page));
    answer->addWidget(radio(QStringLiteral("Всегда"), QStringLiteral("ANSWER2"), m_answer, 2, page));
    answer->addStretch();
    form->addRow(QStringLiteral("Показывать ответы на запросы"), answer);

    m_scale = new QComboBox(page);
    m_scale->setObjectName(QStringLiteral("MVS:WINSFONT"));
    m_scale->setToolTip(QStringLiteral("Выберите размер шрифта для окон программы"));
    for (const ScaleEntry& e : kScaleEntries)
        m_scale->addItem(QString::fromUtf8(e.text), e.value);
    auto* tryScale = new QPushButton(QStringLiteral(" Тест"), page);
    tryScale->setObjectName(QStringLiteral("TESTSCALE"));
    connect(tryScale, &QPushButton::clicked, this, &SetVetisApiDialog::trySelectedScale);
    auto* scale = new QHBoxLayout;
    scale->addWidget(m_scale);
    scale->addWidget(tryScale);
    scale->addStretch();
    form->addRow(QStringLiteral("Масштаб (изменение размера) для окон"), scale);

    m_dumpPath = lineEdit("MVS:DUMPPATH", sizeof(store::VetisRecord::DUMPPATH) - 1, page);
    auto* chooseDump = new QPushButton(QStringLiteral(" Выбрать"), page);
    chooseDump->setObjectName(QStringLiteral("CHOOSEDUMP"));
    connect(chooseDump, &QPushButton::clicked, this, &SetVetisApiDialog::chooseDumpFolder);
    auto* dump = new QHBoxLayout;
    dump->addWidget(m_dumpPath, 1);
    dump->addWidget(chooseDump);
    form->addRow(QStringLiteral("Выполнять запись XML файлов обмена в папку"), dump);

    // The period is one byte in the record: the entry cannot exceed it.
    m_period = new QSpinBox(page);
    m_period->setObjectName(QStringLiteral("MVS:PERIOD"));
    m_period->setRange(0, 255);
    m_period->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_period->setToolTip(QStringLiteral("Укажите период в днях для списка ВСД"));
    m_period->setAlignment(Qt::AlignRight);
    auto* period = new QHBoxLayout;
    period->addWidget(m_period);
    period->addStretch();
    form->addRow(QStringLiteral("Период в днях для списка ВСД"), period);

    // Trust of the service's certificate (kept in reserve fields of the record).
    auto* tls = new QGroupBox(QStringLiteral("Защищённое соединение"), page);
    auto* tlsForm = new QFormLayout(tls);
    m_caBundle = lineEdit("MVS:STR250_01", sizeof(store::VetisRecord::STR250_01) - 1, tls);
    m_caBundle->setToolTip(QStringLiteral(
        "Файл PEM с корневыми сертификатами, которым следует доверять дополнительно к системным"));
    auto* chooseCa = new QPushButton(QStringLiteral(" Выбрать"), tls);
    chooseCa->setObjectName(QStringLiteral("CHOOSECA"));
    connect(chooseCa, &QPushButton::clicked, this, &SetVetisApiDialog::chooseCaBundle);
    auto* ca = new QHBoxLayout;
    ca->addWidget(m_caBundle, 1);
    ca->addWidget(chooseCa);
    tlsForm->addRow(QStringLiteral("Дополнительные корневые сертификаты"), ca);

    m_noVerify = new QCheckBox(QStringLiteral("Не проверять сертификат сервера (небезопасно)"), tls);
    m_noVerify->setObjectName(QStringLiteral("MVS:BYTE_03"));
    connect(m_noVerify, &QCheckBox::toggled, this, &SetVetisApiDialog::updateTlsWarning);
    tlsForm->addRow(m_noVerify);
    m_tlsWarning = new QLabel(
        QStringLiteral("Внимание: без проверки сертификата логин, пароль и ключ API могут быть перехвачены."),
        tls);
    m_tlsWarning->setObjectName(QStringLiteral("TLSWARNING"));
    // The place stays reserved while the warning is hidden, so the window
    // does not jump when the box is ticked.
    QSizePolicy keepPlace = m_tlsWarning->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_tlsWarning->setSizePolicy(keepPlace);
    QPalette warning = m_tlsWarning->palette();
    warning.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_tlsWarning->setPalette(warning);
    tlsForm->addRow(m_tlsWarning);

    m_created = new QLabel(page);
    m_created->setObjectName(QStringLiteral("MVS:CDATE"));
    m_created->setToolTip(QStringLiteral("Дата создания записи"));

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(tls);
    layout->addStretch();
    layout->addWidget(m_created, 0, Qt::AlignRight);
    return page;
}

void SetVetisApiDialog::loadFromRecord()
{
    const store::VetisRecord& r = m_editor.record();
    m_guid->setText(platform::fromCp1251(store::textOf(r.GUID)));
    setTextWhole(*m_login, textOfZ(r.LOGIN), kLoginChars);
    setTextWhole(*m_password, textOfZ(r.PASSWORD), kPasswordChars);
    m_apiKey->setText(textOfZ(r.APIKEY));
    setTextWhole(*m_webLogin, textOfZ(r.WEBLOGIN), kWebLoginChars);
    m_remark->setText(textOfZ(r.REMARK));
    // The exchange sends anything but 1 to the production endpoints.
    checkId(m_contour, r.TEST == 1 ? 1 : 0);

    checkId(m_answer, r.ANSWER);
    m_scale->setCurrentIndex(m_scale->findData(normalizedScale(r.WINSFONT)));
    m_dumpPath->setText(textOfZ(r.DUMPPATH));
    m_period->setValue(r.PERIOD);
    m_created->setText(platform::formatDay(r.CDATE));

    const TlsSettings tls = tlsSettingsOf(r);
    m_caBundle->setText(tls.caBundleFile);
    m_noVerify->setChecked(!tls.verify);
    updateTlsWarning();
}

void SetVetisApiDialog::storeToRecord()
{
    store::VetisRecord& r = m_editor.record();
    store::setText(r.GUID, platform::toCp1251(m_guid->text()));
    setZ(r.LOGIN, m_login->text());
    setZ(r.PASSWORD, m_password->text());
    setZ(r.APIKEY, m_apiKey->text());
    setZ(r.WEBLOGIN, m_webLogin->text());
    setZ(r.REMARK, m_remark->text());
    r.TEST = checkedOr(m_contour, r.TEST);

    r.ANSWER = checkedOr(m_answer, r.ANSWER);
    r.WINSFONT = static_cast<std::uint8_t>(m_scale->currentData().toInt());
    setZ(r.DUMPPATH, m_dumpPath->text());
    m_period->interpretText();
    r.PERIOD = static_cast<std::uint8_t>(m_period->value());
    setTlsSettings(r, TlsSettings{!m_noVerify->isChecked(), m_caBundle->text()});
}

void SetVetisApiDialog::confirm()
{
    storeToRecord();
    switch (m_editor.confirm()) {
    case ConfirmOutcome::BadGuid:
        m_tabs->setCurrentIndex(0);
        m_guid->setFocus();
        return;
    case ConfirmOutcome::Written: {
        m_written = true;
        const int points = scaleFontSize(m_editor.record().WINSFONT);
        framework::process::setUiFontSize(points);
        if (font().pointSize() != points)
            applyFontSize(points);
        accept();
        return;
    }
    case ConfirmOutcome::WriteFailed:
        reject();
        return;
    }
}

void SetVetisApiDialog::done(int result)
{
    m_closing = true;
    m_runner->stopAndWait();
    m_closing = false;
    QDialog::done(result);
    m_editor.close();
}

void SetVetisApiDialog::chooseDumpFolder()
{
    if (!m_hooks.chooseFolder)
        return;
    const QString chosen =
        m_hooks.chooseFolder(this, QStringLiteral("Укажите папку для записи XML файлов ..."),
                             dumpFolderDialogStart(m_dumpPath->text()));
    if (!chosen.trimmed().isEmpty())
        m_dumpPath->setText(QDir::toNativeSeparators(chosen));
}

void SetVetisApiDialog::chooseCaBundle()
{
    if (!m_hooks.chooseFile)
        return;
    const QString current = m_caBundle->text().trimmed();
    const QString start = current.isEmpty() ? dumpFolderDialogStart(QString())
                                            : dumpFolderDialogStart(QFileInfo(current).absolutePath());
    const QString chosen =
        m_hooks.chooseFile(this, QStringLiteral("Укажите файл корневых сертификатов ..."), start);
    if (!chosen.trimmed().isEmpty())
        m_caBundle->setText(QDir::toNativeSeparators(chosen));
}

void SetVetisApiDialog::trySelectedScale()
{
    applyFontSize(scaleFontSize(m_scale->currentData().toInt()));
}

void SetVetisApiDialog::updateTlsWarning()
{
    m_tlsWarning->setVisible(m_noVerify->isChecked());
}

void SetVetisApiDialog::applyFontSize(int points)
{
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
    adjustSize();
}

bool SetVetisAPI(VetisSettingsRepository& repository, std::string_view entityGuid, QWidget* parent)
{
    SetVetisApiDialog dialog(repository, entityGuid, defaultSetVetisApiHooks(), parent);
    dialog.exec();
    return dialog.written();
}

} // namespace vetis::ui
