// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/WalkerAnswerReader.h"

#include "responses/ResponseList.h"
#include "responses/ResponseWalker.h"

namespace responses {

int WalkerAnswerReader::readAnswer(std::string& answerUtf8, vetis::RequestRecord& request)
{
    return ReadAnswerInPlace(answerUtf8.data(), answerUtf8.size(), request);
}

void WalkerAnswerReader::clearList(ResponseList& list)
{
    list.clear();
}

} // namespace responses
