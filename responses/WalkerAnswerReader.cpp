// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/WalkerAnswerReader.h"

#include "responses/ResponseList.h"
#include "responses/ResponseWalker.h"

namespace responses {

vetis::AnswerReading WalkerAnswerReader::readAnswer(std::string& answerUtf8, vetis::RequestRecord& request,
                                                    std::size_t maxBytes)
{
    ReadResult read = ReadAnswerInPlace(answerUtf8.data(), answerUtf8.size(), request, nullptr, maxBytes);
    return {read.entries, std::move(read.description)};
}

void WalkerAnswerReader::clearList(ResponseList& list)
{
    list.clear();
}

} // namespace responses
