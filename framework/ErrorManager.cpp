// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ErrorManager.h"

#include "framework/LastError.h"
#include "framework/MessageComposer.h"
#include "framework/StorageErrorTexts.h"
#include "platform/Dates.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <unordered_map>

namespace framework {

struct ErrorManager::ThreadState
{
    QString file;
    QString key;
    QString field;
    QString message;
    QString procedure;
    MessageId id{};
    int level = 0;
    QString title;
    QString text;
};

namespace {

std::atomic<std::uint64_t> g_nextSerial{1};

// The long time form without the time zone, which Windows' form never shows.
QString longTimeText(const QLocale& locale, const QTime& time)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return locale.toString(time, format.trimmed());
}

} // namespace

ErrorManager::ErrorManager()
    : m_serial(g_nextSerial++)
{
    // The manager reads its messages from their stored form, the packed
    // catalogue a build can ship as a resource; a fault in that form shows up
    // at once.
    auto parsed = parseCatalogue(serializeCatalogue(messageCatalogue()));
    if (parsed)
        m_catalogue = std::move(*parsed);
}

ErrorManager::~ErrorManager() = default;

ErrorManager::ThreadState& ErrorManager::state() const
{
    // One state per thread and manager; managers are told apart by a serial
    // number that is never reused, so a new manager never sees old values.
    thread_local std::unordered_map<std::uint64_t, ThreadState> states;
    return states[m_serial];
}

void ErrorManager::set_file_name(const QString& name)
{
    state().file = name;
}

void ErrorManager::set_key_name(const QString& name)
{
    state().key = name;
}

void ErrorManager::set_field_name(const QString& name)
{
    state().field = name;
}

void ErrorManager::set_message_text(const QString& text)
{
    state().message = text;
}

void ErrorManager::set_procedure_name(const QString& name)
{
    state().procedure = name;
}

void ErrorManager::set_category(const QString& text)
{
    std::lock_guard lock(m_mutex);
    m_category = text;
}

const StoredEntry* ErrorManager::entry(MessageId id) const
{
    const auto number = static_cast<std::uint16_t>(id);
    const auto it = std::find_if(m_catalogue.begin(), m_catalogue.end(),
                                 [number](const StoredEntry& e) { return e.id == number; });
    return it == m_catalogue.end() ? nullptr : &*it;
}

int ErrorManager::report_for_file(MessageId id, const QString& file)
{
    set_file_name(file);
    return report(id);
}

int ErrorManager::report_with_text(MessageId id, const QString& text)
{
    set_message_text(text);
    return report(id);
}

int ErrorManager::report(MessageId id)
{
    ThreadState& s = state();
    const StoredEntry* e = entry(id);
    s.id = id;
    if (e) {
        s.level = e->level;
        s.title = QString::fromStdString(e->title);
    } else {
        // A number outside the catalogue is the program's own mistake: it is
        // shown, but it does not end the program.
        s.level = LevelNotification;
        s.title = QStringLiteral("Ошибка");
    }
    const QString templ = e ? QString::fromStdString(e->text)
                            : QStringLiteral("Сообщение %1 отсутствует в каталоге.").arg(messageNumber(id));

    const LastError& last = lastError();
    PlaceholderValues v;
    v.errorFile = QString::fromStdString(last.fileName);
    v.fileErrorCode = QString::number(last.driverCode);
    v.fileError = QString::fromStdString(last.driverText);
    v.file = s.file;
    v.key = s.key;
    v.errorCode = QString::number(last.code);
    v.error = storageErrorText(last.code);
    v.errorText = errorTextFor(last.code, v.error, last.driverCode, v.fileError);
    v.message = s.message;
    v.field = s.field;
    v.procedure = s.procedure;
    {
        std::lock_guard lock(m_mutex);
        v.category = m_category;
        if (!m_history.empty())
            v.previous = m_history.back().text;
    }
    s.text = composeMessage(templ, v);

    writeLog(s.text, s.title);
    return dispatch(s.level, s.title, s.text);
}

void ErrorManager::writeLog(const QString& text, const QString& title)
{
    QString failure;
    {
        std::lock_guard lock(m_mutex);
        if (!m_logging)
            return;
        QFile log(m_logFileName);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            failure = QStringLiteral("Unable to Open error log; ") + log.errorString();
        } else {
            const QDateTime now = platform::currentDateTime();
            const QLocale locale;
            const QString line = locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                                 longTimeText(locale, now.time()) + QStringLiteral(" --> ") + text + u'\n';
            const QByteArray bytes = line.toUtf8();
            if (log.write(bytes) != bytes.size())
                failure = QStringLiteral("Unable to update error log; ") + log.errorString();
            else if (!log.flush())
                failure = QStringLiteral("Unable to close error log; ") + log.errorString();
            log.close();
        }
    }
    if (failure.isEmpty())
        return;
    // The log's own failure is told to the user; the report itself goes on.
    MessageRequest r;
    r.caption = title;
    r.text = failure;
    r.icon = MessageIcon::Information;
    r.buttons = ButtonOk;
    bool silent = false;
    {
        std::lock_guard lock(m_mutex);
        silent = m_silent;
    }
    if (!silent)
        showNotice(presenter(), r);
}

