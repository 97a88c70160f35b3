// SPDX-License-Identifier: LicenseRef-Kestrom
// Answers with very many namespace declarations in scope must still be read
// in time proportional to their length. A walker that rescanned the bindings
// in scope, or resolved every name again after each declaration, took minutes
// on answers of this size (quadratic); a linear one reads them in well under a
// second. No time is asserted here: the CTest entry responses_namespace_scaling
// runs these tests alone under a 60-second time-out in a build without the
// sanitizers (tests/responses/CMakeLists.txt), which such a walker overruns;
// run under responses_tests they only add a moment.
#include "AnswerGenerator.h"
#include "WalkerFixtures.h"

#include <gtest/gtest.h>

using namespace walkertest;

namespace {

constexpr int kElements = 400000;

} // namespace

TEST(NamespaceScaling, NestedDeclarationsEachOfItsOwnElement)
{
    VsdListSet set;
    ASSERT_EQ(set.read(bench::generateNestedDeclarations(kElements)), 1);
    EXPECT_EQ(t(set.vsd[0].UUID), bench::kDeclarationShapesUuid);
    EXPECT_EQ(+set.request.RCOUNT, 1);
}

TEST(NamespaceScaling, ManyDeclarationsOnOneElementAndOneOnEachChild)
{
    VsdListSet set;
    ASSERT_EQ(set.read(bench::generateWideDeclarations(kElements)), 1);
    EXPECT_EQ(t(set.vsd[0].UUID), bench::kDeclarationShapesUuid);
    EXPECT_EQ(+set.request.RCOUNT, 1);
}
