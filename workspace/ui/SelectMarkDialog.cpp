// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/SelectMarkDialog.h"

#include "ui_SelectMarkDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "workspace/RefsBrowse.h"

#include <QPainter>
#include <QPixmap>

namespace workspace::ui {

namespace {

const QString kSelectMarkWindowId = QStringLiteral("SelectMark");

} // namespace

QIcon markIcon(int mark)
{
    // One colour per flag, in the order of the dialog's buttons.
    static const QColor colours[] = {QColor(220, 40, 40), QColor(40, 160, 60), QColor(40, 90, 220),
                                     QColor(230, 180, 20)};
    if (mark < 1 || mark > 4)
        return {};
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colours[mark - 1]);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 12, 12);
    painter.end();
    return QIcon(pixmap);
}

SelectMarkDialog::SelectMarkDialog(int selected, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::SelectMarkDialog>())
{
    m_ui->setupUi(this);
    m_ui->QUESTION->setText(selected > 0
                                ? QStringLiteral("Изменить отметку для выбранных в списке записей ( ") +
                                      QString::number(selected) + QStringLiteral(" )")
                                : QStringLiteral("Изменить отметку для текущей записи в списке ?"));
    const std::pair<QPushButton*, int> buttons[] = {
        {m_ui->MARK1, 1}, {m_ui->MARK2, 2},           {m_ui->MARK3, 3},
        {m_ui->MARK4, 4}, {m_ui->INVERT, MarkInvert}, {m_ui->UNMARK, MarkClear},
    };
    for (const auto& [button, answer] : buttons) {
        if (answer <= 4)
            button->setIcon(markIcon(answer));
        connect(button, &QPushButton::clicked, this, [this, a = answer] {
            m_answer = a;
            accept();
        });
    }
    connect(m_ui->BNO, &QPushButton::clicked, this, &QDialog::reject);
    lists::ui::useUiFontSize(*this);
    framework::ui::restoreWindowPlacement(*this, kSelectMarkWindowId);
}

SelectMarkDialog::~SelectMarkDialog() = default;

void SelectMarkDialog::done(int result)
{
    if (result != QDialog::Accepted)
        m_answer = MarkNothing;
    framework::ui::saveWindowPlacement(*this, kSelectMarkWindowId);
    QDialog::done(result);
}

int selectMark(QWidget* parent, int selected)
{
    SelectMarkDialog dialog(selected, parent);
    dialog.exec();
    return dialog.answer();
}

} // namespace workspace::ui
