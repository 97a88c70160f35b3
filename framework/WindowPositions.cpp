// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/WindowPositions.h"

#include <QSettings>
#include <algorithm>
#include <memory>
#include <mutex>

namespace framework::windowpositions {

namespace {

std::mutex g_mutex;
std::unique_ptr<QSettings> g_settings;
QString g_fileOverride;

const QString kNoIniPrefix = QStringLiteral("NoINI_");

// Called with the lock held.
QSettings& settings()
{
    if (!g_settings) {
        if (g_fileOverride.isEmpty())
            g_settings = std::make_unique<QSettings>(QStringLiteral("Kestrom"), QStringLiteral("Vetis"));
        else
            g_settings = std::make_unique<QSettings>(g_fileOverride, QSettings::IniFormat);
    }
    return *g_settings;
}

QString keyOf(const QString& subkey, const QString& name)
{
    return subkey.isEmpty() ? name : subkey + u'/' + name;
}

// Called with the lock held.
QString readValue(const QString& key)
{
    const QVariant v = settings().value(key);
    return v.isValid() ? v.toString() : QString();
}

std::optional<int> readNumber(const QString& key)
{
    bool ok = false;
    const int n = readValue(key).trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

std::optional<bool> readYesNo(const QString& key)
{
    const QString v = readValue(key);
    if (v.compare(QStringLiteral("Yes"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QStringLiteral("No"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

void writeOrRemove(const QString& key, const std::optional<QString>& value)
{
    if (value)
        settings().setValue(key, *value);
    else
        settings().remove(key);
}

std::optional<QString> yesNo(std::optional<bool> v)
{
    if (!v)
        return std::nullopt;
    return *v ? QStringLiteral("Yes") : QStringLiteral("No");
}

std::optional<QString> decimal(std::optional<int> v)
{
    if (!v)
        return std::nullopt;
    return QString::number(*v);
}

} // namespace

void open()
{
    std::lock_guard lock(g_mutex);
    settings();
}

void useSettingsFile(const QString& path)
{
    std::lock_guard lock(g_mutex);
    if (g_settings)
        g_settings->sync();
    g_settings.reset();
    g_fileOverride = path;
}

void close()
{
    std::lock_guard lock(g_mutex);
    if (g_settings)
        g_settings->sync();
    g_settings.reset();
}

bool remembers(const QString& windowId)
{
    return !windowId.isEmpty() && !windowId.startsWith(kNoIniPrefix);
}

WindowPlacement load(const QString& windowId)
{
    WindowPlacement p;
    if (!remembers(windowId))
        return p;
    std::lock_guard lock(g_mutex);
    p.maximized = readYesNo(keyOf(windowId, QStringLiteral("Maximize")));
    p.minimized = readYesNo(keyOf(windowId, QStringLiteral("Minimize")));
    p.x = readNumber(keyOf(windowId, QStringLiteral("XPos")));
    p.y = readNumber(keyOf(windowId, QStringLiteral("YPos")));
    p.width = readNumber(keyOf(windowId, QStringLiteral("Width")));
    p.height = readNumber(keyOf(windowId, QStringLiteral("Height")));
    return p;
}

void save(const QString& windowId, const WindowPlacement& p)
{
    if (!remembers(windowId))
        return;
    std::lock_guard lock(g_mutex);
    writeOrRemove(keyOf(windowId, QStringLiteral("Maximize")), yesNo(p.maximized));
    writeOrRemove(keyOf(windowId, QStringLiteral("Minimize")), yesNo(p.minimized));
    writeOrRemove(keyOf(windowId, QStringLiteral("XPos")), decimal(p.x));
    writeOrRemove(keyOf(windowId, QStringLiteral("YPos")), decimal(p.y));
    writeOrRemove(keyOf(windowId, QStringLiteral("Width")), decimal(p.width));
    writeOrRemove(keyOf(windowId, QStringLiteral("Height")), decimal(p.height));
}

QString get(const QString& subkey, const QString& name, const QString& defaultValue)
{
    if (!subkey.isEmpty() && !remembers(subkey))
        return defaultValue;
    std::lock_guard lock(g_mutex);
    const QString v = readValue(keyOf(subkey, name));
    return v.isEmpty() ? defaultValue : v;
}

void put(const QString& subkey, const QString& name, const QString& value)
{
    if (!subkey.isEmpty() && !remembers(subkey))
        return;
    std::lock_guard lock(g_mutex);
    settings().setValue(keyOf(subkey, name), value);
}

QString askPeriod(int number, const QString& defaultValue)
{
    if (number < 1 || number > 5)
        return defaultValue;
    return get(QString(), QStringLiteral("AskPeriod%1_").arg(number), defaultValue);
}

void putAskPeriod(int number, const QString& value)
{
    if (number < 1 || number > 5)
        return;
    put(QString(), QStringLiteral("AskPeriod%1_").arg(number), value);
}

QRect fitIntoArea(const QRect& placement, const QRect& area)
{
    if (!area.isValid() || !placement.isValid())
        return placement;
    const int width = std::min(placement.width(), area.width());
    const int height = std::min(placement.height(), area.height());
    const int x = std::clamp(placement.x(), area.left(), area.left() + area.width() - width);
    const int y = std::clamp(placement.y(), area.top(), area.top() + area.height() - height);
    return QRect(x, y, width, height);
}

} // namespace framework::windowpositions
