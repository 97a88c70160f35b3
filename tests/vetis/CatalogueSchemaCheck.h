// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// Validates the operation element of a SOAP envelope against the official VetIS
// schemas. The SOAP envelope itself has no schema of its own: the body's first
// element is copied into a document of its own (with the namespace declarations
// it uses) and validated against the schema set that declares it.
namespace schemacheck {

enum class SchemaSet
{
    Registry,    // registry_ws_definitions (dictionaries, Ikar, products, entities)
    Application, // application_ws_definitions + mercury_g2b_applications
};

struct Result
{
    bool parsed = false; // the envelope is well-formed and has a body element
    bool valid = false;
    std::string operation; // local name of the validated element
    std::string errors;    // the validator's messages, one per line
};

Result validateEnvelope(std::string_view envelope, SchemaSet set);

} // namespace schemacheck
