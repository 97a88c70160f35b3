// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/TableXml.h"

#include "platform/CodePage.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <map>

namespace cli {

namespace {

std::string_view elementNameOf(std::string_view label)
{
    const std::size_t colon = label.find(':');
    return colon == std::string_view::npos ? label : label.substr(colon + 1);
}

void appendXmlText(std::string& out, std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (u < 0x20 || (c == ' ' && i == 0)) {
            // A reader drops a value of blanks alone and may fold line breaks.
            out += "&#";
            out += std::to_string(u);
            out += ';';
        } else
            out += c;
    }
}

// Bytes no XML 1.0 document can carry, not even as character references.
bool unwritableInXml(std::string_view cp1251)
{
    return std::any_of(cp1251.begin(), cp1251.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
}

// A text holding such bytes is written as the hexadecimal of its stored
// bytes, marked bytes="hex", so that the file stays readable by any reader.
void appendHexText(std::string& out, std::string_view name, std::string_view cp1251)
{
    out += '<';
    out += name;
    out += " bytes=\"hex\">";
    for (const char c : cp1251) {
        const auto u = static_cast<unsigned char>(c);
        out += "0123456789ABCDEF"[u >> 4];
        out += "0123456789ABCDEF"[u & 0xF];
    }
}

bool decodeHexText(std::string_view hex, std::string& out)
{
    out.clear();
    if (hex.size() % 2 != 0)
        return false;
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]);
        const int lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

store::FieldDef storeFieldOf(const xmltypes::FieldEntry& f, store::FieldType type)
{
    return store::FieldDef{f.label, type, static_cast<std::uint16_t>(f.bytes), f.offset};
}

std::string shownValue(std::string_view value)
{
    constexpr std::size_t kShown = 60;
    if (value.size() <= kShown)
        return "\"" + std::string(value) + "\"";
    return "\"" + std::string(value.substr(0, kShown)) + "...\"";
}

} // namespace

TableXmlWriter::TableXmlWriter(const store::TableDef& table)
    : m_table(table)
{
    static_cast<void>(m_info.INIT(table));
}

void TableXmlWriter::begin(std::string& out) const
{
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<table name=\"";
    out += m_table.name;
    out += "\" version=\"";
    out += std::to_string(m_table.version());
    out += "\">\n";
}

void TableXmlWriter::record(const char* data, std::string& out)
{
    out += " <record>";
    static_cast<void>(m_info.STARTFIELDSITERATE(xmltypes::kModeFields));
    while (m_info.GETNEXTFIELD() == xmltypes::kOk) {
        int type = 0;
        int size = 0;
        int places = 0;
        if (m_info.GETFIELDTYPE(type, size, places) != xmltypes::kOk)
            continue;
        const xmltypes::FieldEntry* f = m_info.currentField();
        const std::string_view name = elementNameOf(m_info.GETFIELDLABEL());
        const char* p = data + f->offset;
        std::string_view text;
        const bool isText = type == xmltypes::kTypeText || type == xmltypes::kTypeZText;
        if (type == xmltypes::kTypeText) {
            // Trailing blanks are the field's padding; a trailing zero byte is not.
            text = std::string_view(p, f->bytes);
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
        } else if (type == xmltypes::kTypeZText) {
            const void* z = std::memchr(p, 0, f->bytes);
            text =
                std::string_view(p, z ? static_cast<std::size_t>(static_cast<const char*>(z) - p) : f->bytes);
        }
        if (isText && unwritableInXml(text)) {
            appendHexText(out, name, text);
        } else {
            out += '<';
            out += name;
            out += '>';
            if (isText)
                appendXmlText(out, platform::cp1251ToUtf8(text));
            else if (const auto st = xmltypes::storeTypeOf(type))
                out += store::fieldAsUtf8(storeFieldOf(*f, *st), data);
        }
        out += "</";
        out += name;
        out += '>';
    }
    out += "</record>\n";
}

void TableXmlWriter::end(std::string& out) const
{
    out += "</table>\n";
}

