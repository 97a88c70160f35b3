// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/EnvelopeWriter.h"

#include "platform/Dates.h"
#include "vetis/Endpoints.h"
#include "vetis/TextConversion.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vetis {

namespace {

std::string_view uriOfPrefix(std::string_view prefix)
{
    if (prefix == "bs" || prefix == "base")
        return ns::base;
    if (prefix == "dt" || prefix == "ikar")
        return ns::dictionary;
    if (prefix == "merc")
        return ns::mercuryG2b;
    if (prefix == "apldef")
        return ns::applicationWs;
    if (prefix == "apl")
        return ns::application;
    if (prefix == "vd")
        return ns::vetDocument;
    if (prefix == "soapenv" || prefix == "SOAP-ENV")
        return ns::soapEnvelope;
    return {};
}

void declare(std::string& out, std::string_view prefix, std::string_view uri)
{
    out += " xmlns:";
    out += prefix;
    out += "=\"";
    out += uri;
    out += '"';
}

} // namespace

EnvelopeWriter::EnvelopeWriter(std::string& out, LineStyle style)
    : m_out(out)
    , m_envelopePrefix("soapenv")
    , m_breaks(style == LineStyle::Multi)
{}

void EnvelopeWriter::begin(EnvelopeHead head, std::initializer_list<std::string_view> prefixes)
{
    m_envelopePrefix = head == EnvelopeHead::Application ? "SOAP-ENV" : "soapenv";
    m_out += '<';
    m_out += m_envelopePrefix;
    m_out += ":Envelope";
    switch (head) {
    case EnvelopeHead::Registry:
        declare(m_out, "soapenv", ns::soapEnvelope);
        declare(m_out, "ws", ns::registryWs);
        for (const std::string_view p : prefixes)
            declare(m_out, p, uriOfPrefix(p));
        break;
    case EnvelopeHead::RegistryBsFirst:
        declare(m_out, "bs", ns::base);
        declare(m_out, "ws", ns::registryWs);
        declare(m_out, "soapenv", ns::soapEnvelope);
        break;
    case EnvelopeHead::Application: {
        bool withDictionary = false;
        for (const std::string_view p : prefixes)
            withDictionary = withDictionary || p == "dt";
        if (withDictionary)
            declare(m_out, "dt", ns::dictionary);
        for (const std::string_view p : {"bs", "merc", "apldef", "apl", "vd", "SOAP-ENV"})
            declare(m_out, p, uriOfPrefix(p));
        break;
    }
    case EnvelopeHead::Receive:
        declare(m_out, "soapenv", ns::soapEnvelope);
        declare(m_out, "ws", ns::applicationWs);
        break;
    }
    m_out += '>';
    endLine();
    m_out += '<';
    m_out += m_envelopePrefix;
    m_out += ":Header/>";
    endLine();
    open(std::string(m_envelopePrefix) + ":Body");
}

void EnvelopeWriter::end()
{
    close(std::string(m_envelopePrefix) + ":Body");
    m_out += "</";
    m_out += m_envelopePrefix;
    m_out += ":Envelope>";
}

void EnvelopeWriter::open(std::string_view tag)
{
    m_out += '<';
    m_out += tag;
    m_out += '>';
    endLine();
}

void EnvelopeWriter::close(std::string_view tag)
{
    m_out += "</";
    m_out += tag;
    m_out += '>';
    endLine();
}

void EnvelopeWriter::leaf(std::string_view tag, std::string_view safeValue)
{
    m_out += '<';
    m_out += tag;
    m_out += '>';
    m_out += safeValue;
    m_out += "</";
    m_out += tag;
    m_out += '>';
    endLine();
}

void EnvelopeWriter::leafEsc(std::string_view tag, std::string_view cp1251)
{
    leaf(tag, EscapeXml(cp1251));
}

void EnvelopeWriter::leafAsIs(std::string_view tag, std::string_view cp1251)
{
    leaf(tag, XmlValueAsIs(cp1251));
}

void EnvelopeWriter::leafNumber(std::string_view tag, std::int64_t value)
{
    leaf(tag, std::to_string(value));
}

void EnvelopeWriter::leafReal(std::string_view tag, double value)
{
    leaf(tag, shortestDecimal(value));
}

void EnvelopeWriter::guidRef(std::string_view container, std::string_view guidTag, std::string_view cp1251)
{
    open(container);
    leafAsIs(guidTag, cp1251);
    close(container);
}

void EnvelopeWriter::listOptions(std::string_view prefix, std::int32_t count, std::int32_t offset)
{
    const std::string p(prefix);
    open(p + ":listOptions");
    leafNumber(p + ":count", count);
    leafNumber(p + ":offset", offset);
    close(p + ":listOptions");
}

void EnvelopeWriter::dateInterval(std::int32_t beginDay, std::int32_t endDay)
{
    if (beginDay == 0 || endDay == 0)
        return;
    leaf("bs:beginDate", isoDay(beginDay) + "T00:00:00");
    leaf("bs:endDate", isoDay(endDay) + "T23:59:59");
}

bool EnvelopeWriter::setBreaks(bool on)
{
    const bool old = m_breaks;
    m_breaks = on;
    return old;
}

void EnvelopeWriter::lineBreak()
{
    m_out += "\r\n";
}

void EnvelopeWriter::endLine()
{
    if (m_breaks)
        m_out += "\r\n";
}

std::string isoDay(std::int32_t day)
{
    const QDate date = platform::dateOfDay(day);
    if (!date.isValid())
        return {};
    return date.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

std::string shortestDecimal(double value)
{
    if (!std::isfinite(value))
        return "0";
    std::array<char, 400> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer.data(), result.ptr);
}

} // namespace vetis
