// SPDX-License-Identifier: LicenseRef-Kestrom
#include "Soap.h"

namespace vetissim {

XNode envelope(XNode content)
{
    XNode env(Ns::Soap, "Envelope");
    env.add(Ns::Soap, "Header");
    env.add(Ns::Soap, "Body").children.push_back(std::move(content));
    return env;
}

OpResult soapFault(bool clientFault, const std::string& faultString, const std::string& detailElement,
                   const std::string& message, const std::string& errorCode, Ns detailNs)
{
    OpResult result;
    result.fault = true;
    XNode fault(Ns::Soap, "Fault");
    fault.add(Ns::None, "faultcode", clientFault ? "{soap}Client" : "{soap}Server");
    fault.add(Ns::None, "faultstring", faultString);
    if (!detailElement.empty()) {
        XNode& info = fault.add(Ns::None, "detail").add(detailNs, detailElement);
        info.add(Ns::Base, "message", message);
        info.add(Ns::Base, "error", message).attr("code", errorCode);
    }
    result.body = std::move(fault);
    return result;
}

std::string renderAnswer(OpResult result, PrefixStyle style)
{
    XNode env(Ns::Soap, "Envelope");
    if (!result.fault)
        env.add(Ns::Soap, "Header");
    env.add(Ns::Soap, "Body").children.push_back(std::move(result.body));
    SerializeOptions options;
    options.style = style;
    // Faults keep the envelope prefix throughout, as the service writes them.
    options.splitEnvelopePrefix = !result.fault;
    return serialize(env, options);
}

} // namespace vetissim
