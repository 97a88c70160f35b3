// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/AnswerPass.h"

#include <algorithm>

namespace responses::walker {

std::vector<std::byte> blankRecord(const ListLayout& layout)
{
    std::vector<std::byte> blank(layout.recordLength);
    clearRecord(layout, blank.data());
    return blank;
}

bool AnswerPass::for_each(pugi::xml_node& node)
{
    // Only elements have names under the parse options used.
    const char* name = node.name();
    if (!*name)
        return true;
    // The document node is depth 1.
    const auto depth = static_cast<std::uint32_t>(this->depth()) + 2;
    m_scope.leave(depth);
    if (const pugi::xml_attribute first = node.first_attribute(); !isNull(first))
        declareNamespaces(first, depth);
    const std::int32_t id = m_names.id(name, m_scope);

    const bool mainStarted = m_mainTrack.started();
    const std::int32_t mainState = m_mainTrack.enter(depth, id, m_transitions);
    const bool vsdStarted = m_sharedTrack ? mainStarted : m_vsdTrack.started();
    const std::int32_t vsdState = m_sharedTrack ? mainState : m_vsdTrack.enter(depth, id, m_transitions);
    if (!mainStarted && m_mainTrack.started())
        noteFirstRecord(node, depth);

    const char* text = nullptr;
    bool textRead = false;
    if (mainState >= 0 && depth > m_mainTrack.recordDepth()) {
        const std::int32_t f = m_targets[static_cast<std::size_t>(mainState)].mainField;
        if (f != PathIndex::kNone) {
            text = elementText(node);
            textRead = true;
            if (text) {
                const auto i = static_cast<std::size_t>(f);
                assignFieldText(m_row, m_layout.fields[i], text, readableEnd(text), !m_filled[i]);
                m_filled[i] = 1;
                m_holdsData = true;
            }
        }
    }
    if (vsdState >= 0) {
        const StateTargets& t = m_targets[static_cast<std::size_t>(vsdState)];
        if (t.contentsFirst != t.contentsEnd) {
            if (!textRead)
                text = elementText(node);
            if (text)
                for (std::uint32_t k = t.contentsFirst; k < t.contentsEnd; ++k)
                    m_walks[m_contentsTargets[k].walk].onText(m_contentsTargets[k].field, text,
                                                              readableEnd(text), node, vsdState, m_index);
        }
    }

    if (mainStarted && id == m_mainTrack.rowTagId() && m_holdsData) {
        m_main.commitRow();
        ++m_added;
        m_row = m_main.nextRow();
        std::memcpy(m_row, m_blank.data(), m_blank.size());
        std::fill(m_filled.begin(), m_filled.end(), 0);
        m_holdsData = false;
    }
    if (vsdStarted && id == m_vsdTrack.rowTagId())
        for (ContentsListWalk& w : m_walks)
            w.onRecordElement();
    return true;
}

} // namespace responses::walker
