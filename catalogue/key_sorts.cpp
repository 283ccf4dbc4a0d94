#include "catalogue/key_sorts.h"

#include <algorithm>
#include <new>
#include <utility>

#include "catalogue/file_record.h"
#include "catalogue/no_case_sort.h"

namespace tidemark::catalogue {

namespace {

// How many leading entries a count covers; 0xFFFF means every entry (kWholeList does anyway).
std::size_t SortLength(std::uint32_t count, std::size_t keys, std::size_t indices) {
    const std::size_t whole = std::min(keys, indices);
    return count == kWholeList16 ? whole : std::min<std::size_t>(count, whole);
}

// std::stable_sort gives exactly what a bubble sort that only exchanges strictly greater
// neighbours gives: ascending, equal keys in their original order.
template <typename Key, typename Less>
int SortKeys(std::vector<Key>& keys, std::vector<std::uint32_t>& indices, std::uint32_t count,
             Less less) {
    const std::size_t n = SortLength(count, keys.size(), indices.size());
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
    const std::size_t n = SortLength(count, keys.size(), indices.size());
    if (n < 2) {
        return kOk;
    }
    try {
        std::vector<NoCaseSortEntry> entries(n);
        for (std::uint32_t k = 0; k < n; ++k) {
            entries[k] = {NoCasePrefix(keys[k]), k};
        }
        StableSortNoCase(entries, [&keys](std::uint32_t k) { return keys[k]; });
        std::vector<std::string_view> sortedKeys(n);
        std::vector<std::uint32_t> sortedIndices(n);
        for (std::size_t k = 0; k < n; ++k) {
            sortedKeys[k] = keys[entries[k].position];
            sortedIndices[k] = indices[entries[k].position];
        }
        std::copy(sortedKeys.begin(), sortedKeys.end(), keys.begin());
        std::copy(sortedIndices.begin(), sortedIndices.end(), indices.begin());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
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
