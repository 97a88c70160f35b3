// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>

// The numbers of the error manager's messages, named after what each message
// says. The number is what the catalogue, its stored form and the history
// keep; program code reports a message by its name. "Ask..." messages are
// questions: their report returns the user's answer.
namespace framework {

enum class MessageId : std::uint16_t
{
    RecordAccessFailed = 1,              // error accessing a file, back to the previous window
    FileReadOnly = 2,                    // the file cannot be written, so it is only read
    AskAddAnother = 3,                   // the record was added; add another one?
    RecordAddFailed = 4,                 // error creating a record
    AskAddMissingRecord = 5,             // the record was not found; add a new one?
    FileCloseFailed = 6,                 // the file cannot be closed
    RecordChangedElsewhere = 7,          // another workstation changed the record
    RecordChangedElsewhereShown = 8,     // ... and its changes are now on the screen
    RecordChangedOrDeletedElsewhere = 9, // changed or deleted on another computer
    AskCancelChanges = 10,               // the changes will be lost: cancel anyway?
    AskConfirmDelete = 11,               // delete the selected record?
    FileCreateFailed = 12,               // the file cannot be created
    RecordDeleteFailed = 13,             // error deleting a record from the file
    FormCannotDelete = 14,               // this form cannot delete records
    DuplicateKey = 15,                   // adding the record duplicates a key
    SqlQueryFailed = 16,                 // error running an SQL query
    SqlStatementMissing = 17,            // an SQL statement was not found
    ValueMustBeInFile = 18,              // the field's value must be found in another file
    ValueNotInList = 19,                 // the value must be one of a list
    ValueOutOfRange = 20,                // the field's value must lie in a range
    ValueMustBeBelow = 21,               // the value must be less than a limit
    ValueMustBeAbove = 22,               // the value must be greater than a limit
    FileLoadFailed = 23,                 // error loading a file
    ReportNextRecordMissing = 24,        // report layout: the next record of a file is missing
    FormCannotAdd = 25,                  // this form cannot add records
    FileDamaged = 26,                    // the structure of the file is damaged
    TransactionFailed = 27,              // the transaction cannot be carried out
    NoRecords = 28,                      // no records available to the process
    FileOpenFailed = 29,                 // the file cannot be opened (fatal)
    ProcedureNotDefined = 30,            // a procedure was not defined
    RecordPutFailed = 31,                // error writing changes into the file
    KeyRebuildFailed = 32,               // the key of a file could not be rebuilt (fatal)
    KeyDamaged = 33,                     // the key of a file is damaged and must be rebuilt
    RecordLockedElsewhere = 34,          // another workstation holds the record
    FileOpenedReadOnly = 35,             // the file was opened for reading only
    RelatedDeleteRefused = 36,           // a related file keeps the record from being deleted
    RelatedUpdateRefused = 37,           // related fields kept the change from being made
    AskRetryAutoNumber = 38,             // numbering the record failed; try again?
    AskRetryDelete = 39,                 // deleting the record failed; try again?
    AskRetryPut = 40,                    // writing the record failed; try again?
    AskSaveChanges = 41,                 // write the changes of this record?
    AskWrapToEnd = 42,                   // the start of the file is reached; go on from its end?
    AskWrapToStart = 43,                 // the end of the file is reached; go on from its start?
    FormCannotChange = 44,               // this form cannot change records
    FileNotOpen = 45,                    // a file was used before it was opened (fatal)
    ViewOpenFailed = 46,                 // the view opened without its filter and range
    FilterColumnUnsupported = 47,        // a saved filter column is not supported
    SmtpError = 48,                      // an SMTP error
    NntpError = 49,                      // an NNTP error
    WinsockError = 50,                   // a Winsock error
    ReportQueueFailed = 51,              // report layout: a record could not be queued
    ReportNotWmf = 52,                   // report layout: the file is not a WMF file
    ReportBadObject = 53,                // report layout: a wrong object
    ReportFieldMissing = 54,             // report layout: a field was not found
    ReportBadNote = 55,                  // report generator: a malformed note
    ReportUnknownProperty = 56,          // report generator: an unknown property
};

// The number of a message, as the catalogue and its stored form keep it.
constexpr int messageNumber(MessageId id)
{
    return static_cast<int>(id);
}

} // namespace framework
