// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/SearchMask.h"

#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "store/tables/Vsd.h"

#include <array>

namespace workspace {

QString searchMask(const QString& typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || text == QString::fromUtf16(kSearchPlaceholder))
        return {};
    return u'*' + text.toUpper() + u'*';
}

char upperCp1251(char c)
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
        for (int i = 'a'; i <= 'z'; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i - 'a' + 'A');
        for (int i = 0xE0; i <= 0xFF; ++i) // а..я
            t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i - 0x20);
        t[0xB8] = 0xA8; // ё
        t[0xBF] = 0xAF; // ї
        t[0xB3] = 0xB2; // і
        t[0xBA] = 0xAA; // є
        t[0xA2] = 0xA1; // ў
        t[0xBC] = 0xA3; // ј
        t[0x9A] = 0x8A; // љ
        t[0x9C] = 0x8C; // њ
        t[0x9E] = 0x8E; // ћ
        t[0x9F] = 0x8F; // џ
        t[0x90] = 0x80; // ђ
        t[0x83] = 0x81; // ѓ
        t[0x9D] = 0x8D; // ќ
        t[0xBE] = 0xBD; // ѕ
        return t;
    }();
    return static_cast<char>(table[static_cast<unsigned char>(c)]);
}

SearchMask::SearchMask(const QString& mask)
{
    m_pattern = platform::toCp1251(mask);
    for (char& c : m_pattern)
        c = upperCp1251(c);
}

// Wildcard match with backtracking to the last star only: linear in practice,
// never exponential.
bool SearchMask::matchesUpper(std::string_view text) const
{
    const std::string_view p = m_pattern;
    std::size_t t = 0, i = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (i < p.size() && (p[i] == '?' || p[i] == text[t])) {
            ++i;
            ++t;
        } else if (i < p.size() && p[i] == '*') {
            star = i++;
            resume = t;
        } else if (star != std::string_view::npos) {
            i = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == '*')
        ++i;
    return i == p.size();
}

bool SearchMask::matches(const store::VsdRecord& r) const
{
    if (empty())
        return true;
    m_text.clear();
    appendSearchText(r, m_text);
    return matchesUpper(m_text);
}

void appendSearchText(const store::VsdRecord& r, std::string& out)
{
    const auto add = [&out](std::string_view field) {
        const std::size_t end = field.find_last_not_of(' ');
        if (end != std::string_view::npos)
            for (char c : field.substr(0, end + 1))
                out += upperCp1251(c);
    };
    add(store::ztextOf(r.ISSUESERIES));
    add(store::ztextOf(r.ISSUENUMBER));
    add(store::ztextOf(r.PRODITEMNAME));
    add(store::ztextOf(r.PRODITEMGTIN));
    add(store::ztextOf(r.CONSIGNORNAME));
    add(store::ztextOf(r.CONSIGNORINN));
    add(store::ztextOf(r.CONSIGNORPLACE));
    add(store::ztextOf(r.PRODITEMCODE));
}

std::vector<int> searchMaskFields()
{
    std::vector<int> fields;
    for (const char* name :
         {"MVD:ISSUESERIES", "MVD:ISSUENUMBER", "MVD:PRODITEMNAME", "MVD:PRODITEMGTIN", "MVD:CONSIGNORNAME",
          "MVD:CONSIGNORINN", "MVD:CONSIGNORPLACE", "MVD:PRODITEMCODE"})
        fields.push_back(store::vsdTable().fieldIndex(name));
    return fields;
}

} // namespace workspace
