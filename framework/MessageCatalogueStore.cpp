// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageCatalogue.h"

#include "platform/CodePage.h"

namespace framework {

namespace {

void putU16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void putShortString(std::string& out, std::string_view utf8)
{
    std::string bytes = platform::utf8ToCp1251(utf8);
    if (bytes.size() > 255)
        bytes.resize(255);
    out.push_back(static_cast<char>(bytes.size()));
    out += bytes;
}

class Reader
{
public:
    explicit Reader(std::string_view bytes)
        : m_bytes(bytes)
    {}
    [[nodiscard]] bool u8(std::uint8_t& v)
    {
        if (m_pos + 1 > m_bytes.size())
            return false;
        v = static_cast<std::uint8_t>(m_bytes[m_pos++]);
        return true;
    }
    [[nodiscard]] bool u16(std::uint16_t& v)
    {
        std::uint8_t lo = 0, hi = 0;
        if (!u8(lo) || !u8(hi))
            return false;
        v = static_cast<std::uint16_t>(lo | (hi << 8));
        return true;
    }
    [[nodiscard]] bool shortString(std::string& utf8)
    {
        std::uint8_t len = 0;
        if (!u8(len) || m_pos + len > m_bytes.size())
            return false;
        utf8 = platform::cp1251ToUtf8(m_bytes.substr(m_pos, len));
        m_pos += len;
        return true;
    }
    bool atEnd() const { return m_pos == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

} // namespace

std::string serializeCatalogue(std::span<const CatalogueEntry> entries)
{
    std::string out;
    putU16(out, static_cast<std::uint16_t>(entries.size()));
    for (const CatalogueEntry& e : entries) {
        putU16(out, static_cast<std::uint16_t>(e.id));
        out.push_back(static_cast<char>(e.level));
        putShortString(out, e.title);
        putShortString(out, e.text);
    }
    return out;
}

std::optional<std::vector<StoredEntry>> parseCatalogue(std::string_view bytes)
{
    Reader in(bytes);
    std::uint16_t count = 0;
    if (!in.u16(count))
        return std::nullopt;
    std::vector<StoredEntry> entries(count);
    for (StoredEntry& e : entries) {
        if (!in.u16(e.id) || !in.u8(e.level) || !in.shortString(e.title) || !in.shortString(e.text))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return entries;
}

} // namespace framework
