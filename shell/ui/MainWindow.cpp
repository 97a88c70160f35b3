// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/MainWindow.h"

#include "framework/ProcessSettings.h"
#include "framework/ui/Controls.h"
#include "framework/ui/WindowPlacementUi.h"
#include "shell/ProgramVersion.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace shell::ui {

using framework::ui::named;

MainWindow::MainWindow(const QDate& versionDate, OwnEntityNameSource ownEntityName, QWidget* parent)
    : QMainWindow(parent)
    , m_ownEntityName(std::move(ownEntityName))
{
    setObjectName(QString::fromUtf16(kWindowId));
    setWindowTitle(QStringLiteral("Dirirev ODI в АИС «Меркурий»"));
    QFont f = font();
    f.setPointSize(framework::process::uiFontSize());
    setFont(f);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(buildTop(central));

    // The list of incoming VSDs comes here.
    auto* listArea = named(new QFrame(central), QStringLiteral("ListArea"));
    listArea->setFrameShape(QFrame::StyledPanel);
    listArea->setMinimumSize(600, 300);
    layout->addWidget(listArea, 1);
    setCentralWidget(central);

    buildStatusBar(versionDate);
    resize(1000, 640);
    framework::ui::restoreWindowPlacement(*this, QString::fromUtf16(kWindowId));
    refreshOwnEntity();
}

MainWindow::~MainWindow() = default;

QLayout* MainWindow::buildTop(QWidget* central)
{
    auto* top = new QHBoxLayout;
    top->setObjectName(QStringLiteral("TopRow"));
    const QString prompt = QStringLiteral("Наименование Вашего ХС (изменяется в настройке программы)");
    m_entityName = named(new QLineEdit(central), QStringLiteral("LOC:ENTITYNAME"));
    m_entityName->setReadOnly(true);
    m_entityName->setMaxLength(180);
    m_entityName->setToolTip(prompt);
    m_entityName->setPlaceholderText(prompt);
    m_entityName->setFocusPolicy(Qt::ClickFocus);
    top->addWidget(m_entityName, 1);
    return top;
}

void MainWindow::buildStatusBar(const QDate& versionDate)
{
    QStatusBar* bar = statusBar();
    for (int i = 0; i < 3; ++i) {
        m_statusZones[i] = named(new QLabel(bar), QStringLiteral("StatusZone%1").arg(i + 1));
        bar->addPermanentWidget(m_statusZones[i], i == 0 ? 1 : 0);
    }
    m_statusZones[2]->setText(versionLine(versionDate));
}

void MainWindow::refreshOwnEntity()
{
    m_entityName->setText(m_ownEntityName ? m_ownEntityName().trimmed() : QString());
    m_entityName->setCursorPosition(0);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    framework::ui::saveWindowPlacement(*this, QString::fromUtf16(kWindowId));
    QMainWindow::closeEvent(event);
}

} // namespace shell::ui
