// SPDX-License-Identifier: LicenseRef-Kestrom
#include "XmlTree.h"

#include <pugixml.hpp>

#include <array>

namespace vetissim {

XNode& XNode::add(Ns n, std::string localName, std::string value)
{
    children.emplace_back(n, std::move(localName), std::move(value));
    return children.back();
}

void XNode::addIf(Ns n, std::string localName, const std::string& value)
{
    if (!value.empty())
        add(n, std::move(localName), value);
}

XNode& XNode::attr(std::string attrName, std::string value)
{
    attrs.emplace_back(std::move(attrName), std::move(value));
    return *this;
}

std::string XNode::attrValue(std::string_view attrName) const
{
    for (const auto& [key, value] : attrs) {
        if (key == attrName)
            return value;
    }
    return {};
}

const XNode* XNode::child(Ns n, std::string_view localName) const
{
    for (const XNode& c : children) {
        if (c.is(n, localName))
            return &c;
    }
    return nullptr;
}

XNode* XNode::child(Ns n, std::string_view localName)
{
    return const_cast<XNode*>(static_cast<const XNode*>(this)->child(n, localName));
}

std::vector<const XNode*> XNode::childrenNamed(Ns n, std::string_view localName) const
{
    std::vector<const XNode*> found;
    for (const XNode& c : children) {
        if (c.is(n, localName))
            found.push_back(&c);
    }
    return found;
}

const XNode* XNode::at(std::string_view path) const
{
    const XNode* node = this;
    while (node && !path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        const std::size_t colon = step.find(':');
        if (colon == std::string_view::npos)
            return nullptr;
        node = node->child(namespaceFromPrefix(step.substr(0, colon)), step.substr(colon + 1));
    }
    return node;
}

XNode* XNode::at(std::string_view path)
{
    return const_cast<XNode*>(static_cast<const XNode*>(this)->at(path));
}

std::string XNode::textAt(std::string_view path) const
{
    const XNode* node = at(path);
    return node ? node->text : std::string{};
}

bool XNode::setTextAt(std::string_view path, std::string value)
{
    XNode* node = at(path);
    if (!node)
        return false;
    node->text = std::move(value);
    return true;
}

const XNode* XNode::findFirst(Ns n, std::string_view localName) const
{
    if (is(n, localName))
        return this;
    for (const XNode& c : children) {
        if (const XNode* found = c.findFirst(n, localName))
            return found;
    }
    return nullptr;
}

XNode* XNode::findFirst(Ns n, std::string_view localName)
{
    return const_cast<XNode*>(static_cast<const XNode*>(this)->findFirst(n, localName));
}

std::string escapeXml(std::string_view text, bool attribute)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

constexpr std::size_t kNsCount = static_cast<std::size_t>(Ns::Count);

// The prefixes and the default namespace in scope at one element.
struct Scope
{
    std::array<std::string, kNsCount> prefix;
    Ns defaultNs = Ns::None;
};

class Writer
{
public:
    explicit Writer(const SerializeOptions& options)
        : m_options(options)
    {}

    std::string run(const XNode& root)
    {
        if (m_options.xmlDeclaration)
            m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        write(root, Scope{}, 0, false);
        return std::move(m_out);
    }

private:
    std::string soapPrefix(int depth) const
    {
        switch (m_options.style) {
        case PrefixStyle::Usual:
            return depth == 0 || !m_options.splitEnvelopePrefix ? "soapenv" : "SOAP-ENV";
        case PrefixStyle::Default:
            return "soap";
        case PrefixStyle::Generated:
            return "S";
        }
        return "soapenv";
    }

    std::string prefixFor(Ns ns)
    {
        if (m_options.style == PrefixStyle::Usual)
            return std::string(usualPrefix(ns));
        std::string& generated = m_generated[static_cast<std::size_t>(ns)];
        if (generated.empty())
            generated = "ns" + std::to_string(++m_generatedCount);
        return generated;
    }

    static void collect(const XNode& node, std::vector<Ns>& used)
    {
        if (node.ns != Ns::None && node.ns != Ns::Soap && node.ns != Ns::Unknown) {
            bool seen = false;
            for (Ns n : used)
                seen = seen || n == node.ns;
            if (!seen)
                used.push_back(node.ns);
        }
        for (const XNode& c : node.children)
            collect(c, used);
    }

    static void declare(std::string& decls, const std::string& prefix, std::string_view uri)
    {
        decls += prefix.empty() ? " xmlns=\"" : " xmlns:" + prefix + "=\"";
        decls += escapeXml(uri, true);
        decls += '"';
    }

