// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/FieldValue.h"
#include "responses/Namespaces.h"
#include "responses/PathIndex.h"
#include "responses/ResponseList.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// One contents list of a VSD answer being filled: every entry carries the
// UUID of its VSD in field 1, and an element that maps to a field not after
// the last one filled starts a new entry. The entry is written where it will
// lie in the list; it is counted when it is closed.
namespace responses {

class ContentsListWalk
{
public:
    // blank: a cleared record of the list's layout.
    ContentsListWalk(ResponseList& list, int slot, bool withAttributes, const std::byte* blank)
        : m_list(list)
        , m_layout(list.layout())
        , m_slot(slot)
        , m_withAttributes(withAttributes)
        , m_blank(blank)
        , m_row(list.nextRow())
        , m_filled(m_layout.fields.size(), 0)
    {
        std::memcpy(m_row, m_blank, m_layout.recordLength);
    }

    int slot() const { return m_slot; }

    // Field f (0-based) matched `element`, whose text is given (bytes up to
    // readableEnd may be read, see assignFieldText); state is the element's
    // path state (for its attributes).
    void onText(int f, const char* text, const char* readableEnd, pugi::xml_node element, std::int32_t state,
                const PathIndex& index)
    {
        const int i = f + 1;
        if (i == 1) {
            assign(0, text, readableEnd);
            m_uuidLength = strnlen(text, sizeof m_uuid + 1);
            std::memcpy(m_uuid, text, std::min(m_uuidLength, sizeof m_uuid));
            return;
        }
        if (i <= m_lastFilled)
            closeEntry();
        assign(f, text, readableEnd);
        m_lastFilled = i;
        m_pending = true;
        if (m_withAttributes)
            readAttributes(element, state, index);
    }

    // A vd:vetDocument element: the UUID of the previous VSD is forgotten.
    void onRecordElement()
    {
        m_uuidLength = 0;
        m_lastFilled = 0;
        closeEntry();
    }

    void closeEntry()
    {
        if (m_pending) {
            m_list.commitRow();
            m_row = m_list.nextRow();
            std::memcpy(m_row, m_blank, m_layout.recordLength);
            std::fill(m_filled.begin(), m_filled.end(), 0);
            m_pending = false;
        } else {
            // Without a pending entry nothing but field 1 has been written.
            const ResponseField& uuid = m_layout.fields[0];
            std::memcpy(m_row + uuid.offset, m_blank + uuid.offset, uuid.size);
            m_filled[0] = 0;
        }
        if (m_uuidLength == sizeof m_uuid) {
            assignFieldValue(m_row, m_layout.fields[0], std::string_view(m_uuid, sizeof m_uuid));
            m_filled[0] = 1;
        }
    }

private:
    void assign(int f, const char* text, const char* readableEnd)
    {
        const auto i = static_cast<std::size_t>(f);
        assignFieldText(m_row, m_layout.fields[i], text, readableEnd, !m_filled[i]);
        m_filled[i] = 1;
    }

    // Each attribute goes to the first field after the last one filled whose
    // path is the element's path, "/" and the attribute's name.
    void readAttributes(pugi::xml_node element, std::int32_t state, const PathIndex& index)
    {
        for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
            std::string_view prefix;
            if (isNamespaceDeclaration(a.name(), prefix))
                continue;
            m_lowered.clear();
            for (const char* p = a.name(); *p; ++p)
                m_lowered += (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
            const int af = index.attributeField(m_slot, state, m_lowered, m_lastFilled - 1);
            if (af != PathIndex::kNone) {
                assignFieldValue(m_row, m_layout.fields[static_cast<std::size_t>(af)], a.value());
                m_filled[static_cast<std::size_t>(af)] = 1;
            }
        }
    }

    ResponseList& m_list;
    const ListLayout& m_layout;
    int m_slot;
    bool m_withAttributes;
    const std::byte* m_blank;
    std::byte* m_row; // the entry being filled
    char m_uuid[36];
    std::size_t m_uuidLength = 0;
    int m_lastFilled = 0; // 1-based index of the last field filled in the entry
    bool m_pending = false;
    std::vector<std::uint8_t> m_filled; // per field: written since the entry was cleared
    std::string m_lowered;
};

} // namespace responses
