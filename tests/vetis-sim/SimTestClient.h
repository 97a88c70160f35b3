// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <vetis-sim/SimTypes.h>

#include <curl/curl.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simtest {

// One HTTP exchange as a client sees it.
struct HttpResult
{
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string contentType;
    bool headersSeen = false;
    double seconds = 0;
};

struct HttpOptions
{
    std::string user = "sim-user";
    std::string password = "sim-password";
    bool auth = true;
    std::string caFile; // verify TLS against this bundle (peer and host)
    long timeoutMs = 20000;
    std::vector<std::string> headers;
};

HttpResult post(const std::string& url, const std::string& body, const HttpOptions& options = {});

// An element of an answer read by namespace: the namespace URI, local name, text,
// attributes and children. Built here with its own resolver, independent of the
// simulator's code, so the tests check what a client would see.
struct Element
{
    std::string ns;
    std::string name;
    std::string qualifiedName;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<Element> children;

    std::string attr(std::string_view key) const;
    const Element* child(std::string_view nsUri, std::string_view local) const;
    // Every element of that name below (depth first).
    std::vector<const Element*> all(std::string_view nsUri, std::string_view local) const;
    const Element* first(std::string_view nsUri, std::string_view local) const;
    std::string textOf(std::string_view nsUri, std::string_view local) const;
};

// False when the text is not well-formed.
[[nodiscard]] bool parse(const std::string& text, Element& root);

// Validates the first element nsUri:local of an answer against a schema file with
// xmllint; the element is taken out with every namespace declaration in scope.
// Returns xmllint's output when it fails, empty when valid.
std::string validateFragment(const std::string& answer, std::string_view nsUri, std::string_view local,
                             const std::string& schemaFile);

std::string schemaFolder();

namespace ns {
inline constexpr const char* soap = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr const char* bs = "http://api.vetrf.ru/schema/cdm/base";
inline constexpr const char* dt = "http://api.vetrf.ru/schema/cdm/dictionary/v2";
inline constexpr const char* vd = "http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2";
inline constexpr const char* merc = "http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2";
inline constexpr const char* apl = "http://api.vetrf.ru/schema/cdm/application";
inline constexpr const char* apldef = "http://api.vetrf.ru/schema/cdm/application/ws-definitions";
inline constexpr const char* ws = "http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2";
} // namespace ns

// Small literal envelopes as the client writes them.
std::string registryEnvelope(const std::string& operation, const std::string& content);
std::string listOptions(int count, int offset);

// A test double with small fixtures (three VSDs, a short street list), quick to
// start, for tests of the server's behaviour rather than of its data.
vetissim::SimConfig quickConfig(bool https = false);
// The unit list request, a small valid call to the dictionary service.
const std::string& unitsEnvelope();
std::string submitEnvelope(const std::string& apiKey, const std::string& issuer, const std::string& inner);
std::string receiveEnvelope(const std::string& apiKey, const std::string& issuer, const std::string& id);
std::string vetDocumentListRequest(const std::string& enterprise, int count, int offset,
                                   const std::string& status = {}, const std::string& beginDate = {},
                                   const std::string& endDate = {});
std::string repayRequest(const std::string& vsdUuid, const std::string& consigneeEnterprise,
                         const std::string& volume, const std::string& decision = "ACCEPT_ALL");

} // namespace simtest
