// SPDX-License-Identifier: LicenseRef-Kestrom
#include "SimTestClient.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <chrono>
#include <fstream>
#include <map>

namespace simtest {
namespace {

size_t collect(char* data, size_t size, size_t count, void* user)
{
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

size_t headerSeen(char*, size_t size, size_t count, void* user)
{
    *static_cast<bool*>(user) = true;
    return size * count;
}

using Bindings = std::vector<std::pair<std::string, std::string>>;

std::string resolve(const Bindings& bindings, std::string_view prefix)
{
    for (auto it = bindings.rbegin(); it != bindings.rend(); ++it) {
        if (it->first == prefix)
            return it->second;
    }
    return {};
}

void convert(const pugi::xml_node& node, Bindings& bindings, Element& out)
{
    const std::size_t mark = bindings.size();
    for (const pugi::xml_attribute& a : node.attributes()) {
        const std::string name = a.name();
        if (name == "xmlns")
            bindings.emplace_back("", a.value());
        else if (name.starts_with("xmlns:"))
            bindings.emplace_back(name.substr(6), a.value());
        else
            out.attrs.emplace_back(name, a.value());
    }
    out.qualifiedName = node.name();
    const std::size_t colon = out.qualifiedName.find(':');
    out.name = colon == std::string::npos ? out.qualifiedName : out.qualifiedName.substr(colon + 1);
    out.ns = resolve(bindings,
                     colon == std::string::npos ? "" : std::string_view(out.qualifiedName).substr(0, colon));
    for (const pugi::xml_node& c : node.children()) {
        if (c.type() == pugi::node_pcdata)
            out.text += c.value();
        else if (c.type() == pugi::node_element) {
            out.children.emplace_back();
            convert(c, bindings, out.children.back());
        }
    }
    bindings.resize(mark);
}

void gather(const Element& e, std::string_view nsUri, std::string_view local,
            std::vector<const Element*>& out)
{
    if (e.ns == nsUri && e.name == local)
        out.push_back(&e);
    for (const Element& c : e.children)
        gather(c, nsUri, local, out);
}

pugi::xml_node findByNamespace(pugi::xml_node node, Bindings& bindings, std::string_view nsUri,
                               std::string_view local)
{
    const std::size_t mark = bindings.size();
    for (const pugi::xml_attribute& a : node.attributes()) {
        const std::string name = a.name();
        if (name == "xmlns")
            bindings.emplace_back("", a.value());
        else if (name.starts_with("xmlns:"))
            bindings.emplace_back(name.substr(6), a.value());
    }
    const std::string qname = node.name();
    const std::size_t colon = qname.find(':');
    const std::string name = colon == std::string::npos ? qname : qname.substr(colon + 1);
    if (name == local && resolve(bindings, colon == std::string::npos ? "" : qname.substr(0, colon)) == nsUri)
        return node;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (pugi::xml_node found = findByNamespace(c, bindings, nsUri, local))
            return found;
    }
    bindings.resize(mark);
    return {};
}

} // namespace

HttpResult post(const std::string& url, const std::string& body, const HttpOptions& options)
{
    HttpResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.code = CURLE_FAILED_INIT;
        return result;
    }
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
    for (const std::string& h : options.headers)
        headers = curl_slist_append(headers, h.c_str());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, headerSeen);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result.headersSeen);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    if (options.auth) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(curl, CURLOPT_USERNAME, options.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, options.password.c_str());
    }
    if (!options.caFile.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, options.caFile.c_str());
    const auto started = std::chrono::steady_clock::now();
    result.code = curl_easy_perform(curl);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        result.contentType = type;
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result;
}

std::string Element::attr(std::string_view key) const
{
    for (const auto& [k, v] : attrs) {
        if (k == key)
            return v;
    }
    return {};
}

const Element* Element::child(std::string_view nsUri, std::string_view local) const
{
    for (const Element& c : children) {
        if (c.ns == nsUri && c.name == local)
            return &c;
    }
    return nullptr;
}

