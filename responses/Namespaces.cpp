// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/Namespaces.h"

#include "vetis/Endpoints.h"

#include <array>

namespace responses {

namespace {

struct KnownNamespace
{
    std::string_view uri;
    std::string_view prefix;
};

// The host of the namespace URIs is fixed by the schemas; the test and the
// production services use the same URIs.
constexpr std::array<KnownNamespace, kNamespaceCount> kKnown{{
    {vetis::ns::base, "bs"},
    {vetis::ns::dictionary, "dt"},
    {vetis::ns::vetDocument, "vd"},
    {vetis::ns::mercuryG2b, "merc"},
    {vetis::ns::application, "apl"},
    {vetis::ns::applicationWs, "apldef"},
    {vetis::ns::registryWs, "ws"},
    {vetis::ns::soapEnvelope, "soapenv"},
}};

} // namespace

bool isNamespaceDeclaration(std::string_view attributeName, std::string_view& prefix)
{
    if (attributeName.size() < 5 || attributeName.substr(0, 5) != "xmlns")
        return false;
    if (attributeName.size() == 5) {
        prefix = {};
        return true;
    }
    if (attributeName[5] != ':')
        return false;
    prefix = attributeName.substr(6);
    return true;
}

namespace {

void splitName(std::string_view name, std::string_view& prefix, std::string_view& local)
{
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) {
        prefix = {};
        local = name;
    } else {
        prefix = name.substr(0, colon);
        local = name.substr(colon + 1);
    }
}

} // namespace

int canonicalNamespace(std::string_view uri)
{
    for (std::size_t i = 0; i < kKnown.size(); ++i)
        if (kKnown[i].uri == uri)
            return static_cast<int>(i);
    return -1;
}

std::string_view canonicalPrefix(VetisNamespace ns)
{
    return kKnown[static_cast<std::size_t>(ns)].prefix;
}

void NamespaceScope::enter(pugi::xml_node element, std::uint32_t depth)
{
    leave(depth);
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        std::string_view prefix;
        if (isNamespaceDeclaration(a.name(), prefix))
            declare(prefix, a.value(), depth);
    }
}

void NamespaceScope::declare(std::string_view prefix, std::string_view uri, std::uint32_t depth)
{
    const auto ns = static_cast<std::int8_t>(canonicalNamespace(uri));
    if (!prefix.empty()) {
        m_prefixes.declare(prefix, ns, depth);
        return;
    }
    m_defaults.push_back({static_cast<std::int8_t>(m_defaultNamespace), depth});
    m_defaultNamespace = ns;
}

std::string canonicalName(pugi::xml_node element)
{
    std::string_view prefix, local;
    splitName(element.name(), prefix, local);
    for (pugi::xml_node n = element; n; n = n.parent()) {
        if (n.type() != pugi::node_element)
            continue;
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            std::string_view declared;
            if (isNamespaceDeclaration(a.name(), declared) && declared == prefix) {
                const int ns = canonicalNamespace(a.value());
                if (ns < 0)
                    return element.name();
                std::string result(kKnown[static_cast<std::size_t>(ns)].prefix);
                result += ':';
                result += local;
                return result;
            }
        }
    }
    return element.name();
}

pugi::xml_node findCanonical(pugi::xml_node node, std::string_view name)
{
    // The declarations of the ancestors first, outermost first; then a
    // pre-order walk without recursion (deep documents cannot exhaust the
    // stack), each element's declarations taken as it is entered.
    NamespaceScope scope;
    std::vector<pugi::xml_node> ancestors;
    for (pugi::xml_node n = node.parent(); n; n = n.parent())
        if (n.type() == pugi::node_element)
            ancestors.push_back(n);
    std::uint32_t depth = 1;
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        scope.enter(*it, depth++);

    pugi::xml_node current = node;
    std::uint32_t currentDepth = depth;
    std::string canonical;
    while (current) {
        if (current.type() == pugi::node_element) {
            scope.enter(current, currentDepth);
            std::string_view prefix, local;
            splitName(current.name(), prefix, local);
            const int ns = scope.resolve(prefix);
            if (ns >= 0) {
                canonical.assign(kKnown[static_cast<std::size_t>(ns)].prefix);
                canonical += ':';
                canonical += local;
            } else {
                canonical.assign(current.name());
            }
            if (canonical == name)
                return current;
        }
        if (current.first_child()) {
            current = current.first_child();
            ++currentDepth;
            continue;
        }
        while (current && current != node && !current.next_sibling()) {
            current = current.parent();
            --currentDepth;
        }
        if (!current || current == node)
            break;
        current = current.next_sibling();
    }
    return {};
}

} // namespace responses
