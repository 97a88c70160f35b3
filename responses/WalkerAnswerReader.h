// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/Exchange.h"

// The response walker as the exchange sees it: the program gives every
// exchange this reader, so that answers fill the request's response lists.
namespace responses {

class WalkerAnswerReader final : public vetis::AnswerReader
{
public:
    vetis::AnswerReading readAnswer(std::string& answerUtf8, vetis::RequestRecord& request,
                                    std::size_t maxBytes) override;
    void clearList(ResponseList& list) override;
};

} // namespace responses
