// SPDX-License-Identifier: LicenseRef-Kestrom
// The walker against a reference reading written the plain way: every
// element's full path built as a string and compared with every field's
// path in declaration order, namespaces resolved through a copied map per
// element. The walker's path states, name cache and fast text assignment
// must give the same lists, byte for byte, for generated answers in all
// three prefix styles and for answers of awkward shapes.
#include "AnswerGenerator.h"
#include "WalkerFixtures.h"

#include "responses/FieldValue.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The prefixes the lists spell, by namespace URI.
const std::map<std::string, std::string> kPrefixOf = {
    {"http://api.vetrf.ru/schema/cdm/base", "bs"},
    {"http://api.vetrf.ru/schema/cdm/dictionary/v2", "dt"},
    {"http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2", "vd"},
    {"http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2", "merc"},
    {"http://api.vetrf.ru/schema/cdm/application", "apl"},
    {"http://api.vetrf.ru/schema/cdm/application/ws-definitions", "apldef"},
    {"http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2", "ws"},
    {"http://schemas.xmlsoap.org/soap/envelope/", "soapenv"},
};

// One element of the document in document order.
struct Flat
{
    pugi::xml_node node;
    int depth;        // the document element is 2
    std::string name; // lower-cased, with the prefix of its namespace
    const char* text; // the first child's text, null when the first child is no text
};

void flatten(pugi::xml_node element, int depth, std::map<std::string, std::string> scope,
             std::vector<Flat>& out)
{
    for (pugi::xml_attribute a : element.attributes()) {
        const std::string name = a.name();
        if (name == "xmlns")
            scope[""] = a.value();
        else if (name.rfind("xmlns:", 0) == 0)
            scope[name.substr(6)] = a.value();
    }
    const std::string qualified = element.name();
    const std::size_t colon = qualified.find(':');
    const std::string prefix = colon == std::string::npos ? "" : qualified.substr(0, colon);
    const std::string local = colon == std::string::npos ? qualified : qualified.substr(colon + 1);
    std::string name = lower(qualified);
    if (const auto uri = scope.find(prefix); uri != scope.end())
        if (const auto known = kPrefixOf.find(uri->second); known != kPrefixOf.end())
            name = known->second + ":" + lower(local);
    const pugi::xml_node first = element.first_child();
    const bool text = first && (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata);
    out.push_back({element, depth, name, text ? first.value() : nullptr});
    for (pugi::xml_node child : element.children())
        if (child.type() == pugi::node_element)
            flatten(child, depth + 1, scope, out);
}

// The path of element k below the record depth: the names from that depth
// down to the element's, joined by "!".
std::string pathOf(const std::vector<Flat>& flat, std::size_t k, int recordDepth)
{
    std::vector<const std::string*> names(static_cast<std::size_t>(flat[k].depth - recordDepth + 1));
    names.back() = &flat[k].name;
    int want = flat[k].depth - 1;
    for (std::size_t j = k; j-- > 0 && want >= recordDepth;)
        if (flat[j].depth == want) {
            names[static_cast<std::size_t>(want - recordDepth)] = &flat[j].name;
            --want;
        }
    std::string path;
    for (const std::string* n : names)
        path += (path.empty() ? "" : "!") + *n;
    return path;
}

struct Buffer
{
    explicit Buffer(const ListLayout& l)
        : layout(l)
        , bytes(l.recordLength)
    {
        clearRecord(layout, bytes.data());
    }
    const ListLayout& layout;
    std::vector<std::byte> bytes;
};

// The main list: one entry per record element, texts to the first field of
// their path.
int referenceMain(const std::vector<Flat>& flat, const ListLayout& layout, std::string_view rowTag,
                  std::vector<std::vector<std::byte>>& rows)
{
    std::vector<std::string> fullPaths;
    for (const ResponseField& f : layout.fields)
        fullPaths.push_back(lower(std::string(rowTag) + std::string(f.path)));
    const std::string record = lower(rowTag);
    int recordDepth = 0;
    Buffer buffer(layout);
    bool holds = false;
    int added = 0;
    for (std::size_t k = 0; k < flat.size(); ++k) {
        if (recordDepth != 0 && recordDepth < flat[k].depth && flat[k].text) {
            const std::string path = pathOf(flat, k, recordDepth);
            for (std::size_t i = 0; i < fullPaths.size(); ++i)
                if (fullPaths[i] == path) {
                    assignFieldValue(buffer.bytes.data(), layout.fields[i], flat[k].text);
                    holds = true;
                    break;
                }
        }
        if (flat[k].name == record) {
            if (recordDepth == 0)
                recordDepth = flat[k].depth;
            else if (holds) {
                rows.push_back(buffer.bytes);
                ++added;
            }
            clearRecord(layout, buffer.bytes.data());
            holds = false;
        }
    }
    if (holds) {
        rows.push_back(buffer.bytes);
        ++added;
    }
    return added;
}

