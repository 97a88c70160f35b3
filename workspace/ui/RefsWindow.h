// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "workspace/RefsBrowse.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Ui {
class RefsWindow;
}
namespace lists::ui {
class ListFormat;
}
namespace store {
class Session;
}
namespace vetis {
class ExchangeRunner;
struct ExchangeRunResult;
} // namespace vetis

// The Mercury dictionaries window (Browse_Refs): the local copy of one
// dictionary kind of m_Refs, under one parent record for the dependent kinds.
// The user searches, selects and marks records, deletes them, loads the kind
// from the service (on the runner's worker, so that the window never waits
// for the service), and follows a record to its dependent dictionary in a
// window of its own. Opened as a picker it hands back the record chosen.
namespace workspace::ui {

class RefsListModel;

class RefsWindow final : public QDialog
{
    Q_OBJECT
public:
    struct Options
    {
        QString dataFolder;
        std::string ownEntityGuid;
        int kind = 1;
        std::string parent; // the parent record's GUID for dependent kinds
        bool picker = false;
    };

    explicit RefsWindow(Options options, QWidget* parent = nullptr);
    ~RefsWindow() override;

    int kind() const { return m_options.kind; }
    const std::string& parentGuid() const { return m_options.parent; }
    // The rows shown, in their order.
    const std::vector<RefRow>& rows() const;
    // The GUIDs of the selected rows.
    std::vector<std::string> selectedGuids() const;
    // The record under the cursor; nothing on an empty list.
    std::optional<RefRow> current() const;
    void setCurrentRow(int row);
    // The record handed back by "Выбрать" in picker mode.
    const std::optional<std::string>& chosen() const { return m_chosen; }
    // Whether a download is running.
    bool loading() const;

    // The commands, as the buttons and keys call them.
    void chooseKind(int kind);
    void toggleCurrent();      // Space
    void selectRange();        // F8
    void selectAll();          // "Все выбрать"
    void selectNone();         // "Все отменить"
    void invertSelection();    // "Ивертировать"
    void mark();               // "Отметить", Ctrl+S
    void markWith(int answer); // the mark dialog's answer
    void remove();             // "Удалить", Del
    void clearAll();           // "Очистить"
    void download();           // "Загрузить", F12
    // "Открыть справочник по текущей записи" (button 1) and the second one;
    // the window opened, or null when the record leads nowhere.
    RefsWindow* follow(int button);
    void choose(); // "Выбрать", Enter in picker mode
    void reload();

    void done(int result) override;

private:
    void buildControls();
    void updateTitle();
    void updateStatus();
    void updateCommands();
    bool refuseEmpty();
    void reportChange(RefsChange change);
    void downloadFinished(const vetis::ExchangeRunResult& result);

    Options m_options;
    std::unique_ptr<::Ui::RefsWindow> m_ui;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<vetis::ExchangeRunner> m_runner;
    RefsListModel* m_model = nullptr;
    lists::ui::ListFormat* m_listFormat = nullptr;
    std::optional<std::string> m_chosen;
};

// Opens the dictionaries window on the countries, not modal; it deletes
// itself when closed. ownEntityGuid: the user's business entity, whose access
// settings the downloads use.
void openReferences(QWidget* parent, const QString& dataFolder, const std::string& ownEntityGuid);

// Lets the user choose one record of dictionary `kind` (e.g. 10, the cargo
// purposes) in the dictionaries window opened as a picker, modally; the
// chosen record's GUID, or nothing when the window was closed without a
// choice. The user may load the dictionary from there first.
std::optional<std::string> pickReference(QWidget* parent, const QString& dataFolder,
                                         const std::string& ownEntityGuid, int kind);

} // namespace workspace::ui
