// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
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

// A SOAP Fault: the service refused the request. Texts UTF-8, trimmed.
struct SoapFault
{
    std::string code;   // the error code of the detail ("APLM0010"), else the faultcode ("soapenv:Server")
    std::string text;   // faultstring
    std::string detail; // the text of the detail's error, when it says more than faultstring
};

// The Fault of a parsed answer: soapenv:Fault in soapenv:Body of the
// soapenv:Envelope at the root (SOAP 1.1, matched by namespace). The error
// code is the code attribute of the first error element of the detail
// (apl:error, bs:error, ...). Nothing when the answer holds no Fault.
std::optional<SoapFault> findSoapFault(const pugi::xml_node& document);
// The same for an answer text, parsed for it.
std::optional<SoapFault> readSoapFault(std::string_view answerUtf8);
// What the user is told, UTF-8: "Сервис Ветис.API сообщил об ошибке: " code,
// a blank and the faultstring, the detail's text in brackets when it adds to it.
std::string soapFaultMessage(const SoapFault& fault);

// The application fields of an answer, Windows-1251.
struct ApplicationFields
{
    std::string appId;
    std::string status;             // the service's word ("ACCEPTED" ...), empty when none
    std::string error;              // "C: T" of the first error of a rejected application
    bool complete = false;          // the answer is well-formed XML that holds an application
    std::optional<SoapFault> fault; // the answer is a Fault (then it is not complete)
};

// Reads the first application of a parsed answer (submit or receive; the
// exchange gives it the checked document, see AnswerDocument). Elements are
// matched by namespace, whatever prefixes the answer uses (usual ones, default
// namespaces, generated ns1:, ns2:). Missing elements give empty fields; the
// error is read only for a rejected application. Complete when it holds an
// application and no Fault.
ApplicationFields readApplicationFields(const pugi::xml_node& document);
// The same for an answer text, parsed for it without the checks of
// AnswerDocument: a damaged answer is read as far as it parses, and is not
// complete.
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
