// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <string>

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
};

std::string generateVsdAnswer(const AnswerOptions& options);

} // namespace bench
