#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "catalogue/file_catalogue.h"

namespace tidemark::catalogue {

namespace {

// Moves the pivot (the first entry) to its final place and returns that place: entries before
// it are smaller than the pivot, entries after it are not.
std::int32_t Partition(std::uint32_t* a, std::int32_t lo, std::int32_t hi) {
    const std::uint32_t pivot = a[lo];
    std::int32_t i = lo;
    std::int32_t j = hi;
    while (i < j) {
        while (i < j && a[j] >= pivot) {
            --j;
        }
        if (i < j) {
            a[i] = a[j];
            ++i;
        }
        while (i < j && a[i] <= pivot) {
            ++i;
        }
        if (i < j) {
            a[j] = a[i];
            --j;
        }
    }
    a[i] = pivot;
    return i;
}

// The first entry as pivot degrades to quadratic time on sorted lists and on long runs of
// equal entries. The result of a sort is unique, so once a range has been partitioned more
// often than a balanced sort would need, it is finished by std::sort instead; and the smaller
// side is the one recursed into, which bounds the stack depth by log2 of the count.
void Sort(std::uint32_t* a, std::int32_t lo, std::int32_t hi, int budget) {
    while (lo < hi) {
        if (budget-- <= 0) {
            std::sort(a + lo, a + hi + 1);
            return;
        }
        const std::int32_t i = Partition(a, lo, hi);
        if (i - lo < hi - i) {
            Sort(a, lo, i - 1, budget);
            lo = i + 1;
        } else {
            Sort(a, i + 1, hi, budget);
            hi = i - 1;
        }
    }
}

}  // namespace

void QuickSortDWordArray(std::vector<std::uint32_t>& list, std::int32_t lo, std::int32_t hi) {
    if (lo < 0 || lo >= hi || hi >= static_cast<std::int64_t>(list.size())) {
        return;
    }
    const auto count = static_cast<std::uint32_t>(hi - lo + 1);
    const int budget = 2 * std::bit_width(count) + 8;
    Sort(list.data(), lo, hi, budget);
}

}  // namespace tidemark::catalogue
