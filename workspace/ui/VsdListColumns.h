// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QColor>
#include <QString>

#include <span>

namespace store {
struct VsdRecord;
}

// The columns of the incoming VSD list, left to right, as data: their group,
// header, the field they show (for sorting), how a value is written, and when
// it is coloured.
namespace workspace::ui {

enum class ColumnKind
{
    SelectionIcon, // the mark of a selected VSD; the range anchor's colour
    ExpiryIcon,    // the expiry mark
    Text,          // a text of the record or a display text
};

struct VsdColumn
{
    const char16_t* group;  // header group, empty for none
    const char16_t* header; // column header
    const char* field;      // the m_VSD field it shows and sorts by, or nullptr
    ColumnKind kind;
    int width; // characters
    bool rightAligned;
};

std::span<const VsdColumn> vsdColumns();
// The leading columns that stay in place while the list scrolls sideways:
// the two marks and the group "Бланк ВСД", so that every row keeps showing
// which VSD it is.
int fixedVsdColumnCount();

// The text of a column for a record (the icon columns have none).
QString vsdColumnText(int column, const store::VsdRecord& r);

// The colour of the text of a column, or an invalid colour for the list's
// own. `highlighted`: the row is the current one.
QColor vsdColumnColour(int column, const store::VsdRecord& r, bool highlighted);

// The consignor placeholders, shown in place of an empty name.
QString consignorEntityText(const store::VsdRecord& r, bool* placeholder = nullptr);
QString consignorPlaceText(const store::VsdRecord& r, bool* placeholder = nullptr);

} // namespace workspace::ui
