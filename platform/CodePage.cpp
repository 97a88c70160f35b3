// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/CodePage.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace platform {

#if defined(_WIN32)

namespace {
std::string convert(std::string_view in, UINT from, UINT to)
{
    if (in.empty())
        return {};
    const int wlen = MultiByteToWideChar(from, from == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, in.data(),
                                         static_cast<int>(in.size()), nullptr, 0);
    if (wlen <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(wlen), L'\0');
    MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), wide.data(), wlen);
    const int len = WideCharToMultiByte(to, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (len <= 0)
        return {};
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wlen, out.data(), len, nullptr, nullptr);
    return out;
}
} // namespace

std::string utf8ToCp1251(std::string_view utf8)
{
    return convert(utf8, CP_UTF8, 1251);
}

std::string cp1251ToUtf8(std::string_view cp1251)
{
    return convert(cp1251, 1251, CP_UTF8);
}

#else

namespace {

// The length of the well-formed UTF-8 sequence `in` starts with; 0 when it is
// not one (a stray continuation byte, an overlong form, a surrogate, a code
// point past U+10FFFF, or a sequence cut short).
size_t utf8SequenceLength(const char* in, size_t available)
{
    const auto byte = [in](size_t i) { return static_cast<unsigned char>(in[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte
    unsigned char high = 0xBF;
    if (lead < 0xC2) {
        return 0;
    } else if (lead < 0xE0) {
        length = 2;
    } else if (lead < 0xF0) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below U+0800
        else if (lead == 0xED)
            high = 0x9F; // surrogates U+D800..U+DFFF
    } else if (lead < 0xF5) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below U+10000
        else if (lead == 0xF4)
            high = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (length > available || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    return length;
}

// One conversion descriptor per thread and direction: iconv_open is far too
// expensive to call for every short field the walker converts.
class Converter
{
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Returns false when the input is not valid in the source encoding.
    bool run(std::string_view in, std::string& out)
    {
        out.clear();
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 4 + 8);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        while (srcLeft > 0) {
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            if (rc != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG) {
                const size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            if (errno == EILSEQ && m_unmappableToQuestion) {
                // A character outside the target code page: write '?' and skip
                // the whole UTF-8 sequence.
                if (dstLeft == 0)
                    continue;
                const size_t skip = utf8SequenceLength(src, srcLeft);
                if (skip == 0)
                    return false; // the text is not UTF-8
                *dst++ = '?';
                --dstLeft;
                src += skip;
                srcLeft -= skip;
                continue;
            }
            if (errno == EILSEQ && m_singleByteSource && dstLeft > 0) {
                // The one byte the code page leaves undefined (0x98): '?'.
                *dst++ = '?';
                --dstLeft;
                ++src;
                --srcLeft;
                continue;
            }
            return false;
        }
        out.resize(out.size() - dstLeft);
        return true;
    }

    bool m_unmappableToQuestion = false;
    bool m_singleByteSource = false;

private:
    iconv_t m_cd;
};

Converter& toCp1251Converter()
{
    thread_local Converter c("CP1251", "UTF-8");
    c.m_unmappableToQuestion = true;
    return c;
}

Converter& toUtf8Converter()
{
    thread_local Converter c("UTF-8", "CP1251");
    c.m_singleByteSource = true;
    return c;
}

bool isAscii(std::string_view s)
{
    for (unsigned char ch : s)
        if (ch >= 0x80)
            return false;
    return true;
}

} // namespace

std::string utf8ToCp1251(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    std::string out;
    if (!toCp1251Converter().run(utf8, out))
        return {};
    return out;
}

std::string cp1251ToUtf8(std::string_view cp1251)
{
    if (isAscii(cp1251))
        return std::string(cp1251);
    std::string out;
    toUtf8Converter().run(cp1251, out);
    return out;
}

#endif

std::string toCp1251(QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCp1251(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString fromCp1251(std::string_view cp1251)
{
    const std::string utf8 = cp1251ToUtf8(cp1251);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace platform
