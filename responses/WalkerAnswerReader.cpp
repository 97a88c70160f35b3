// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/WalkerAnswerReader.h"

#include "responses/ResponseList.h"
#include "responses/ResponseWalker.h"

namespace responses {

int WalkerAnswerReader::readAnswer(std::string_view answerUtf8, vetis::RequestRecord& request)
{
    return ReadAnswer(answerUtf8, request);
}

void WalkerAnswerReader::clearList(ResponseList& list)
{
    list.clear();
}

} // namespace responses
