#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "catalogue/file_catalogue.h"

namespace tidemark::catalogue {
namespace {

using List = std::vector<std::uint32_t>;

TEST(QuickSortDWordArray, SortsTheGivenPositionsOnly) {
    const struct {
        List list;
        std::int32_t lo, hi;
        List sorted;
    } cases[] = {
        {{5, 3, 5, 1, 0}, 0, 4, {0, 1, 3, 5, 5}},
        {{7}, 0, 0, {7}},
        {{9, 4, 1}, 1, 1, {9, 4, 1}},
        {{9, 4, 1}, 2, 0, {9, 4, 1}},
        {{9, 8, 7, 6, 5}, 1, 3, {9, 6, 7, 8, 5}},
        {{2, 1}, 0, 1, {1, 2}},
        {{0xFFFFFFFF, 0x80000000, 40000, 0}, 0, 3, {0, 40000, 0x80000000, 0xFFFFFFFF}},
        {{}, 0, -1, {}},
    };
    for (const auto& c : cases) {
        List list = c.list;
        QuickSortDWordArray(list, c.lo, c.hi);
        EXPECT_EQ(list, c.sorted);
    }
}

TEST(QuickSortDWordArray, LargeListsOfEveryShape) {
    // A million entries: the shapes that drive a first-entry pivot to one side of the range on
    // every step must neither overflow the stack nor take quadratic time.
    constexpr std::uint32_t kCount = 1'000'000;
    std::mt19937 random(7);
    List ascending(kCount);
    std::iota(ascending.begin(), ascending.end(), 0U);
    List descending(ascending.rbegin(), ascending.rend());
    List equal(kCount, 42);
    List nearlySorted = ascending;
    nearlySorted.back() = 0;
    List organPipe(kCount);
    for (std::uint32_t k = 0; k < kCount; ++k) {
        organPipe[k] = k < kCount / 2 ? k : kCount - k;
    }
    List shuffled(ascending.begin(), ascending.begin() + 200'000);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    List fewValues(200'000);
    for (auto& v : fewValues) {
        v = random() % 3;
    }

    for (List* list :
         {&ascending, &descending, &equal, &nearlySorted, &organPipe, &shuffled, &fewValues}) {
        List expected = *list;
        std::sort(expected.begin(), expected.end());
        QuickSortDWordArray(*list, 0, static_cast<std::int32_t>(list->size()) - 1);
        EXPECT_EQ(*list, expected);
    }
}

}  // namespace
}  // namespace tidemark::catalogue
