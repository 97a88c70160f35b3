// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/PrefixBindings.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Element names matched by namespace, not by the prefix an answer happens to
// use. VetIS answers have been seen with the documented prefixes (bs:, dt:,
// vd:, ...), with default namespaces and with generated prefixes (ns1:, ns2:).
// Every element of a known VetIS namespace is given its canonical prefix before
// it is compared, so "<ns3:guid xmlns:ns3='http://api.vetrf.ru/schema/cdm/base'>"
// reads as "bs:guid". Elements of other namespaces keep their literal names.
//
// The URIs themselves are the exchange's (vetis/Endpoints.h).
namespace responses {

// Canonical prefixes, in the order of kNamespaceCount entries.
enum class VetisNamespace : std::uint8_t
{
    Base,          // bs
    Dictionary,    // dt
    VetDocument,   // vd
    MercuryApps,   // merc
    Application,   // apl
    ApplicationWs, // apldef
    RegistryWs,    // ws
    SoapEnvelope,  // soapenv
};
constexpr int kNamespaceCount = 8;

// The canonical prefix of a namespace URI ("bs", "dt", ...); -1 when the URI
// is not one of the VetIS namespaces.
int canonicalNamespace(std::string_view uri);
std::string_view canonicalPrefix(VetisNamespace ns);

// Keeps the namespace declarations in scope while a document is walked in
// document order. Call enter() for each element before resolving its name;
// declarations of elements whose subtree has been left are dropped then.
//
// Resolving a prefix costs the same however many declarations are in scope:
// each prefix has a number and the namespace bound to it now; a declaration
// remembers what it hides, and leaving its element puts that back.
class NamespaceScope
{
public:
    void enter(pugi::xml_node element, std::uint32_t depth);
    // The same in two steps, for walkers that read the attributes anyway:
    // leave the subtrees above depth, then declare the element's bindings.
    void leave(std::uint32_t depth)
    {
        m_prefixes.leave(depth);
        while (!m_defaults.empty() && m_defaults.back().depth >= depth) {
            m_defaultNamespace = m_defaults.back().hidden;
            m_defaults.pop_back();
        }
    }
    void declare(std::string_view prefix, std::string_view uri, std::uint32_t depth);
    // Canonical namespace of an element prefix ("" for the default namespace);
    // -1 when the prefix is bound to another namespace or not bound at all.
    int resolve(std::string_view prefix) const
    {
        return prefix.empty() ? m_defaultNamespace : m_prefixes.resolve(prefix);
    }
    // The same for unprefixed names, kept at hand: answers written with
    // default namespaces change it every few elements.
    int defaultNamespace() const { return m_defaultNamespace; }

    // A number of its own for a prefix other than "", the same for the life
    // of the scope, so that a walker that meets a name again finds the
    // namespace its prefix is bound to now without looking the prefix up.
    std::int32_t prefixId(std::string_view prefix) { return m_prefixes.number(prefix); }
    int boundNamespace(std::int32_t prefixId) const { return m_prefixes.bound(prefixId); }

private:
    struct DefaultDeclared
    {
        std::int8_t hidden; // the default namespace before the declaration
        std::uint32_t depth;
    };
    vetis::PrefixBindings<std::int8_t> m_prefixes{-1}; // canonical namespace, -1 for none or another
    std::vector<DefaultDeclared> m_defaults;
    int m_defaultNamespace = -1;
};

// True for "xmlns" (prefix "") and "xmlns:p" (prefix "p").
bool isNamespaceDeclaration(std::string_view attributeName, std::string_view& prefix);

// The canonical name of one element ("apl:applicationId", case kept), found
// by resolving its prefix through the declarations of its ancestors. For
// occasional lookups; walkers keep a NamespaceScope instead.
std::string canonicalName(pugi::xml_node element);

// The first element in document order below node (node itself included) whose
// canonical name equals name ("apl:status"); an empty node when none. The
// namespaces of node's ancestors count; the search takes time in proportion
// to the elements it passes, however deep they lie.
pugi::xml_node findCanonical(pugi::xml_node node, std::string_view name);

} // namespace responses
