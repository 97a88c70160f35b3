// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ApplicationAnswer.h"

#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "vetis/Endpoints.h"
#include "vetis/PrefixBindings.h"
#include "vetis/RequestRecord.h"
#include "vetis/TextConversion.h"
#include "vetis/XmlNames.h"

#include <pugixml.hpp>

#include <cstdint>

namespace vetis {

namespace {

// The first elements of the application namespace that an answer's
// application is read from, in document order: those below the first
// apl:application, or, when there is none, the first anywhere. Found in one
// walk over the document that ends once they are found, each prefix resolved through PrefixBindings
// (vetis/PrefixBindings.h), so that the walk costs the same per element however many
// declarations are in scope.
struct ApplicationElements
{
    pugi::xml_node application;
    pugi::xml_node applicationId;
    pugi::xml_node status;
    pugi::xml_node error;
};

class ApplicationFinder final : public pugi::xml_tree_walker
{
public:
    ApplicationElements found;

    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() != pugi::node_element)
            return true;
        const auto depth = static_cast<std::uint32_t>(this->depth());
        m_bindings.leave(depth);
        if (found.application && depth <= m_applicationDepth)
            return false; // past the first application
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view name = a.name();
            if (name == "xmlns" || name.starts_with("xmlns:"))
                m_bindings.declare(name.substr(name.size() > 5 ? 6 : 5), a.value(), depth);
        }
        const std::string_view name = node.name();
        const std::size_t colon = name.find(':');
        if (m_bindings.resolve(colon == std::string_view::npos ? std::string_view()
                                                               : name.substr(0, colon)) != ns::application)
            return true;
        const std::string_view local = localName(name);
        pugi::xml_node* first = nullptr;
        if (local == "application" && !found.application) {
            found = {};
            found.application = node;
            m_applicationDepth = depth;
        } else if (local == "applicationId") {
            first = &found.applicationId;
        } else if (local == "status") {
            first = &found.status;
        } else if (local == "error") {
            first = &found.error;
        }
        if (first && !*first)
            *first = node;
        // Everything is found: the rest of the application (a result of
        // thousands of VSDs) is not walked.
        return !(found.application && found.applicationId && found.status &&
                 (found.error || std::string_view(found.status.text().get()) != "REJECTED"));
    }

private:
    // Prefix ("" for the default namespace) -> URI.
    PrefixBindings<std::string_view> m_bindings{std::string_view()};
    std::uint32_t m_applicationDepth = 0;
};

std::string textOfElement(const pugi::xml_node& element)
{
    return element.text().get();
}

// The first element child of that local name, when it is of the SOAP
// envelope namespace (its namespace is resolved once).
pugi::xml_node envelopeChild(const pugi::xml_node& parent, std::string_view name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && localName(n.name()) == name)
            return namespaceOf(n) == ns::soapEnvelope ? n : pugi::xml_node();
    return {};
}

// The first child element of that local name, whatever its prefix.
pugi::xml_node childByLocalName(const pugi::xml_node& parent, std::string_view name)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && localName(n.name()) == name)
            return n;
    return {};
}

// A text cut to at most `most` bytes, not inside a UTF-8 sequence, without
// the blanks around it.
std::string trimmedText(std::string_view text, std::size_t most = 500)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (text.size() <= most)
        return std::string(text);
    std::size_t cut = most;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(text.substr(0, cut)) + "...";
}

} // namespace

std::optional<SoapFault> findSoapFault(const pugi::xml_node& document)
{
    pugi::xml_node envelope = document.first_child();
    while (envelope && envelope.type() != pugi::node_element)
        envelope = envelope.next_sibling();
    if (!envelope || localName(envelope.name()) != "Envelope" || namespaceOf(envelope) != ns::soapEnvelope)
        return std::nullopt;
    const pugi::xml_node fault = envelopeChild(envelopeChild(envelope, "Body"), "Fault");
    if (!fault)
        return std::nullopt;
    SoapFault result;
    result.code = trimmedText(childByLocalName(fault, "faultcode").text().get(), 80);
    result.text = trimmedText(childByLocalName(fault, "faultstring").text().get());
    // The first error element with a code below the detail, in document order.
    const pugi::xml_node detail = childByLocalName(fault, "detail");
    const pugi::xml_node error = detail.find_node([](const pugi::xml_node& n) {
        return n.type() == pugi::node_element && localName(n.name()) == "error" && n.attribute("code");
    });
    if (error) {
        if (const std::string code = trimmedText(error.attribute("code").value(), 80); !code.empty())
            result.code = code;
        if (std::string text = trimmedText(textOfElement(error)); text != result.text)
            result.detail = std::move(text);
    }
    return result;
}

