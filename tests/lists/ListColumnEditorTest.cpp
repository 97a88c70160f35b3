// SPDX-License-Identifier: LicenseRef-Kestrom
// The column editor of the list settings window: search, views, widths,
// hiding, moves inside and across groups, fixed columns.
#include "lists/ListColumnEditor.h"

#include "framework/PrintQString.h"
#include <gtest/gtest.h>

using namespace lists;

namespace {

ListColumn editorColumn(int logical, const QString& group, const QString& name, int width, int saved = -1)
{
    ListColumn c;
    c.logical = logical;
    c.group = group;
    c.name = name;
    c.width = width;
    c.savedWidth = saved < 0 ? width : saved;
    return c;
}

std::vector<int> logicalOrder(const ListColumnEditor& e)
{
    std::vector<int> out;
    for (const ListColumn& c : e.columns())
        out.push_back(c.logical);
    return out;
}

// A(no group) B C D (group "Документ") E(no group) F G (group "Товар").
ListColumnEditor groupedColumns()
{
    const QString doc = QStringLiteral("Документ");
    const QString goods = QStringLiteral("Товар");
    return ListColumnEditor(
        {editorColumn(0, {}, QStringLiteral("№"), 30), editorColumn(1, doc, QStringLiteral("Номер"), 80),
         editorColumn(2, doc, QStringLiteral("Дата выдачи"), 90),
         editorColumn(3, doc, QStringLiteral("Тип"), 40), editorColumn(4, {}, QStringLiteral("Статус"), 60),
         editorColumn(5, goods, QStringLiteral("Наименование"), 200),
         editorColumn(6, goods, QStringLiteral("Кол-во"), 50)});
}

TEST(ListColumnEditorTest, TheSearchMatchesColumnAndGroupNamesInUpperCaseWithWildcards)
{
    const ListColumnEditor e = groupedColumns();
    const auto found = [&e](const QString& typed) { return e.listedPositions(typed, ColumnView::All); };
    EXPECT_EQ(found(QString()).size(), 7u);
    EXPECT_EQ(found(QStringLiteral("  ")).size(), 7u);
    EXPECT_EQ(found(QStringLiteral("дат? в")), (std::vector<int>{2}));     // Cyrillic, lower case, "?"
    EXPECT_EQ(found(QStringLiteral("^н")), (std::vector<int>{1, 5}));      // names that start so
    EXPECT_EQ(found(QStringLiteral("|док")), (std::vector<int>{1, 2, 3})); // the group's name
    EXPECT_EQ(found(QStringLiteral("^т*|т")), (std::vector<int>{})); // "Тип" is in "Документ"
    EXPECT_EQ(found(QStringLiteral("^к?л")), (std::vector<int>{6}));
    EXPECT_EQ(found(QStringLiteral("^ВЫД")), (std::vector<int>{}));
    EXPECT_EQ(found(QStringLiteral("в*д")), (std::vector<int>{2}));

    EXPECT_TRUE(wildcardMatches(QStringLiteral("*ё?"), QStringLiteral("ЕЩЁ!")));
    EXPECT_TRUE(wildcardMatches(QStringLiteral("a*b*c"), QStringLiteral("AxxBxxBc")));
    EXPECT_FALSE(wildcardMatches(QStringLiteral("a*b?c"), QStringLiteral("abc")));
    EXPECT_TRUE(wildcardMatches(QStringLiteral("**"), QString()));
    EXPECT_FALSE(wildcardMatches(QStringLiteral("?"), QString()));
}

TEST(ListColumnEditorTest, EachViewListsItsColumns)
{
    const ListColumnEditor e(
        {editorColumn(0, {}, QStringLiteral("A"), 80, 80), editorColumn(1, {}, QStringLiteral("B"), 0, 60),
         editorColumn(2, {}, QStringLiteral("C"), 50, 70), editorColumn(3, {}, QStringLiteral("D"), 90, 60),
         editorColumn(4, {}, QStringLiteral("E"), 0, 0)});
    EXPECT_EQ(e.listedPositions({}, ColumnView::All), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(e.listedPositions({}, ColumnView::Working), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(e.listedPositions({}, ColumnView::Hidden), (std::vector<int>{1, 4}));
    EXPECT_EQ(e.listedPositions({}, ColumnView::Narrowed), (std::vector<int>{1, 2}));
    EXPECT_EQ(e.listedPositions({}, ColumnView::Widened), (std::vector<int>{3}));
    // The search and the view together.
    EXPECT_EQ(e.listedPositions(QStringLiteral("^b"), ColumnView::Working), (std::vector<int>{}));
    EXPECT_FALSE(e.listed(5, {}, ColumnView::All));
}

TEST(ListColumnEditorTest, WidthsStayBetweenOneAndSixHundredWhileVisible)
{
    ListColumnEditor e({editorColumn(0, {}, QStringLiteral("A"), 3),
                        editorColumn(1, {}, QStringLiteral("B"), 598),
                        editorColumn(2, {}, QStringLiteral("C"), 0)});
    const auto width = [&e](int p) { return e.columns()[static_cast<std::size_t>(p)].width; };
    EXPECT_TRUE(e.narrow(0));
    EXPECT_EQ(width(0), 1);
    EXPECT_FALSE(e.narrow(0)); // a visible column is never narrowed away
    EXPECT_EQ(width(0), 1);
    EXPECT_FALSE(e.narrow(2)); // nor a hidden one below 0
    EXPECT_EQ(width(2), 0);
    EXPECT_TRUE(e.widen(1));
    EXPECT_EQ(width(1), 600);
    EXPECT_FALSE(e.widen(1));
    EXPECT_EQ(width(1), 600);

    EXPECT_FALSE(e.setWidth(0, 601));
    EXPECT_FALSE(e.setWidth(0, -1));
    EXPECT_EQ(width(0), 1);
    EXPECT_TRUE(e.setWidth(0, 600));
    EXPECT_EQ(width(0), 600);
    // Typing 0 hides the column, and showing it brings the width back.
    EXPECT_TRUE(e.setWidth(0, 0));
    EXPECT_EQ(width(0), 0);
    EXPECT_TRUE(e.show(0));
    EXPECT_EQ(width(0), 600);
    EXPECT_FALSE(e.narrow(9));
    EXPECT_FALSE(e.setWidth(-1, 10));
}

TEST(ListColumnEditorTest, ShowingAColumnGivesItTheBestWidthKnown)
{
    ListColumn hiddenHere = editorColumn(0, {}, QStringLiteral("A"), 73, 90);
    ListColumn savedOnly = editorColumn(1, {}, QStringLiteral("B"), 0, 60);
    ListColumn designedOnly = editorColumn(2, {}, QStringLiteral("C"), 0, 0);
    designedOnly.designedWidth = 40;
    ListColumn nothingKnown = editorColumn(3, {}, QStringLiteral("D"), 0, 0);
    ListColumnEditor e({hiddenHere, savedOnly, designedOnly, nothingKnown});
    const auto width = [&e](int p) { return e.columns()[static_cast<std::size_t>(p)].width; };

    EXPECT_TRUE(e.toggleHidden(0));
    EXPECT_EQ(width(0), 0);
    EXPECT_EQ(e.columns()[0].hideWidth, 73);
    EXPECT_FALSE(e.hide(0));
    EXPECT_EQ(e.columns()[0].hideWidth, 73); // a second hide keeps the width
    EXPECT_TRUE(e.toggleHidden(0));
    EXPECT_EQ(width(0), 73); // not the saved 90
    EXPECT_FALSE(e.show(0));

    EXPECT_TRUE(e.show(1));
    EXPECT_EQ(width(1), 60);
    EXPECT_TRUE(e.show(2));
    EXPECT_EQ(width(2), 40);
    EXPECT_TRUE(e.show(3));
    EXPECT_EQ(width(3), 50);
}

TEST(ListColumnEditorTest, AColumnMovesInsideItsGroupAndAGroupMovesWhole)
{
    {
        ListColumnEditor e = groupedColumns();
        EXPECT_EQ(e.moveColumn(1, -1), -1); // the group's left edge
        EXPECT_EQ(e.moveColumn(3, 1), -1);  // its right edge
        EXPECT_EQ(e.moveColumn(6, 1), -1);  // the list's end
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(e.moveColumn(2, -1), 1);
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{0, 2, 1, 3, 4, 5, 6}));
        // An ungrouped column steps over a whole group.
        EXPECT_EQ(e.moveColumn(0, 1), 3);
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{2, 1, 3, 0, 4, 5, 6}));
        EXPECT_EQ(e.moveColumn(4, 1), 6);
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{2, 1, 3, 0, 5, 6, 4}));
    }
    {
        ListColumnEditor e = groupedColumns();
        EXPECT_EQ(e.moveGroup(0, -1), -1);
        EXPECT_EQ(e.moveGroup(2, 1), 3); // "Документ" past "Статус"
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{0, 4, 1, 2, 3, 5, 6}));
        EXPECT_EQ(e.moveGroup(5, -1), 2); // "Товар" past "Документ"
        EXPECT_EQ(logicalOrder(e), (std::vector<int>{0, 4, 5, 6, 1, 2, 3}));
        EXPECT_EQ(e.moveGroup(6, 1), -1);
        EXPECT_EQ(e.groupWidth(4), 80 + 90 + 40);
        EXPECT_EQ(e.groupWidth(1), 60);
        // A group's width follows its columns.
        EXPECT_TRUE(e.hide(5));
        EXPECT_EQ(e.groupWidth(4), 80 + 40);
    }
}

