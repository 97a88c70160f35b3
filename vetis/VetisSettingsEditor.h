// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vetis.h"
#include "vetis/VetisSettingsRepository.h"

#include <optional>
#include <string>
#include <string_view>

// The steps of the access-settings window without the window: which record is
// edited, what a new one starts with, what confirming checks and writes, and
// what closing cleans up. The window binds its controls to record().
namespace vetis {

enum class ConfirmOutcome
{
    BadGuid,     // the entity GUID is not 36 characters; the window stays open
    Written,     // the record is stored; the window closes
    WriteFailed, // the failure was reported; the window closes all the same
};

class VetisSettingsEditor
{
public:
    explicit VetisSettingsEditor(VetisSettingsRepository& repository);
    ~VetisSettingsEditor();
    VetisSettingsEditor(const VetisSettingsEditor&) = delete;
    VetisSettingsEditor& operator=(const VetisSettingsEditor&) = delete;

    // Opening: the record of the entity (Windows-1251 GUID), or of the
    // placeholder key when the GUID is not 36 characters. A missing record is
    // added at once with the defaults of a new one. A stored period of 0 and a
    // scale outside its range are corrected in the edited copy. A settings
    // file that cannot be read (damaged, locked, a record that fails its
    // authentication) is reported through the error manager (message 29,
    // which ends the program) and nothing is written, then or on confirming.
    void open(std::string_view entityGuid);

    // The edited copy.
    store::VetisRecord& record() { return m_record; }
    const store::VetisRecord& record() const { return m_record; }

    // True when the edited MVS:GUID is an entity GUID; otherwise the user is
    // told that it is wrong.
    [[nodiscard]] bool checkGuid() const;

    // Confirming: checks the GUID (a bad one is told to the user), tidies the
    // folder for XML files and writes the record. When the user changed the
    // GUID, the record moves to the new key. Write failures are reported
    // through the error manager.
    [[nodiscard]] ConfirmOutcome confirm();
    // The store's code of the last write, or of the read at opening that kept
    // it from writing (0 after success).
    int lastWriteCode() const { return m_lastWriteCode; }

    // Closing: a record still stored under a key that is not an entity GUID
    // (the placeholder) is deleted. Called once; later calls do nothing, and
    // the destructor calls it when nobody did.
    void close();

private:
    [[nodiscard]] int write();

    VetisSettingsRepository& m_repository;
    store::VetisRecord m_record;
    // The key the record is stored under in the repository; nothing while it
    // is not stored (adding it failed).
    std::optional<std::string> m_storedKey;
    // The store's code when the stored record could not be read at opening
    // (0 when it was read or is missing): a record that may exist unread is
    // never written over or beside.
    int m_readFailure = 0;
    int m_lastWriteCode = 0;
    bool m_closed = false;
};

} // namespace vetis
