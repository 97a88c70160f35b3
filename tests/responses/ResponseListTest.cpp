// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"

#include <gtest/gtest.h>

#include <cstring>
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

TEST(ResponseList, JoinedListsKeepTheirRowsInOrder)
{
    // Lists of every size around a chunk's row count joined in a chain, then
    // grown, cut back and grown again.
    const ListLayout& layout = contentsLayout(1);
    const int sizes[] = {0, 1, 2, 5, 7, 8, 9, 15, 16, 17, 40};
    int next = 0;
    for (const int a : sizes)
        for (const int b : sizes) {
            SCOPED_TRACE(std::to_string(a) + "+" + std::to_string(b));
            ResponseList joined(layout);
            std::vector<int> model;
            addRows(joined, model, a, next);
            for (const int part : {b, a, 3}) {
                ResponseList piece(layout);
                std::vector<int> pieceModel;
                addRows(piece, pieceModel, part, next);
                joined.append(std::move(piece));
                EXPECT_EQ(piece.count(), 0u);
                model.insert(model.end(), pieceModel.begin(), pieceModel.end());
                expectRows(joined, model);
            }
            addRows(joined, model, 11, next);
            expectRows(joined, model);
            const std::size_t afterFirst = static_cast<std::size_t>(a) + 1;
            for (const std::size_t keep : {model.size() - 4, afterFirst, std::size_t{1}, std::size_t{0}}) {
                if (keep > model.size())
                    continue;
                joined.truncate(keep);
                model.resize(keep);
                expectRows(joined, model);
                addRows(joined, model, 6, next);
                expectRows(joined, model);
            }
        }
}

TEST(ResponseList, JoinedRowsSortLikeOthers)
{
    const ListLayout& layout = contentsLayout(1);
    ResponseList joined(layout);
    std::vector<int> model;
    int next = 0;
    addRows(joined, model, 5, next);
    ResponseList piece(layout);
    std::vector<int> pieceModel;
    addRows(piece, pieceModel, 23, next);
    joined.append(std::move(piece));
    model.insert(model.end(), pieceModel.begin(), pieceModel.end());
    joined.sortRows([](const std::byte* x, const std::byte* y) {
        int a = 0;
        int b = 0;
        std::memcpy(&a, x, sizeof a);
        std::memcpy(&b, y, sizeof b);
        return a % 4 < b % 4;
    });
    std::stable_sort(model.begin(), model.end(), [](int a, int b) { return a % 4 < b % 4; });
    expectRows(joined, model);
    addRows(joined, model, 9, next);
    expectRows(joined, model);
}