TEST(ListColumnEditorTest, FixingAndReleasingSpreadAlongTheList)
{
    ListColumnEditor e = groupedColumns();
    EXPECT_EQ(e.fixedCount(), 0);
    EXPECT_TRUE(e.toggleFixed(2));
    EXPECT_EQ(e.fixedCount(), 3);
    EXPECT_TRUE(e.columns()[0].fixed && e.columns()[1].fixed && e.columns()[2].fixed);
    EXPECT_FALSE(e.columns()[3].fixed);
    EXPECT_TRUE(e.toggleFixed(4)); // fixing further fixes the gap too
    EXPECT_EQ(e.fixedCount(), 5);
    EXPECT_TRUE(e.toggleFixed(1)); // releasing releases the rest
    EXPECT_EQ(e.fixedCount(), 1);
    EXPECT_FALSE(e.columns()[4].fixed);
    // Fixed places stay fixed when columns move through them.
    EXPECT_EQ(e.moveGroup(1, -1), 0);
    EXPECT_EQ(e.fixedCount(), 1);
    EXPECT_EQ(e.columns()[0].logical, 1);
    EXPECT_TRUE(e.toggleFixed(0));
    EXPECT_EQ(e.fixedCount(), 0);

    // Fixed flags given out of a leading run count only as far as the run goes.
    std::vector<ListColumn> columns = groupedColumns().columns();
    columns[0].fixed = columns[1].fixed = columns[3].fixed = true;
    const ListColumnEditor given(columns);
    EXPECT_EQ(given.fixedCount(), 2);
    EXPECT_FALSE(given.columns()[3].fixed);
}

} // namespace
