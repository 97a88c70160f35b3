// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/PathIndex.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// An answer parsed and flattened once into its elements in document order
// (pre-order), each with its depth (the document node is depth 1, the root
// element 2), its name interned through a PathIndex with the canonical
// namespace prefix, the text of its first child when that child is text, and
// its attributes. Every list of the answer is then walked over this array.
namespace responses {

struct FlatAttribute
{
    const char* name;
    const char* value;
};

struct FlatElement
{
    const char* text; // first child's text; null when the first child is not text
    std::uint32_t depth;
    std::int32_t nameId; // PathIndex::kNone when the name occurs in no path
    std::uint32_t attributeFirst;
    std::uint32_t attributeCount; // namespace declarations not counted
};

class FlatDocument
{
public:
    enum class Status
    {
        Ok,
        Unparsable, // no document can be created from the text
        Empty,      // the text holds no element
    };

    // Parses the buffer in place (its bytes are changed and must outlive the
    // document) and flattens it; names are resolved against the index.
    Status load(char* buffer, std::size_t size, const PathIndex& index);

    std::span<const FlatElement> elements() const { return m_elements; }
    std::span<const FlatAttribute> attributes(const FlatElement& e) const
    {
        return std::span<const FlatAttribute>(m_attributes).subspan(e.attributeFirst, e.attributeCount);
    }
    // Bytes held by the parsed form (for the benchmark).
    std::size_t footprint() const;

private:
    void flatten(const PathIndex& index);

    pugi::xml_document m_document;
    std::vector<FlatElement> m_elements;
    std::vector<FlatAttribute> m_attributes;
};

} // namespace responses
