// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <unordered_map>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A thin writer of XLSX workbooks over libxlsxwriter, in the program's own
// terms: rows and columns are 1-based, colours are Windows colour values
// (blue in the high byte, 0x80000000 + n a system colour), margins are
// centimetres, texts are QStrings (CR LF line breaks are stored as LF).
// Cell formats are described by a set of attributes; one libxlsxwriter
// format is made per distinct set and reused for every cell that asks for
// the same set. Write failures are remembered (the first one) and reported
// by close(), so that a workbook libxlsxwriter could not finish is never
// taken for a complete one.
namespace lists {

// The attributes of a cell format. "Not set" is -1 for colours, 255 for
// border styles and 0 or empty for everything else.
struct FormatAttributes
{
    std::int64_t background = -1; // Windows colours
    std::int64_t foreground = -1;
    std::int64_t fontColor = -1;
    // Border styles (libxlsxwriter's LXW_BORDER_*): all sides, then left,
    // top, right, bottom and diagonal separately.
    std::uint8_t border = 255;
    std::uint8_t left = 255;
    std::uint8_t top = 255;
    std::uint8_t right = 255;
    std::uint8_t bottom = 255;
    std::uint8_t diagonal = 255;
    // Colours of the same six borders.
    std::int64_t borderColor = -1;
    std::int64_t leftColor = -1;
    std::int64_t topColor = -1;
    std::int64_t rightColor = -1;
    std::int64_t bottomColor = -1;
    std::int64_t diagonalColor = -1;
    std::uint8_t diagonalType = 0;
    QString fontName;
    double fontSize = 0;
    int fontWeight = 0; // 700 bold
    bool italic = false;
    std::uint8_t underline = 0; // libxlsxwriter's underline style; 0 none
    bool strikeOut = false;
    std::uint8_t fontScript = 0;
    std::uint8_t horizontal = 0; // LXW_ALIGN_* of the horizontal kind
    std::uint8_t vertical = 0;   // LXW_ALIGN_VERTICAL_*
    bool wrap = false;
    int rotation = 0;
    std::uint8_t indent = 0;
    bool shrink = false;
    std::uint8_t pattern = 0;
    bool hidden = false;
    bool unlocked = false;
    std::uint8_t numFormatIndex = 0;
    QString numFormat; // at most 100 characters

    bool operator==(const FormatAttributes&) const = default;
};

struct FormatAttributesHash
{
    std::size_t operator()(const FormatAttributes& a) const;
};

// A Windows colour value as libxlsxwriter's RGB: system colours resolved,
// red and blue swapped, black as libxlsxwriter's explicit black.
std::uint32_t xlsxColor(std::int64_t windowsColor);

// The text a cell gets: every CR that stands before an LF is dropped, then
// UTF-8.
QByteArray xlsxText(QStringView text);

// The number format of the integer preset with `decimals` (0..6) decimals,
// such as "# ##0.000;[Red]-# ##0.000".
QString integerNumberFormat(int decimals, bool redNegatives);
QString percentNumberFormat(bool redNegatives);

class WorkbookWriter
{
public:
    using Format = lxw_format*;

    WorkbookWriter();
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // A new workbook on `file` (its folder must exist when the workbook is
    // closed). Empties the format cache and resets the current attributes.
    [[nodiscard]] bool newWorkbook(const QString& file);
    [[nodiscard]] bool addSheet(const QString& name);
    QString fileName() const { return m_file; }
    QString sheetName() const { return m_sheetName; }

    struct Properties
    {
        QString title, subject, author, manager, company, category, keywords, comments, status, hyperlinkBase;
        // The creation stamp (day and time numbers), taken only when both are
        // given; else the time the workbook is closed.
        std::int32_t createdDay = 0;
        std::int32_t createdTime = 0;
    };
    void setProperties(const Properties& properties);

    void setPaper(int kind);
    void setLandscape();
    void hideZeroValues();
    void setZoom(int percent); // taken when 10..400
    // Centimetres; a negative side is libxlsxwriter's default.
    void setMargins(double left, double right, double top, double bottom);
    // The page header and footer; a margin (centimetres) when not negative.
    void setHeader(const QString& text, double marginCm = -1);
    void setFooter(const QString& text, double marginCm = -1);
    // The rows above `row` and the columns left of `column` stay in view.
    void freezePanes(int row, int column);

    // The attributes the next makeFormat() turns into a format.
    FormatAttributes& attributes() { return m_attributes; }
    void resetFormat();
    // The format of the current attributes, from the cache or made now.
    Format makeFormat(bool makeCurrent = true);
    void setCurrentFormat(Format format) { m_current = format; }
    Format currentFormat() const { return m_current; }

    // Presets: set the number format (and, for integer and percent, right
    // alignment) on the current attributes and make the format current.
    Format integerPreset(int decimals, bool redNegatives);
    Format percentPreset(bool redNegatives);
    Format datePreset();
    Format timePreset();

    void writeString(int row, int column, QStringView text);
    void writeNumber(int row, int column, double value);
    void writeBlank(int row, int column);
    // A blank cell when the text is empty after trimming, a number when it
    // reads as one, else a string.
    void writeValue(int row, int column, QStringView text);
    // A date (day number) and time (hundredths of a second after midnight
    // plus 1). Both zero is a blank cell; a zero date alone writes the time
    // of day only, a zero time alone the date at midnight.
    void writeDateTime(int row, int column, std::int32_t day, std::int32_t time);
    // False when libxlsxwriter refused the range.
    bool merge(int firstRow, int firstColumn, int lastRow, int lastColumn, QStringView text);

    void setColumn(int first, int last, double width, bool hidden = false, int outlineLevel = 0,
                   bool collapsed = false);
    void setRow(int row, double height, bool hidden = false, int outlineLevel = 0, bool collapsed = false);
    void outlineSettings(bool visible, bool symbolsBelow, bool symbolsRight, bool autoStyle);

    // Finishes the file. False when libxlsxwriter failed now or refused a
    // write before; errorText() then says why.
    [[nodiscard]] bool close();
    QString errorText() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }

    // Formats made through the cache, and formats libxlsxwriter holds for the
    // workbook beyond its own default ones.
    std::size_t cachedFormats() const { return m_cache.size(); }
    std::size_t workbookFormats() const;

private:
    void check(int error, const char* what);
    const char* text(QStringView value);

    QString m_file;
    QString m_sheetName;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    FormatAttributes m_attributes;
    Format m_current = nullptr;
    std::unordered_map<FormatAttributes, Format, FormatAttributesHash> m_cache;
    std::size_t m_defaultFormats = 0;
    QByteArray m_buffer;
    QString m_error;
};

} // namespace lists
