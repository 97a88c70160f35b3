// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/CodePage.h"

#include "platform/Utf8.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace platform {

namespace {

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The input with each ill-formed part replaced by '?'; `invalid` counts them.
// When the input is well formed it is returned as it is and `repaired` is not
// touched.
std::string_view wellFormedUtf8(std::string_view in, std::string& repaired, std::size_t& invalid)
{
    invalid = 0;
    std::size_t at = 0;
    while (at < in.size()) {
        const Utf8Step step = utf8Step(in.data() + at, in.size() - at);
        if (!step.valid)
            break;
        at += step.length;
    }
    if (at == in.size())
        return in;
    repaired.assign(in.substr(0, at));
    while (at < in.size()) {
        const Utf8Step step = utf8Step(in.data() + at, in.size() - at);
        if (step.valid) {
            repaired.append(in.substr(at, step.length));
        } else {
            repaired.push_back('?');
            ++invalid;
        }
        at += step.length;
    }
    return repaired;
}

#if defined(_WIN32)

std::wstring widen(std::string_view in, UINT from)
{
    const int wlen = MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (wlen <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(wlen), L'\0');
    MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), wide.data(), wlen);
    return wide;
}

// Characters the target lacks become '?' (no "best fit" look-alikes, so that
// a change is always visible and counted).
std::string narrow(const std::wstring& wide, UINT to, std::size_t* unmappable)
{
    if (wide.empty())
        return {};
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int wlen = static_cast<int>(wide.size());
    const int len = WideCharToMultiByte(to, flags, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (len <= 0)
        return {};
    std::string out(static_cast<size_t>(len), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(to, flags, wide.data(), wlen, out.data(), len, to == CP_UTF8 ? nullptr : "?",
                        to == CP_UTF8 ? nullptr : &usedDefault);
    if (unmappable && usedDefault) {
        const auto before = std::count(wide.begin(), wide.end(), L'?');
        const auto after = std::count(out.begin(), out.end(), '?');
        *unmappable = static_cast<std::size_t>(std::max<std::ptrdiff_t>(after - before, 1));
    }
    return out;
}

std::string validUtf8ToCp1251(std::string_view utf8, std::size_t& unmappable)
{
    return narrow(widen(utf8, CP_UTF8), 1251, &unmappable);
}

std::string convertCp1251ToUtf8(std::string_view cp1251)
{
    return narrow(widen(cp1251, 1251), CP_UTF8, nullptr);
}

#else

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

    // Converts well-formed input; a character the target lacks becomes '?'
    // and is counted. False when the descriptor is unusable or the input
    // turns out not to be what it should.
    bool run(std::string_view in, std::string& out, std::size_t& replaced)
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
            if (errno == E2BIG || (errno == EILSEQ && dstLeft == 0)) {
                const size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            if (errno != EILSEQ)
                return false;
            // From UTF-8: a whole character the code page lacks. From the code
            // page: its one undefined byte (0x98).
            const size_t skip = m_sourceIsUtf8 ? utf8Step(src, srcLeft).length : 1;
            *dst++ = '?';
            --dstLeft;
            src += skip;
            srcLeft -= skip;
            ++replaced;
        }
        out.resize(out.size() - dstLeft);
        return true;
    }

    bool m_sourceIsUtf8 = false;

private:
    iconv_t m_cd;
};

Converter& toCp1251Converter()
{
    thread_local Converter c("CP1251", "UTF-8");
    c.m_sourceIsUtf8 = true;
    return c;
}

Converter& toUtf8Converter()
{
    thread_local Converter c("UTF-8", "CP1251");
    return c;
}

std::string validUtf8ToCp1251(std::string_view utf8, std::size_t& unmappable)
{
    std::string out;
    if (!toCp1251Converter().run(utf8, out, unmappable))
        return {};
    return out;
}

std::string convertCp1251ToUtf8(std::string_view cp1251)
{
    std::string out;
    std::size_t undefined = 0;
    toUtf8Converter().run(cp1251, out, undefined);
    return out;
}

#endif

} // namespace

std::string utf8ToCp1251(std::string_view utf8, ConversionLoss* loss)
{
    ConversionLoss counted;
    std::string out;
    if (isAscii(utf8)) {
        out.assign(utf8);
    } else {
        std::string repaired;
        const std::string_view wellFormed = wellFormedUtf8(utf8, repaired, counted.invalid);
        out = validUtf8ToCp1251(wellFormed, counted.unmappable);
    }
    if (loss)
        *loss = counted;
    return out;
}

std::string cp1251ToUtf8(std::string_view cp1251)
{
    if (isAscii(cp1251))
        return std::string(cp1251);
    return convertCp1251ToUtf8(cp1251);
}

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