std::vector<const Element*> Element::all(std::string_view nsUri, std::string_view local) const
{
    std::vector<const Element*> out;
    gather(*this, nsUri, local, out);
    return out;
}

const Element* Element::first(std::string_view nsUri, std::string_view local) const
{
    const auto found = all(nsUri, local);
    return found.empty() ? nullptr : found.front();
}

std::string Element::textOf(std::string_view nsUri, std::string_view local) const
{
    const Element* e = first(nsUri, local);
    return e ? e->text : std::string{};
}

bool parse(const std::string& text, Element& root)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size()) || !doc.document_element())
        return false;
    Bindings bindings;
    root = Element{};
    convert(doc.document_element(), bindings, root);
    return true;
}

std::string schemaFolder()
{
    return testsupport::sharedFolder().toStdString() + "vetis-schemas/";
}

std::string validateFragment(const std::string& answer, std::string_view nsUri, std::string_view local,
                             const std::string& schemaFile)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(answer.data(), answer.size()))
        return "answer is not well-formed";
    Bindings bindings;
    const pugi::xml_node found = findByNamespace(doc.document_element(), bindings, nsUri, local);
    if (!found)
        return "element " + std::string(local) + " not found";
    pugi::xml_document fragment;
    pugi::xml_node copy = fragment.append_copy(found);
    // The declarations in scope, nearest first, unless the element redeclares them.
    std::map<std::string, std::string> scope;
    for (const auto& [prefix, uri] : bindings)
        scope[prefix] = uri;
    for (const auto& [prefix, uri] : scope) {
        const std::string attrName = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
        if (!copy.attribute(attrName.c_str()))
            copy.append_attribute(attrName.c_str()) = uri.c_str();
    }
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/fragment.xml";
    if (!fragment.save_file(file.c_str()))
        return "cannot write " + file;
    QProcess lint;
    lint.setProcessChannelMode(QProcess::MergedChannels);
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                           QString::fromStdString(schemaFile), QString::fromStdString(file)});
    if (!lint.waitForFinished(120000))
        return "xmllint did not finish";
    if (lint.exitStatus() == QProcess::NormalExit && lint.exitCode() == 0)
        return {};
    return lint.readAll().toStdString();
}

std::string registryEnvelope(const std::string& operation, const std::string& content)
{
    return "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:ws=\"http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2\" "
           "xmlns:bs=\"http://api.vetrf.ru/schema/cdm/base\" "
           "xmlns:base=\"http://api.vetrf.ru/schema/cdm/base\" "
           "xmlns:dt=\"http://api.vetrf.ru/schema/cdm/dictionary/v2\" "
           "xmlns:ikar=\"http://api.vetrf.ru/schema/cdm/dictionary/v2\">"
           "<soapenv:Header/><soapenv:Body><ws:" +
           operation + ">" + content + "</ws:" + operation + "></soapenv:Body></soapenv:Envelope>";
}

std::string listOptions(int count, int offset)
{
    return "<bs:listOptions><bs:count>" + std::to_string(count) + "</bs:count><bs:offset>" +
           std::to_string(offset) + "</bs:offset></bs:listOptions>";
}

std::string submitEnvelope(const std::string& apiKey, const std::string& issuer, const std::string& inner)
{
    return "<SOAP-ENV:Envelope xmlns:dt=\"http://api.vetrf.ru/schema/cdm/dictionary/v2\" "
           "xmlns:bs=\"http://api.vetrf.ru/schema/cdm/base\" "
           "xmlns:merc=\"http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2\" "
           "xmlns:apldef=\"http://api.vetrf.ru/schema/cdm/application/ws-definitions\" "
           "xmlns:apl=\"http://api.vetrf.ru/schema/cdm/application\" "
           "xmlns:vd=\"http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2\" "
           "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">\r\n<SOAP-ENV:Header/>\r\n"
           "<SOAP-ENV:Body>\r\n<apldef:submitApplicationRequest>\r\n<apldef:apiKey>" +
           apiKey +
           "</apldef:apiKey>\r\n<apl:application>\r\n<apl:serviceId>mercury-g2b.service:2.1</"
           "apl:serviceId>\r\n"
           "<apl:issuerId>" +
           issuer +
           "</apl:issuerId>\r\n<apl:issueDate>2024-05-15T10:20:30</apl:issueDate>\r\n<apl:data>\r\n" + inner +
           "</apl:data>\r\n</apl:application>\r\n</apldef:submitApplicationRequest>\r\n</SOAP-ENV:Body>\r\n"
           "</SOAP-ENV:Envelope>";
}

