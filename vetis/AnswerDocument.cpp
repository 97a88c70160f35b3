// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/AnswerDocument.h"

#include "platform/CodePage.h"
#include "vetis/AnswerText.h"
#include "vetis/ApplicationAnswer.h"
#include "vetis/Endpoints.h"
#include "vetis/XmlNames.h"

#include <cstdio>
#include <new>
#include <string_view>

namespace vetis {

namespace {

// Text children are kept apart from elements; whitespace-only text between
// elements is dropped, so an empty element has no text child. The text that
// is an element's first child is kept in the element itself
// (parse_embed_pcdata), which halves the nodes of a typical answer. As a
// fragment, text and elements beside the root are kept, so that they can be
// refused; a document type declaration is kept for the same reason.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_embed_pcdata | pugi::parse_fragment | pugi::parse_doctype;

const char* parserReason(pugi::xml_parse_status status)
{
    switch (status) {
    case pugi::status_unrecognized_tag:
        return "нераспознанный тег";
    case pugi::status_bad_pi:
        return "ошибка в объявлении XML или инструкции обработки";
    case pugi::status_bad_comment:
        return "ошибка в комментарии";
    case pugi::status_bad_cdata:
        return "ошибка в разделе CDATA";
    case pugi::status_bad_doctype:
        return "ошибка в объявлении типа документа";
    case pugi::status_bad_pcdata:
        return "ошибка в тексте";
    case pugi::status_bad_start_element:
        return "ошибка в начальном теге";
    case pugi::status_bad_attribute:
        return "ошибка в атрибуте";
    case pugi::status_bad_end_element:
        return "ошибка в конечном теге";
    case pugi::status_end_element_mismatch:
        return "конечный тег не соответствует начальному, или ответ оборван";
    default:
        return "ответ не разобран";
    }
}

constexpr const char* kDocumentTypeRefused =
    "Ответ сервиса содержит объявление типа документа (DOCTYPE); такие ответы не принимаются.";

// A name from the answer fit for a message.
std::string shown(std::string_view name)
{
    std::string out(name.substr(0, 60));
    if (name.size() > 60)
        out += "...";
    return out;
}

} // namespace

std::string sizeForMessage(std::size_t bytes)
{
    constexpr std::size_t kKiB = 1024;
    constexpr std::size_t kMiB = 1024 * kKiB;
    char text[48];
    if (bytes >= kMiB && bytes % kMiB == 0)
        std::snprintf(text, sizeof text, "%zu МБ", bytes / kMiB);
    else if (bytes >= kMiB)
        std::snprintf(text, sizeof text, "%.1f МБ", static_cast<double>(bytes) / static_cast<double>(kMiB));
    else if (bytes >= kKiB && bytes % kKiB == 0)
        std::snprintf(text, sizeof text, "%zu КБ", bytes / kKiB);
    else
        std::snprintf(text, sizeof text, "%zu байт", bytes);
    return text;
}

std::string tooLargeDescription(std::size_t size, std::size_t maxBytes)
{
    return "Ответ сервиса больше допустимого размера (" + sizeForMessage(maxBytes) + "): в нём " +
           sizeForMessage(size) + ", он не прочитан.";
}

AnswerProblem AnswerDocument::refuse(AnswerProblem problem, std::string description)
{
    m_problem = problem;
    m_description = std::move(description);
    return problem;
}

AnswerProblem AnswerDocument::parse(char* answer, std::size_t size, std::size_t maxBytes)
{
    m_problem = AnswerProblem::None;
    m_description.clear();
    m_document.reset();
    m_text = nullptr;
    m_length = 0;
    try {
        return parseChecked(answer, size, maxBytes);
    } catch (const std::bad_alloc&) {
        // Only the converted copy is allocated outside the parser, which
        // reports its own shortage.
        m_document.reset();
        std::string().swap(m_converted);
        return refuse(AnswerProblem::OutOfMemory,
                      "Не хватило памяти для разбора ответа сервиса (" + sizeForMessage(size) + ").");
    }
}

AnswerProblem AnswerDocument::parseChecked(char* answer, std::size_t size, std::size_t maxBytes)
{
    if (size > maxBytes)
        return refuse(AnswerProblem::TooLarge, tooLargeDescription(size, maxBytes));
    const TextCheck encoding = detectEncoding(std::string_view(answer, size));
    if (!encoding.ok())
        return refuse(AnswerProblem::BadText, encoding.description);
    m_text = answer + encoding.bomLength;
    m_length = size - encoding.bomLength;
    const std::string_view raw(m_text, m_length);
    switch (encoding.encoding) {
    case AnswerEncoding::Utf8:
        break;
    case AnswerEncoding::Windows1251:
        m_converted = platform::cp1251ToUtf8(raw);
        break;
    case AnswerEncoding::Utf16Le:
    case AnswerEncoding::Utf16Be:
        if (std::size_t faultAt = 0;
            !utf16ToUtf8(raw, encoding.encoding == AnswerEncoding::Utf16Be, m_converted, faultAt))
            return refuse(AnswerProblem::BadText,
                          "Ответ сервиса не является правильным текстом UTF-16 (байт " +
                              std::to_string(faultAt + encoding.bomLength) + ").");
        break;
    }
    if (encoding.encoding != AnswerEncoding::Utf8) {
        m_text = m_converted.data();
        m_length = m_converted.size();
    }
    if (const TextCheck text = checkUtf8Text(std::string_view(m_text, m_length)); !text.ok()) {
        if (text.documentType)
            return refuse(AnswerProblem::DocumentType, kDocumentTypeRefused);
        return refuse(AnswerProblem::BadText, text.description);
    }

    const pugi::xml_parse_result parsed =
        m_document.load_buffer_inplace(m_text, m_length, kParseOptions, pugi::encoding_utf8);
    if (parsed.status == pugi::status_out_of_memory)
        return refuse(AnswerProblem::OutOfMemory,
                      "Не хватило памяти для разбора ответа сервиса (" + sizeForMessage(size) + ").");
    if (!parsed)
        return refuse(AnswerProblem::NotWellFormed, "Ответ сервиса не является правильным XML-документом: " +
                                                        std::string(parserReason(parsed.status)) + " (байт " +
                                                        std::to_string(parsed.offset) + ").");
    return checkTree();
}

AnswerProblem AnswerDocument::checkTree()
{
    pugi::xml_node root;
    for (pugi::xml_node n = m_document.first_child(); n; n = n.next_sibling()) {
        switch (n.type()) {
        case pugi::node_element:
            if (root)
                return refuse(AnswerProblem::NotOneDocument,
                              "Ответ сервиса содержит больше одного корневого элемента (второй — «" +
                                  shown(n.name()) + "»).");
            root = n;
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            return refuse(AnswerProblem::NotOneDocument,
                          "Ответ сервиса содержит текст вне корневого элемента.");
        case pugi::node_doctype:
            return refuse(AnswerProblem::DocumentType, kDocumentTypeRefused);
        default:
            break; // comments and processing instructions are not kept
        }
    }
    if (!root)
        return refuse(AnswerProblem::Empty, "Ответ сервиса пуст: в нём нет ни одного элемента.");
    if (localName(root.name()) != "Envelope" || namespaceOf(root) != ns::soapEnvelope)
        return refuse(AnswerProblem::NotSoapEnvelope,
                      "Ответ сервиса не является SOAP-конвертом: корневой элемент «" + shown(root.name()) +
                          "».");
    if (const std::optional<SoapFault> fault = findSoapFault(m_document))
        return refuse(AnswerProblem::SoapFault, soapFaultMessage(*fault));
    return AnswerProblem::None;
}

} // namespace vetis
