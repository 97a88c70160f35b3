// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Where a long answer can be cut so that several threads read its records:
// before start tags of the record element, between the first record and the
// end of the last one. Found in the text alone, so a cut may also land where
// no element starts (in a comment, a CDATA section, an element of that name
// nested deeper); the reader then finds that a piece is not a sequence of
// whole records and reads the answer whole instead.
namespace responses {

struct AnswerCuts
{
    std::string_view recordName; // the record element's name as the answer writes it
    std::size_t recordsBegin;    // the '<' of the first record's start tag
    std::size_t recordsEnd;      // just after the last end tag of that name
    // Where each piece begins; the first at recordsBegin, each at a start tag
    // of recordName, ascending. A piece ends where the next begins, the last
    // at recordsEnd.
    std::vector<std::size_t> pieceBegins;
};

// Cuts the records of an answer into at most `pieces` pieces of about equal
// length. localName is the record element's name without prefix; the first
// start tag of an element of that local name begins the records. Nothing when
// the answer has no such element, or anything but end tags and white space
// follows the last end tag of that name.
std::optional<AnswerCuts> cutAnswer(std::string_view answer, std::string_view localName, std::size_t pieces);

} // namespace responses
