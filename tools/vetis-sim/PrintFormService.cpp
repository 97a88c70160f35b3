// SPDX-License-Identifier: LicenseRef-Kestrom
#include "PrintFormService.h"
#include "ReceivedHead.h"

#include <httplib.h>

#include <cstdio>
#include <vector>

namespace vetissim {
namespace {

constexpr const char* kPrintAction = "printVetDocumentByUuid";

// The page the operator interface shows to a visitor it does not know.
constexpr const char* kLoginPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>Меркурий</title></head>"
    "<body><form method=\"post\" action=\"/pub/operatorui\"><h1>Вход в систему</h1>"
    "<input name=\"j_username\"><input name=\"j_password\" type=\"password\">"
    "<button type=\"submit\">Войти</button></form></body></html>\n";

// A text as a PDF literal string: parentheses and backslashes escaped,
// anything outside printable ASCII left out.
std::string pdfLiteral(std::string_view text)
{
    std::string out = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        if (c >= 0x20 && c < 0x7f)
            out += c;
    }
    return out + ")";
}

std::string xrefOffset(std::size_t offset)
{
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    return line;
}

} // namespace

std::string onePagePdf(const std::vector<std::string>& lines)
{
    std::string content = "BT\n/F1 14 Tf\n72 770 Td\n18 TL\n";
    for (const std::string& line : lines)
        content += pdfLiteral(line) + " Tj T*\n";
    content += "ET\n";

    const std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R >> >> "
        "/Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets)
        pdf += xrefOffset(offset);
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

void answerPrintForm(const httplib::Request& request, httplib::Response& response,
                     const PrintFormAccess& access)
{
    ReceivedRequest received = receivedHead(request);
    received.operation = request.get_param_value("_action");

    const std::string uuid = request.get_param_value("uuid");
    bool known = false;
    {
        const std::lock_guard lock(access.mutex);
        known = access.store.vsd(uuid) != nullptr;
    }
    if (!access.authorized(received.authorization)) {
        response.status = 200;
        response.set_content(kLoginPage, "text/html;charset=UTF-8");
    } else if (received.operation != kPrintAction || request.get_param_value("_language") != "ru") {
        response.status = 400;
        response.set_content("unknown action", "text/plain");
    } else if (!known) {
        response.status = 404;
        response.set_content("no VSD " + uuid, "text/plain");
    } else {
        response.status = 200;
        response.set_header("Content-Disposition", "inline; filename=\"" + uuid + ".pdf\"");
        response.set_content(onePagePdf({"Veterinary accompanying document", "UUID " + uuid}),
                             "application/pdf");
    }
    received.status = response.status;
    const std::lock_guard lock(access.mutex);
    access.log.add(std::move(received));
}

} // namespace vetissim