int ErrorManager::dispatch(int level, const QString& title, const QString& text)
{
    const bool fatal = level == LevelProgram || level == LevelFatal || level < 0 || level > LevelNotification;
    const int effectiveLevel = fatal ? LevelFatal : level;

    bool silent = false;
    bool showHistory = false;
    std::vector<HistoryEntry> historyToShow;
    {
        std::lock_guard lock(m_mutex);
        if (m_historyThreshold > 0) {
            while (!m_history.empty() && static_cast<int>(m_history.size()) >= m_historyThreshold)
                m_history.erase(m_history.begin());
            m_history.push_back({text.left(kHistoryTextBytes), m_category, level});
        }
        silent = m_silent;
        if (!silent && effectiveLevel != LevelBenign && m_historyThreshold > 0 &&
            level == m_historyViewLevel) {
            showHistory = true;
            historyToShow = m_history;
            if (m_historyReset)
                m_history.clear();
        }
    }

    if (effectiveLevel == LevelBenign)
        return LevelBenign;

    if (effectiveLevel == LevelUser || effectiveLevel == LevelCancel) {
        MessageRequest r;
        r.caption = title;
        r.text = text;
        r.icon = MessageIcon::Warning;
        r.buttons = ButtonYes | ButtonNo;
        r.defaultButton = ButtonYes;
        int answer = r.defaultAnswer();
        if (showHistory) {
            // The history window asks nothing: the action is not confirmed.
            presenter().presentHistory(historyToShow);
            answer = ButtonNo;
        } else if (!silent) {
            answer = presenter().present(r);
        }
        return answer == ButtonYes ? LevelBenign : LevelCancel;
    }

    if (effectiveLevel == LevelFatal) {
        if (showHistory) {
            presenter().presentHistory(historyToShow);
        } else if (!silent) {
            MessageRequest r;
            r.caption = title;
            r.text = text + QString::fromUtf16(kFatalSuffix);
            r.icon = MessageIcon::Information;
            r.buttons = ButtonOk;
            showNotice(presenter(), r);
        }
        endProgram();
        return LevelFatal;
    }

    // Notification.
    if (showHistory) {
        presenter().presentHistory(historyToShow);
    } else if (!silent) {
        MessageRequest r;
        r.caption = title;
        r.text = text;
        r.icon = MessageIcon::Information;
        r.buttons = ButtonOk;
        showNotice(presenter(), r);
    }
    return LevelNotification;
}

void ErrorManager::endProgram()
{
    std::function<void()> action;
    {
        std::lock_guard lock(m_mutex);
        action = m_endProgram;
    }
    if (action) {
        action();
        return;
    }
    std::exit(EXIT_FAILURE);
}

void ErrorManager::show_history()
{
    std::vector<HistoryEntry> copy;
    {
        std::lock_guard lock(m_mutex);
        copy = m_history;
    }
    presenter().presentHistory(copy);
}

void ErrorManager::setLogging(bool on)
{
    std::lock_guard lock(m_mutex);
    m_logging = on;
}

void ErrorManager::setLogFileName(const QString& path)
{
    std::lock_guard lock(m_mutex);
    m_logFileName = path;
}

void ErrorManager::setHistoryThreshold(int threshold)
{
    std::lock_guard lock(m_mutex);
    m_historyThreshold = std::max(0, threshold);
    if (m_historyThreshold == 0)
        m_history.clear();
}

void ErrorManager::setHistoryViewLevel(int level)
{
    std::lock_guard lock(m_mutex);
    m_historyViewLevel = level;
}

void ErrorManager::setHistoryReset(bool on)
{
    std::lock_guard lock(m_mutex);
    m_historyReset = on;
}

void ErrorManager::setSilent(bool on)
{
    std::lock_guard lock(m_mutex);
    m_silent = on;
}

QString ErrorManager::category() const
{
    std::lock_guard lock(m_mutex);
    return m_category;
}

std::vector<HistoryEntry> ErrorManager::history() const
{
    std::lock_guard lock(m_mutex);
    return m_history;
}

MessageId ErrorManager::currentId() const
{
    return state().id;
}

int ErrorManager::currentLevel() const
{
    return state().level;
}

QString ErrorManager::currentTitle() const
{
    return state().title;
}

QString ErrorManager::currentText() const
{
    return state().text;
}

void ErrorManager::setPresenter(MessagePresenter* presenter)
{
    std::lock_guard lock(m_mutex);
    m_presenter = presenter;
}

MessagePresenter& ErrorManager::presenter() const
{
    MessagePresenter* p = nullptr;
    {
        std::lock_guard lock(m_mutex);
        p = m_presenter;
    }
    return p ? *p : messagePresenter();
}

void ErrorManager::setEndProgramAction(std::function<void()> action)
{
    std::lock_guard lock(m_mutex);
    m_endProgram = std::move(action);
}

ErrorManager& errorManager()
{
    static ErrorManager manager;
    return manager;
}

} // namespace framework