std::string receiveEnvelope(const std::string& apiKey, const std::string& issuer, const std::string& id)
{
    return "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:ws=\"http://api.vetrf.ru/schema/cdm/application/ws-definitions\">\r\n<soapenv:Header/>\r\n"
           "<soapenv:Body>\r\n<ws:receiveApplicationResultRequest>\r\n<ws:apiKey>" +
           apiKey + "</ws:apiKey>\r\n<ws:issuerId>" + issuer + "</ws:issuerId>\r\n<ws:applicationId>" + id +
           "</ws:applicationId>\r\n</ws:receiveApplicationResultRequest>\r\n</soapenv:Body>\r\n</"
           "soapenv:Envelope>";
}

std::string vetDocumentListRequest(const std::string& enterprise, int count, int offset,
                                   const std::string& status, const std::string& beginDate,
                                   const std::string& endDate)
{
    std::string inner =
        "<merc:getVetDocumentListRequest>\r\n<merc:localTransactionId>Zanvs_1</merc:localTransactionId>"
        "\r\n<merc:initiator>\r\n<vd:login>user_zarya_1</vd:login>\r\n</merc:initiator>\r\n" +
        listOptions(count, offset) + "\r\n<vd:vetDocumentType>INCOMING</vd:vetDocumentType>\r\n";
    if (!status.empty())
        inner += "<vd:vetDocumentStatus>" + status + "</vd:vetDocumentStatus>\r\n";
    if (!beginDate.empty())
        inner += "<vd:issueDateInterval>\r\n<bs:beginDate>" + beginDate +
                 "T00:00:00</bs:beginDate>\r\n<bs:endDate>" + endDate +
                 "T23:59:59</bs:endDate>\r\n</vd:issueDateInterval>\r\n";
    inner +=
        "<dt:enterpriseGuid>" + enterprise + "</dt:enterpriseGuid>\r\n</merc:getVetDocumentListRequest>\r\n";
    return inner;
}

std::string repayRequest(const std::string& vsdUuid, const std::string& consigneeEnterprise,
                         const std::string& volume, const std::string& decision)
{
    return "<merc:processIncomingConsignmentRequest><merc:localTransactionId>Zanvs_2</"
           "merc:localTransactionId>"
           "<merc:initiator><vd:login>user_zarya_1</vd:login></merc:initiator><merc:delivery>"
           "<vd:deliveryDate>2024-05-15T10:20:30</vd:deliveryDate><vd:consignee><dt:enterprise><bs:guid>" +
           consigneeEnterprise + "</bs:guid></dt:enterprise></vd:consignee><vd:consignment><vd:volume>" +
           volume + "</vd:volume></vd:consignment><vd:accompanyingForms><vd:vetCertificate><bs:uuid>" +
           vsdUuid +
           "</bs:uuid></vd:vetCertificate></vd:accompanyingForms></merc:delivery><merc:deliveryFacts>"
           "<vd:vetCertificatePresence>ELECTRONIC</vd:vetCertificatePresence><vd:decision>" +
           decision + "</vd:decision></merc:deliveryFacts></merc:processIncomingConsignmentRequest>";
}

vetissim::SimConfig quickConfig(bool https)
{
    vetissim::SimConfig config;
    config.https = https;
    config.fixtures.vsdCount = 3;
    config.fixtures.bigLocalityStreets = 10;
    return config;
}

const std::string& unitsEnvelope()
{
    static const std::string envelope = registryEnvelope("getUnitListRequest", listOptions(100, 0));
    return envelope;
}

} // namespace simtest
