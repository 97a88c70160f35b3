// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstddef>

// Values start-up decides once and every part of the program reads: the
// folders, the list-format file and the UI font size. Safe to read from any
// thread.
namespace framework::process {

// Folder of the program and its libraries, with a trailing '/'.
QString programFolder();
void setProgramFolder(const QString& folder);

// Folder relative to which the local tables are opened (their files lie in
// its subfolder "Base"), with a trailing '/'.
QString dataFolder();
void setDataFolder(const QString& folder);

// Full path of the list-format file "lf.dat".
QString listFormatFile();
void setListFormatFile(const QString& path);

// Folder for temporary export files (workbooks, print forms), trailing '/'.
QString temporaryExportFolder();
void setTemporaryExportFolder(const QString& folder);

// Font size of every window in points; 11 until the window scale changes it.
constexpr int kDefaultUiFontSize = 11;
int uiFontSize();
void setUiFontSize(int points);

// The longest answer of the services the program takes, in bytes: far beyond
// any page of 1,000 entries, far below what would exhaust the memory of an
// office machine. Start-up may change it from the value "MaxAnswerMB" of the
// program's settings (1..4096); a longer answer is neither received nor read.
constexpr std::size_t kDefaultMaxAnswerBytes = std::size_t{256} << 20;
constexpr int kMaxAnswerMegabytesLimit = 4096;
std::size_t maxAnswerBytes();
void setMaxAnswerBytes(std::size_t bytes);

} // namespace framework::process
