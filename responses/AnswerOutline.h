// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/AnswerCuts.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>

// The frame of an answer that is read in pieces: its text without the
// records, a marker in their place, parsed on its own. It must be
// well-formed, so that the whole answer is well-formed exactly when every
// piece is a sequence of whole elements; it gives the element that holds the
// records (its paging attributes and the namespace declarations in scope)
// and the depth of the records.
namespace responses::walker {

class AnswerOutline
{
public:
    // Parses the frame with the parse options given. False when the answer
    // is not to be read in pieces: the frame does not parse, is not UTF-8,
    // holds a record element (lowerRowTag, canonical and lower-cased) of its
    // own, or has the records at its root.
    bool read(std::string_view answer, const AnswerCuts& cuts, std::string_view lowerRowTag,
              unsigned parseOptions);

    // After read(): the element that holds the records, and their depth (the
    // document element is at depth 2). Valid while the outline lives.
    pugi::xml_node listElement() const { return m_listElement; }
    std::uint32_t recordDepth() const { return m_recordDepth; }

private:
    std::string m_text;
    pugi::xml_document m_document;
    pugi::xml_node m_listElement;
    std::uint32_t m_recordDepth = 0;
};

} // namespace responses::walker
