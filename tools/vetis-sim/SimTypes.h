// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "XmlTree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vetissim {

// Identifiers of the built-in world that tests and the demo refer to.
namespace known {
inline constexpr const char* kRussiaGuid = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";
inline constexpr const char* kOwnEntityGuid = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
inline constexpr const char* kOwnEnterpriseGuid = "88718c96-6f3d-48f7-b4b1-b64633be40f5";
inline constexpr const char* kOwnSecondEnterpriseGuid = "5c1a2f3e-9b7d-4e11-8a2c-3f0d6e7b9a41";
inline constexpr const char* kSamaraRegionGuid = "f10763dc-63e3-48db-83e1-9c566fe3092b";
// The locality with the long street list (several pages of 1000).
inline constexpr const char* kSamaraCityGuid = "bb035cc3-1dc2-4627-9d25-a1bf2d4b936b";
inline constexpr const char* kKilogramGuid = "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b";
} // namespace known

// Every field but fixturesDir decides the built-in world, which is built once
// for each set of values and shared (SharedFixtures.cpp keys it by all of them).
struct FixtureOptions
{
    // Number of generated VSDs of the own entity.
    int vsdCount = 25;
    // Streets of the big locality (known::kSamaraCityGuid).
    int bigLocalityStreets = 2500;
    std::uint64_t seed = 20240425;
    // Day (from 1970-01-01) the generated issue dates lead up to; 0 = today.
    int today = 0;
    // Leave out the few elements the 2.1 services add to the 2.0 schemas
    // (dt:registryStatus, vd:applicableClassifications), so answers validate
    // against the 2.0 schema files.
    bool schema20Only = false;
    // Folder of XML files whose dictionary entries, entities, enterprises and
    // vd:vetDocument elements replace or extend the built-in ones.
    std::string fixturesDir;
};

// What keeps the simulator serving while some clients misbehave: a client that
// sends nothing, trickles its request or sends far too much is dropped, and
// what the simulator remembers of the clients stays within bounds.
struct ServerLimits
{
    // Connections served at once; more wait in the accept queue.
    int workers = 16;
    // Longest silence while a request is read or an answer written.
    int idleTimeoutMs = 5000;
    // Longest wait for the next request on a kept-alive connection.
    int keepAliveTimeoutMs = 5000;
    // A request (line, headers and body) must arrive whole within this time.
    int requestTimeoutMs = 10000;
    // An answer must be taken by the client within this time.
    int answerTimeoutMs = 120000;
    // Request line and headers together.
    std::size_t maxHeadBytes = 64u * 1024u;
    // Request body as received (after any content encoding is undone).
    std::size_t maxBodyBytes = 64u * 1024u * 1024u;
    // The request log keeps the newest requests within both bounds.
    std::size_t maxLoggedRequests = 1000;
    std::size_t maxLoggedBytes = 64u * 1024u * 1024u;
    // The body of a refused request is logged cut to this many bytes.
    std::size_t maxRefusedBodyBytes = 4096;
    // Applications remembered for receives; the oldest are forgotten first.
    std::size_t maxApplications = 10000;
    // Enterprises that applications may add to the fixture data.
    std::size_t maxCreatedEnterprises = 1000;
    // Misbehaviour rules and VSD rejections set from outside.
    std::size_t maxFaultRules = 1000;
    std::size_t maxRejectedVsds = 1000;
};

struct SimConfig
{
    std::string host = "127.0.0.1";
    int port = 0; // 0: any free port
    bool https = false;
    // PEM files; empty with https: a self-signed pair is generated at start.
    std::string certFile;
    std::string keyFile;

    std::string user = "sim-user";
    std::string password = "sim-password";
    std::string apiKey = "sim-api-key";
    std::string issuerId = known::kOwnEntityGuid;

    PrefixStyle prefixStyle = PrefixStyle::Usual;
    // Receives after which an application is IN_PROCESS and COMPLETED. With
    // completeAfterReceives 0 the submission itself answers COMPLETED.
    int inProcessAfterReceives = 1;
    int completeAfterReceives = 2;
    // Largest page a list answer holds; listOptions without count get defaultPageSize.
    int maxPageSize = 1000;
    int defaultPageSize = 100;
    // An offset at or past the end answers an offsetOutOfRangeFault instead of an empty list.
    bool faultOnOffsetOutOfRange = false;

    FixtureOptions fixtures;
    ServerLimits limits;
};

// What the simulator can do wrong on purpose.
enum class FaultKind
{
    SoapFault,       // status 500 with a SOAP fault (internal service error)
    Unauthorized,    // status 401
    Delay,           // the right answer, after delayMs
    Stall,           // status line and headers, then silence until stallMs passes or the server stops
    Drop,            // connection closed without any answer
    MalformedXml,    // status 200, a body that is not well-formed
    TruncatedXml,    // status 200, the right answer cut in the middle (Content-Length matches)
    PartialBody,     // Content-Length of the whole answer, half of it sent, connection closed
    Huge,            // status 200, a well-formed answer of hugeBytes, streamed
    WrongContentType // status 200, an HTML page as text/html, as a proxy would answer
};

struct FaultRule
{
    FaultKind kind = FaultKind::SoapFault;
    // Local name of the operation element ("getUnitListRequest"), or of the inner
    // request of an application ("getVetDocumentListRequest"); empty: every request.
    std::string operation;
    // Number of matching requests it applies to; -1: until cleared.
    int times = 1;
    // Matching requests that pass untouched before it applies (a fault on the
    // second page of a list, say).
    int skip = 0;
    int delayMs = 2000;
    int stallMs = 30000;
    std::size_t hugeBytes = 50u * 1024u * 1024u;
};

// One request as the simulator received it.
struct ReceivedRequest
{
    std::string method;
    std::string path;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string authorization;
    // The body as logged: a refused request's body is cut short, one too
    // large to take is not kept at all; bodySize is what the client sent.
    std::string body;
    std::size_t bodySize = 0;
    // Local name and namespace of the body's operation element ("" when unreadable).
    std::string operation;
    std::string operationNamespace;
    // For submitApplicationRequest: the local name of the wrapped request.
    std::string innerOperation;
    // The status answered: 0 for a dropped connection, 408 for a request that
    // did not arrive in time, 413 for one too large to take.
    int status = 0;

    std::string header(std::string_view name) const;
};

enum class ApplicationStatus
{
    Accepted,
    InProcess,
    Completed,
    Rejected
};

const char* statusWord(ApplicationStatus status);

struct BusinessError
{
    std::string code;
    std::string text;
};

struct ApplicationInfo
{
    std::string id;
    std::string issuerId;
    std::string innerOperation;
    ApplicationStatus status = ApplicationStatus::Accepted;
    int receives = 0;
    std::vector<BusinessError> errors;
};

} // namespace vetissim
