#include "catalogue/key_sorts.h"

#include <algorithm>
#include <new>
#include <utility>

#include "catalogue/file_record.h"
#include "platform/text.h"

namespace tidemark::catalogue {

namespace {

// std::stable_sort gives exactly what a bubble sort that only exchanges strictly greater
// neighbours gives: ascending, equal keys in their original order.
template <typename Key, typename Less>
int SortKeys(std::vector<Key>& keys, std::vector<std::uint32_t>& indices, std::uint32_t count,
             Less less) {
    const std::size_t n = std::min<std::size_t>({count, keys.size(), indices.size()});
    if (n < 2) {
        return kOk;
    }
    try {
        std::vector<std::pair<Key, std::uint32_t>> pairs;
        pairs.reserve(n);
        for (std::size_t k = 0; k < n; ++k) {
            pairs.emplace_back(keys[k], indices[k]);
        }
        std::stable_sort(pairs.begin(), pairs.end(),
                         [&less](const auto& a, const auto& b) { return less(a.first, b.first); });
        for (std::size_t k = 0; k < n; ++k) {
            keys[k] = pairs[k].first;
            indices[k] = pairs[k].second;
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

}  // namespace

int SortTextKeys(std::vector<std::string_view>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count) {
    return SortKeys(keys, indices, count, [](std::string_view a, std::string_view b) {
        return platform::NoCaseCompare(a, b) < 0;
    });
}

int SortSizeKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count) {
    return SortKeys(keys, indices, count, std::less<std::uint64_t>());
}

int SortTimeKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count) {
    return SortKeys(keys, indices, count, std::less<std::uint64_t>());
}

}  // namespace tidemark::catalogue
