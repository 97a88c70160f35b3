// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ListColumnEditor.h"

#include <algorithm>

namespace lists {

namespace {

// Classic wildcard walk with back-tracking to the last "*".
bool wildcardWalk(const QString& mask, const QString& text)
{
    qsizetype m = 0, t = 0, star = -1, resume = 0;
    while (t < text.size()) {
        if (m < mask.size() && (mask[m] == u'?' || mask[m] == text[t])) {
            ++m;
            ++t;
        } else if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = t;
        } else if (star >= 0) {
            m = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

bool wildcardMatches(const QString& mask, const QString& text)
{
    return wildcardWalk(mask.toUpper(), text.toUpper());
}

ListColumnEditor::ListColumnEditor(std::vector<ListColumn> columns)
    : m_columns(std::move(columns))
{
    int fixed = 0;
    while (fixed < count() && m_columns[static_cast<std::size_t>(fixed)].fixed)
        ++fixed;
    setFixedCount(fixed);
}

int ListColumnEditor::fixedCount() const
{
    int n = 0;
    while (n < count() && m_columns[static_cast<std::size_t>(n)].fixed)
        ++n;
    return n;
}

void ListColumnEditor::setFixedCount(int n)
{
    for (int i = 0; i < count(); ++i)
        m_columns[static_cast<std::size_t>(i)].fixed = i < n;
}

QString ListColumnEditor::searchText(const ListColumn& column)
{
    return QStringLiteral("^") + column.name + QStringLiteral("|") + column.group;
}

bool ListColumnEditor::listed(int position, const QString& typed, ColumnView view) const
{
    if (!valid(position))
        return false;
    const ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    switch (view) {
    case ColumnView::All:
        break;
    case ColumnView::Working:
        if (c.width <= 0)
            return false;
        break;
    case ColumnView::Hidden:
        if (c.width != 0)
            return false;
        break;
    case ColumnView::Narrowed:
        if (c.width >= c.savedWidth)
            return false;
        break;
    case ColumnView::Widened:
        if (c.width <= c.savedWidth)
            return false;
        break;
    }
    const QString mask = typed.trimmed();
    return mask.isEmpty() || wildcardMatches(QStringLiteral("*") + mask + QStringLiteral("*"), searchText(c));
}

std::vector<int> ListColumnEditor::listedPositions(const QString& typed, ColumnView view) const
{
    std::vector<int> out;
    for (int i = 0; i < count(); ++i)
        if (listed(i, typed, view))
            out.push_back(i);
    return out;
}

bool ListColumnEditor::narrow(int position)
{
    if (!valid(position))
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (c.width <= 1)
        return false;
    c.width = std::max(1, c.width - kColumnWidthStep);
    return true;
}

bool ListColumnEditor::widen(int position)
{
    if (!valid(position))
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (c.width >= kColumnWidthMaximum)
        return false;
    c.width = std::min(kColumnWidthMaximum, c.width + kColumnWidthStep);
    return true;
}

bool ListColumnEditor::setWidth(int position, int width)
{
    if (!valid(position) || width < 0 || width > kColumnWidthMaximum)
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (width == 0)
        return hide(position);
    if (c.width == width)
        return false;
    if (c.width == 0)
        c.hideWidth = 0; // shown again at the typed width
    c.width = width;
    return true;
}

bool ListColumnEditor::hide(int position)
{
    if (!valid(position))
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (c.width == 0)
        return false;
    c.hideWidth = c.width;
    c.width = 0;
    return true;
}

bool ListColumnEditor::show(int position)
{
    if (!valid(position))
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (c.width > 0)
        return false;
    for (const int candidate : {c.hideWidth, c.savedWidth, c.designedWidth, kShownColumnFallbackWidth}) {
        if (candidate > 0) {
            c.width = std::min(candidate, kColumnWidthMaximum);
            break;
        }
    }
    c.hideWidth = 0;
    return true;
}

bool ListColumnEditor::toggleHidden(int position)
{
    if (!valid(position))
        return false;
    return m_columns[static_cast<std::size_t>(position)].width == 0 ? show(position) : hide(position);
}

std::pair<int, int> ListColumnEditor::unitOf(int position) const
{
    const QString& group = m_columns[static_cast<std::size_t>(position)].group;
    if (group.isEmpty())
        return {position, position};
    int first = position, last = position;
    while (first > 0 && m_columns[static_cast<std::size_t>(first - 1)].group == group)
        --first;
    while (last < count() - 1 && m_columns[static_cast<std::size_t>(last + 1)].group == group)
        ++last;
    return {first, last};
}

void ListColumnEditor::swapRuns(int a0, int a1, int b1)
{
    const int fixed = fixedCount();
    std::rotate(m_columns.begin() + a0, m_columns.begin() + a1 + 1, m_columns.begin() + b1 + 1);
    setFixedCount(fixed);
}

int ListColumnEditor::moveColumn(int position, int direction)
{
    if (!valid(position) || (direction != -1 && direction != 1))
        return -1;
    if (m_columns[static_cast<std::size_t>(position)].group.isEmpty())
        return moveGroup(position, direction);
    const auto [first, last] = unitOf(position);
    const int to = position + direction;
    if (to < first || to > last)
        return -1; // a column never leaves its group
    const int low = std::min(position, to);
    swapRuns(low, low, low + 1);
    return to;
}

int ListColumnEditor::moveGroup(int position, int direction)
{
    if (!valid(position) || (direction != -1 && direction != 1))
        return -1;
    const auto [first, last] = unitOf(position);
    if (direction < 0) {
        if (first == 0)
            return -1;
        const auto [neighbourFirst, neighbourLast] = unitOf(first - 1);
        swapRuns(neighbourFirst, neighbourLast, last);
        return position - (neighbourLast - neighbourFirst + 1);
    }
    if (last == count() - 1)
        return -1;
    const auto [neighbourFirst, neighbourLast] = unitOf(last + 1);
    swapRuns(first, last, neighbourLast);
    return position + (neighbourLast - neighbourFirst + 1);
}

bool ListColumnEditor::toggleFixed(int position)
{
    if (!valid(position))
        return false;
    setFixedCount(m_columns[static_cast<std::size_t>(position)].fixed ? position : position + 1);
    return true;
}

bool ListColumnEditor::setHeaderColour(int position, int paletteIndex)
{
    if (!valid(position))
        return false;
    ListColumn& c = m_columns[static_cast<std::size_t>(position)];
    if (c.headerColour == paletteIndex)
        return false;
    c.headerColour = paletteIndex;
    return true;
}

int ListColumnEditor::groupWidth(int position) const
{
    if (!valid(position))
        return 0;
    const auto [first, last] = unitOf(position);
    int sum = 0;
    for (int i = first; i <= last; ++i)
        sum += m_columns[static_cast<std::size_t>(i)].width;
    return sum;
}

} // namespace lists
