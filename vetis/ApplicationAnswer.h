// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reading an application out of a VetIS answer, and the application statuses
// with the texts the program stores and shows for them.
namespace vetis {

struct RequestRecord;

enum class ApplicationStatus : std::uint8_t
{
    Accepted,
    InProcess,
    Completed,
    Rejected,
    Unknown,
};

// The application fields of an answer, Windows-1251.
struct ApplicationFields
{
    std::string appId;
    std::string status;    // the service's word ("ACCEPTED" ...), empty when none
    std::string error;     // "C: T" of the first error of a rejected application
    bool complete = false; // the answer is well-formed XML that holds an application
};

// Reads the first application of an answer (submit or receive). Elements are
// matched by namespace, whatever prefixes the answer uses (usual ones, default
// namespaces, generated ns1:, ns2:). Missing elements give empty fields; the
// error is read only for a rejected application. A damaged answer is read as
// far as it parses.
ApplicationFields readApplicationFields(std::string_view answerUtf8);

// Stores the fields into APPID, APPSTATUS and APPERROR, clipped to the fields.
void storeApplicationFields(const ApplicationFields& fields, RequestRecord& request);

// Reads the answer into the request record (both calls above).
// False when the answer is not well-formed XML holding an application.
[[nodiscard]] bool extractApplicationFields(std::string_view answerUtf8, RequestRecord& request);

ApplicationStatus applicationStatusOf(std::string_view word);

// The VSD record text (MVD:APPSTATUS) of a status: "ПРИНЯТА", "В ОБРАБОТКЕ",
// "УСПЕХ", "ОТКЛОНЕНА", "???"; UTF-8 and Windows-1251 forms.
std::string_view applicationStatusTextUtf8(ApplicationStatus status);
std::string applicationStatusText(ApplicationStatus status);
// The suffix of the VSD list request line: " (ПРИНЯТА)" ...; Windows-1251.
std::string applicationStatusSuffix(ApplicationStatus status);

} // namespace vetis
