// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/Exchange.h"

// The response walker as the exchange sees it: the program gives every
// exchange this reader, so that answers fill the request's response lists.
namespace responses {

class WalkerAnswerReader final : public vetis::AnswerReader
{
public:
    int readAnswer(std::string& answerUtf8, vetis::RequestRecord& request) override;
    void clearList(ResponseList& list) override;
};

} // namespace responses
