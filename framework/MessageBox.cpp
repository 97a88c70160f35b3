// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageBox.h"

#include <QDebug>
#include <atomic>
#include <bit>
#include <mutex>

namespace framework {

namespace {

// Without windows (the command-line tool, early start-up) a box is written to
// the error stream and answered with its default.
class StreamPresenter final : public MessagePresenter
{
public:
    [[nodiscard]] int present(const MessageRequest& request) override
    {
        qWarning().noquote() << request.caption << QStringLiteral(": ") << displayText(request.text);
        return request.defaultAnswer();
    }
    void presentHistory(const std::vector<HistoryEntry>& entries) override
    {
        for (const HistoryEntry& e : entries)
            qWarning().noquote() << e.category << e.level << e.text;
    }
};

StreamPresenter g_streamPresenter;
std::atomic<MessagePresenter*> g_presenter{nullptr};
thread_local MessagePresenter* t_presenter = nullptr;

std::mutex g_captionMutex;
QStringList g_captions{QStringLiteral("&OK"),     QStringLiteral("&Yes"),   QStringLiteral("&No"),
                       QStringLiteral("&Abort"),  QStringLiteral("&Retry"), QStringLiteral("&Ignore"),
                       QStringLiteral("&Cancel"), QStringLiteral("&Help")};

} // namespace

int MessageRequest::defaultAnswer() const
{
    if (!customButtons.isEmpty())
        return defaultCustomButton >= 1 && defaultCustomButton <= customButtons.size() ? defaultCustomButton
                                                                                       : 1;
    if (defaultButton != 0 && (buttons & defaultButton) != 0)
        return static_cast<int>(defaultButton);
    if (buttons == 0)
        return ButtonOk;
    // The lowest standard button shown.
    return static_cast<int>(buttons & (~buttons + 1));
}

MessagePresenter& messagePresenter()
{
    if (t_presenter)
        return *t_presenter;
    MessagePresenter* p = g_presenter.load();
    return p ? *p : g_streamPresenter;
}

void setMessagePresenter(MessagePresenter* presenter)
{
    g_presenter.store(presenter);
}

void setThreadMessagePresenter(MessagePresenter* presenter)
{
    t_presenter = presenter;
}

ScopedThreadMessagePresenter::ScopedThreadMessagePresenter(MessagePresenter* presenter)
    : m_previous(t_presenter)
{
    t_presenter = presenter;
}

ScopedThreadMessagePresenter::~ScopedThreadMessagePresenter()
{
    t_presenter = m_previous;
}

void setStandardButtonCaptions(const QString& commaSeparated)
{
    const QStringList items = commaSeparated.split(u',');
    std::lock_guard lock(g_captionMutex);
    for (qsizetype i = 0; i < items.size() && i < g_captions.size(); ++i)
        if (!items[i].isEmpty())
            g_captions[i] = items[i];
}

QString standardButtonCaption(MessageButton button)
{
    const unsigned value = static_cast<unsigned>(button);
    if (value == 0 || (value & (value - 1)) != 0)
        return {};
    const int index = std::countr_zero(value);
    std::lock_guard lock(g_captionMutex);
    return index < g_captions.size() ? g_captions[index] : QString();
}

QString programButtonCaptions()
{
    return QStringLiteral("&OK,&1. Да,&2. Нет,Пре&рвать,&Повторить,&Игнорировать,&Отменить,&Справка");
}

QString displayText(const QString& text)
{
    QString out = text;
    out.replace(u'|', u'\n');
    return out;
}

void showNotice(MessagePresenter& presenter, const MessageRequest& request)
{
    static_cast<void>(presenter.present(request));
}

void informationMessage(MessagePresenter& presenter, const QString& text)
{
    MessageRequest r;
    r.caption = QStringLiteral("Сообщение");
    r.text = text;
    r.icon = MessageIcon::Information;
    r.customButtons = {QStringLiteral("&1. Закрыть")};
    showNotice(presenter, r);
}

void problemMessage(MessagePresenter& presenter, const QString& text, bool exclamationCaption)
{
    MessageRequest r;
    r.caption = exclamationCaption ? QStringLiteral("У нас проблема !") : QStringLiteral("У нас проблема");
    r.text = text;
    r.icon = MessageIcon::Information;
    r.customButtons = {QStringLiteral("&1. Закрыть")};
    showNotice(presenter, r);
}

bool questionMessage(MessagePresenter& presenter, const QString& text)
{
    MessageRequest r;
    r.caption = QStringLiteral("Вопрос");
    r.text = text;
    r.icon = MessageIcon::Warning;
    r.buttons = ButtonYes | ButtonNo;
    r.defaultButton = ButtonNo;
    return presenter.present(r) == ButtonYes;
}

} // namespace framework
