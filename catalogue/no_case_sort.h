#pragma once
// Stable sorting of texts under platform::NoCaseCompare, fast on large lists: each entry
// carries eight folded bytes of its text, so every comparison is one integer comparison on
// contiguous memory, and the texts are read once per eight bytes that entries share.

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tidemark::catalogue {

struct NoCaseSortEntry {
    std::uint64_t prefix = 0;
    std::uint32_t position = 0;
};

// Eight bytes of text from offset with "A"-"Z" folded, big-endian, zero-padded. Ordering these
// agrees with NoCaseCompare wherever they differ: a shorter text's zero padding sorts before
// any byte, as the shorter text itself does (names hold no zero byte).
inline std::uint64_t NoCasePrefix(std::string_view text, std::size_t offset = 0) {
    std::uint64_t prefix = 0;
    for (std::size_t i = offset; i < offset + 8; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        prefix = (prefix << 8) | c;
    }
    return prefix;
}

// Sorts entries ascending by the text at each entry's position (textAt(position)), keeping
// equal texts in their order. Each entry's prefix holds its first eight folded bytes.
// Entries that agree on eight bytes are sorted among themselves by the next eight, and so on:
// names of one folder often share a long beginning ("IMG_2024..."), and comparing whole texts
// would read every record at every comparison.
template <typename TextAt>
void StableSortNoCase(std::vector<NoCaseSortEntry>& entries, const TextAt& textAt) {
    struct Run {
        std::size_t first;
        std::size_t last;
        std::size_t offset;  // bytes of the texts that the prefixes hold now
    };
    const auto byPrefix = [](const NoCaseSortEntry& a, const NoCaseSortEntry& b) {
        return a.prefix < b.prefix;
    };
    std::vector<Run> runs{{0, entries.size(), 0}};
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        const auto begin = entries.begin() + static_cast<std::ptrdiff_t>(run.first);
        std::stable_sort(begin, entries.begin() + static_cast<std::ptrdiff_t>(run.last), byPrefix);
        for (std::size_t i = run.first; i < run.last;) {
            std::size_t j = i + 1;
            bool longer = textAt(entries[i].position).size() > run.offset + 8;
            while (j < run.last && entries[j].prefix == entries[i].prefix) {
                longer = longer || textAt(entries[j].position).size() > run.offset + 8;
                ++j;
            }
            // Equal prefixes of texts that all end within them are equal texts: done.
            if (j - i > 1 && longer) {
                for (std::size_t k = i; k < j; ++k) {
                    entries[k].prefix = NoCasePrefix(textAt(entries[k].position), run.offset + 8);
                }
                runs.push_back({i, j, run.offset + 8});
            }
            i = j;
        }
    }
}

}  // namespace tidemark::catalogue
