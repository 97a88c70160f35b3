// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace store {
struct VsdRecord;
}

// The search of the VSD list: what the user typed becomes a wildcard mask
// ("*" any run of characters, "?" one character) matched against the
// upper-cased texts of a VSD. Matching runs on the records' own Windows-1251
// bytes, so that a search over a hundred thousand VSDs converts nothing.
namespace workspace {

// The placeholder the search field shows while it is empty.
inline constexpr const char16_t* kSearchPlaceholder = u"ПОИСК";

// "*" + the trimmed, upper-cased text + "*"; empty for an empty text or the
// placeholder.
QString searchMask(const QString& typed);

class SearchMask
{
public:
    SearchMask() = default;
    explicit SearchMask(const QString& mask);

    bool empty() const { return m_pattern.empty(); }
    // Whether the VSD passes: an empty mask passes everything.
    bool matches(const store::VsdRecord& r) const;
    // The match itself, on Windows-1251 text already upper-cased.
    bool matchesUpper(std::string_view text) const;

private:
    std::string m_pattern;      // Windows-1251, upper-cased
    mutable std::string m_text; // the texts of the VSD matched last: one buffer for a whole scan
};

// Upper case of a Windows-1251 byte (Latin and Cyrillic letters, Ё).
char upperCp1251(char c);

// The texts of a VSD the mask looks at, each right-trimmed, upper-cased and
// appended to `out`.
void appendSearchText(const store::VsdRecord& r, std::string& out);
// Their fields (indexes into the m_VSD field dictionary).
std::vector<int> searchMaskFields();

} // namespace workspace
