// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vetis.h"
#include "vetis/TransportSettings.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

// Rules about the access settings of one business entity (an m_Vetis record)
// that the settings window, the exchange and the VSD list share.
//
// Reserve fields of m_Vetis that carry settings of their own:
//   MVS:STR250_01  CA bundle file (Windows-1251 path, blank for none): a PEM
//                  file of extra trusted authorities for the entity's
//                  connections, added to the system's store.
//   MVS:BYTE_03    1 = do not verify the server's certificate and host name
//                  (the user's explicit, insecure choice); 0 = verify (default,
//                  also for every record written before this field was used).
namespace vetis {

// The key under which the window keeps a record whose entity GUID is not yet
// known (UTF-8; stored in Windows-1251).
inline constexpr std::string_view kGuidPlaceholderUtf8 = "УКАЖИТЕ GUID ВАШЕГО ХС !";
// The length of an entity GUID in its textual form.
inline constexpr std::size_t kGuidLength = 36;

// Values a new record starts with.
inline constexpr std::uint8_t kNewRecordAnswer = 1; // show answers that are errors
inline constexpr std::uint8_t kNewRecordPeriod = 30;
// A stored period of 0 is shown and written as this.
inline constexpr std::uint8_t kPeriodInsteadOfZero = 31;

// True when the clipped text is exactly a GUID long.
bool isEntityGuid(std::string_view cp1251Guid);

// Window scale (MVS:WINSFONT). Stored values 0..8 choose a step; 0 is the
// recommended 100 %. Any other value counts as 0.
inline constexpr int kDefaultScale = 0;
inline constexpr int kMaxScale = 8;
int normalizedScale(int winsfont);
// Step 1..9 of the scale, from the smallest to the largest.
int scaleStep(int winsfont);
// Font size of the windows in points: step + 7 (11 for the default scale).
int scaleFontSize(int winsfont);
// The percentage shown for the scale: 70, 85, 90, 100, 110, 115, 130, 140, 150.
int scalePercent(int winsfont);

// The folder for XML exchange files as written: left-trimmed and clipped and,
// when not blank, ending with the native separator ('\' on Windows, '/'
// elsewhere). A folder that already ends with a separator is not given a
// second one, so saving the settings again leaves the value unchanged.
QString normalizedDumpFolder(const QString& folder);
// Where the folder dialog starts: the current folder when it exists, else the
// root of the file system ("C:\" on Windows, "/" elsewhere).
QString dumpFolderDialogStart(const QString& currentFolder);

// The TLS choice of the entity, read from the reserve fields above; the CA
// bundle path is converted from the record's Windows-1251.
TlsSettings tlsSettingsOf(const store::VetisRecord& record);
void setTlsSettings(store::VetisRecord& record, const TlsSettings& tls);

// A cleared record: texts blank, numbers zero.
store::VetisRecord clearedVetisRecord();

// The record a new entity's settings start from: its key, today's date, the
// answer mode and period of new records.
store::VetisRecord newVetisRecord(std::string_view key);

} // namespace vetis
