// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "FixtureStore.h"
#include "RequestLog.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace vetissim {

// The path of Mercury's operator interface that prints a VSD.
inline constexpr const char* kPrintFormPath = "/pub/operatorui";

// What the print form needs of the simulator: its credential check, its
// fixture VSDs and its request log, both under its lock.
struct PrintFormAccess
{
    std::function<bool(const std::string& authorization)> authorized;
    std::mutex& mutex;
    const FixtureStore& store;
    RequestLog& log;
};

// GET /pub/operatorui?_language=ru&_action=printVetDocumentByUuid&uuid=UUID,
// as the operator interface answers it: the print form of a VSD the fixtures
// hold as a one-page PDF document that names its UUID; 404 for a UUID it does
// not hold, 400 for another action. Like the real interface it answers a
// request without the right HTTP Basic credentials with its HTML login page
// and status 200, not with 401. Every request is logged.
void answerPrintForm(const httplib::Request& request, httplib::Response& response,
                     const PrintFormAccess& access);

// A small valid PDF document of one A4 page showing the lines (ASCII).
std::string onePagePdf(const std::vector<std::string>& lines);

} // namespace vetissim
