// SPDX-License-Identifier: LicenseRef-Kestrom
// The list settings window driven offscreen on a list with groups, header
// colours and fixed columns: what it changes, what " Да" keeps and " Нет"
// gives back, and what the list's layout text carries across runs.
#include "lists/ui/SetBrwFormatDialog.h"
#include "ModalDialogs.h"
#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "framework/WindowPositions.h"
#include "lists/ListFormatStore.h"
#include "lists/ui/CalcBigDialog.h"
#include "lists/ui/FrozenColumns.h"
#include "lists/ui/ListFormat.h"
#include "lists/ui/ListHeaderView.h"
#include "lists/ui/MarkerDialog.h"
#include "store/ErrorCodes.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/BrwMem.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace lists;
using namespace lists::ui;

namespace {

const QString kSettingsList = QStringLiteral("Brw_Settings");
const QString kListWindow = QStringLiteral("Список ВСД");

// A list as a window designs it: two groups of columns under a header that
// paints the format's colours.
struct GroupedList
{
    QStandardItemModel model{30, 5};
    QTableView view;

    GroupedList()
    {
        const QStringList captions = {QStringLiteral("№"), QStringLiteral("Номер"), QStringLiteral("Дата"),
                                      QStringLiteral("Товар"), QStringLiteral("Кол-во")};
        const QStringList groups = {QString(), QStringLiteral("Документ"), QStringLiteral("Документ"),
                                    QStringLiteral("Продукция"), QStringLiteral("Продукция")};
        for (int i = 0; i < 5; ++i) {
            model.setHeaderData(i, Qt::Horizontal, captions[i], Qt::DisplayRole);
            model.setHeaderData(i, Qt::Horizontal, groups[i], Qt::UserRole);
        }
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < 5; ++c)
                model.setData(model.index(r, c), QStringLiteral("%1.%2").arg(r).arg(c));
        view.setHorizontalHeader(new ListHeaderView(Qt::Horizontal, &view));
        view.setModel(&model);
        const int widths[] = {30, 80, 90, 200, 60};
        for (int i = 0; i < 5; ++i)
            view.setColumnWidth(i, widths[i]);
    }
    QHeaderView& header() { return *view.horizontalHeader(); }
};

// What " Нет" must give back.
struct ListSnapshot
{
    std::string layout;
    ListAppearance appearance;
    QFont font;
    QPalette palette;
    QString styleSheet;
    int rowHeight = 0;

    static ListSnapshot of(GroupedList& list, const ListFormat& format)
    {
        return {layoutText(list.header()), format.appearance(),
                list.view.font(),          list.view.palette(),
                list.view.styleSheet(),    list.view.verticalHeader()->defaultSectionSize()};
    }
    void expectSame(const ListSnapshot& other) const
    {
        EXPECT_EQ(layout, other.layout);
        EXPECT_EQ(appearance, other.appearance);
        EXPECT_EQ(font, other.font);
        EXPECT_EQ(palette, other.palette);
        EXPECT_EQ(styleSheet, other.styleSheet);
        EXPECT_EQ(rowHeight, other.rowHeight);
    }
};

template <typename T>
T& part(QWidget& dialog, const QString& name)
{
    T* w = dialog.findChild<T*>(name);
    if (!w)
        ADD_FAILURE() << "no " << name.toStdString();
    return *w;
}

class SetBrwFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        framework::process::setUiFontSize(11);
        framework::windowpositions::useSettingsFile(folder.file(QStringLiteral("Places.ini")));
        session = std::make_unique<store::Session>(folder.path(), folder.file(QStringLiteral("lf.dat")));
        forgetRun();
    }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("whenShown"), Qt::FindDirectChildrenOnly));
        forgetRun();
        session.reset();
        framework::windowpositions::close();
        framework::setMessagePresenter(nullptr);
    }
    void forgetRun()
    {
        store::Table mem(*session, store::brwMemTable());
        ASSERT_EQ(mem.open(), store::kOk);
        ASSERT_EQ(mem.deleteAll(), store::kOk);
    }
    // Opens the window on the list, runs `act` in it and reports what the
    // window returned.
    bool runWindow(ListFormat& format, std::function<void(SetBrwFormatDialog&)> act)
    {
        bool ran = false;
        liststest::whenShown<SetBrwFormatDialog>([&ran, act](SetBrwFormatDialog& d) {
            ran = true;
            act(d);
        });
        const bool kept = format.openSettings(kListWindow);
        EXPECT_TRUE(ran);
        return kept;
    }
    // The edits of both tabs: the number column narrowed, the date hidden, the
    // goods group moved before the document group, the goods header blue,
    // two columns fixed, a larger font in Tahoma with a grid colour.
    static void edit(SetBrwFormatDialog& d)
    {
        d.setCurrentPosition(0);
        d.narrow();
        d.setCurrentPosition(2);
        d.toggleHidden();
        d.setCurrentPosition(3);
        d.move(-1, true);
        ASSERT_EQ(d.currentPosition(), 1);
        liststest::whenShown<MarkerDialog>(
            [](MarkerDialog& m) { part<QPushButton>(m, QStringLiteral("MARKER14")).click(); });
        d.chooseHeaderColour();
        d.toggleFixed();
        part<QCheckBox>(d, QStringLiteral("SETUP")).setChecked(true);
        part<QSpinBox>(d, QStringLiteral("FONTSIZE")).setValue(14);
        part<QSpinBox>(d, QStringLiteral("GRIDCOLOR")).setValue(11);
        part<QRadioButton>(d, QStringLiteral("FONT3")).setChecked(true);
    }
    static void expectEdited(GroupedList& list, const ListAppearance& a)
    {
        QHeaderView& h = list.header();
        EXPECT_EQ(h.sectionSize(0), 25);
        EXPECT_TRUE(h.isSectionHidden(2));
        EXPECT_EQ(h.visualIndex(3), 1);
        EXPECT_EQ(h.visualIndex(4), 2);
        EXPECT_EQ(h.visualIndex(1), 3);
        EXPECT_EQ(headerTextColour(h, 3), 14);
        EXPECT_EQ(fixedColumnCount(h), 2);
        EXPECT_EQ(a.setup, 1);
        EXPECT_EQ(a.fontSize, 14);
        EXPECT_EQ(a.gridColour, 11);
        EXPECT_EQ(a.font, 3);
    }

    testsupport::TempFolder folder;
    framework::RecordingPresenter presenter;
    std::unique_ptr<store::Session> session;
};

