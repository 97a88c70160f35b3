// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <vector>

// The columns of a list as its settings window edits them: widths, hiding,
// order within groups, header colours and the columns fixed against
// horizontal scrolling. Pure logic; the window applies the result to the list.
namespace lists {

inline constexpr int kColumnWidthMaximum = 600;
inline constexpr int kColumnWidthStep = 5;
// The width a column shown again gets when nothing better is known.
inline constexpr int kShownColumnFallbackWidth = 50;

struct ListColumn
{
    int logical = 0;       // the model's column
    QString group;         // the group caption; empty: no group
    QString name;          // the column's caption
    int width = 0;         // 0: hidden
    int savedWidth = 0;    // the width when the window opened
    int hideWidth = 0;     // the width before the column was hidden here
    int designedWidth = 0; // the width the program designed (0: hidden or unknown)
    int headerColour = 0;  // palette index of the header text, 0: the list's own
    bool fixed = false;    // kept in place while the list scrolls horizontally

    friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

// Which columns the list of columns shows.
enum class ColumnView
{
    All = 1,
    Working,  // width above 0
    Hidden,   // width 0
    Narrowed, // width below the saved width
    Widened,  // width above the saved width
};

// Whether `text` matches the wildcard mask ("*" any run, "?" one character),
// both compared in upper case.
bool wildcardMatches(const QString& mask, const QString& text);

class ListColumnEditor
{
public:
    ListColumnEditor() = default;
    // The columns in display order; fixed flags are taken as a leading run
    // (see fixedCount()).
    explicit ListColumnEditor(std::vector<ListColumn> columns);

    const std::vector<ListColumn>& columns() const { return m_columns; }
    int count() const { return static_cast<int>(m_columns.size()); }
    // The number of leading columns fixed against horizontal scrolling.
    int fixedCount() const;

    // The text the search field is matched against: "^" + column name + "|" +
    // group name.
    static QString searchText(const ListColumn& column);
    // Whether the column at `position` is listed under the search text `typed`
    // (found anywhere in the search text; empty passes all) and the view.
    bool listed(int position, const QString& typed, ColumnView view) const;
    // The positions listed, in order.
    std::vector<int> listedPositions(const QString& typed, ColumnView view) const;

    // Each false when nothing changed (or the position is not a column).
    bool narrow(int position); // by 5; a visible column stays at least 1 wide
    bool widen(int position);  // by 5, up to 600
    // Typed width 0..600; 0 hides the column. False when outside the range.
    bool setWidth(int position, int width);
    bool hide(int position);
    bool show(int position);
    bool toggleHidden(int position);
    // Moves the column one place left (-1) or right (+1) inside its group; an
    // ungrouped column steps over a whole neighbouring group. The column's new
    // position, or -1 when it cannot move.
    int moveColumn(int position, int direction);
    // Moves the group of the column (or the ungrouped column alone) past its
    // neighbour on that side. The column's new position, or -1.
    int moveGroup(int position, int direction);
    // Fixing a column fixes every column before it too; releasing it releases
    // every column after it too.
    bool toggleFixed(int position);
    void setFixedCount(int count);
    bool setHeaderColour(int position, int paletteIndex);
    // The sum of the widths of the group's columns (the column's own width
    // when it belongs to none).
    int groupWidth(int position) const;

private:
    bool valid(int position) const { return position >= 0 && position < count(); }
    // The first and last position of the run that moves with `position`: its
    // group, or the column alone when it has none.
    std::pair<int, int> unitOf(int position) const;
    // Swaps the runs [a0, a1] and [a1 + 1, b1]; fixed flags stay with the
    // positions.
    void swapRuns(int a0, int a1, int b1);

    std::vector<ListColumn> m_columns;
};

} // namespace lists
