// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "XmlTree.h"

#include <string>

namespace vetissim {

// The outcome of one operation before it becomes HTTP: the body element of the
// envelope, or a fault.
struct OpResult
{
    XNode body;
    bool fault = false;
};

// soapenv:Envelope with an empty header and the body holding content.
XNode envelope(XNode content);

// A SOAP 1.1 fault as the service writes it: faultcode soapenv:Client or
// soapenv:Server, faultstring, and a detail with one bsdef fault element
// ("incorrectRequestFault", "entityNotFoundFault", "accessDeniedFault",
// "internalServiceFault", "offsetOutOfRangeFault") holding bs:message and
// bs:error with its code attribute.
OpResult soapFault(bool clientFault, const std::string& faultString, const std::string& detailElement,
                   const std::string& message, const std::string& errorCode, Ns detailNs = Ns::BaseWs);

// The text of an answer: the XML declaration and the envelope in the given style.
std::string renderAnswer(OpResult result, PrefixStyle style);

} // namespace vetissim
