#pragma once
// The group sorts of the column orders: a key list and a parallel index list, sorted by key,
// ascending and stable (equal keys keep their list order), the indices moved in step.

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace tidemark::catalogue {

// Sorts the whole key list; so does its 16-bit form 0xFFFF, which callers of the old width pass.
inline constexpr std::uint32_t kWholeList = std::numeric_limits<std::uint32_t>::max();
inline constexpr std::uint32_t kWholeList16 = 0xFFFF;

// Text keys compare without regard to "A"-"Z" case (platform::NoCaseCompare).
int SortTextKeys(std::vector<std::string_view>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count = kWholeList);
int SortSizeKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count = kWholeList);
// File times compare as unsigned tick counts.
int SortTimeKeys(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& indices,
                 std::uint32_t count = kWholeList);

}  // namespace tidemark::catalogue
