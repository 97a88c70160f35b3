// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// Where the VetIS services live and which namespaces their messages use. The
// production and the test endpoint sets, the service paths, the namespace URIs
// and the print-form address are kept here and nowhere else.
namespace vetis {

// Service numbers of the request catalogue.
enum class Service : int
{
    None = 0,
    ApplicationManagement = 1,
    Enterprise = 2,
    Ikar = 3,
    Dictionary = 4,
    Product = 5,
    Regionalization = 6,
};

inline constexpr std::string_view kProductionBase = "https://api.vetrf.ru";
inline constexpr std::string_view kTestBase = "https://api2.vetrf.ru:8002";

inline constexpr std::string_view kPrintFormProductionBase = "https://mercury.vetrf.ru/pub/operatorui";
inline constexpr std::string_view kPrintFormTestBase = "https://t2-mercury.vetrf.ru/pub/operatorui";
// The path of the operator interface that prints a VSD, below its host.
inline constexpr std::string_view kPrintFormPath = "/pub/operatorui";

// Namespace URIs. They name the vocabularies and never follow the endpoint.
namespace ns {
inline constexpr std::string_view soapEnvelope = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view registryWs = "http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2";
inline constexpr std::string_view applicationWs = "http://api.vetrf.ru/schema/cdm/application/ws-definitions";
inline constexpr std::string_view base = "http://api.vetrf.ru/schema/cdm/base";
inline constexpr std::string_view dictionary = "http://api.vetrf.ru/schema/cdm/dictionary/v2";
inline constexpr std::string_view mercuryG2b = "http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2";
inline constexpr std::string_view application = "http://api.vetrf.ru/schema/cdm/application";
inline constexpr std::string_view vetDocument = "http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2";
} // namespace ns

// "/platform/services/2.1/EnterpriseService" ...; empty for an unknown number.
std::string_view servicePath(int service);

// Scheme, host and port of the chosen endpoint set (MVS:TEST = 1 is the test
// set, any other value production), or of the override when one is set.
std::string endpointBase(int testFlag);

// The full URL of a service; empty for an unknown service number.
std::string serviceUrl(int service, int testFlag);

// The print-form base of the chosen set ("...?" parameters are the caller's):
// the print-form override when one is set, else the endpoint override followed
// by the print-form path (a test double serves both), else the production or
// test ("t2-") host of the operator interface.
std::string printFormBase(int testFlag);

// Sends every request to another host, e.g. the VetIS test double on loopback
// in the tests and the demo mode ("http://127.0.0.1:8080"). The override holds
// for both endpoint sets, and for the print form, until cleared; thread-safe.
void setEndpointBaseOverride(std::string_view base);
// Sends the print form alone to another base (the full base, path included).
void setPrintFormBaseOverride(std::string_view base);
void clearEndpointOverrides();

} // namespace vetis
