// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/Exchange.h"

// The response walker as the exchange sees it: the program gives every
// exchange this reader, so that answers fill the request's response lists.
// The exchange has parsed and checked the answer; the walker only walks it.
namespace responses {

class WalkerAnswerReader final : public vetis::AnswerReader
{
public:
    [[nodiscard]] vetis::AnswerReading readAnswer(const vetis::AnswerDocument& answer,
                                                  vetis::RequestRecord& request) override;
    void clearList(ResponseList& list) override;
};

} // namespace responses
