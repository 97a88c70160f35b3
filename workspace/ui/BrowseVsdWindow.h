// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/Session.h"
#include "workspace/OwnEntity.h"
#include "workspace/VsdListScope.h"

#include <QDate>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class QAbstractButton;
class QMenu;

namespace Ui {
class BrowseVsdWindow;
}
namespace vetis {
class ExchangeRunner;
struct ExchangeRunResult;
} // namespace vetis

// Browse_VSD2, the program's main window: the incoming VSDs of the working
// enterprise of the user's own business entity, the list request and the
// answers of the service, the marks, repay and return, the print form. The
// program ends when it closes; its placement is kept under "Browse_VSD2".
//
// The list reads m_VSD through the window's own store session on this
// thread; every exchange with the service, and the load that follows it, runs
// on the worker of an ExchangeRunner with a session of its own, so the window
// never waits for the network.
namespace workspace::ui {

class VsdListModel;
class GroupedHeaderView;

class BrowseVsdWindow final : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char16_t* kWindowId = u"Browse_VSD2";

    struct Options
    {
        QString dataFolder; // where the tables are (empty: the current folder)
        QDate versionDate;  // the program's version date, for the status bar
        bool demo = false;  // the title says "ДЕМО"
        QDate today;        // invalid: the clock's
        bool askBeforeClose = true;
        // Opens a downloaded print form; empty: the desktop's program for PDF files.
        std::function<void(const QString& file)> openFile;
        // The update check (F9): true when the program must close for the
        // installer. Empty: the command stays disabled.
        std::function<bool(QWidget* parent)> checkForUpdate;
        // Opens the program's help ("Справка", F1). Empty: the command stays
        // disabled.
        std::function<void()> openHelp;
    };

    explicit BrowseVsdWindow(Options options, QWidget* parent = nullptr);
    ~BrowseVsdWindow() override;

    VsdListModel& model() { return *m_model; }
    const OwnEntity& ownEntity() const { return m_own; }
    // The id of a list request whose result has not been received yet.
    const std::string& pendingListRequest() const { return m_pendingListRequest; }
    bool exchangeRunning() const;

    // Re-reads the list (the refresh toggle of every data change).
    void refreshList();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nameControls();
    // Reads the own entity, its settings and its enterprises; the period too at opening.
    void openOwnEntity(bool setPeriod);
    void applyScale(int winsfont);
    void fillEnterprises();
    void connectControls();
    void buildContextMenu();
    void disableMissingServices();

    VsdListScope currentScope() const;
    void scopeChanged(bool clearMarks);
    void updateRowCommands();
    void updateCurrentTexts();
    void updateTitle();
    void setWorkLine(const QString& text);
    QString dataFolder() const;
    // Sets the work line from the worker, by a queued call.
    std::function<void(const QString&)> workLineFromWorker();

    // Search.
    void acceptSearch();
    void clearSearch();
    void updateSearchLook();

    // Marks.
    bool ensureCurrentVsd();
    void toggleCurrent(int move);
    void markRange();
    void markAll(int how);
    void clearMarks();

    // Period.
    void dateAccepted(bool start);
    void pickDate(bool start);
    void choosePeriod();

    // Commands.
    void removeVsds();
    void openCard();
    // View1..View4 and BSETUP.
    void viewProduct();
    void viewEntity(bool carrier);
    void viewEnterprise();
    void setupOwnEntity();
    void openNested(const std::string& uuid);
    void requestList();
    void answers();
    void receivePendingList();
    void repayOrReturn(int operation);
    void printForm();
    void exportRegister();
    // Opens a file the program made (a print form, a register).
    void openMadeFile(const QString& file);
    void runFinished(const vetis::ExchangeRunResult& result);
    bool confirmClose();

    Options m_options;
    std::unique_ptr<Ui::BrowseVsdWindow> m_ui;
    store::Session m_session;
    VsdListModel* m_model = nullptr;
    GroupedHeaderView* m_header = nullptr;
    std::unique_ptr<vetis::ExchangeRunner> m_runner;
    QMenu* m_contextMenu = nullptr;
    OwnEntity m_own;
    std::vector<EnterpriseChoice> m_enterprises;
    std::string m_pendingListRequest;
    QString m_maskText;
    std::size_t m_lastTitleCount = 0;
    bool m_titleTouched = false;
    bool m_closing = false;
    // What the running job was, for its end.
    enum class Job
    {
        None,
        ListRequest,
        ListAnswer,
        Polls,
        RepayReturn,
        Print,
        Register,
    } m_job = Job::None;
};

} // namespace workspace::ui
