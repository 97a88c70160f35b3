// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ui/QtMessagePresenter.h"

#include "framework/ui/HistoryDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>
#include <mutex>

namespace framework::ui {

namespace {

std::mutex g_hookMutex;
QtMessagePresenter::AnswerHook g_answerHook;
QtMessagePresenter::HistoryHook g_historyHook;

constexpr char kAnswerProperty[] = "answer";

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(MessageButton b)
{
    switch (b) {
    case ButtonOk:
        return QMessageBox::AcceptRole;
    case ButtonYes:
        return QMessageBox::YesRole;
    case ButtonNo:
        return QMessageBox::NoRole;
    case ButtonAbort:
        return QMessageBox::RejectRole;
    case ButtonRetry:
        return QMessageBox::AcceptRole;
    case ButtonIgnore:
        return QMessageBox::AcceptRole;
    case ButtonCancel:
        return QMessageBox::RejectRole;
    case ButtonHelp:
        return QMessageBox::HelpRole;
    }
    return QMessageBox::AcceptRole;
}

// On the GUI thread.
[[nodiscard]] int showOnGuiThread(const MessageRequest& request)
{
    QWidget* parent = QApplication::activeWindow();
    std::unique_ptr<QMessageBox> box = buildMessageBox(request, parent);
    QtMessagePresenter::AnswerHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_answerHook;
    }
    if (hook) {
        QAbstractButton* pressed = hook(*box);
        if (!pressed)
            pressed = box->escapeButton() ? box->escapeButton() : box->defaultButton();
        return pressed ? answerOf(pressed) : request.defaultAnswer();
    }
    box->exec();
    QAbstractButton* pressed = box->clickedButton();
    if (!pressed)
        pressed = box->escapeButton();
    return pressed ? answerOf(pressed) : request.defaultAnswer();
}

template <typename F>
auto onGuiThread(F f)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return f();
    decltype(f()) result{};
    QMetaObject::invokeMethod(
        app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest& request, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(request.caption);
    box->setText(displayText(request.text));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(iconOf(request.icon));

    if (!request.customButtons.isEmpty()) {
        for (qsizetype i = 0; i < request.customButtons.size(); ++i) {
            QPushButton* b = box->addButton(request.customButtons[i], QMessageBox::AcceptRole);
            b->setProperty(kAnswerProperty, static_cast<int>(i + 1));
            if (i + 1 == request.defaultCustomButton)
                box->setDefaultButton(b);
        }
        if (request.customButtons.size() == 1)
            box->setEscapeButton(box->buttons().constFirst());
        return box;
    }

    const int defaultAnswer = request.defaultAnswer();
    for (unsigned bit = ButtonOk; bit <= ButtonHelp; bit <<= 1) {
        if ((request.buttons & bit) == 0)
            continue;
        const auto which = static_cast<MessageButton>(bit);
        QPushButton* b = box->addButton(standardButtonCaption(which), roleOf(which));
        b->setProperty(kAnswerProperty, static_cast<int>(bit));
        if (static_cast<int>(bit) == defaultAnswer)
            box->setDefaultButton(b);
        if (bit == ButtonNo || bit == ButtonCancel)
            box->setEscapeButton(b);
    }
    if (!box->escapeButton() && box->buttons().size() == 1)
        box->setEscapeButton(box->buttons().constFirst());
    return box;
}

int answerOf(const QAbstractButton* button)
{
    return button ? button->property(kAnswerProperty).toInt() : 0;
}

int QtMessagePresenter::present(const MessageRequest& request)
{
    return onGuiThread([&] { return showOnGuiThread(request); });
}

void QtMessagePresenter::presentHistory(const std::vector<HistoryEntry>& entries)
{
    onGuiThread([&] {
        HistoryDialog dialog(entries, QApplication::activeWindow());
        QtMessagePresenter::HistoryHook hook;
        {
            std::lock_guard lock(g_hookMutex);
            hook = g_historyHook;
        }
        if (hook)
            hook(dialog);
        else
            dialog.exec();
        return 0;
    });
}

void QtMessagePresenter::setAnswerHook(AnswerHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_answerHook = std::move(hook);
}

void QtMessagePresenter::setHistoryHook(HistoryHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_historyHook = std::move(hook);
}

} // namespace framework::ui