TEST_F(SetBrwFormatTest, NoGivesTheListBackExactlyAsItWas)
{
    GroupedList list;
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    list.header().moveSection(4, 3); // the user's own arrangement before the window
    const ListSnapshot before = ListSnapshot::of(list, *format);

    const bool kept = runWindow(*format, [&list, format](SetBrwFormatDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Изменить настройки списка в окне «Список ВСД»"));
        EXPECT_EQ(d.editor().count(), 5);
        EXPECT_EQ(d.editor().columns()[1].group, QStringLiteral("Документ"));
        list.header().moveSection(3, 4); // back to the design for the edits
        d.restoreDesign();
        edit(d);
        // The list follows every edit at once.
        expectEdited(list, format->appearance());
        EXPECT_EQ(list.view.font().family(), QStringLiteral("Tahoma"));
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(&d, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(format->appearance().fontSize, 15);
        EXPECT_EQ(part<QSpinBox>(d, QStringLiteral("FONTSIZE")).value(), 15);
        EXPECT_EQ(list.view.font().family(), QStringLiteral("Tahoma"));
        EXPECT_EQ(list.view.font().pointSize(), 15);
        part<QPushButton>(d, QStringLiteral("BCANCEL")).click();
    });
    EXPECT_FALSE(kept);
    ListSnapshot::of(list, *format).expectSame(before);
    EXPECT_EQ(headerTextColour(list.header(), 3), 0);
    EXPECT_EQ(fixedColumnCount(list.header()), 0);

    // Escape does the same.
    EXPECT_FALSE(runWindow(*format, [](SetBrwFormatDialog& d) {
        edit(d);
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    ListSnapshot::of(list, *format).expectSame(before);
}

TEST_F(SetBrwFormatTest, YesKeepsTheEditsAndTheNextOpeningRestoresThem)
{
    {
        GroupedList list;
        ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
        const bool kept = runWindow(*format, [](SetBrwFormatDialog& d) {
            edit(d);
            part<QPushButton>(d, QStringLiteral("BOK")).click();
        });
        EXPECT_TRUE(kept);
        expectEdited(list, format->appearance());
        format->close();
    }
    EXPECT_EQ(writeBackListFormats(*session, presenter), WriteBackResult::Written);

    // The next run: colours, fixed columns and the appearance are back.
    GroupedList list;
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    expectEdited(list, format->appearance());
    EXPECT_EQ(list.view.font().family(), QStringLiteral("Tahoma"));

    // Switching the additional settings off gives the defaults.
    EXPECT_TRUE(runWindow(*format, [](SetBrwFormatDialog& d) {
        part<QCheckBox>(d, QStringLiteral("SETUP")).setChecked(false);
        EXPECT_EQ(part<QSpinBox>(d, QStringLiteral("FONTSIZE")).value(), 11);
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(&part<QTableWidget>(d, QStringLiteral("COLUMNS")), Qt::Key_Return,
                        Qt::ControlModifier);
    }));
    EXPECT_EQ(format->appearance(), defaultAppearance(11));
    EXPECT_EQ(presenter.count(), 0u);
}

TEST_F(SetBrwFormatTest, DefaultGivesTheDesignedColumnsBack)
{
    GroupedList list;
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    const std::string designed = format->designedLayout();
    list.header().moveSection(0, 4);
    list.header().resizeSection(3, 150);
    setHeaderTextColour(list.header(), 1, 5);
    setFixedColumnCount(list.header(), 1);

    EXPECT_TRUE(runWindow(*format, [&list, designed](SetBrwFormatDialog& d) {
        QTableWidget& columns = part<QTableWidget>(d, QStringLiteral("COLUMNS"));
        EXPECT_EQ(columns.item(0, 2)->text(), QStringLiteral("Номер"));
        // Keys on the list of columns.
        d.setCurrentPosition(1);
        QTest::keyClick(&columns, Qt::Key_Right); // the group's edge
        EXPECT_EQ(list.header().visualIndex(2), 1);
        QTest::keyClick(&columns, Qt::Key_Left);
        EXPECT_EQ(list.header().visualIndex(2), 0);
        EXPECT_EQ(d.currentPosition(), 0);
        QTest::keyClick(&columns, Qt::Key_Right, Qt::ShiftModifier); // the whole group
        EXPECT_EQ(list.header().visualIndex(2), 2);
        EXPECT_EQ(list.header().visualIndex(1), 3);
        QTest::keyClick(&columns, Qt::Key_Plus);
        EXPECT_EQ(list.header().sectionSize(2), 95);
        QTest::keyClick(&columns, Qt::Key_Minus);
        EXPECT_EQ(list.header().sectionSize(2), 90);
        QTest::keyClick(&columns, Qt::Key_Delete);
        EXPECT_TRUE(list.header().isSectionHidden(2));
        // The hidden view lists it alone.
        part<QComboBox>(d, QStringLiteral("VIEW")).setCurrentIndex(2);
        EXPECT_EQ(columns.rowCount(), 1);
        part<QComboBox>(d, QStringLiteral("VIEW")).setCurrentIndex(0);

        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(&d, Qt::Key_F5);
        EXPECT_EQ(layoutText(list.header()), designed);
        EXPECT_EQ(d.editor().columns()[0].name, QStringLiteral("№"));
        EXPECT_EQ(d.editor().fixedCount(), 0);
        EXPECT_EQ(columns.item(1, 2)->text(), QStringLiteral("Номер"));
        part<QPushButton>(d, QStringLiteral("BOK")).click();
    }));
    EXPECT_EQ(layoutText(list.header()), designed);
    EXPECT_EQ(headerTextColour(list.header(), 1), 0);
}

TEST_F(SetBrwFormatTest, ATypedWidthOutsideItsRangeIsRefused)
{
    GroupedList list;
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    EXPECT_TRUE(runWindow(*format, [this, &list](SetBrwFormatDialog& d) {
        QLineEdit& width = part<QLineEdit>(d, QStringLiteral("WIDTH"));
        d.setCurrentPosition(3);
        EXPECT_EQ(width.text(), QStringLiteral("200"));
        for (const QString& typed : {QStringLiteral("601"), QStringLiteral("-1"), QStringLiteral("двести")}) {
            width.setText(typed);
            Q_EMIT width.editingFinished();
            EXPECT_EQ(width.text(), QStringLiteral("200")) << typed.toStdString();
        }
        ASSERT_EQ(presenter.count(), 3u);
        EXPECT_EQ(presenter.shown().front().text, QStringLiteral("Допустимое значение: от 0 до 600 !"));
        EXPECT_EQ(list.header().sectionSize(3), 200);
        Q_EMIT width.editingFinished(); // the same width again asks nothing
        EXPECT_EQ(presenter.count(), 3u);

        width.setText(QStringLiteral("600"));
        Q_EMIT width.editingFinished();
        EXPECT_EQ(list.header().sectionSize(3), 600);
        width.setText(QStringLiteral("0"));
        Q_EMIT width.editingFinished();
        EXPECT_TRUE(list.header().isSectionHidden(3));
        d.toggleHidden();
        EXPECT_EQ(list.header().sectionSize(3), 600);
        part<QPushButton>(d, QStringLiteral("BOK")).click();
    }));
    EXPECT_EQ(presenter.count(), 3u);
}

TEST_F(SetBrwFormatTest, TheCalculatorAndThePaletteFillTheFieldsWithinTheirRanges)
{
    GroupedList list;
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    const auto calculate = [](const QString& keys) {
        liststest::whenShown<CalcBigDialog>([keys](CalcBigDialog& c) {
            QTest::keyClicks(&c, keys);
            QTest::keyClick(&c, Qt::Key_Return);
        });
    };
    EXPECT_TRUE(runWindow(*format, [this, &list, calculate](SetBrwFormatDialog& d) {
        part<QCheckBox>(d, QStringLiteral("SETUP")).setChecked(true);
        QSpinBox& fontSize = part<QSpinBox>(d, QStringLiteral("FONTSIZE"));
        calculate(QStringLiteral("*2"));
        part<QToolButton>(d, QStringLiteral("FONTSIZECALC")).click();
        EXPECT_EQ(fontSize.value(), 22);
        EXPECT_EQ(list.view.font().pointSize(), 22);
        calculate(QStringLiteral("*3"));
        part<QToolButton>(d, QStringLiteral("FONTSIZECALC")).click();
        EXPECT_EQ(fontSize.value(), 22); // 66 is beyond 40
        ASSERT_EQ(presenter.count(), 1u);
        EXPECT_EQ(presenter.shown().back().text, QStringLiteral("Допустимое значение: от 8 до 40 !"));

        d.setCurrentPosition(3);
        calculate(QStringLiteral("*4"));
        part<QToolButton>(d, QStringLiteral("BWIDTHCALC")).click();
        EXPECT_EQ(list.header().sectionSize(3), 200); // 800 is too wide
        EXPECT_EQ(presenter.count(), 2u);
        calculate(QStringLiteral("+50"));
        part<QToolButton>(d, QStringLiteral("BWIDTHCALC")).click();
        EXPECT_EQ(list.header().sectionSize(3), 250);

        liststest::whenShown<MarkerDialog>(
            [](MarkerDialog& m) { part<QPushButton>(m, QStringLiteral("MARKER20")).click(); });
        part<QToolButton>(d, QStringLiteral("BARPICK")).click();
        EXPECT_EQ(part<QSpinBox>(d, QStringLiteral("BARCOLOR")).value(), 20);
        EXPECT_EQ(list.view.palette().color(QPalette::Active, QPalette::Highlight), QColor(0xFF, 0x80, 0x80));
        part<QPushButton>(d, QStringLiteral("BOK")).click();
    }));
    EXPECT_EQ(format->appearance().fontSize, 22);
    EXPECT_EQ(format->appearance().barColour, 20);
    EXPECT_EQ(presenter.count(), 2u);
}

TEST_F(SetBrwFormatTest, AListWithAPlainHeaderOffersNeitherColoursNorFixedColumns)
{
    QStandardItemModel model(5, 3);
    QTableView view;
    view.setModel(&model);
    ListFormat* format = attachListFormat(&view, kSettingsList, *session);
    EXPECT_FALSE(format->keepsFixedColumns());
    EXPECT_TRUE(runWindow(*format, [&view](SetBrwFormatDialog& d) {
        EXPECT_FALSE(part<QPushButton>(d, QStringLiteral("BFIX")).isEnabled());
        EXPECT_FALSE(part<QPushButton>(d, QStringLiteral("BHCOLOR")).isEnabled());
        d.setCurrentPosition(1);
        d.toggleFixed();
        EXPECT_EQ(fixedColumnCount(*view.horizontalHeader()), 0);
        EXPECT_EQ(d.editor().columns()[0].group, QString()); // the model has no groups
        part<QPushButton>(d, QStringLiteral("BOK")).click();
    }));
    EXPECT_EQ(view.findChild<FrozenColumns*>()->overlay(), nullptr);
}

TEST_F(SetBrwFormatTest, TheRightButtonOnTheHeaderOpensTheWindow)
{
    QWidget window;
    window.setWindowTitle(kListWindow);
    auto* list = new GroupedList;
    list->view.setParent(&window);
    attachListFormat(&list->view, kSettingsList, *session);
    QString title;
    liststest::whenShown<SetBrwFormatDialog>([&title](SetBrwFormatDialog& d) {
        title = d.windowTitle();
        d.reject();
    });
    QWidget* header = list->header().viewport();
    // The list's own context menu stays away from its header.
    list->view.setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy menus(&list->view, &QWidget::customContextMenuRequested);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 5), header->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(header, &menu);
    EXPECT_EQ(menus.count(), 0);
    QTest::mousePress(header, Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseRelease(header, Qt::RightButton, {}, QPoint(10, 5));
    EXPECT_EQ(title, QStringLiteral("Изменить настройки списка в окне «Список ВСД»"));
    delete list;
}

TEST_F(SetBrwFormatTest, FixedColumnsStayInPlaceAndTheirClicksReachTheList)
{
    GroupedList list;
    list.view.resize(260, 300);
    list.view.show();
    ListFormat* format = attachListFormat(&list.view, kSettingsList, *session);
    ASSERT_TRUE(format->keepsFixedColumns());
    setFixedColumnCount(list.header(), 2);
    format->columnsChanged();
    auto* frozen = list.view.findChild<FrozenColumns*>();
    ASSERT_NE(frozen, nullptr);
    QTableView* overlay = frozen->overlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->width(), 30 + 80);
    EXPECT_EQ(overlay->geometry().topLeft(), list.view.viewport()->geometry().topLeft());

    // Scrolled to the right end the overlay still shows the first columns.
    QScrollBar* bar = list.view.horizontalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(list.header().offset(), 0);
    const int scrolled = bar->value();
    EXPECT_EQ(overlay->columnAt(40), 1);
    const QRect cell = overlay->visualRect(overlay->model()->index(3, 1));
    QTest::mouseClick(overlay->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(list.view.currentIndex(), list.model.index(3, 1));
    EXPECT_EQ(bar->value(), scrolled); // the list did not scroll to the click
    QSignalSpy doubleClicks(&list.view, &QAbstractItemView::doubleClicked);
    QTest::mouseDClick(overlay->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(doubleClicks.front().front().value<QModelIndex>(), list.model.index(3, 1));

    // The header's fixed sections answer clicks as themselves.
    list.header().setSectionsClickable(true);
    QSignalSpy clicks(&list.header(), &QHeaderView::sectionClicked);
    QTest::mouseClick(list.header().viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.front().front().toInt(), 0);

    // Rows scroll together; released, the overlay goes.
    list.view.verticalScrollBar()->setValue(5);
    EXPECT_EQ(overlay->verticalScrollBar()->value(), 5);
    setFixedColumnCount(list.header(), 0);
    format->columnsChanged();
    EXPECT_EQ(frozen->overlay(), nullptr);
}

TEST_F(SetBrwFormatTest, LayoutTextsCarryHeaderColoursAndFixedColumnsOnlyWhenSet)
{
    GroupedList designed;
    const std::string plain = layoutText(designed.header());
    EXPECT_EQ(plain.find('/'), std::string::npos);
    EXPECT_EQ(plain.find(";F"), std::string::npos);
    const std::string fingerprint = plain.substr(6, 16);
    EXPECT_EQ(plain, "ZL1;5;" + fingerprint + ";0:30,1:80,2:90,3:200,4:60");

    GroupedList arranged;
    setHeaderTextColour(arranged.header(), 3, 14);
    setHeaderTextColour(arranged.header(), 2, 35);
    arranged.header().setSectionHidden(2, true);
    setFixedColumnCount(arranged.header(), 2);
    const std::string text = layoutText(arranged.header());
    EXPECT_EQ(text, "ZL1;5;" + fingerprint + ";0:30,1:80,2:h/35,3:200/14,4:60;F2");

    GroupedList other;
    ASSERT_TRUE(applyLayoutText(other.header(), text));
    EXPECT_EQ(headerTextColour(other.header(), 3), 14);
    EXPECT_EQ(fixedColumnCount(other.header()), 2);
    EXPECT_EQ(layoutText(other.header()), text);
    // A text written before colours and fixed columns existed clears them.
    ASSERT_TRUE(applyLayoutText(other.header(), plain));
    EXPECT_EQ(headerTextColour(other.header(), 3), 0);
    EXPECT_EQ(fixedColumnCount(other.header()), 0);
    EXPECT_EQ(layoutText(other.header()), plain);

    const std::string head = "ZL1;5;" + fingerprint + ";";
    for (const std::string& damaged : {
             head + "0:30,1:80,2:90/0,3:200,4:60",    // colour 0 is never written
             head + "0:30,1:80,2:90/36,3:200,4:60",   // no such colour
             head + "0:30,1:80,2:90/x,3:200,4:60",    // not a number
             head + "0:30,1:80,2:90/,3:200,4:60",     // nothing after the mark
             head + "0:30,1:80,2:90,3:200,4:60;F0",   // no fixed column is never written
             head + "0:30,1:80,2:90,3:200,4:60;F6",   // more than the columns
             head + "0:30,1:80,2:90,3:200,4:60;G1",   // an unknown part
             head + "0:30,1:80,2:90,3:200,4:60;F",    // cut short
             head + "0:30,1:80,2:90,3:200,4:60;F1;F", // one part too many
         }) {
        SCOPED_TRACE(damaged);
        GroupedList target;
        setHeaderTextColour(target.header(), 1, 7);
        const std::string untouched = layoutText(target.header());
        EXPECT_FALSE(applyLayoutText(target.header(), damaged));
        EXPECT_EQ(layoutText(target.header()), untouched);
    }
}

} // namespace
