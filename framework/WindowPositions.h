// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QRect>
#include <QString>
#include <optional>

// What the program remembers between runs outside its tables: the placement of
// every window that keeps one (a subkey named after the window with the values
// "Maximize", "Minimize", "XPos", "YPos", "Width", "Height") and the last period
// choice ("AskPeriod1_" .. "AskPeriod5_" directly under the key). Everything is
// a string; numbers are decimal. On Windows this is the registry key
// HKCU\Software\Kestrom\Vetis, elsewhere Qt's per-user settings file.
//
// Windows whose identifier begins with "NoINI_" never read or write anything.
// Every access runs under one process-wide lock, so windows on several threads
// never interleave a read-modify-write of one subkey. Failures are not
// reported: what cannot be read is absent, what cannot be written is lost.
namespace framework {

struct WindowPlacement
{
    std::optional<bool> maximized;
    std::optional<bool> minimized;
    std::optional<int> x;
    std::optional<int> y;
    std::optional<int> width;
    std::optional<int> height;
};

namespace windowpositions {

// Opens the store on the program's settings (start-up). Reopening is harmless.
void open();
// Tests: keep everything in this INI file instead of the user's settings; an
// empty path goes back to the user's settings. Closes what was open.
void useSettingsFile(const QString& path);
// Writes everything out and closes the store (end of the program).
void close();

bool remembers(const QString& windowId); // false for "NoINI_..."

// Reads what is stored for the window; absent values stay empty.
WindowPlacement load(const QString& windowId);
// Stores the placement; a value the window could not report (empty) is
// removed instead of written.
void save(const QString& windowId, const WindowPlacement& placement);

// Generic values under a window's subkey; get gives `defaultValue` when the
// value is absent or empty.
QString get(const QString& subkey, const QString& name, const QString& defaultValue = {});
void put(const QString& subkey, const QString& name, const QString& value);

// The period choice: number 1..5 of "AskPeriodN_" directly under the key.
QString askPeriod(int number, const QString& defaultValue = {});
void putAskPeriod(int number, const QString& value);

// Fits a stored placement into a work area: a window larger than the area is
// shrunk to it, one lying partly or wholly outside is moved in.
QRect fitIntoArea(const QRect& placement, const QRect& area);

} // namespace windowpositions
} // namespace framework
