// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/Table.h"
#include "store/tables/Vetis.h"
#include "vetis/VetisSettingsRepository.h"

namespace store {
class Session;
}

// The access settings as the program keeps them: the encrypted table m_Vetis,
// opened through the calling thread's session for each call and closed after
// it, so that the file is not held open between calls.
namespace vetis {

class StoredVetisSettings final : public VetisSettingsRepository
{
public:
    explicit StoredVetisSettings(store::Session& session);

    std::optional<store::VetisRecord> find(std::string_view guid) override;
    [[nodiscard]] int add(const store::VetisRecord& record) override;
    [[nodiscard]] int put(const store::VetisRecord& record) override;
    [[nodiscard]] int remove(std::string_view guid) override;

private:
    // Opens the table and fetches the record under guid into its buffer.
    [[nodiscard]] int openAt(store::TypedTable<store::VetisRecord>& table, std::string_view guid);

    store::Session& m_session;
};

} // namespace vetis
