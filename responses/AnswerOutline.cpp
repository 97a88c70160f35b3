// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/AnswerOutline.h"

#include "responses/Namespaces.h"

namespace responses::walker {

namespace {

// Stands in the outline where the records were.
constexpr std::string_view kRecordsMarker = "zanvo-records";

// Finds the marker, and any record element outside the records.
class OutlineCheck : public pugi::xml_tree_walker
{
public:
    explicit OutlineCheck(std::string_view lowerRowTag)
        : m_rowTag(lowerRowTag)
    {}

    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() != pugi::node_element)
            return true;
        const auto depth = static_cast<std::uint32_t>(this->depth()) + 2;
        m_scope.enter(node, depth);
        if (std::string_view(node.name()) == kRecordsMarker) {
            ++m_markers;
            m_marker = node;
            m_markerDepth = depth;
            return true;
        }
        char name[128];
        const std::size_t n = canonicalLowerName(node.name(), m_scope, name, sizeof name);
        if (n > 0 && std::string_view(name, n) == m_rowTag)
            m_recordOutside = true;
        return true;
    }

    // The element that holds the records, when there is exactly one marker,
    // it lies below an element and no record element lies outside the records.
    pugi::xml_node listElement() const
    {
        if (m_markers != 1 || m_recordOutside || m_marker.parent().type() != pugi::node_element)
            return {};
        return m_marker.parent();
    }
    std::uint32_t recordDepth() const { return m_markerDepth; }

private:
    std::string_view m_rowTag;
    NamespaceScope m_scope;
    int m_markers = 0;
    pugi::xml_node m_marker;
    std::uint32_t m_markerDepth = 0;
    bool m_recordOutside = false;
};

} // namespace

bool AnswerOutline::read(std::string_view answer, const AnswerCuts& cuts, std::string_view lowerRowTag,
                         unsigned parseOptions)
{
    m_text.clear();
    m_text.reserve(cuts.recordsBegin + kRecordsMarker.size() + 3 + (answer.size() - cuts.recordsEnd));
    m_text.append(answer.substr(0, cuts.recordsBegin));
    m_text.append("<").append(kRecordsMarker).append("/>");
    m_text.append(answer.substr(cuts.recordsEnd));
    const pugi::xml_parse_result parsed =
        m_document.load_buffer_inplace(m_text.data(), m_text.size(), parseOptions, pugi::encoding_auto);
    if (!parsed || parsed.encoding != pugi::encoding_utf8)
        return false;
    OutlineCheck check(lowerRowTag);
    m_document.traverse(check);
    m_listElement = check.listElement();
    m_recordDepth = check.recordDepth();
    return static_cast<bool>(m_listElement);
}

} // namespace responses::walker
