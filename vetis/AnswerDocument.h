// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

// An answer of the VetIS services parsed and checked before anything is
// read from it: no larger than the limit, in an encoding the program reads
// (Windows-1251 converted to UTF-8), valid UTF-8 without unknown entities,
// one well-formed document without a document type declaration whose only
// root element is a SOAP 1.1 Envelope, and no SOAP Fault. Whatever fails
// gets a description in Russian that names what was wrong. The exchange
// checks every answer of status 200 here, once; the application fields and
// the response lists are then read from the checked document.
namespace vetis {

enum class AnswerProblem : std::uint8_t
{
    None,
    TooLarge,           // longer than the limit (nothing was parsed)
    BadText,            // unknown encoding, invalid UTF-8, an unknown entity
    NotWellFormed,      // the parser's refusal
    Empty,              // no element at all
    NotOneDocument,     // several root elements, or text beside the root
    DocumentType,       // a DOCTYPE (no entity is ever expanded)
    NotSoapEnvelope,    // the root is no SOAP 1.1 Envelope
    SoapFault,          // the service answered with a Fault
    BadPagingAttribute, // count, offset or total not an integer 0..2^31-1 (found while reading)
    OutOfMemory,        // memory ran out while reading
};

class AnswerDocument
{
public:
    // Parses the answer in place (its bytes are changed, and must outlive
    // the document), or a converted copy of it when it is declared
    // Windows-1251 or comes in UTF-16. Memory running out is a refusal
    // (OutOfMemory), never an exception.
    AnswerProblem parse(char* answer, std::size_t size, std::size_t maxBytes);

    // The parsed tree; read it only when the answer passed.
    const pugi::xml_document& document() const { return m_document; }
    // The answer bytes the document's strings lie in (names and texts may be
    // read up to the end).
    const char* textBegin() const { return m_text; }
    const char* textEnd() const { return m_text + m_length; }

    AnswerProblem problem() const { return m_problem; }
    bool passed() const { return m_problem == AnswerProblem::None; }
    // UTF-8, Russian; empty when the answer passed.
    const std::string& description() const { return m_description; }

private:
    AnswerProblem refuse(AnswerProblem problem, std::string description);
    AnswerProblem parseChecked(char* answer, std::size_t size, std::size_t maxBytes);
    AnswerProblem checkTree();

    pugi::xml_document m_document;
    std::string m_converted; // the answer in UTF-8, when it came in Windows-1251
    char* m_text = nullptr;
    std::size_t m_length = 0;
    AnswerProblem m_problem = AnswerProblem::None;
    std::string m_description;
};

// "256 МБ", "64 КБ": a size for a message.
std::string sizeForMessage(std::size_t bytes);
// Why an answer of `size` bytes is refused when at most maxBytes are read.
std::string tooLargeDescription(std::size_t size, std::size_t maxBytes);

} // namespace vetis
