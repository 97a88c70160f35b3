// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/WalkerAnswerReader.h"

#include "responses/ResponseList.h"
#include "responses/ResponseWalker.h"

namespace responses {

vetis::AnswerReading WalkerAnswerReader::readAnswer(const vetis::AnswerDocument& answer,
                                                    vetis::RequestRecord& request)
{
    ReadResult read = WalkAnswer(answer, request);
    return {read.entries, std::move(read.description)};
}

void WalkerAnswerReader::clearList(ResponseList& list)
{
    list.clear();
}

} // namespace responses