// One contents list: entries carry their VSD's UUID in field 1; a field
// that does not come after the last one filled starts a new entry.
void referenceContents(const std::vector<Flat>& flat, const ListLayout& layout, bool withAttributes,
                       std::vector<std::vector<std::byte>>& rows)
{
    std::vector<std::string> fullPaths;
    for (const ResponseField& f : layout.fields) {
        std::string path(f.path);
        if (path.rfind("#01", 0) == 0)
            path = "!vd:certifiedConsignment" + path.substr(3);
        fullPaths.push_back(lower("vd:vetDocument" + path));
    }
    int recordDepth = 0;
    std::string uuid;
    int lastFilled = 0;
    bool pending = false;
    Buffer buffer(layout);
    const auto close = [&] {
        if (pending)
            rows.push_back(buffer.bytes);
        clearRecord(layout, buffer.bytes.data());
        pending = false;
        if (uuid.size() == 36)
            assignFieldValue(buffer.bytes.data(), layout.fields[0], uuid);
    };
    for (std::size_t k = 0; k < flat.size(); ++k) {
        if (recordDepth != 0 && recordDepth < flat[k].depth && flat[k].text) {
            const std::string path = pathOf(flat, k, recordDepth);
            for (std::size_t f = 0; f < fullPaths.size(); ++f) {
                if (fullPaths[f] != path)
                    continue;
                const int i = static_cast<int>(f) + 1;
                const ResponseField& field = layout.fields[f];
                if (i == 1) {
                    assignFieldValue(buffer.bytes.data(), field, flat[k].text);
                    uuid = flat[k].text;
                    break;
                }
                if (i <= lastFilled)
                    close();
                assignFieldValue(buffer.bytes.data(), field, flat[k].text);
                lastFilled = i;
                pending = true;
                if (withAttributes)
                    for (pugi::xml_attribute a : flat[k].node.attributes()) {
                        const std::string name = a.name();
                        if (name == "xmlns" || name.rfind("xmlns:", 0) == 0)
                            continue;
                        for (std::size_t j = static_cast<std::size_t>(i); j < fullPaths.size(); ++j)
                            if (fullPaths[j] == path + "/" + lower(name)) {
                                assignFieldValue(buffer.bytes.data(), layout.fields[j], a.value());
                                break;
                            }
                    }
                break;
            }
        }
        if (flat[k].name == "vd:vetdocument") {
            uuid.clear();
            lastFilled = 0;
            if (recordDepth == 0)
                recordDepth = flat[k].depth;
            else
                close();
        }
    }
    close();
}

// The rows of a list, one string per row.
std::vector<std::string> rowsOf(const ResponseList& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.count(); ++i)
        out.emplace_back(reinterpret_cast<const char*>(list.row(i)), list.layout().recordLength);
    return out;
}
std::vector<std::string> rowsOf(const std::vector<std::vector<std::byte>>& rows)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.emplace_back(reinterpret_cast<const char*>(r.data()), r.size());
    return out;
}

// Reads the answer both ways into the VSD list and its nine contents lists
// (with ROWTAG as the main list's record element) and expects the same
// rows; returns the walker's count.
int expectReferenceReading(const std::string& answer, std::string_view rowTag = "vd:vetDocument")
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_buffer(answer.data(), answer.size()));
    std::vector<Flat> flat;
    if (document.document_element())
        flatten(document.document_element(), 2, {}, flat);

    VsdListSet set;
    store::setZText(set.request.ROWTAG, rowTag);
    const int read = set.read(answer);

    std::vector<std::vector<std::byte>> main;
    const int added = referenceMain(flat, VsdRow::layout(), rowTag, main);
    EXPECT_EQ(read, added);
    EXPECT_EQ(+set.request.RLOAD, added);
    EXPECT_TRUE(rowsOf(set.vsd) == rowsOf(main)) << "the VSD list differs";
    for (int p = 1; p <= kContentsListCount; ++p) {
        std::vector<std::vector<std::byte>> rows;
        if (added > 0)
            referenceContents(flat, contentsLayout(p), p == kPackageListPosition, rows);
        const ResponseList& list = *set.request.lists[static_cast<std::size_t>(p)];
        EXPECT_TRUE(rowsOf(list) == rowsOf(rows)) << "contents list " << list.layout().name << ": "
                                                  << list.count() << " rows, expected " << rows.size();
    }
    return read;
}

std::string vsd(int n, std::string_view inner = "")
{
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "11111111-aaaa-4bbb-8ccc-%012d", n);
    return std::string("<vd:vetDocument><bs:uuid>") + uuid +
           "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:batchID>B" + std::to_string(n) +
           "</vd:batchID></vd:batch></vd:certifiedConsignment>" + std::string(inner) + "</vd:vetDocument>";
}

std::string documents(int count)
{
    std::string s;
    for (int i = 1; i <= count; ++i)
        s += vsd(i);
    return s;
}

} // namespace

