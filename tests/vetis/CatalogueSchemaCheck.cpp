// SPDX-License-Identifier: LicenseRef-Kestrom
#include "CatalogueSchemaCheck.h"

#include "support/TestSupport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>
#include <memory>

namespace schemacheck {

namespace {

struct DocFree
{
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct SchemaFree
{
    void operator()(xmlSchema* s) const { xmlSchemaFree(s); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;
using SchemaPtr = std::unique_ptr<xmlSchema, SchemaFree>;

void collectError(void* context, const xmlError* error)
{
    auto* text = static_cast<std::string*>(context);
    if (error && error->message) {
        *text += "line " + std::to_string(error->line) + ": " + error->message;
        if (!text->empty() && text->back() != '\n')
            *text += '\n';
    }
}

void structuredError(void* context, xmlErrorPtr error)
{
    collectError(context, error);
}

std::string schemaFolder()
{
    return testsupport::sharedFolder().toStdString() + "vetis-schemas/";
}

// The schema sets are compiled once per process.
xmlSchema* compile(SchemaSet set)
{
    static SchemaPtr registry;
    static SchemaPtr application;
    SchemaPtr& slot = set == SchemaSet::Registry ? registry : application;
    if (slot)
        return slot.get();
    xmlSchemaParserCtxt* parser = nullptr;
    std::string wrapper;
    if (set == SchemaSet::Registry) {
        const std::string path = schemaFolder() + "2.0-last/registry_ws_definitions_v2.0.xsd";
        parser = xmlSchemaNewParserCtxt(path.c_str());
    } else {
        const std::string folder = schemaFolder() + "2.0-RC-last/";
        wrapper = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                  "<xs:import namespace=\"http://api.vetrf.ru/schema/cdm/application/ws-definitions\" "
                  "schemaLocation=\"file://" +
                  folder +
                  "application_ws_definitions_v1.1.xsd\"/>"
                  "<xs:import namespace=\"http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2\" "
                  "schemaLocation=\"file://" +
                  folder + "mercury_g2b_applications_v2.0.xsd\"/></xs:schema>";
        parser = xmlSchemaNewMemParserCtxt(wrapper.c_str(), static_cast<int>(wrapper.size()));
    }
    if (!parser)
        return nullptr;
    slot.reset(xmlSchemaParse(parser));
    xmlSchemaFreeParserCtxt(parser);
    return slot.get();
}

xmlNode* firstElementChild(xmlNode* node)
{
    for (xmlNode* c = node ? node->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            return c;
    return nullptr;
}

xmlNode* bodyOperation(xmlDoc* doc)
{
    xmlNode* envelope = xmlDocGetRootElement(doc);
    for (xmlNode* c = envelope ? envelope->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && xmlStrEqual(c->name, BAD_CAST "Body"))
            return firstElementChild(c);
    return nullptr;
}

} // namespace

Result validateEnvelope(std::string_view envelope, SchemaSet set)
{
    Result result;
    DocPtr doc(xmlReadMemory(envelope.data(), static_cast<int>(envelope.size()), "envelope.xml", "UTF-8",
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    xmlNode* operation = doc ? bodyOperation(doc.get()) : nullptr;
    if (!operation) {
        result.errors = "not a well-formed SOAP envelope with a body element";
        return result;
    }
    result.parsed = true;
    result.operation = reinterpret_cast<const char*>(operation->name);

    DocPtr own(xmlNewDoc(BAD_CAST "1.0"));
    xmlNode* copy = xmlDocCopyNode(operation, own.get(), 1);
    xmlDocSetRootElement(own.get(), copy);
    xmlReconciliateNs(own.get(), copy);

    xmlSchema* schema = compile(set);
    if (!schema) {
        result.errors = "the schema set did not compile";
        return result;
    }
    xmlSchemaValidCtxt* validator = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(validator, structuredError, &result.errors);
    result.valid = xmlSchemaValidateDoc(validator, own.get()) == 0;
    xmlSchemaFreeValidCtxt(validator);
    return result;
}

} // namespace schemacheck
