// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

using namespace responses;

namespace {

// Each row holds its number in its first and last bytes (and nothing else
// is looked at).
void addRows(ResponseList& list, std::vector<int>& model, int count, int& next)
{
    const std::size_t length = list.layout().recordLength;
    for (int i = 0; i < count; ++i, ++next) {
        std::byte* row = list.nextRow();
        std::memcpy(row, &next, sizeof next);
        std::memcpy(row + length - sizeof next, &next, sizeof next);
        list.commitRow();
        model.push_back(next);
    }
}

void expectRows(const ResponseList& list, const std::vector<int>& model)
{
    ASSERT_EQ(list.count(), model.size());
    const std::size_t length = list.layout().recordLength;
    for (std::size_t i = 0; i < model.size(); ++i) {
        int first = 0;
        int last = 0;
        std::memcpy(&first, list.row(i), sizeof first);
        std::memcpy(&last, list.row(i) + length - sizeof last, sizeof last);
        ASSERT_EQ(first, model[i]) << "row " << i;
        ASSERT_EQ(last, model[i]) << "row " << i;
    }
}

} // namespace

TEST(ResponseList, RowsSurviveGrowingAndCuttingAcrossChunks)
{
    // Lists of every size around a chunk's row count, cut back to sizes on
    // and off a chunk's edge (which gives whole chunks back) and grown again,
    // then sorted.
    const ListLayout& layout = contentsLayout(1);
    const int sizes[] = {0, 1, 2, 5, 7, 8, 9, 15, 16, 17, 40, 100};
    int next = 0;
    for (const int size : sizes) {
        SCOPED_TRACE(size);
        ResponseList list(layout);
        std::vector<int> model;
        addRows(list, model, size, next);
        expectRows(list, model);
        for (const std::size_t keep :
             {model.size() > 4 ? model.size() - 4 : 0, model.size() / 2, std::size_t{1}, std::size_t{0}}) {
            if (keep > model.size())
                continue;
            list.truncate(keep);
            model.resize(keep);
            expectRows(list, model);
            addRows(list, model, 19, next);
            expectRows(list, model);
        }
        ASSERT_TRUE(list.sortRows([](const std::byte* x, const std::byte* y) {
            int a = 0;
            int b = 0;
            std::memcpy(&a, x, sizeof a);
            std::memcpy(&b, y, sizeof b);
            return a % 4 < b % 4;
        }));
        std::stable_sort(model.begin(), model.end(), [](int a, int b) { return a % 4 < b % 4; });
        expectRows(list, model);
        addRows(list, model, 9, next);
        expectRows(list, model);
    }
}

TEST(ResponseList, MemoryRunningOutLeavesEveryRowInPlace)
{
    const ListLayout& layout = contentsLayout(1);
    std::vector<std::byte> record(layout.recordLength, std::byte{0});
    auto recordOf = [&](int number) {
        std::memcpy(record.data(), &number, sizeof number);
        std::memcpy(record.data() + layout.recordLength - sizeof number, &number, sizeof number);
        return record.data();
    };

    // Adding with room for one chunk only: the rows that fit are added, the
    // first that needs more memory is refused and leaves the list as it was.
    ResponseList list(layout);
    std::vector<int> model;
    failListGrowthAfter(1);
    bool refused = false;
    for (int n = 0; n < 100000 && !refused; ++n) {
        if (list.add(recordOf(n)))
            model.push_back(n);
        else
            refused = true;
    }
    failListGrowthAfter(-1);
    ASSERT_TRUE(refused);
    const std::size_t rowsPerChunk = model.size();
    ASSERT_GT(rowsPerChunk, 1u);
    expectRows(list, model);

    // Rows over several chunks, sorted into a copy that runs out of memory at
    // its first, its second and its last chunk: the rows stay, in their order.
    int next = static_cast<int>(model.size());
    addRows(list, model, static_cast<int>(rowsPerChunk * 3 + 1), next);
    const auto chunks = static_cast<long>((model.size() + rowsPerChunk - 1) / rowsPerChunk);
    const auto descending = [](const std::byte* x, const std::byte* y) {
        int a = 0;
        int b = 0;
        std::memcpy(&a, x, sizeof a);
        std::memcpy(&b, y, sizeof b);
        return a > b;
    };
    for (const long allowed : {0L, 1L, chunks - 1}) {
        SCOPED_TRACE(allowed);
        failListGrowthAfter(allowed);
        const bool sorted = list.sortRows(descending);
        failListGrowthAfter(-1);
        EXPECT_FALSE(sorted);
        expectRows(list, model);
    }

    // With memory back, both work.
    ASSERT_TRUE(list.add(recordOf(next)));
    model.push_back(next);
    ASSERT_TRUE(list.sortRows(descending));
    std::sort(model.begin(), model.end(), std::greater<>());
    expectRows(list, model);
}
