// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

namespace Ui {
class NestedListsWindow;
}
namespace store {
class Session;
}

// The nested lists of one VSD (Browse_Inside): its batch identifiers,
// referenced documents, producers, packages, regionalization conditions,
// laboratory research, status changes, route points and immunizations, one
// contents kind at a time. The window stands beside the list that opened it,
// is not modal, and reads through a store session of its own that only reads,
// so that several of them, for the same or different VSDs, may be open at
// once without holding up the list.
namespace workspace::ui {

class InsideListModel;

class NestedListsWindow final : public QWidget
{
    Q_OBJECT
public:
    NestedListsWindow(const QString& dataFolder, std::string vsdUuid, QWidget* parent = nullptr);
    ~NestedListsWindow() override;

    // Reads the VSD and its lists; false when the VSD is not there (or could
    // not be read, which the user has been told): the window is then not to
    // be shown.
    bool load();

    const std::string& vsdUuid() const { return m_uuid; }
    // The kind shown (1..9).
    int kind() const { return m_kind; }
    // Shows the list of a kind; a kind outside 1..9 shows the last list.
    void chooseKind(int kind);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpLists();
    void reread();
    void acceptSearch();
    void clearSearch();
    void updateSearchLook();
    void sortBy(int kind, int column);

    std::unique_ptr<::Ui::NestedListsWindow> m_ui;
    std::unique_ptr<store::Session> m_session;
    std::string m_uuid;
    int m_kind = 1;
    QString m_mask;
    std::array<InsideListModel*, 9> m_models{};
};

// Opens the nested lists of the VSD `vsdUuid` in the data folder: a window of
// its own beside `parent`, not modal, deleted when it closes. `mode` must be
// "1". Returns nullptr, with no window left open, for another mode or when
// the VSD is not in the local table (deleted meanwhile, for one).
// `ownEntityGuid` names the user's entity the window works for.
NestedListsWindow* openNestedLists(QWidget* parent, const QString& dataFolder,
                                   const std::string& ownEntityGuid, const std::string& mode,
                                   const std::string& vsdUuid);

} // namespace workspace::ui
