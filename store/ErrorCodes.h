// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

// The numeric results of the table operations. 0 is success; the others are the
// storage layer's error numbers, whose Russian texts the error manager shows.
// Every failing operation also records the code, the file and the database's own
// code and text in framework::lastError() of the calling thread.
namespace store {

enum ErrorCode : int
{
    kOk = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kAccessDenied = 5, // read-only file or folder, no permission
    kOutOfMemory = 8,
    kFileLocked = 32,         // the lock could not be had within the time-out
    kRecordNotAvailable = 33, // put/delete without a current record, or it vanished
    kRecordNotFound = 35,     // also the end of a range in next/previous
    kDamagedFile = 36,        // not a database, corrupt pages, a sealed row that fails authentication
    kFileNotOpen = 37,
    kDuplicateKey = 40,
    kBadFileName = 45,
    kBadFileStructure = 47, // a database of another table or another field dictionary
    kTransactionActive = 56,
    kKeyUnavailable = 77, // a key the table does not have
    kDriverError = 90,    // any other failure of the database, incl. a full disk
};

} // namespace store
