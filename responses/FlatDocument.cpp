// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/FlatDocument.h"

#include "responses/Namespaces.h"

#include <cstring>
#include <string_view>

namespace responses {

namespace {

// Text children are kept apart from elements; whitespace-only text between
// elements is dropped, so an empty element has no text child. The text that
// is an element's first child is kept in the element itself
// (parse_embed_pcdata), which halves the nodes of a typical answer.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

} // namespace

FlatDocument::Status FlatDocument::load(char* buffer, std::size_t size, const PathIndex& index)
{
    m_elements.clear();
    m_attributes.clear();
    const pugi::xml_parse_result result =
        m_document.load_buffer_inplace(buffer, size, kParseOptions, pugi::encoding_auto);
    if (result.status == pugi::status_no_document_element)
        return Status::Empty;
    if (!result)
        return Status::Unparsable;
    flatten(index);
    if (m_elements.empty())
        return Status::Empty;

    // Names and texts point into the buffer when it was parsed where it lies
    // (UTF-8, the answers' encoding); the node tree is then no longer needed.
    const char* rootName = m_document.document_element().name();
    if (rootName >= buffer && rootName < buffer + size)
        m_document.reset();
    return Status::Ok;
}

namespace {

// The element's name id: the name lower-cased with the canonical prefix of its
// namespace (the literal prefix when the namespace is not a VetIS one), looked
// up in the index. One pass over the name, no allocation.
std::int32_t elementNameId(const char* name, const NamespaceScope& scope, const PathIndex& index,
                           char* buffer, std::size_t capacity)
{
    const char* colon = name;
    while (*colon && *colon != ':')
        ++colon;
    const bool prefixed = *colon == ':';
    const char* local = name;
    std::size_t n = 0;
    // The default namespace applies to unprefixed names.
    const int ns = scope.resolve(prefixed ? std::string_view(name, static_cast<std::size_t>(colon - name))
                                          : std::string_view());
    if (ns >= 0) {
        const std::string_view canon = canonicalPrefix(static_cast<VetisNamespace>(ns));
        std::memcpy(buffer, canon.data(), canon.size());
        n = canon.size();
        buffer[n++] = ':';
        local = prefixed ? colon + 1 : name;
    }
    for (const char* p = local; *p; ++p) {
        if (n == capacity)
            return PathIndex::kNone; // longer than any name of a path
        const char c = *p;
        buffer[n++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    std::memset(buffer + n, 0, 8);
    return index.nameId(std::string_view(buffer, n), PathIndex::hashPadded(buffer, n));
}

} // namespace

void FlatDocument::flatten(const PathIndex& index)
{
    NamespaceScope scope;
    // Names longer than any interned one cannot match; they get no id. The
    // canonical prefix may be longer than the written one by a few bytes.
    const std::size_t capacity = index.longestName() + 16;
    std::vector<char> nameBuffer(capacity + 8); // zero padding for the hash

    pugi::xml_node node = m_document.first_child();
    std::uint32_t depth = 2;
    while (node) {
        if (node.type() == pugi::node_element) {
            scope.leave(depth);
            FlatElement e{};
            e.depth = depth;
            e.attributeFirst = static_cast<std::uint32_t>(m_attributes.size());
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
                std::string_view prefix;
                if (isNamespaceDeclaration(a.name(), prefix))
                    scope.declare(prefix, a.value(), depth);
                else
                    m_attributes.push_back({a.name(), a.value()});
            }
            e.attributeCount = static_cast<std::uint32_t>(m_attributes.size()) - e.attributeFirst;
            e.nameId = elementNameId(node.name(), scope, index, nameBuffer.data(), capacity);
            const pugi::xml_node child = node.first_child();
            const char* embedded = node.value();
            if (embedded && *embedded)
                e.text = embedded;
            else if (child && (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata))
                e.text = child.value();
            m_elements.push_back(e);
            if (child) {
                node = child;
                ++depth;
                continue;
            }
        }
        // Next in document order: the next sibling of the node or of its
        // nearest ancestor that has one.
        pugi::xml_node next = node.next_sibling();
        while (!next) {
            node = node.parent();
            --depth;
            if (!node || node == m_document)
                break;
            next = node.next_sibling();
        }
        node = next;
    }
}

std::size_t FlatDocument::footprint() const
{
    return m_elements.capacity() * sizeof(FlatElement) + m_attributes.capacity() * sizeof(FlatAttribute);
}

} // namespace responses
