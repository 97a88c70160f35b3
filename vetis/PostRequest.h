// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/HttpDownload.h"
#include "vetis/TransportSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vetis {

class TransferControl;

// How PostRequest involves the user in its answer.
enum AnswerMode : int
{
    kAnswerSilent = 0,  // never shows answers or transport errors
    kAnswerOnError = 1, // shows answers whose status is not 200, and transport errors
    kAnswerAlways = 2   // shows every answer, and transport errors
};

// Verbs of PostRequest; any other value sends a plain GET.
enum RequestVerb : int
{
    kVerbPut = 1,
    kVerbPost = 2,
    kVerbDelete = 3
};

// One HTTP exchange: sends body ("Content-Type: text/xml; charset=utf-8")
// to url with the verb, HTTP Basic authentication when a user or password is
// given, and collects the answer. status receives the HTTP status (0 when no
// answer came). The result is the answer (empty after a transport error), or
// nothing when the request could not be prepared. outcome, when given,
// receives the libcurl result code, so that a cancel can be told from a failure.
[[nodiscard]] std::optional<std::string>
PostRequest(const std::string* body, int verb, int answerMode, std::int32_t& status, TransferControl* control,
            std::string_view url, std::string_view user, std::string_view password,
            const TransportSettings& settings = {}, TransferOutcome* outcome = nullptr);

} // namespace vetis
