// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Realistic answers of the application-result service for benchmarks and
// load tests: a COMPLETED getVetDocumentList result with any number of
// vd:vetDocument elements, every element the VSD list and its nine contents
// lists read being present, several contents of each kind, Cyrillic texts.
namespace bench {

enum class PrefixStyle
{
    Usual,     // soapenv:, apldef:, apl:, merc:, vd:, dt:, bs: declared on the envelope
    Generated, // ns1:, ns2:, ... declared on the envelope
    Default,   // no prefixes: a default namespace wherever the namespace changes
};

struct AnswerOptions
{
    int documents = 1000;
    PrefixStyle style = PrefixStyle::Usual;
    bool indented = true; // one element per line, two blanks per level
    std::uint32_t seed = 1;
    int total = 0; // the list's total attribute; 0 for the number of documents
    // 0: every entity, enterprise, product item and region a VSD names is new
    // (the worst case for the loader's lookups). Otherwise the VSDs come from
    // that many suppliers to one receiver and name again and again what such
    // a business meets: its own entity and enterprise, each supplier's entity,
    // enterprise, producers, route points and products, the regions.
    int suppliers = 0;
};

std::string generateVsdAnswer(const AnswerOptions& options);

// Hostile shapes of namespace declarations, each a SOAP envelope whose body
// ends in a VSD list of one vd:vetDocument (UUID kDeclarationShapesUuid),
// written with prefixes declared on the envelope, past all the declarations:
// - nested: `elements` elements nested in one another, each declaring a prefix
//   of its own, all named with the prefix the outermost declares (local name
//   `localName`: a reader that resolves only the names it looks for meets
//   them all when they bear one of those);
// - wide: one element declaring `elements` prefixes, then `elements` children
//   each declaring one prefix more and named with the first of those.
inline constexpr const char* kDeclarationShapesUuid = "5e1f0000-aaaa-4bbb-8ccc-000000000042";
std::string generateNestedDeclarations(int elements, std::string_view localName = "e");
std::string generateWideDeclarations(int elements);

} // namespace bench
