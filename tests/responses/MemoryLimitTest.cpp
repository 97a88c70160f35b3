// SPDX-License-Identifier: LicenseRef-Kestrom
// Answers too large for memory end as refused answers with a message, never
// as an exception that ends the program: an answer above the size limit is
// not parsed at all, and memory running out while the document is built or
// the lists grow gives back what the read had put in.
#include "AnswerGenerator.h"
#include "WalkerFixtures.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>

using namespace responses;
using namespace walkertest;

namespace {

std::string generated(int documents)
{
    bench::AnswerOptions options;
    options.documents = documents;
    options.indented = false;
    return bench::generateVsdAnswer(options);
}

// pugixml's allocations fail after a number of them, for one test.
long g_allocationsLeft = -1;
void* failingAllocate(std::size_t size)
{
    if (g_allocationsLeft == 0)
        return nullptr;
    if (g_allocationsLeft > 0)
        --g_allocationsLeft;
    return std::malloc(size);
}

class ParserAllocations
{
public:
    explicit ParserAllocations(long allowed)
    {
        g_allocationsLeft = allowed;
        pugi::set_memory_management_functions(failingAllocate, std::free);
    }
    ~ParserAllocations()
    {
        pugi::set_memory_management_functions(std::malloc, std::free);
        g_allocationsLeft = -1;
    }
};

} // namespace

TEST(AnswerSizeLimit, ALongerAnswerIsRefusedBeforeItIsParsed)
{
    const std::string answer = generated(3);
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        VsdListSet set;
        std::string buffer = answer;
        const ReadResult refused =
            inPlace ? ReadAnswerInPlace(buffer.data(), buffer.size(), set.request, nullptr, answer.size() - 1)
                    : ReadAnswer(answer, set.request, nullptr, answer.size() - 1);
        EXPECT_EQ(refused.problem, AnswerProblem::TooLarge);
        EXPECT_EQ(refused.entries, kUnparsableAnswer);
        EXPECT_NE(refused.description.find("Ответ сервиса больше допустимого размера"), std::string::npos)
            << refused.description;
        EXPECT_EQ(buffer, answer) << "an answer parsed in place would have been changed";
        EXPECT_EQ(set.vsd.count(), 0u);

        // At the limit it is read.
        const ReadResult read =
            inPlace ? ReadAnswerInPlace(buffer.data(), buffer.size(), set.request, nullptr, answer.size())
                    : ReadAnswer(answer, set.request, nullptr, answer.size());
        EXPECT_TRUE(read.ok()) << read.description;
        EXPECT_EQ(read.entries, 3);
    }
}

TEST(AnswerSizeLimit, MemoryRunningOutWhileTheListsGrowIsARefusal)
{
    // Lists that hold entries of an earlier answer; the growth of the lists
    // fails at the first, a middle and a late chunk of the next read.
    const std::string earlier = generated(2);
    const std::string answer = generated(40);
    for (const long chunks : {0L, 1L, 7L, 30L}) {
        SCOPED_TRACE(chunks);
        VsdListSet set;
        ASSERT_EQ(set.read(earlier), 2);
        std::vector<std::size_t> before;
        for (const ResponseList* list : set.request.lists)
            before.push_back(list ? list->count() : 0);

        failListGrowthAfter(chunks);
        const ReadResult read = set.readResult(answer);
        failListGrowthAfter(-1);
        EXPECT_EQ(read.problem, AnswerProblem::OutOfMemory);
        EXPECT_EQ(read.entries, kUnparsableAnswer);
        EXPECT_NE(read.description.find("Не хватило памяти"), std::string::npos) << read.description;
        EXPECT_EQ(+set.request.RLOAD, 0);
        for (std::size_t i = 0; i < set.request.lists.size(); ++i) {
            if (set.request.lists[i]) {
                EXPECT_EQ(set.request.lists[i]->count(), before[i]) << set.request.lists[i]->layout().name;
            }
        }

        // The lists work on: the next read goes through.
        EXPECT_EQ(set.read(answer), 40);
        EXPECT_EQ(set.vsd.count(), 42u);
    }
}

TEST(AnswerSizeLimit, MemoryRunningOutWhileTheDocumentIsBuiltIsARefusal)
{
    // Documents of forty VSDs take a few dozen pages of the parser: the
    // allocation fails at the first, the second and a later one.
    const std::string answer = generated(40);
    for (const long allowed : {0L, 1L, 10L}) {
        SCOPED_TRACE(allowed);
        VsdListSet set;
        ReadResult read;
        {
            ParserAllocations failing(allowed);
            read = set.readResult(answer);
        }
        EXPECT_EQ(read.problem, AnswerProblem::OutOfMemory);
        EXPECT_NE(read.description.find("Не хватило памяти"), std::string::npos) << read.description;
        EXPECT_EQ(set.vsd.count(), 0u);
        EXPECT_EQ(set.read(answer), 40);
    }
}
