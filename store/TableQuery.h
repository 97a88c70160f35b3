// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/Table.h"

#include <cstdint>

// The statements a table prepares, private to the table's own files.
namespace store {

enum class Table::Query : std::uint8_t
{
    Insert,
    Update,
    Delete,
    DeleteAll,
    DeleteEqual, // leading components = the values
    Count,
    ByRow,
    Fetch,
    StartForward,  // leading components >= the values
    StartBackward, // leading components <= the values
    AfterKey,      // all components > the values
    BeforeKey,     // all components < the values
    SameKeyAfter,  // duplicates of a key: same values, later rows
    SameKeyBefore,
};

} // namespace store
