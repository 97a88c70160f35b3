// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vetis.h"

#include <optional>
#include <string_view>

// Where the access settings of the business entities are kept (m_Vetis). The
// settings window and its logic work against this interface only; the program
// gives them an adapter over the indexed file driver, the tests an in-memory
// table.
//
// Keys are the clipped MVS:GUID in Windows-1251 bytes. The results are the
// store's codes: 0 done, 35 no record under that key, 40 a record with that key
// exists already, 32 the file is locked; any other code of the store may come
// back as well. A failing operation records its code in framework::lastError()
// of the calling thread and shows nothing: the caller reports it.
namespace vetis {

class VetisSettingsRepository
{
public:
    virtual ~VetisSettingsRepository() = default;

    // The record stored under the key, or nothing.
    virtual std::optional<store::VetisRecord> find(std::string_view guid) = 0;
    // Stores a new record under its own MVS:GUID.
    [[nodiscard]] virtual int add(const store::VetisRecord& record) = 0;
    // Replaces the record stored under the record's own MVS:GUID.
    [[nodiscard]] virtual int put(const store::VetisRecord& record) = 0;
    // Deletes the record stored under the key.
    [[nodiscard]] virtual int remove(std::string_view guid) = 0;
};

} // namespace vetis
