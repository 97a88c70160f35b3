// SPDX-License-Identifier: LicenseRef-Kestrom
// Everything the exchange reads out of an answer of the VSD list application
// (the application fields and the lists) takes time in proportion to the
// answer, however many namespace declarations are in scope. Reading the
// application fields resolved every element's prefix through all its
// ancestors: minutes for these answers. No time is asserted here: the CTest
// entry integration_namespace_scaling runs these tests alone under a
// 60-second time-out in a build without the sanitizers
// (tests/integration/CMakeLists.txt), which a quadratic reading overruns.
#include "AnswerGenerator.h"
#include "responses/VsdList.h"
#include "responses/WalkerAnswerReader.h"
#include "store/RecordText.h"
#include "vetis/AnswerDocument.h"
#include "vetis/ApplicationAnswer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kElements = 400000;

} // namespace

TEST(AnswerScaling, ApplicationFieldsAndListsOfAnswersWithManyDeclarations)
{
    // The nested elements bear the names of the application's elements, in
    // another namespace: each one's namespace must be found.
    for (const std::string& answer : {bench::generateNestedDeclarations(kElements, "status"),
                                      bench::generateWideDeclarations(kElements)}) {
        // As the exchange reads them: parsed and checked once, then the
        // application fields and the lists read from that document.
        std::string consumed = answer;
        vetis::AnswerDocument document;
        ASSERT_EQ(document.parse(consumed.data(), consumed.size(), consumed.size()),
                  vetis::AnswerProblem::None)
            << document.description();
        const vetis::ApplicationFields fields = vetis::readApplicationFields(document.document());
        EXPECT_FALSE(fields.complete); // no application in it
        EXPECT_EQ(fields.status, "");
        // The text, parsed for itself.
        EXPECT_EQ(vetis::readApplicationFields(answer).status, "");

        responses::TypedList<responses::VsdRow> vsds;
        vetis::RequestRecord request;
        store::setZText(request.ROWTAG, "vd:vetDocument");
        request.lists[0] = &vsds;
        responses::WalkerAnswerReader reader;
        const vetis::AnswerReading reading = reader.readAnswer(document, request);
        EXPECT_EQ(reading.entries, 1) << reading.problem;
        ASSERT_EQ(vsds.count(), 1u);
        EXPECT_EQ(store::textOf(vsds[0].UUID), bench::kDeclarationShapesUuid);
    }
}
