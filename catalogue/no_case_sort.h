#pragma once
// Stable sorting of texts under platform::NoCaseCompare, fast on large lists: each entry
// carries its first eight folded bytes, so most comparisons are one integer comparison on
// contiguous memory and only entries with equal beginnings look at the texts themselves.

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tidemark::catalogue {

struct NoCaseSortEntry {
    std::uint64_t prefix = 0;
    std::uint32_t position = 0;
};

// The first eight bytes of text with "A"-"Z" folded, big-endian, zero-padded. Ordering these
// agrees with NoCaseCompare wherever they differ: a shorter text's zero padding sorts before
// any byte, as the shorter text itself does.
inline std::uint64_t NoCasePrefix(std::string_view text) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        prefix = (prefix << 8) | c;
    }
    return prefix;
}

// Sorts entries ascending by the text at each entry's position (textAt(position)), keeping
// equal texts in their order.
template <typename TextAt>
void StableSortNoCase(std::vector<NoCaseSortEntry>& entries, const TextAt& textAt) {
    std::stable_sort(entries.begin(), entries.end(),
                     [&textAt](const NoCaseSortEntry& a, const NoCaseSortEntry& b) {
                         if (a.prefix != b.prefix) {
                             return a.prefix < b.prefix;
                         }
                         return platform::NoCaseCompare(textAt(a.position), textAt(b.position)) < 0;
                     });
}

}  // namespace tidemark::catalogue
