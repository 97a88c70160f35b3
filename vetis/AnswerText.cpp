// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/AnswerText.h"

#include "platform/Compiler.h"
#include "platform/Utf8.h"
#include "vetis/AsciiCase.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if ZANVO_HAVE_SSE2
#include <emmintrin.h>
#endif

namespace vetis {

namespace {

// A piece of the answer fit to be quoted in a message: printable ASCII
// kept, anything else '?', at most `most` bytes.
std::string quotable(std::string_view s, std::size_t most = 40)
{
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < most; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (s.size() > most)
        out += "...";
    return out;
}

std::string withOffset(std::string text, std::size_t offset)
{
    text += " (байт ";
    text += std::to_string(offset);
    text += ").";
    return text;
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of the encoding pseudo-attribute of an XML declaration at the
// start of the text; empty when there is no declaration or it names none.
std::string_view declaredEncoding(std::string_view text)
{
    if (text.size() < 6 || text.substr(0, 5) != "<?xml" || !isXmlSpace(text[5]))
        return {};
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end == std::string_view::npos ? text.size() : end);
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return {};
    at += 8;
    while (at < declaration.size() && isXmlSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return {};
    ++at;
    while (at < declaration.size() && isXmlSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return {};
    const char quote = declaration[at++];
    const std::size_t close = declaration.find(quote, at);
    if (close == std::string_view::npos)
        return {};
    return declaration.substr(at, close - at);
}

bool startsWith(std::string_view text, std::initializer_list<unsigned char> bytes)
{
    if (text.size() < bytes.size())
        return false;
    std::size_t i = 0;
    for (unsigned char b : bytes)
        if (static_cast<unsigned char>(text[i++]) != b)
            return false;
    return true;
}

bool allowedCharacter(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

enum class Reference
{
    Good,
    Unknown,     // "&name;" of no predefined entity
    Bare,        // "&" without a name and ";"
    BadCharacter // "&#...;" of a character XML does not allow, or malformed
};

// What the "&" at text[at] begins; `shown` receives the reference for a message.
Reference referenceAt(std::string_view text, std::size_t at, std::string_view& shown)
{
    const std::string_view rest = text.substr(at);
    for (std::string_view predefined : {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"})
        if (rest.substr(0, predefined.size()) == predefined)
            return Reference::Good;
    const std::size_t semicolon = rest.substr(0, 64).find(';');
    shown = semicolon == std::string_view::npos ? rest.substr(0, 16) : rest.substr(0, semicolon + 1);
    if (rest.size() > 1 && rest[1] == '#') {
        if (semicolon == std::string_view::npos)
            return Reference::BadCharacter;
        const bool hex = rest.size() > 2 && rest[2] == 'x';
        std::size_t i = hex ? 3 : 2;
        if (i >= semicolon)
            return Reference::BadCharacter;
        std::uint32_t value = 0;
        for (; i < semicolon; ++i) {
            const char c = rest[i];
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint32_t>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return Reference::BadCharacter;
            value = value * (hex ? 16 : 10) + digit;
            if (value > 0x10FFFF)
                return Reference::BadCharacter;
        }
        return allowedCharacter(value) ? Reference::Good : Reference::BadCharacter;
    }
    if (semicolon == std::string_view::npos || semicolon == 1)
        return Reference::Bare;
    for (std::size_t i = 1; i < semicolon; ++i) {
        const auto c = static_cast<unsigned char>(rest[i]);
        const bool nameByte = c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '-' || c == '.';
        if (!nameByte)
            return Reference::Bare;
    }
    return Reference::Unknown;
}

// Where in the markup a position lies, found by reading on from where the
// last question left off (positions are asked in increasing order, so the
// whole text is read at most once).
class MarkupCursor
{
public:
    explicit MarkupCursor(std::string_view text)
        : m_text(text)
    {}

    // True when `target` lies inside a comment, a CDATA section, a
    // processing instruction or a document type declaration, where "&"
    // begins no reference.
    bool insideOpaqueMarkup(std::size_t target)
    {
        while (m_pos < target) {
            switch (m_state) {
            case State::Text: {
                const std::size_t open = m_text.find('<', m_pos);
                if (open == std::string_view::npos || open >= target) {
                    m_pos = target;
                    break;
                }
                const std::string_view at = m_text.substr(open);
                if (at.substr(0, 4) == "<!--")
                    enter(State::Comment, open + 4);
                else if (at.substr(0, 9) == "<![CDATA[")
                    enter(State::CData, open + 9);
                else if (at.substr(0, 2) == "<?")
                    enter(State::Instruction, open + 2);
                else if (at.substr(0, 2) == "<!") {
                    enter(State::Declaration, open + 2);
                    m_sawDeclaration = true;
                } else
                    enter(State::Tag, open + 1);
                break;
            }
            case State::Comment:
                skipTo("-->", target);
                break;
            case State::CData:
                skipTo("]]>", target);
                break;
            case State::Instruction:
                skipTo("?>", target);
                break;
            case State::Tag:
            case State::Declaration:
                stepInTag();
                break;
            }
        }
        return m_state == State::Comment || m_state == State::CData || m_state == State::Instruction ||
               m_state == State::Declaration;
    }
    // A declaration (<!DOCTYPE ...>) has been passed or is being read.
    bool sawDeclaration() const { return m_sawDeclaration; }

private:
    enum class State
    {
        Text,
        Comment,
        CData,
        Instruction,
        Declaration, // <!DOCTYPE ...>, with its internal subset
        Tag
    };
    void enter(State state, std::size_t pos)
    {
        m_state = state;
        m_pos = pos;
        m_quote = 0;
        m_brackets = 0;
    }
    void skipTo(std::string_view end, std::size_t target)
    {
        const std::size_t found = m_text.find(end, m_pos);
        if (found == std::string_view::npos || found >= target) {
            m_pos = target;
            return;
        }
        enter(State::Text, found + end.size());
    }
    // One byte of a tag or a declaration: quoted values and the brackets of
    // an internal subset hide its ">".
    void stepInTag()
    {
        const char c = m_text[m_pos++];
        if (m_quote) {
            if (c == m_quote)
                m_quote = 0;
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == '[') {
            ++m_brackets;
        } else if (c == ']' && m_brackets > 0) {
            --m_brackets;
        } else if (c == '>' && (m_state == State::Tag || m_brackets == 0)) {
            m_state = State::Text;
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    State m_state = State::Text;
    char m_quote = 0;
    int m_brackets = 0;
    bool m_sawDeclaration = false;
};

} // namespace

TextCheck detectEncoding(std::string_view answer)
{
    TextCheck check;
    if (startsWith(answer, {0xFF, 0xFE, 0x00, 0x00}) || startsWith(answer, {0x00, 0x00, 0xFE, 0xFF}) ||
        startsWith(answer, {'<', 0x00, 0x00, 0x00}) || startsWith(answer, {0x00, 0x00, 0x00, '<'})) {
        check.description = "Ответ сервиса в кодировке UTF-32, она не поддерживается (принимаются UTF-8, "
                            "UTF-16 и windows-1251).";
        return check;
    }
    if (startsWith(answer, {0xFF, 0xFE}) || startsWith(answer, {'<', 0x00, '?', 0x00})) {
        check.encoding = AnswerEncoding::Utf16Le;
        check.bomLength = answer[0] == '<' ? 0 : 2;
        return check;
    }
    if (startsWith(answer, {0xFE, 0xFF}) || startsWith(answer, {0x00, '<', 0x00, '?'})) {
        check.encoding = AnswerEncoding::Utf16Be;
        check.bomLength = answer[0] == '<' ? 0 : 2;
        return check;
    }
    if (startsWith(answer, {0xEF, 0xBB, 0xBF}))
        check.bomLength = 3;
    const std::string_view declared = declaredEncoding(answer.substr(check.bomLength));
    if (declared.empty())
        return check;
    const std::string name = lowered(declared);
    if (name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii")
        return check;
    if ((name == "windows-1251" || name == "cp1251") && check.bomLength == 0) {
        check.encoding = AnswerEncoding::Windows1251;
        return check;
    }
    if (check.bomLength != 0)
        check.description =
            "Ответ сервиса начинается с метки UTF-8, но объявлен в кодировке «" + quotable(declared) + "».";
    else
        check.description = "Ответ сервиса в неизвестной кодировке «" + quotable(declared) +
                            "» (принимаются UTF-8, UTF-16 и windows-1251).";
    return check;
}

bool utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out, std::size_t& faultAt)
{
    out.clear();
    out.reserve(bytes.size() / 2 * 3 / 2 + 16);
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xDC00 && c <= 0xDFFF) {
            faultAt = i;
            return false;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 3 >= bytes.size() || unit(i + 2) < 0xDC00 || unit(i + 2) > 0xDFFF) {
                faultAt = i;
                return false;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (i != bytes.size()) {
        faultAt = i;
        return false;
    }
    return true;
}

namespace {

#if ZANVO_HAVE_SSE2
// Sixteen bytes of plain ASCII and two-byte characters (the Cyrillic letters
// among them) checked at once: every byte above 0x7F must be a lead byte
// C2..DF directly followed by a continuation byte 80..BF, or such a
// continuation byte. Returns how many bytes of the block are whole and well
// formed (16, or 15 when a lead byte ends it), 0 when the block holds
// anything else (three- and four-byte characters, faults), which the
// byte-wise reading then takes.
std::size_t plainBlock(const unsigned char* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (high == 0)
        return 16;
    // Signed comparisons: 80..BF are -128..-65, C2..DF are -62..-33.
    const auto continuation = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, _mm_set1_epi8(-64))));
    const auto lead = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(-63)), _mm_cmplt_epi8(v, _mm_set1_epi8(-32)))));
    if ((continuation | lead) != high || continuation != ((lead << 1) & 0xFFFFu))
        return 0;
    return 16 - (lead >> 15);
}
#endif

} // namespace

std::size_t firstInvalidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
#if ZANVO_HAVE_SSE2
        if (i + 16 <= n) {
            if (const std::size_t whole = plainBlock(p + i)) {
                i += whole;
                continue;
            }
            // The block read byte-wise, then blocks again.
            const std::size_t blockEnd = i + 16;
            while (i < blockEnd) {
                const platform::Utf8Step step = platform::utf8Step(text.data() + i, n - i);
                if (!step.valid)
                    return i;
                i += step.length;
            }
            continue;
        }
#else
        // Plain ASCII sixteen, then eight bytes at a time: most of an answer.
        constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
        if (i + 16 <= n) {
            std::uint64_t w[2];
            std::memcpy(w, p + i, sizeof w);
            if (((w[0] | w[1]) & kHighBits) == 0) {
                i += 16;
                continue;
            }
            if ((w[0] & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
#endif
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            i += 2; // two bytes, the Cyrillic letters among them
        } else if (const platform::Utf8Step step = platform::utf8Step(text.data() + i, n - i); step.valid) {
            i += step.length;
        } else {
            return i;
        }
    }
    return n;
}

TextCheck checkUtf8Text(std::string_view text)
{
    TextCheck check;
    if (const std::size_t bad = firstInvalidUtf8(text); bad != text.size()) {
        check.description = withOffset("Ответ сервиса не является правильным текстом UTF-8", bad);
        return check;
    }
    MarkupCursor cursor(text);
    for (std::size_t i = text.find('&'); i != std::string_view::npos; i = text.find('&', i + 1)) {
        std::string_view shown;
        const Reference reference = referenceAt(text, i, shown);
        if (reference == Reference::Good || cursor.insideOpaqueMarkup(i))
            continue;
        check.documentType = cursor.sawDeclaration();
        switch (reference) {
        case Reference::Unknown:
            check.description = withOffset(
                "Ответ сервиса содержит ссылку на неизвестную сущность «" + quotable(shown) + "»", i);
            break;
        case Reference::BadCharacter:
            check.description =
                withOffset("Ответ сервиса содержит неверную ссылку на символ «" + quotable(shown) + "»", i);
            break;
        default:
            check.description =
                withOffset("Ответ сервиса содержит символ «&», за которым нет ссылки на сущность", i);
            break;
        }
        return check;
    }
    return check;
}

} // namespace vetis
