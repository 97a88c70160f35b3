// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vetis.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/VetisSettingsRepository.h"

#include <QString>

#include <optional>

// The access check of the settings window: one small, harmless request (one
// entry of the unit dictionary) sent with the settings as they are being
// edited, before anything is saved, and what the user is told about it.
namespace vetis {

// The edited settings offered to the exchange as if they were stored. It
// answers for the record's own GUID only and refuses every change: a check
// never writes settings.
class EditedVetisSettings final : public VetisSettingsRepository
{
public:
    explicit EditedVetisSettings(const store::VetisRecord& record);

    std::optional<store::VetisRecord> find(std::string_view guid) override;
    [[nodiscard]] int add(const store::VetisRecord& record) override;
    [[nodiscard]] int put(const store::VetisRecord& record) override;
    [[nodiscard]] int remove(std::string_view guid) override;

private:
    store::VetisRecord m_record;
};

// The request of a check for the entity of these settings.
RequestRecord accessCheckRequest(const store::VetisRecord& settings);

// The job of a check: the request above, sent with a copy of the settings.
// It succeeds when the service answered with status 200 and the exchange took
// the answer: one sound SOAP envelope without a Fault. A page of status 200
// that is none (a proxy's HTML page, broken XML) fails the check, and the
// request's APPERROR says why.
ExchangeJob accessCheckJob(const store::VetisRecord& settings);

struct AccessCheckVerdict
{
    bool passed = false;
    QString text; // '|' breaks the line
};

// What the user is told after a check; nothing after a cancel, which was the
// user's own doing.
std::optional<AccessCheckVerdict> accessCheckVerdict(const ExchangeRunResult& result);

} // namespace vetis
