// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "Namespaces.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vetissim {

// How an answer spells its namespaces. The real service has been seen with each.
enum class PrefixStyle
{
    Usual,     // soapenv/SOAP-ENV, v2:, bs:, dt:, vd:, apl: ... as the documentation writes them
    Default,   // no prefixes: every namespace change is a default-namespace declaration
    Generated, // ns1:, ns2:, ... numbered by first use
};

// One element of a message: its namespace, local name, attributes, text and
// children. Mixed content is not needed by anything the services exchange.
struct XNode
{
    Ns ns = Ns::None;
    std::string name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<XNode> children;
    // The namespace URI of an element of an unknown namespace (ns == Unknown).
    std::string unknownUri;

    XNode() = default;
    XNode(Ns n, std::string localName, std::string value = {})
        : ns(n)
        , name(std::move(localName))
        , text(std::move(value))
    {}

    // Appends a child and returns it. The reference is valid until the next add.
    XNode& add(Ns n, std::string localName, std::string value = {});
    // Appends a child only when value is not empty.
    void addIf(Ns n, std::string localName, const std::string& value);
    XNode& attr(std::string attrName, std::string value);
    std::string attrValue(std::string_view attrName) const;

    bool is(Ns n, std::string_view localName) const { return ns == n && name == localName; }
    const XNode* child(Ns n, std::string_view localName) const;
    XNode* child(Ns n, std::string_view localName);
    std::vector<const XNode*> childrenNamed(Ns n, std::string_view localName) const;

    // Path of usual-prefixed names separated by '/', e.g. "dt:product/bs:guid".
    const XNode* at(std::string_view path) const;
    XNode* at(std::string_view path);
    std::string textAt(std::string_view path) const;
    // Sets the text at an existing path; false when the path does not exist.
    [[nodiscard]] bool setTextAt(std::string_view path, std::string value);

    // First element anywhere below (depth first, this node included).
    const XNode* findFirst(Ns n, std::string_view localName) const;
    XNode* findFirst(Ns n, std::string_view localName);
};

struct SerializeOptions
{
    PrefixStyle style = PrefixStyle::Usual;
    // The real service writes "soapenv:Envelope" around "SOAP-ENV:Header/Body" that
    // declare their own prefix; faults keep one prefix throughout.
    bool splitEnvelopePrefix = true;
    bool xmlDeclaration = true;
};

std::string serialize(const XNode& root, const SerializeOptions& options = {});
std::string escapeXml(std::string_view text, bool attribute = false);

// Parses a message and resolves every element name to its namespace by the
// declarations in scope. False when the text is not well-formed XML.
[[nodiscard]] bool parseXml(std::string_view text, XNode& root, std::string* error = nullptr);

} // namespace vetissim
