// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/ListFormatStore.h"

#include <QFont>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QTableView>

#include <string>
#include <string_view>
#include <vector>

class QHeaderView;
class QTableView;

namespace store {
class Session;
}

namespace lists::ui {

class FrozenColumns;

// The column layout of a table view as a text: the number of columns, a
// fingerprint of their captions, and in display order each column's model
// index, its width and whether it is hidden. Equal designs give equal texts.
std::string layoutText(const QHeaderView& header);
// Gives the header the layout of `text`. False, and the header untouched, when
// the text is damaged or was made for other columns.
bool applyLayoutText(QHeaderView& header, std::string_view text);
// The width `text` gives each column of the header, by model column (0 for a
// hidden one); empty when the text does not fit the header.
std::vector<int> layoutWidths(const QHeaderView& header, std::string_view text);

// The remembered format of one list. Bound to a table view, whose child it
// becomes: open() restores the format when the list opens, close() keeps it
// for this run (also done when the view's window closes), reset() gives the
// list its designed layout and size back (CTRL + 0 on the list), and
// CTRL + MINUS / PLUS zoom out and in. Releasing the right mouse button over the list's header
// opens the settings window. The session must outlive the object.
class ListFormat final : public QObject
{
    Q_OBJECT

public:
    ListFormat(QTableView* view, const QString& listId, store::Session& session);

    // Restores the format: the one this run kept, else the saved one when
    // the list is still designed the same way, else the design.
    void open();
    void close();
    void reset();
    // -1 out, +1 in, 0 back to the default size. False when nothing changed.
    bool zoom(int step);

    // Runs the settings window on the list, modally; `windowTitle` is the
    // title of the list's window. True when the user kept his changes.
    bool openSettings(const QString& windowTitle);
    // Gives the list this appearance at once (defaults where setup is off).
    void setAppearance(const ListAppearance& appearance);
    // Whether the list can keep leading columns in place (its header is a
    // ListHeaderView).
    bool keepsFixedColumns() const;
    // Follows a change of the fixed columns or the header colours.
    void columnsChanged();

    const QString& listId() const { return m_listId; }
    const std::string& designedLayout() const { return m_designed; }
    const ListAppearance& appearance() const { return m_appearance; }
    QTableView* tableView() const { return view(); }
    // The full path of the list-format file.
    QString formatFilePath() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyAppearance();
    void scaleColumnWidths(int oldFontSize, int newFontSize);

    // The list; a table view only while it lives (not while it is destroyed).
    QTableView* view() const { return qobject_cast<QTableView*>(m_viewObject.data()); }

    QPointer<QObject> m_viewObject;
    FrozenColumns* m_frozen = nullptr;
    QString m_listId;
    store::Session& m_session;
    std::string m_designed;
    ListAppearance m_appearance;
    QPalette m_ownPalette;
    QString m_ownStyleSheet;
    bool m_opened = false;
    bool m_tipAdded = false;
};

// Binds a list format to `view` under the name `listId` (at most 20
// characters, e.g. "Brw_m_VSD2") and opens it. Call it after the view has its
// model and designed column widths, before the window is shown. The object is
// a child of the view; it keeps the format for the run when the view's window
// closes. `session` must outlive the view.
ListFormat* attachListFormat(QTableView* view, const QString& listId, store::Session& session);

} // namespace lists::ui
