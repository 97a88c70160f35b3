// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageIds.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The catalogue of the error manager: 56 numbered messages with a level, a
// caption and a text with placeholders (%File, %ErrorText, ...). A vertical bar
// in a text is a line break.
namespace framework {

// Levels of a message; they decide the dialog and the result of a report.
enum MessageLevel : std::uint8_t
{
    LevelBenign = 0,       // nothing is shown
    LevelUser = 1,         // a question Yes / No
    LevelProgram = 2,      // handled as fatal
    LevelFatal = 3,        // shown, then the program ends
    LevelCancel = 4,       // a question Yes / No
    LevelNotification = 5, // shown with OK
};

struct CatalogueEntry
{
    MessageId id;
    std::uint8_t level;
    std::string_view title; // UTF-8
    std::string_view text;  // UTF-8
};

// The entries in their stored order (not the order of ids).
std::span<const CatalogueEntry> messageCatalogue();

// The stored form of the catalogue: a 16-bit little-endian count, then per
// entry the id (16-bit little-endian), the level byte, and the title and the
// text as short strings (one length byte and that many Windows-1251 bytes).
// A title or text that does not fit 255 bytes is cut there.
std::string serializeCatalogue(std::span<const CatalogueEntry> entries);

// An entry read back from the stored form; texts are UTF-8.
struct StoredEntry
{
    std::uint16_t id = 0;
    std::uint8_t level = 0;
    std::string title;
    std::string text;
};

// Reads the stored form; nothing when it is truncated or has bytes left over.
std::optional<std::vector<StoredEntry>> parseCatalogue(std::string_view bytes);

} // namespace framework
