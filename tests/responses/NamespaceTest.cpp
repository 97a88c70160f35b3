// SPDX-License-Identifier: LicenseRef-Kestrom
#include "WalkerFixtures.h"

#include "platform/CodePage.h"
#include "responses/Namespaces.h"
#include "responses/WalkDump.h"
#include "support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>
#include <sstream>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

// Rewrites an answer with other prefixes for the same namespaces:
// Default - no prefixes, a default namespace declared wherever it changes;
// Generated - ns1:, ns2:, ... all declared on the root element;
// Local - each element declares its own prefix p<k> (one per element).
enum class PrefixStyle
{
    Default,
    Generated,
    Local,
};

class Rewriter
{
public:
    explicit Rewriter(PrefixStyle style)
        : m_style(style)
    {}

    std::string rewrite(const std::string& answer)
    {
        pugi::xml_document in;
        if (!in.load_buffer(answer.data(), answer.size()))
            return {};
        pugi::xml_node root = in.document_element();
        collectUris(root, {});
        pugi::xml_document out;
        copy(root, out, {}, "", true);
        std::ostringstream s;
        out.save(s, "", pugi::format_raw | pugi::format_no_declaration);
        return s.str();
    }

private:
    using Scope = std::map<std::string, std::string>; // prefix -> URI

    static Scope extend(Scope scope, pugi::xml_node element)
    {
        for (pugi::xml_attribute a : element.attributes()) {
            const std::string name = a.name();
            if (name == "xmlns")
                scope[""] = a.value();
            else if (name.rfind("xmlns:", 0) == 0)
                scope[name.substr(6)] = a.value();
        }
        return scope;
    }
    static std::pair<std::string, std::string> split(const std::string& qname)
    {
        const auto colon = qname.find(':');
        return colon == std::string::npos ? std::pair{std::string(), qname}
                                          : std::pair{qname.substr(0, colon), qname.substr(colon + 1)};
    }
    void collectUris(pugi::xml_node element, Scope scope)
    {
        scope = extend(scope, element);
        const std::string uri = scope[split(element.name()).first];
        if (!m_generated.count(uri))
            m_generated[uri] = "ns" + std::to_string(m_generated.size() + 1);
        for (pugi::xml_node child : element.children())
            if (child.type() == pugi::node_element)
                collectUris(child, scope);
    }
    void copy(pugi::xml_node from, pugi::xml_node toParent, Scope scope, const std::string& parentUri,
              bool isRoot)
    {
        scope = extend(scope, from);
        const auto [prefix, local] = split(from.name());
        const std::string uri = scope[prefix];
        pugi::xml_node to;
        switch (m_style) {
        case PrefixStyle::Default:
            to = toParent.append_child(local.c_str());
            if (uri != parentUri || isRoot)
                to.append_attribute("xmlns") = uri.c_str();
            break;
        case PrefixStyle::Generated:
            to = toParent.append_child((m_generated[uri] + ":" + local).c_str());
            if (isRoot)
                for (const auto& [u, p] : m_generated)
                    to.append_attribute(("xmlns:" + p).c_str()) = u.c_str();
            break;
        case PrefixStyle::Local: {
            const std::string p = "p" + std::to_string(++m_localCount);
            to = toParent.append_child((p + ":" + local).c_str());
            to.append_attribute(("xmlns:" + p).c_str()) = uri.c_str();
            break;
        }
        }
        for (pugi::xml_attribute a : from.attributes())
            if (std::string(a.name()).rfind("xmlns", 0) != 0)
                to.append_attribute(a.name()) = a.value();
        for (pugi::xml_node child : from.children()) {
            if (child.type() == pugi::node_element)
                copy(child, to, scope, uri, false);
            else if (child.type() == pugi::node_pcdata)
                to.append_child(pugi::node_pcdata).set_value(child.value());
        }
    }

    PrefixStyle m_style;
    std::map<std::string, std::string> m_generated; // URI -> ns<k>
    int m_localCount = 0;
};

const char* const kVsdSample = "ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml";

} // namespace

TEST(Namespaces, OnlyTheExactUriOfAKnownNamespaceIsKnown)
{
    EXPECT_GE(canonicalNamespace("http://api.vetrf.ru/schema/cdm/base"), 0);
    EXPECT_EQ(canonicalNamespace("http://api.vetrf.ru/schema/cdm/dictionary/v3"), -1);
    EXPECT_EQ(canonicalNamespace("http://api.vetrf.ru/schema/cdm/base/"), -1);
}

