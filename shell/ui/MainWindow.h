// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QMainWindow>
#include <functional>

class QLabel;
class QLayout;
class QLineEdit;

// Browse_VSD2, the program's main window: the user's own business entity at
// the top, the list of incoming VSDs below it, the status bar with the
// program's version. The program ends when it closes. Its placement is kept
// under "Browse_VSD2".
namespace shell::ui {

// The name (MEN:NAME) of the user's own business entity, the m_Entity record
// with MEN:HOME = 1; empty when there is none yet.
using OwnEntityNameSource = std::function<QString()>;

class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr const char16_t* kWindowId = u"Browse_VSD2";

    MainWindow(const QDate& versionDate, OwnEntityNameSource ownEntityName, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Re-reads the own entity's name (after the program's settings changed).
    void refreshOwnEntity();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLayout* buildTop(QWidget* central);
    void buildStatusBar(const QDate& versionDate);

    OwnEntityNameSource m_ownEntityName;
    QLineEdit* m_entityName = nullptr;
    QLabel* m_statusZones[3] = {nullptr, nullptr, nullptr};
};

} // namespace shell::ui
