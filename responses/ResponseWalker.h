// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/ProcessSettings.h"
#include "vetis/AnswerDocument.h"
#include "vetis/RequestRecord.h"

#include <cstddef>
#include <string>
#include <string_view>

// The response walker: reads an answer of the VetIS services into the response
// lists that the request record references.
//
// The main list (reference 0) receives one entry per occurrence of the record
// element ROWTAG; its fields take the texts of the elements whose path below
// the record element equals their path names (compared without regard to case,
// elements named by their canonical namespace prefixes). When the main list
// received entries, the VSD walker fills every contents list the record
// references (1..9) from the same answer, the 4th (packages) with attributes.
// The paging attributes offset, count and total of the element enclosing the
// first record element go to ROFFSET, RCOUNT and RTOTAL.
//
// Only a sound answer is read (see vetis/AnswerDocument.h): anything else, a SOAP
// Fault included, is refused with a description of what was wrong, and the
// lists are left as they were. So is an answer whose paging attributes are
// not integers from 0 to 2^31-1, and one that memory runs out on.
namespace responses {

using vetis::AnswerProblem;

// The two faults the walker shows to the user.
inline constexpr std::string_view kParentNodeFault = "Ошибка формирования ParentNode !";
inline constexpr std::string_view kFirstRowParentFault = "Ошибка формирования ParentNode для первой строки !";

// Where the walker shows its messages (UTF-8). Without one they go to the
// debug output.
class WalkerMessages
{
public:
    virtual ~WalkerMessages() = default;
    virtual void show(std::string_view text) = 0;
};

// Entry counts of refused answers.
constexpr int kUnparsableAnswer = -1;
constexpr int kEmptyAnswer = -2;

struct ReadResult
{
    // Main-list entries added; kEmptyAnswer for an answer without any
    // element, kUnparsableAnswer for any other refusal.
    int entries = 0;
    AnswerProblem problem = AnswerProblem::None;
    std::string description; // UTF-8, Russian: what was wrong; empty when read
    bool ok() const { return problem == AnswerProblem::None; }
};

// Reads an answer parsed and checked before (the exchange's way: it parses
// every answer once); a refused document is told as such. RLOAD receives the
// count (0 after a refusal); ROFFSET, RCOUNT, RTOTAL are cleared first.
// Entries are appended: the caller empties the lists beforehand. Nothing is
// thrown.
[[nodiscard]] ReadResult WalkAnswer(const vetis::AnswerDocument& answer, vetis::RequestRecord& request,
                                    WalkerMessages* messages = nullptr);

// Parses and checks the answer through the same checks, then reads it as
// above (the command line and the tests read answers this way); answers
// longer than maxBytes are refused unparsed.
[[nodiscard]] ReadResult ReadAnswer(std::string_view answer, vetis::RequestRecord& request,
                                    WalkerMessages* messages = nullptr,
                                    std::size_t maxBytes = framework::process::maxAnswerBytes());

// The same, parsing the caller's buffer in place (its bytes are changed):
// saves a copy of the answer when the caller is done with it anyway.
[[nodiscard]] ReadResult ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request,
                                           WalkerMessages* messages = nullptr,
                                           std::size_t maxBytes = framework::process::maxAnswerBytes());

} // namespace responses