TEST(Namespaces, LeavingAnElementRestoresTheBindingsItHid)
{
    const char* const kBase = "http://api.vetrf.ru/schema/cdm/base";
    const char* const kDictionary = "http://api.vetrf.ru/schema/cdm/dictionary/v2";
    const int base = static_cast<int>(VetisNamespace::Base);
    const int dictionary = static_cast<int>(VetisNamespace::Dictionary);
    NamespaceScope scope;
    scope.declare("a", kBase, 2);
    scope.declare("", kDictionary, 2);
    const std::int32_t a = scope.prefixId("a");
    EXPECT_EQ(scope.prefixId("a"), a);
    // Depth 3 binds a elsewhere, twice on one element (pugixml lets that
    // pass), and the default namespace to nothing known.
    scope.leave(3);
    scope.declare("a", kDictionary, 3);
    scope.declare("a", "urn:other", 3);
    scope.declare("", "", 3);
    scope.declare("b", kBase, 3);
    EXPECT_EQ(scope.resolve("a"), -1);
    EXPECT_EQ(scope.boundNamespace(a), -1);
    EXPECT_EQ(scope.defaultNamespace(), -1);
    EXPECT_EQ(scope.resolve("b"), base);
    // Depth 4 declares nothing; its sibling at depth 3 has left depth 3's.
    scope.leave(4);
    EXPECT_EQ(scope.resolve("b"), base);
    scope.leave(3);
    EXPECT_EQ(scope.resolve("a"), base);
    EXPECT_EQ(scope.boundNamespace(a), base);
    EXPECT_EQ(scope.resolve(""), dictionary);
    EXPECT_EQ(scope.resolve("b"), -1);
    EXPECT_EQ(scope.resolve("never"), -1);
    scope.leave(2);
    EXPECT_EQ(scope.resolve("a"), -1);
    EXPECT_EQ(scope.defaultNamespace(), -1);
}

TEST(Namespaces, CanonicalNameResolvesDeclarationsInScope)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(
        R"(<a:r xmlns:a="http://api.vetrf.ru/schema/cdm/application" xmlns="http://api.vetrf.ru/schema/cdm/application">)"
        R"(<applicationId>id</applicationId><x:status xmlns:x="urn:other">S</x:status>)"
        R"(<q xmlns=""><a:status>ok</a:status></q></a:r>)"));
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(canonicalName(root), "apl:r");
    EXPECT_EQ(canonicalName(root.first_child()), "apl:applicationId");
    EXPECT_EQ(canonicalName(root.child("x:status")), "x:status"); // unknown namespace: literal
    EXPECT_EQ(canonicalName(root.child("q")), "q");               // no namespace
    const pugi::xml_node status = findCanonical(doc, "apl:status");
    ASSERT_TRUE(status);
    EXPECT_STREQ(status.text().get(), "ok");
    EXPECT_FALSE(findCanonical(doc, "apl:error"));
    // Searching below an element: its ancestors' declarations count, and the
    // search ends with the element's subtree.
    const pugi::xml_node q = root.child("q");
    EXPECT_EQ(findCanonical(q, "apl:status"), status);
    EXPECT_FALSE(findCanonical(root.first_child(), "apl:status"));
    EXPECT_EQ(findCanonical(root.first_child(), "apl:applicationId"), root.first_child());
}

TEST(Namespaces, ThreePrefixStylesGiveIdenticalLists)
{
    const std::string usual = readSample(kVsdSample);
    ASSERT_FALSE(usual.empty());
    const WalkDumpResult expected = walkDump("vsd", usual);
    ASSERT_EQ(expected.result, 3);

    for (PrefixStyle style : {PrefixStyle::Default, PrefixStyle::Generated, PrefixStyle::Local}) {
        SCOPED_TRACE(static_cast<int>(style));
        const std::string rewritten = Rewriter(style).rewrite(usual);
        ASSERT_FALSE(rewritten.empty());
        EXPECT_EQ(rewritten.find("vd:"), std::string::npos); // the usual prefixes are gone
        EXPECT_EQ(rewritten.find("bs:"), std::string::npos);
        const WalkDumpResult got = walkDump("vsd", rewritten);
        EXPECT_EQ(got.result, 3);
        EXPECT_EQ(got.text, expected.text);
    }
}

TEST(Namespaces, SwappedPrefixesReadByNamespace)
{
    // "bs" is bound to the dictionary and "dt" to the base namespace here.
    SingleList<UnitRow> units("dt:unit");
    const std::string answer =
        R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" xmlns:bs="http://api.vetrf.ru/schema/cdm/dictionary/v2")"
        R"( xmlns:dt="http://api.vetrf.ru/schema/cdm/base">)"
        R"(<bs:unitList count="1"><bs:unit><dt:guid>g</dt:guid><bs:name>kg</bs:name>)"
        R"(<dt:name>wrong</dt:name></bs:unit></bs:unitList></s:Envelope>)";
    ASSERT_EQ(units.read(answer), 1);
    EXPECT_EQ(t(units.list[0].GUID), "g");
    EXPECT_EQ(z(units.list[0].NAME), "kg");
    EXPECT_EQ(+units.request.RCOUNT, 1);
}