TEST(ReferenceReading, GeneratedAnswersInEveryPrefixStyle)
{
    for (const bench::PrefixStyle style :
         {bench::PrefixStyle::Usual, bench::PrefixStyle::Generated, bench::PrefixStyle::Default})
        for (const bool indented : {true, false}) {
            SCOPED_TRACE(static_cast<int>(style) * 2 + indented);
            bench::AnswerOptions options;
            options.documents = 23;
            options.style = style;
            options.indented = indented;
            options.seed = 7;
            options.total = 500;
            const std::string answer = bench::generateVsdAnswer(options);
            EXPECT_EQ(expectReferenceReading(answer), 23);

            VsdListSet set;
            ASSERT_EQ(set.read(answer), 23);
            EXPECT_EQ(+set.request.RCOUNT, 23);
            EXPECT_EQ(+set.request.RTOTAL, 500);
            EXPECT_EQ(+set.request.ROFFSET, 0);
            // The comparison means something only when every list got entries.
            for (int p = 1; p <= kContentsListCount; ++p)
                EXPECT_GT(set.request.lists[static_cast<std::size_t>(p)]->count(), 0u) << p;
        }
}

TEST(ReferenceReading, SampleAnswer)
{
    const std::string answer =
        readSample("ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml");
    ASSERT_FALSE(answer.empty());
    EXPECT_EQ(expectReferenceReading(answer), 3);
}

TEST(ReferenceReading, AwkwardShapes)
{
    const std::string vdUri = "http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2";
    struct Case
    {
        const char* what;
        std::string answer;
        int entries;
    };
    const Case cases[] = {
        {"a start tag inside a comment between records",
         vsdAnswer(documents(3) + "<!-- <vd:vetDocument> -->" + documents(3)), 6},
        {"a start tag inside a CDATA section",
         vsdAnswer(
             vsd(1) +
             vsd(2, "<vd:waybillNumber><![CDATA[<vd:vetDocument>x</vd:vetDocument>]]></vd:waybillNumber>") +
             vsd(3)),
         3},
        {"a record element nested in a record", vsdAnswer(vsd(1) + vsd(2, vsd(20)) + vsd(3)), 3},
        {"an element between records that is no record",
         vsdAnswer(vsd(1) + "<vd:note>x</vd:note>" + vsd(2) + vsd(3)), 3},
        {"a record whose prefix is bound to another VetIS namespace",
         vsdAnswer(vsd(1) +
                   R"(<vd:vetDocument xmlns:vd="http://api.vetrf.ru/schema/cdm/dictionary/v2">)"
                   R"(<bs:uuid>x</bs:uuid></vd:vetDocument>)" +
                   vsd(3)),
         2},
        {"records in two list elements",
         vsdAnswer(documents(2) + "</vd:vetDocumentList><vd:vetDocumentList>" + documents(2)), 4},
        {"a record element before the list",
         [&] {
             std::string a = vsdAnswer(documents(3));
             a.insert(a.find("<apl:result>"), "<apl:issuer>" + vsd(9) + "</apl:issuer>");
             return a;
         }(),
         1},
        {"a record of another prefix before the list",
         [&] {
             std::string a = vsdAnswer(documents(3));
             a.insert(a.find("<apl:result>"), "<apl:issuer><x:vetDocument xmlns:x=\"" + vdUri +
                                                  "\"><bs:uuid>u</bs:uuid></x:vetDocument></apl:issuer>");
             return a;
         }(),
         1},
        {"route points, packages with marks and a repeated field in one VSD",
         vsdAnswer("<vd:vetDocument><bs:uuid>11111111-aaaa-4bbb-8ccc-000000000001</bs:uuid>"
                   "<vd:certifiedConsignment><vd:batch><vd:batchID>A</vd:batchID><vd:batchID>B</vd:batchID>"
                   "<vd:packageList><dt:package><dt:level>1</dt:level><dt:productMarks class=\"EAN13\">460"
                   "</dt:productMarks></dt:package><dt:package><dt:level>2</dt:level><dt:productMarks "
                   "class=\"BN\">7</dt:productMarks></dt:package></vd:packageList></vd:batch>"
                   "<vd:shipmentRoute><vd:routePoint><bs:uuid>r1</bs:uuid><vd:sqnId>1</vd:sqnId>"
                   "</vd:routePoint><vd:routePoint><bs:uuid>r2</bs:uuid><vd:sqnId>2</vd:sqnId>"
                   "</vd:routePoint></vd:shipmentRoute></vd:certifiedConsignment></vd:vetDocument>"),
         1},
        {"no record at all", vsdAnswer(""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(expectReferenceReading(c.answer), c.entries);
    }
    // A main list of another record element: the contents follow it.
    SCOPED_TRACE("the consignment as the record element");
    expectReferenceReading(vsdAnswer(documents(5)), "vd:certifiedConsignment");
}
