// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <string_view>

namespace vetissim {

// The namespaces the VetIS services speak. Elements are told apart by these,
// never by the prefix a message happens to use.
enum class Ns : std::uint8_t
{
    None,    // unqualified (faultcode, faultstring, detail)
    Soap,    // SOAP 1.1 envelope
    Base,    // bs
    Dict,    // dt
    VetDoc,  // vd
    Merc,    // merc: g2b applications
    Apl,     // apl: application
    AplWs,   // apldef: application ws-definitions
    RegWs,   // registry ws-definitions (v2:)
    BaseWs,  // bsdef: faults
    Unknown, // any other namespace of an incoming message
    Count
};

std::string_view namespaceUri(Ns ns);
// The prefix the schemas' documentation uses: soapenv, bs, dt, vd, merc, apl, apldef, v2, bsdef.
std::string_view usualPrefix(Ns ns);
Ns namespaceFromUri(std::string_view uri);
// Ns for one of the usual prefixes ("bs", "dt", ...); Unknown when it is none of them.
Ns namespaceFromPrefix(std::string_view prefix);

} // namespace vetissim
