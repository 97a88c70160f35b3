// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vsd.h"
#include "workspace/VsdCardTexts.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QDoubleSpinBox;

namespace Ui {
class VsdCard;
}
namespace store {
class Session;
}

// The card of one VSD (Form_VSD): the whole record on five tabs with its
// codes as readable texts. A VSD that is still "Оформлен" can be prepared for
// a repay or return here (the actual volume, the cargo purpose, the location
// prosperity); any other opens for viewing.
namespace workspace::ui {

// Opens the nested lists of the VSD `uuid`.
using OpenNestedLists = std::function<void(const std::string& uuid)>;
// Lets the user choose a cargo purpose for the own entity; nothing when the
// choice was cancelled.
using PurposeChooser =
    std::function<std::optional<ReferenceChoice>(QWidget* parent, const std::string& ownEntityGuid)>;

class VsdCard final : public QDialog
{
    Q_OBJECT
public:
    // `record` is the VSD as read from m_VSD. `requestChange` asks for change
    // mode, which only a VSD of status 1 gets. Without `openNestedLists` the
    // button " Вложения" is disabled.
    VsdCard(store::Session& session, std::string ownEntityGuid, const store::VsdRecord& record,
            bool requestChange, OpenNestedLists openNestedLists = {}, QWidget* parent = nullptr);
    ~VsdCard() override;

    bool changeMode() const { return m_change; }
    // The record with the window's fields taken into it.
    store::VsdRecord recordShown() const;
    // What the user changed, as the controls show it.
    VsdCardChanges changes() const;

    // Replaces the choice of a cargo purpose (by default a list of the
    // purposes stored locally).
    void setPurposeChooser(PurposeChooser chooser) { m_choosePurpose = std::move(chooser); }

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    void showRecord();
    void applyMode();
    void showPurposeControls();
    void choosePurpose();
    void limitProsperity();
    void save();
    void openNested();

    std::unique_ptr<::Ui::VsdCard> m_ui;
    store::Session& m_session;
    std::string m_ownEntityGuid;
    store::VsdRecord m_record;
    VsdCardTexts m_texts;
    std::string m_purposeGuid;
    bool m_change = false;
    OpenNestedLists m_openNestedLists;
    PurposeChooser m_choosePurpose;
};

// Makes the numeric-pad decimal key of a volume control type a full stop
// whatever the keyboard layout gives (a comma under the Russian one): the
// decimal separator of a volume is always the full stop.
void useFullStopOnKeypadDecimal(QDoubleSpinBox& spin);

// Runs the card modally on the stored VSD `vsdUuid` for the own entity
// `ownEntityGuid`; `requestChange` asks for change mode (Ctrl+Enter on the
// main list), granted only to a VSD of status 1. " Вложения" calls
// `openNestedLists` with the VSD's UUID (the card stays open); without it the
// button is disabled. Returns whether the record was saved. A VSD that cannot
// be read is reported through the error manager and gives false.
// `choosePurpose`, when given, replaces the card's own simple purpose picker.
bool openVsdCard(QWidget* parent, store::Session& session, const std::string& ownEntityGuid,
                 const std::string& vsdUuid, bool requestChange,
                 std::function<void(const std::string&)> openNestedLists = {},
                 PurposeChooser choosePurpose = {});

} // namespace workspace::ui
