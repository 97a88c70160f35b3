// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace store {
class Session;
struct VsdRecord;
} // namespace store

// What the VSD card shows besides the record's own fields, and what it writes
// back. Names of dictionary entries and business entities come from the local
// tables only: the card never asks the service for a missing entry, whose
// text is then empty.
namespace workspace {

// The only status code whose VSD the card may change ("Оформлен").
constexpr int kChangeableStatus = 1;
// The cargo purposes are dictionary entries of this kind (MRE:VID).
constexpr int kPurposeKind = 10;
// Longest location prosperity, in characters (MVD:PROSPERITY).
constexpr int kProsperityMaxLength = 120;

struct VsdCardTexts
{
    QString type;   // "???" for an unknown code
    QString status; // "???" for an unknown code
    QString form;
    QString origin;
    QString productType;
    QString product;
    QString productKind;
    QString owner;   // the trade-mark owner
    QString carrier; // MVD:BROKER
    QString transportType1;
    QString transportNumber1;
    QString transportType2;
    QString transportNumber2;
    QString storageType;
    QString perishable; // empty unless the cargo is perishable
    QString lowGrade;   // empty unless the cargo is of low grade
    // A purpose is set when MVD:PURPOSE holds a GUID.
    bool purposeSet = false;
    QString purpose;
};

// True for a GUID in its 36-character form (padding ignored).
bool isGuid(std::string_view text);

// MVD:NONFOODSOURCE ("CATTLE_SLAUGHTER" ...); other values as stored.
QString originText(std::string_view code);

// The name of the local dictionary entry of `kind` with `guid`; empty when
// none is stored or it cannot be read.
QString localReferenceName(store::Session& session, int kind, std::string_view guid);
// The name of the local business entity with `guid`; empty when none.
QString localEntityName(store::Session& session, std::string_view guid);

// The texts of a VSD as the card opens on it. A MVD:PURPOSE that is not a
// GUID is emptied in `record`.
VsdCardTexts vsdCardTexts(store::Session& session, store::VsdRecord& record);

// One entry of a local dictionary, for a choice.
struct ReferenceChoice
{
    std::string guid; // as stored (Windows-1251)
    QString name;
};
// The stored entries of a dictionary kind, by name.
std::vector<ReferenceChoice> localReferenceChoices(store::Session& session, int kind);

// What the user may change in the card.
struct VsdCardChanges
{
    double volume = 0;       // MVD:KOLVO, the actual volume
    bool purposeOn = false;  // the check box "Назначение груза"
    std::string purposeGuid; // the chosen purpose
    QString prosperity;      // MVD:PROSPERITY
};

// Puts the changes into the record: the volume rounded to three decimals, the
// purpose only when the check box is on and the GUID is one (else
// MVD:PURPOSE is emptied), the prosperity cut to its length.
void applyVsdCardChanges(const VsdCardChanges& changes, store::VsdRecord& record);

// Writes the changes into the stored VSD `uuid`. The record is read again
// and only the changed fields are written, so nothing else that was stored
// meanwhile is lost. A failure is reported to the user through the error
// manager; returns whether the record was written.
bool saveVsdCardChanges(store::Session& session, std::string_view uuid, const VsdCardChanges& changes);

// Reads the stored VSD `uuid` into `record`. A failure, a missing record
// too, is reported through the error manager.
bool readVsdForCard(store::Session& session, std::string_view uuid, store::VsdRecord& record);

} // namespace workspace
