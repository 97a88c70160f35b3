// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/ListColumnEditor.h"
#include "lists/ListFormatStore.h"

#include <QDialog>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QHeaderView;
class QSpinBox;

namespace Ui {
class SetBrwFormatDialog;
}

// The settings window of a list's format (SetBrwFormat): its columns, its
// appearance and a description of where formats are kept. Every change acts
// on the list at once; " Да" keeps the changes, " Нет" gives the list back
// the layout and appearance it had when the window opened.
namespace lists::ui {

class ListFormat;

class SetBrwFormatDialog final : public QDialog
{
    Q_OBJECT
public:
    // `windowTitle` is the title of the list's window.
    SetBrwFormatDialog(ListFormat& format, const QString& windowTitle, QWidget* parent = nullptr);
    ~SetBrwFormatDialog() override;

    const ListColumnEditor& editor() const { return m_editor; }
    // The position (display order) of the column chosen in the list of
    // columns; -1 when none is.
    int currentPosition() const;
    void setCurrentPosition(int position);

    // The column commands of the first tab, on the current column.
    void narrow();
    void widen();
    void toggleHidden();
    void move(int direction, bool wholeGroup);
    void toggleFixed();
    void chooseHeaderColour();
    void restoreDesign();
    void zoom(int step);

    void accept() override;
    void reject() override;
    // Closing remembers the window's placement.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHeaderView& header() const;
    // The columns as the list has them now; saved and hide widths stay.
    void loadColumns();
    // Gives the list the columns as edited.
    void applyColumns();
    // Runs an editor command on the current column and follows it.
    void columnCommand(const std::function<int(ListColumnEditor&, int)>& command);
    void showColumns();
    void showCurrentWidth();
    void takeTypedWidth();
    void pickWidthFromCalculator();
    void showAppearance(const ListAppearance& appearance);
    void takeAppearance();
    void pickFromCalculator(QSpinBox& field);
    void pickColour(QSpinBox& field);
    void showColourBoxes();
    void showDescription();

    std::unique_ptr<::Ui::SetBrwFormatDialog> m_ui;
    ListFormat& m_format;
    std::string m_originalLayout;
    ListAppearance m_originalAppearance;
    ListColumnEditor m_editor;
    std::map<int, int> m_savedWidths; // by model column: the widths when the window opened
    std::map<int, int> m_hideWidths;  // by model column
    std::vector<int> m_designedWidths;
    bool m_showingAppearance = false;
};

} // namespace lists::ui