bool readTableXml(const store::TableDef& table, std::string_view xml, std::vector<char>& records,
                  std::string& error)
{
    records.clear();
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(
        xml.data(), xml.size(), pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8);
    if (!parsed) {
        error = std::string("not well-formed XML: ") + parsed.description() + " at byte " +
                std::to_string(parsed.offset);
        return false;
    }
    pugi::xml_node root;
    for (pugi::xml_node n : doc.children()) {
        if (n.type() == pugi::node_doctype) {
            error = "a document type declaration is not accepted";
            return false;
        }
        if (n.type() == pugi::node_element) {
            if (root) {
                error = "more than one root element";
                return false;
            }
            root = n;
        }
    }
    if (!root || std::string_view(root.name()) != "table") {
        error = "the root element is not <table>";
        return false;
    }
    if (std::string_view(root.attribute("name").value()) != table.name) {
        error = "the file holds the table " + shownValue(root.attribute("name").value()) + ", not " +
                std::string(table.name);
        return false;
    }
    const std::string version = std::to_string(table.version());
    if (std::string_view(root.attribute("version").value()) != version) {
        error = "the file was written with version " + shownValue(root.attribute("version").value()) +
                " of " + std::string(table.name) + "'s fields; this program has version " + version;
        return false;
    }

    // The fields by element name, from the table's description.
    xmltypes::XMLFILEINFO info;
    if (info.INIT(table) != xmltypes::kOk) {
        error = "out of memory";
        return false;
    }
    std::map<std::string, const xmltypes::FieldEntry*, std::less<>> byName;
    static_cast<void>(info.STARTFIELDSITERATE(xmltypes::kModeFields));
    while (info.GETNEXTFIELD() == xmltypes::kOk)
        byName.emplace(std::string(elementNameOf(info.GETFIELDLABEL())), info.currentField());

    std::vector<char> blank(table.recordLength);
    store::clearRecordOf(table, blank.data());
    std::vector<const xmltypes::FieldEntry*> seen;
    std::size_t number = 0;
    for (pugi::xml_node rec : root.children()) {
        if (rec.type() != pugi::node_element) {
            error = "text outside a record after record " + std::to_string(number);
            return false;
        }
        ++number;
        const std::string where = "record " + std::to_string(number);
        if (std::string_view(rec.name()) != "record") {
            error = where + ": <" + rec.name() + "> is not <record>";
            return false;
        }
        const std::size_t at = records.size();
        records.insert(records.end(), blank.begin(), blank.end());
        seen.clear();
        for (pugi::xml_node fe : rec.children()) {
            if (fe.type() != pugi::node_element) {
                error = where + ": text between fields";
                return false;
            }
            const auto it = byName.find(std::string_view(fe.name()));
            if (it == byName.end()) {
                error = where + ": " + std::string(table.name) + " has no field " + shownValue(fe.name());
                return false;
            }
            const xmltypes::FieldEntry& f = *it->second;
            if (std::find(seen.begin(), seen.end(), &f) != seen.end()) {
                error = where + ": the field " + f.label + " is given twice";
                return false;
            }
            seen.push_back(&f);
            bool hex = false;
            for (pugi::xml_attribute a : fe.attributes()) {
                if (std::string_view(a.name()) != "bytes" || std::string_view(a.value()) != "hex") {
                    error = where + ", " + f.label + ": the attribute " + a.name() + "=" +
                            shownValue(a.value()) + " is not known";
                    return false;
                }
                hex = true;
            }
            std::string value;
            for (pugi::xml_node part : fe.children()) {
                if (part.type() != pugi::node_pcdata && part.type() != pugi::node_cdata) {
                    error = where + ", " + f.label + ": the value holds markup";
                    return false;
                }
                value += part.value();
            }
            const auto st = xmltypes::storeTypeOf(f.type);
            if (!st) {
                error = where + ", " + f.label + ": a field of this type cannot be read";
                return false;
            }
            if (hex) {
                std::string bytes;
                const std::size_t room = *st == store::FieldType::ZText ? f.bytes - 1u : f.bytes;
                if (!store::isTextType(*st) || !decodeHexText(value, bytes)) {
                    error = where + ", " + f.label + ": " + shownValue(value) +
                            " is not the hexadecimal of a text";
                    return false;
                }
                if (bytes.size() > room ||
                    (*st == store::FieldType::ZText && bytes.find('\0') != std::string::npos)) {
                    error = where + ", " + f.label + ": " + shownValue(value) +
                            " is longer than the field's " + std::to_string(room) + " bytes";
                    return false;
                }
                char* field = records.data() + at + f.offset;
                std::memset(field, *st == store::FieldType::ZText ? 0 : ' ', f.bytes);
                std::memcpy(field, bytes.data(), bytes.size());
                continue;
            }
            if (store::isTextType(*st)) {
                platform::ConversionLoss loss;
                const std::string cp = platform::utf8ToCp1251(value, &loss);
                if (loss.any()) {
                    error = where + ", " + f.label + ": " + shownValue(value) + " is not Windows-1251 text";
                    return false;
                }
                const std::size_t room = *st == store::FieldType::ZText ? f.bytes - 1u : f.bytes;
                if (cp.size() > room ||
                    (*st == store::FieldType::ZText && cp.find('\0') != std::string::npos)) {
                    error = where + ", " + f.label + ": " + shownValue(value) +
                            " is longer than the field's " + std::to_string(room) + " bytes";
                    return false;
                }
            }
            if (!store::setFieldFromUtf8(storeFieldOf(f, *st), records.data() + at, value)) {
                error = where + ", " + f.label + ": " + shownValue(value) + " is not a value of type " +
                        std::string(store::fieldTypeName(*st));
                return false;
            }
        }
    }
    return true;
}

} // namespace cli
