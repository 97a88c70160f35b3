// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Writes SOAP envelopes the way the request catalogue lays them out: one of four
// heads, an empty header, the body, and lines ended by CR LF in the multi-line
// style (no breaks at all in the single-line style). A line is a container's
// start tag, a container's end tag, or a leaf element with its value.
namespace vetis {

enum class LineStyle : std::uint8_t
{
    Single,
    Multi,
};

// The envelope heads: which envelope prefix and which declarations, in order.
enum class EnvelopeHead : std::uint8_t
{
    Registry,        // soapenv, ws (registry), then the listed bs/base/dt/ikar prefixes
    RegistryBsFirst, // bs, ws (registry), soapenv
    Application,     // dt (optional), bs, merc, apldef, apl, vd, SOAP-ENV
    Receive,         // soapenv, ws (application)
};

class EnvelopeWriter
{
public:
    EnvelopeWriter(std::string& out, LineStyle style);

    // Envelope start tag with its declarations, the empty header and the body
    // start tag. `prefixes` are the extra prefixes of a registry head
    // ("bs", "base", "dt", "ikar"); for the application head "dt" in it adds
    // the dictionary declaration.
    void begin(EnvelopeHead head, std::initializer_list<std::string_view> prefixes = {});
    // Body and envelope end tags; nothing follows the last one.
    void end();

    void open(std::string_view tag);  // <tag>
    void close(std::string_view tag); // </tag>
    // <tag>value</tag>; the value is written as given and must already be safe.
    void leaf(std::string_view tag, std::string_view safeValue);
    // Record texts (Windows-1251): escaped, or as they stand but XML-safe.
    void leafEsc(std::string_view tag, std::string_view cp1251);
    void leafAsIs(std::string_view tag, std::string_view cp1251);
    void leafNumber(std::string_view tag, std::int64_t value);
    void leafReal(std::string_view tag, double value);
    // <container><prefix:guid>value</prefix:guid></container> as container lines.
    void guidRef(std::string_view container, std::string_view guidTag, std::string_view cp1251);

    // <p:listOptions><p:count>..</p:count><p:offset>..</p:offset></p:listOptions>
    void listOptions(std::string_view prefix, std::int32_t count, std::int32_t offset);
    // bs:beginDate day T00:00:00, bs:endDate day T23:59:59, when both are set.
    void dateInterval(std::int32_t beginDay, std::int32_t endDay);

    // Text placed as it is (already safe), without a line break.
    void raw(std::string_view text) { m_out += text; }
    // Line breaks off for the parts written on one line; returns the old state.
    bool setBreaks(bool on);
    void lineBreak();

private:
    void endLine();

    std::string& m_out;
    std::string_view m_envelopePrefix;
    bool m_breaks;
};

// Both set: yyyy-mm-dd of a day number (empty for 0).
std::string isoDay(std::int32_t day);
// The shortest decimal form of a real, without exponent ("95", "812.4").
std::string shortestDecimal(double value);

} // namespace vetis
