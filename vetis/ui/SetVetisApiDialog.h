// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/VetisSettingsEditor.h"
#include "vetis/VetisSettingsRepository.h"

#include <QDialog>
#include <QUrl>
#include <functional>
#include <memory>
#include <string_view>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace vetis {
class ExchangeRunner;
struct ExchangeRunResult;
} // namespace vetis

// The window in which the user enters the VetIS.API access settings of one
// business entity (SetVetisAPI).
namespace vetis::ui {

class HoverLinkLabel;

// The public VetIS quick-start page for working with Mercury through
// VetIS.API, opened by the window's registration link.
inline constexpr std::string_view kVetisQuickStartUrl =
    "https://help.vetrf.ru/wiki/Быстрый_старт_для_работы_с_Ветис.API";
QUrl vetisQuickStartUrl();

// What the window asks of the desktop. The defaults are the file dialogs and
// the default browser; tests put their own in.
struct SetVetisApiHooks
{
    // A folder chosen by the user; empty when the dialog was cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)> chooseFolder;
    // A file chosen by the user; empty when the dialog was cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)> chooseFile;
    // Opens the address in the default browser without waiting for it.
    std::function<void(const QUrl& url)> openUrl;
};
SetVetisApiHooks defaultSetVetisApiHooks();

class SetVetisApiDialog final : public QDialog
{
    Q_OBJECT
public:
    // Opens the settings of the entity (Windows-1251 GUID); a GUID that is not
    // 36 characters long opens a record under a placeholder key that the user
    // must replace.
    SetVetisApiDialog(VetisSettingsRepository& repository, std::string_view entityGuid,
                      SetVetisApiHooks hooks = defaultSetVetisApiHooks(), QWidget* parent = nullptr);
    ~SetVetisApiDialog() override;

    // The record as it was last loaded into or taken from the controls.
    const store::VetisRecord& record() const { return m_editor.record(); }
    // True after the settings were confirmed and written.
    bool written() const { return m_written; }
    // True while an access check runs.
    bool checkRunning() const;

    // Closing cancels a running access check and waits for it.
    void done(int result) override;

private:
    QWidget* buildParametersTab();
    QWidget* buildAdditionalTab();
    void loadFromRecord();
    void storeToRecord();
    void confirm();
    void chooseDumpFolder();
    void chooseCaBundle();
    void trySelectedScale();
    void updateTlsWarning();
    void applyFontSize(int points);
    QLayout* buildCommandRow();
    void checkAccess();
    void checkFinished(const ExchangeRunResult& result);

    VetisSettingsEditor m_editor;
    SetVetisApiHooks m_hooks;
    bool m_written = false;
    // Set while the window closes: a check that ends now has nobody to tell.
    bool m_closing = false;
    // Runs the access check; its worker owns everything the check uses.
    std::unique_ptr<ExchangeRunner> m_runner;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_guid = nullptr;
    QLineEdit* m_login = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_apiKey = nullptr;
    QLineEdit* m_webLogin = nullptr;
    QLineEdit* m_remark = nullptr;
    QButtonGroup* m_contour = nullptr;
    HoverLinkLabel* m_link = nullptr;
    QButtonGroup* m_answer = nullptr;
    QComboBox* m_scale = nullptr;
    QLineEdit* m_dumpPath = nullptr;
    QSpinBox* m_period = nullptr;
    QLabel* m_created = nullptr;
    QLineEdit* m_caBundle = nullptr;
    QCheckBox* m_noVerify = nullptr;
    QLabel* m_tlsWarning = nullptr;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
    QPushButton* m_check = nullptr;
    QProgressBar* m_checkProgress = nullptr;
    QPushButton* m_cancelCheck = nullptr;
};

// Runs the window modally; true when the settings were written.
[[nodiscard]] bool SetVetisAPI(VetisSettingsRepository& repository, std::string_view entityGuid,
                               QWidget* parent = nullptr);

} // namespace vetis::ui
