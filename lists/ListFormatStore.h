// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace framework {
class MessagePresenter;
}
namespace store {
class Session;
}

// The remembered formats of the program's lists: their column layout (an
// opaque text the list produces and takes back) and their appearance. A list
// takes its format from the in-memory table of this run when it was open
// before, else from the list-format file when the program still designs the
// list the way it did when the format was saved. Formats changed during the
// run go to the file once, when the program ends.
namespace lists {

// Lists are identified by at most this many characters.
inline constexpr int kListIdLength = 20;
// The longest designed layout a list remembers; a longer one is cut.
inline constexpr int kDesignedLayoutLimit = 2048;
// Bounds of the zoom: font size and row height stay within them.
inline constexpr int kZoomMinimum = 8;
inline constexpr int kZoomMaximum = 40;

// The appearance of a list. With `setup` 0 every other value takes its default.
struct ListAppearance
{
    int setup = 0;
    int gridColour = 0; // palette index, 0 = the list's own
    int barColour = 0;  // palette index of the selection bar, 0 = the list's own
    int rowHeight = 0;  // 6..40, in eighths of the font's line height
    int fontSize = 0;   // 8..40 points
    int font = 0;       // 1..5, see listFontName()
    int wheelStep = 0;  // 1..255: 40 = three rows a wheel notch, 200 = one row

    friend bool operator==(const ListAppearance&, const ListAppearance&) = default;
};

// The defaults for the given UI font size (setup off).
ListAppearance defaultAppearance(int uiFontSize);
// The appearance with every value outside its range, or all of them when
// setup is off, replaced by its default.
ListAppearance checkedAppearance(const ListAppearance& stored, int uiFontSize);
// "Segoe UI", "Calibri", "Tahoma", "Verdana" or "Arial" for 1..5; the first
// for anything else.
QString listFontName(int font);
// One zoom step (-1 out, +1 in) of font size and row height, starting from the
// defaults when the appearance was never set up. False, and nothing changed,
// at the limits.
bool zoomAppearance(ListAppearance& appearance, int step, int uiFontSize);
// Font size and row height back to their defaults; false when they are there.
bool resetZoom(ListAppearance& appearance, int uiFontSize);

struct SavedListFormat
{
    std::string designed; // the layout the program designed
    std::string current;  // the layout the user arranged
    ListAppearance appearance;
};

// The format the list had when it was last closed in this run, when it has a
// current layout.
std::optional<SavedListFormat> formatInMemory(store::Session& session, const QString& listId);
// Whether a layout saved as designed (`stored`) is the design a list has now.
using SameDesign = std::function<bool(std::string_view stored, std::string_view now)>;
// The format saved in the list-format file, when it has a current layout and
// was saved for the design the list has now (`designedNow`): compared by
// `sameDesign`, else as texts without trailing blanks.
std::optional<SavedListFormat> formatInFile(store::Session& session, const QString& listId,
                                            std::string_view designedNow, const SameDesign& sameDesign = {});
// Keeps the format of a closing list for this run: adds it, or updates it
// when the layout or the appearance changed. A current layout shorter than 5
// or longer than 4097 characters is not kept. 0 or the store's error number.
int rememberListFormat(store::Session& session, const QString& listId, const SavedListFormat& format);

enum class WriteBackResult
{
    NothingToWrite,
    Written,
    NoAccess, // the file could not be locked: nothing written
    Failed,   // a record could not be written: nothing written
};

// Writes the formats of this run into the list-format file in one
// transaction, reports a failure through `presenter` and empties the formats
// of the run in every case.
WriteBackResult writeBackListFormats(store::Session& session, framework::MessagePresenter& presenter);

} // namespace lists
