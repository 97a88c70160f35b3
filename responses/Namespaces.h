// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

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
class NamespaceScope
{
public:
    void enter(pugi::xml_node element, std::uint32_t depth);
    // The same in two steps, for walkers that read the attributes anyway:
    // leave the subtrees above depth, then declare the element's bindings.
    void leave(std::uint32_t depth)
    {
        while (!m_bindings.empty() && m_bindings.back().depth >= depth) {
            const Binding& b = m_bindings.back();
            if (b.prefix.empty())
                m_defaultNamespace = b.previousDefault;
            else
                ++m_prefixVersion;
            m_bindings.pop_back();
        }
    }
    void declare(std::string_view prefix, std::string_view uri, std::uint32_t depth);
    // Canonical namespace of an element prefix ("" for the default namespace);
    // -1 when the prefix is bound to another namespace or not bound at all.
    int resolve(std::string_view prefix) const;
    // The same for unprefixed names, kept at hand: answers written with
    // default namespaces change it every few elements.
    int defaultNamespace() const { return m_defaultNamespace; }
    // Changes whenever a binding of a prefix other than the default one is
    // declared or dropped, so that a prefix resolved once stays resolved while
    // it does not.
    std::uint64_t prefixVersion() const { return m_prefixVersion; }

private:
    struct Binding
    {
        std::string_view prefix;
        std::int8_t ns;              // canonical namespace, -1 for other URIs
        std::int8_t previousDefault; // of a default binding: the default namespace it hides
        std::uint32_t depth;
    };
    std::vector<Binding> m_bindings;
    int m_defaultNamespace = -1;
    std::uint64_t m_prefixVersion = 0;
};

// True for "xmlns" (prefix "") and "xmlns:p" (prefix "p").
bool isNamespaceDeclaration(std::string_view attributeName, std::string_view& prefix);

// Writes the element name, lower-cased, with its canonical prefix ("apl:status")
// into out; the literal name lower-cased when its namespace is not a VetIS one.
// Returns the length, or 0 when it does not fit (such a name matches nothing).
std::size_t canonicalLowerName(std::string_view qualifiedName, const NamespaceScope& scope, char* out,
                               std::size_t capacity);

// The canonical name of one element ("apl:applicationId", case kept), found
// by resolving its prefix through the declarations of its ancestors. For
// occasional lookups; walkers keep a NamespaceScope instead.
std::string canonicalName(pugi::xml_node element);

// The first element in document order below node (node itself included) whose
// canonical name equals name ("apl:status"); an empty node when none.
pugi::xml_node findCanonical(pugi::xml_node node, std::string_view name);

} // namespace responses