TEST(Namespaces, ElementsOfOtherNamespacesKeepTheirLiteralNames)
{
    // A namespace the program does not know (a later schema version) is read
    // by the prefixes it is written with.
    SingleList<UnitRow> units("dt:unit");
    const std::string answer =
        R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v9" xmlns:bs="urn:x">)"
        R"(<dt:unit><bs:guid>g</bs:guid><dt:name>kg</dt:name></dt:unit>)"
        R"(<ns5:unit xmlns:ns5="urn:y"><dt:name>no</dt:name></ns5:unit></s:Envelope>)";
    ASSERT_EQ(units.read(answer), 1);
    EXPECT_EQ(t(units.list[0].GUID), "g");
    EXPECT_EQ(z(units.list[0].NAME), "kg");
}

TEST(Namespaces, RealBusinessEntityAnswer)
{
    const std::string answer = readSample("real-getBusinessEntityByGuidResponse.pavelplus.xml");
    ASSERT_FALSE(answer.empty());
    SingleList<BusinessEntityRow> entities("dt:businessEntity");
    ASSERT_EQ(entities.read(answer), 1);
    const BusinessEntityRow& e = entities.list[0];
    EXPECT_EQ(t(e.GUID), "8786a0f7-daac-4417-821d-966975024785");
    EXPECT_EQ(t(e.UUID), "39bd2c2a-68fd-4f3a-8e1e-e5e27a65bec2"); // not the incorporation form's uuid
    EXPECT_EQ(+e.STATUS, 200);
    EXPECT_EQ(z(e.CDATE), "2025-08-04T14:44:08+03:00");
    EXPECT_EQ(+e.TYPE, 1);
    EXPECT_EQ(z(e.NAME), platform::utf8ToCp1251("ООО \"ОКЕАНИКА\""));
    EXPECT_EQ(z(e.FULLNAME), platform::utf8ToCp1251("ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ \"ОКЕАНИКА\""));
    EXPECT_EQ(z(e.INN), "9200022287");
    EXPECT_EQ(z(e.KPP), "920001001");
    EXPECT_EQ(z(e.OGRN), "1249200002193");
    EXPECT_EQ(z(e.CODE), "12300");
    EXPECT_EQ(t(e.COUNTRY), "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    EXPECT_EQ(t(e.REGION), "6fdecb78-893a-4e3f-a5ba-aa062459463b");
    EXPECT_EQ(t(e.LOCALITY), "");
    EXPECT_EQ(z(e.ADRVIEW).substr(0, 7), "299011,");
    EXPECT_EQ(z(e.FIO), "");
}

TEST(WalkDump, PrintsPagingHeaderAndRows)
{
    const std::string answer = readSample("reg-03-getUnitListResponse.constructed.xml");
    ASSERT_FALSE(answer.empty());
    const WalkDumpResult dump = walkDump("unit", answer);
    ASSERT_TRUE(dump.knownKind);
    EXPECT_EQ(dump.result, 3);
    std::istringstream lines(dump.text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "RLOAD=3 ROFFSET=0 RCOUNT=3 RTOTAL=3");
    std::getline(lines, line);
    EXPECT_EQ(line, "# unit");
    std::getline(lines, line);
    EXPECT_EQ(line, "GUID\tUUID\tSTATUS\tCDATE\tEDATE\tNAME\tFULLNAME\tCOMMONUNITGUID\tFACTOR");
    std::getline(lines, line);
    EXPECT_EQ(line, "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b\t0e30277e-50b7-484f-8fda-60dc99517a7e\t100\t"
                    "2019-03-01T12:00:00+03:00\t2023-11-20T09:30:00+03:00\tкг\tкилограмм\t"
                    "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b\t1000");
    EXPECT_FALSE(walkDump("nonsense", answer).knownKind);
}

TEST(WalkDump, LineBreaksInsideTextsKeepOneLinePerEntry)
{
    // The real answer's address view spans two lines.
    const WalkDumpResult dump =
        walkDump("businessEntity", readSample("real-getBusinessEntityByGuidResponse.pavelplus.xml"));
    ASSERT_EQ(dump.result, 1);
    std::istringstream lines(dump.text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_NE(all[3].find("ул., д. ЗД. 23"), std::string::npos);
    EXPECT_NE(all[3].find("Большая Морская\\n"), std::string::npos);
}