std::optional<SoapFault> readSoapFault(std::string_view answerUtf8)
{
    pugi::xml_document document;
    if (!document.load_buffer(answerUtf8.data(), answerUtf8.size(), pugi::parse_default, pugi::encoding_utf8))
        return std::nullopt;
    return findSoapFault(document);
}

std::string soapFaultMessage(const SoapFault& fault)
{
    std::string message = "Сервис Ветис.API сообщил об ошибке:";
    for (const std::string* part : {&fault.code, &fault.text})
        if (!part->empty())
            message += " " + *part;
    if (!fault.detail.empty())
        message += " (" + fault.detail + ")";
    return message;
}

ApplicationFields readApplicationFields(const pugi::xml_node& document)
{
    ApplicationFields fields;
    fields.fault = findSoapFault(document);
    ApplicationFinder finder;
    // traverse() is not const; the node is only a handle to the same tree.
    pugi::xml_node tree = document;
    tree.traverse(finder);
    const ApplicationElements& found = finder.found;
    fields.complete = found.application && !fields.fault;
    fields.appId = FromUtf8(textOfElement(found.applicationId));
    fields.status = FromUtf8(textOfElement(found.status));
    if (fields.status == "REJECTED") {
        const pugi::xml_node error = found.error;
        if (error) {
            const pugi::xml_attribute code = error.attribute("code");
            std::string text = code ? std::string(code.value()) + ": " : std::string();
            text += textOfElement(error);
            fields.error = FromUtf8(text);
        }
    }
    return fields;
}

ApplicationFields readApplicationFields(std::string_view answerUtf8)
{
    pugi::xml_document document;
    // A damaged answer still leaves the part parsed before the damage.
    const bool wellFormed = static_cast<bool>(
        document.load_buffer(answerUtf8.data(), answerUtf8.size(), pugi::parse_default, pugi::encoding_utf8));
    ApplicationFields fields = readApplicationFields(document);
    fields.complete = fields.complete && wellFormed;
    return fields;
}

void storeApplicationFields(const ApplicationFields& fields, RequestRecord& request)
{
    store::setText(request.APPID, fields.appId);
    store::setZText(request.APPSTATUS, fields.status);
    store::setText(request.APPERROR, fields.error);
}

bool extractApplicationFields(std::string_view answerUtf8, RequestRecord& request)
{
    const ApplicationFields fields = readApplicationFields(answerUtf8);
    storeApplicationFields(fields, request);
    return fields.complete;
}

ApplicationStatus applicationStatusOf(std::string_view word)
{
    word = store::clip(word);
    if (word == "ACCEPTED")
        return ApplicationStatus::Accepted;
    if (word == "IN_PROCESS")
        return ApplicationStatus::InProcess;
    if (word == "COMPLETED")
        return ApplicationStatus::Completed;
    if (word == "REJECTED")
        return ApplicationStatus::Rejected;
    return ApplicationStatus::Unknown;
}

std::string_view applicationStatusTextUtf8(ApplicationStatus status)
{
    switch (status) {
    case ApplicationStatus::Accepted:
        return "ПРИНЯТА";
    case ApplicationStatus::InProcess:
        return "В ОБРАБОТКЕ";
    case ApplicationStatus::Completed:
        return "УСПЕХ";
    case ApplicationStatus::Rejected:
        return "ОТКЛОНЕНА";
    case ApplicationStatus::Unknown:
        break;
    }
    return "???";
}

std::string applicationStatusText(ApplicationStatus status)
{
    return platform::utf8ToCp1251(applicationStatusTextUtf8(status));
}

std::string applicationStatusSuffix(ApplicationStatus status)
{
    return " (" + applicationStatusText(status) + ")";
}

} // namespace vetis