    void write(const XNode& node, Scope scope, int depth, bool parentIsSoap)
    {
        std::string qname;
        std::string decls;
        const std::size_t index = static_cast<std::size_t>(node.ns);
        if (node.ns == Ns::Soap) {
            const std::string prefix = soapPrefix(depth);
            if (scope.prefix[index] != prefix) {
                scope.prefix[index] = prefix;
                declare(decls, prefix, namespaceUri(Ns::Soap));
            }
            qname = prefix + ':' + node.name;
        } else if (node.ns == Ns::None) {
            qname = node.name;
            if (m_options.style == PrefixStyle::Default && scope.defaultNs != Ns::None) {
                declare(decls, {}, {});
                scope.defaultNs = Ns::None;
            }
        } else if (node.ns == Ns::Unknown) {
            // Echoed foreign elements get a private prefix declared where they stand.
            qname = "x:" + node.name;
            declare(decls, "x", node.unknownUri);
        } else if (m_options.style == PrefixStyle::Default) {
            qname = node.name;
            if (scope.defaultNs != node.ns) {
                scope.defaultNs = node.ns;
                declare(decls, {}, namespaceUri(node.ns));
            }
        } else {
            if (parentIsSoap) {
                // The body's child declares every namespace its content uses, as the service does.
                std::vector<Ns> used;
                collect(node, used);
                for (Ns n : used) {
                    std::string& declared = scope.prefix[static_cast<std::size_t>(n)];
                    if (declared.empty()) {
                        declared = prefixFor(n);
                        declare(decls, declared, namespaceUri(n));
                    }
                }
            }
            std::string& declared = scope.prefix[index];
            if (declared.empty()) {
                declared = prefixFor(node.ns);
                declare(decls, declared, namespaceUri(node.ns));
            }
            qname = declared + ':' + node.name;
        }

        m_out += '<';
        m_out += qname;
        m_out += decls;
        for (const auto& [key, value] : node.attrs) {
            m_out += ' ';
            m_out += key;
            m_out += "=\"";
            m_out += escapeXml(value, true);
            m_out += '"';
        }
        if (node.text.empty() && node.children.empty()) {
            m_out += "/>";
            return;
        }
        m_out += '>';
        // A fault code is a QName in the envelope namespace: spell it with the prefix in scope.
        constexpr std::string_view soapMarker = "{soap}";
        if (node.ns == Ns::None && node.text.starts_with(soapMarker))
            m_out +=
                scope.prefix[static_cast<std::size_t>(Ns::Soap)] + ':' + node.text.substr(soapMarker.size());
        else
            m_out += escapeXml(node.text);
        for (const XNode& c : node.children)
            write(c, scope, depth + 1, node.ns == Ns::Soap);
        m_out += "</";
        m_out += qname;
        m_out += '>';
    }

    const SerializeOptions& m_options;
    std::string m_out;
    std::array<std::string, kNsCount> m_generated;
    int m_generatedCount = 0;
};

struct Binding
{
    std::string prefix;
    std::string uri;
};

// Messages nest a few dozen levels; anything far deeper is refused rather than recursed into.
constexpr int kMaxDepth = 200;

bool convert(const pugi::xml_node& source, std::vector<Binding>& bindings, XNode& target, int depth)
{
    if (depth > kMaxDepth)
        return false;
    const std::size_t mark = bindings.size();
    for (const pugi::xml_attribute& a : source.attributes()) {
        const std::string_view name = a.name();
        if (name == "xmlns")
            bindings.push_back({{}, a.value()});
        else if (name.starts_with("xmlns:"))
            bindings.push_back({std::string(name.substr(6)), a.value()});
        else
            target.attrs.emplace_back(std::string(name), a.value());
    }
    const std::string_view qname = source.name();
    const std::size_t colon = qname.find(':');
    const std::string_view prefix =
        colon == std::string_view::npos ? std::string_view{} : qname.substr(0, colon);
    target.name = std::string(colon == std::string_view::npos ? qname : qname.substr(colon + 1));
    std::string uri;
    for (auto it = bindings.rbegin(); it != bindings.rend(); ++it) {
        if (it->prefix == prefix) {
            uri = it->uri;
            break;
        }
    }
    target.ns = namespaceFromUri(uri);
    if (target.ns == Ns::Unknown)
        target.unknownUri = uri;
    for (const pugi::xml_node& c : source.children()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            target.text += c.value();
        } else if (c.type() == pugi::node_element) {
            target.children.emplace_back();
            if (!convert(c, bindings, target.children.back(), depth + 1))
                return false;
        }
    }
    bindings.resize(mark);
    return true;
}

} // namespace

std::string serialize(const XNode& root, const SerializeOptions& options)
{
    return Writer(options).run(root);
}

bool parseXml(std::string_view text, XNode& root, std::string* error)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result || !doc.document_element()) {
        if (error)
            *error = std::string(result.description()) + " at offset " + std::to_string(result.offset);
        return false;
    }
    std::vector<Binding> bindings;
    root = XNode{};
    if (!convert(doc.document_element(), bindings, root, 0)) {
        if (error)
            *error = "elements nested too deeply";
        return false;
    }
    return true;
}

} // namespace vetissim
