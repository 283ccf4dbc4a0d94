#include "rename/batch_names.h"

#include <cstddef>
#include <cstring>

#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::rename {
namespace {

// Eight bytes at once with "A"-"Z" folded to "a"-"z"; other bytes (UTF-8 included) unchanged.
std::uint64_t Fold8(std::uint64_t bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::uint64_t low = bytes & ~kHigh;
    const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t aboveZ = low + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t upper = atLeastA & ~aboveZ & ~bytes & kHigh;
    return bytes | (upper >> 2);
}

// The name's bytes in chunks of eight, folded, the last chunk filled with zero bytes.
template <typename Visit>
void ForEachFoldedChunk(std::string_view name, Visit&& visit) {
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, name.data() + i, 8);
        visit(Fold8(chunk));
    }
    if (i < name.size()) {
        std::uint64_t chunk = 0;
        std::memcpy(&chunk, name.data() + i, name.size() - i);
        visit(Fold8(chunk));
    }
}

// Hash and equality of names under the no-case comparison, without building folded copies:
// a preview refresh looks up tens of thousands of names.
struct NoCaseHash {
    std::size_t operator()(std::string_view name) const {
        std::uint64_t hash = name.size() * 0x9E3779B97F4A7C15ULL;
        ForEachFoldedChunk(name, [&hash](std::uint64_t chunk) {
            hash = (hash ^ chunk) * 0xFF51AFD7ED558CCDULL;
            hash ^= hash >> 32;
        });
        return static_cast<std::size_t>(hash);
    }
};
struct NoCaseEq {
    bool operator()(std::string_view a, std::string_view b) const {
        return a.size() == b.size() && platform::NoCaseEqual(a, b);
    }
};

// What one name (no case) stands for in a batch: how many listed entries carry it now, and the
// first taking part row given it as new name.
constexpr std::uint32_t kNoRow = static_cast<std::uint32_t>(-1);
struct NameUse {
    std::uint32_t listed = 0;
    std::uint32_t firstNew = kNoRow;
};

// Names under the no-case comparison in one flat table with linear probing: no allocation per
// name, so a preview refresh of tens of thousands of rows stays cheap. The names are views
// into strings that outlive the table.
class NameTable {
  public:
    explicit NameTable(std::size_t count) {
        std::size_t capacity = 16;
        while (capacity < 2 * count) {
            capacity *= 2;
        }
        slots_.resize(capacity);
        mask_ = capacity - 1;
    }

    NameUse& operator[](std::string_view name) {
        const std::size_t hash = NoCaseHash{}(name);
        const auto check = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.data == nullptr) {
                slot = {name.data(), static_cast<std::uint32_t>(name.size()), check, {}};
                return slot.use;
            }
            if (slot.check == check && NoCaseEq{}({slot.data, slot.size}, name)) {
                return slot.use;
            }
        }
    }

  private:
    // 24 bytes, so that the table of a full folder stays small; names are never empty.
    struct Slot {
        const char* data = nullptr;
        std::uint32_t size = 0;
        std::uint32_t check = 0;  // the hash's high half
        NameUse use;
    };
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

}  // namespace

bool WantsFiles(int tabIndex) {
    return tabIndex != kTabFolders;
}

bool ValidRequest(const RenameRequest& request) {
    if (request.tabIndex == kTabNumber) {
        return request.numbering != nullptr;
    }
    return request.tabIndex >= kTabFiles && request.tabIndex <= kTabFolders &&
           request.rules != nullptr;
}

bool SelectedOnly(const RenameRequest& request) {
    return request.tabIndex == kTabNumber ? request.numbering->Options().SelOnly
                                          : request.rules->Options().SelOnly;
}

void DestinationNames::Add(std::string name) {
    // emplace keeps the first entry of a folded name, the one a front-to-back search meets.
    firstByFolded_.emplace(platform::FoldAscii(name), names_.size());
    names_.push_back(std::move(name));
}

const std::string* DestinationNames::Find(std::string_view name) const {
    const auto found = firstByFolded_.find(platform::FoldAscii(name));
    return found == firstByFolded_.end() ? nullptr : &names_[found->second];
}

std::string NewNameOf(const RenameRequest& page, std::string_view name, bool isFile,
                      std::uint32_t& ordinal) {
    std::string newName(name);
    if (page.tabIndex == kTabNumber) {
        page.numbering->ApplyNumber(newName, ordinal, isFile);
        if (isFile) {
            ++ordinal;
        }
    } else {
        page.rules->ApplyRules(newName, isFile);
    }
    return newName;
}

RowWalk WalkRows(catalogue::FileCatalogue& catalogue, bool selectedOnly, bool wantFiles) {
    RowWalk walk;
    const catalogue::Order* order = catalogue.GetOrder(catalogue.sortKey);
    if (order == nullptr) {
        return walk;
    }
    const catalogue::RecordList& records = catalogue.GetRecords();
    // A custom order is renamed as it stands; "selected only" does not narrow it.
    const bool bySelection = selectedOnly && !catalogue.customOrder;
    // 1 selected, 2 taken by an earlier position.
    std::vector<std::uint8_t> state(records.size(), bySelection ? 0 : 1);
    if (bySelection) {
        for (const std::uint32_t index : catalogue.selection) {
            if (index < records.size()) {
                state[index] = 1;
            }
        }
    }
    walk.records.reserve(order->size());
    walk.takesPart.reserve(order->size());
    for (const std::uint32_t index : *order) {
        if (index >= records.size()) {
            continue;
        }
        const bool takesPart = state[index] == 1 && records[index].isFile == wantFiles;
        if (takesPart) {
            state[index] = 2;
        }
        walk.records.push_back(index);
        walk.takesPart.push_back(takesPart);
    }
    return walk;
}

namespace {

// The batch walk over any store of names: entryOf(record) gives the record's current name and
// whether it is a file.
template <typename EntryOf>
BatchNames NameRows(const RowWalk& walk, const EntryOf& entryOf, const RenameRequest& page,
                    const DestinationNames* destination, const std::stop_token& stop) {
    BatchNames batch;
    batch.rows.resize(walk.records.size());
    for (std::size_t r = 0; r < walk.records.size(); ++r) {
        batch.rows[r].recordIndex = walk.records[r];
        batch.rows[r].renamed = walk.takesPart[r];
    }
    const std::size_t n = batch.rows.size();

    // Each name once (no case), so each new name costs one lookup.
    NameTable names(destination == nullptr ? 2 * n : n);
    if (destination == nullptr) {
        for (const BatchRow& row : batch.rows) {
            ++names[entryOf(row.recordIndex).first].listed;
        }
    }

    const auto mark = [&batch](BatchRow& row, NameClash clash) {
        if (row.clash == NameClash::None) {
            ++batch.clashCount;
        }
        row.clash = clash;
    };
    std::uint32_t ordinal = 0;
    for (std::size_t r = 0; r < n; ++r) {
        if (r % 4096 == 0 && stop.stop_requested()) {
            break;
        }
        BatchRow& row = batch.rows[r];
        const auto [name, isFile] = entryOf(row.recordIndex);
        if (!row.renamed) {
            row.newName = name;
            continue;
        }
        row.newName = NewNameOf(page, name, isFile, ordinal);
        // In place, a name kept byte for byte moves nothing: names that differ only in case
        // already live side by side and stay so. A new name meeting it is still found, as a
        // listed name.
        if (destination == nullptr && row.newName == name) {
            continue;
        }
        const bool firstFound = batch.firstClash == BatchNames::kNone;

        if (const int error = platform::CheckEntryName(row.newName); error != 0) {
            row.error = error;
            mark(row, NameClash::Invalid);
        } else {
            NameUse& use = names[row.newName];
            // A row's own current name does not count against it, so a rename that changes only
            // the letter case goes through.
            const bool own = NoCaseEq{}(name, row.newName);
            if (destination != nullptr ? destination->Find(row.newName) != nullptr
                                       : use.listed > (own ? 1U : 0U)) {
                mark(row, NameClash::Existing);
            }
            const std::uint32_t first = use.firstNew;
            if (first == kNoRow) {
                use.firstNew = static_cast<std::uint32_t>(r);
            } else if (row.clash == NameClash::None) {
                row.other = first;
                mark(row, NameClash::Duplicate);
                BatchRow& earlier = batch.rows[first];
                if (earlier.clash == NameClash::None) {
                    earlier.other = static_cast<std::uint32_t>(r);
                    mark(earlier, NameClash::Duplicate);
                }
            }
        }
        if (firstFound && row.clash != NameClash::None) {
            batch.firstClash = r;
        }
    }
    return batch;
}

}  // namespace

NameSnapshot::NameSnapshot(const catalogue::RecordList& records) {
    std::size_t bytes = 0;
    for (const catalogue::FileRecord& record : records) {
        bytes += record.name.size();
    }
    text_.reserve(bytes);
    ends_.reserve(records.size());
    isFile_.reserve(records.size());
    for (const catalogue::FileRecord& record : records) {
        text_ += record.name;
        ends_.push_back(text_.size());
        isFile_.push_back(record.isFile ? 1 : 0);
    }
}

PageCopy::PageCopy(const RenameRequest& page) : tabIndex_(page.tabIndex) {
    if (page.rules != nullptr) {
        rules_ = *page.rules;
    }
    if (page.numbering != nullptr) {
        numbering_ = *page.numbering;
    }
}

RenameRequest PageCopy::Request() {
    return RenameRequest{.tabIndex = tabIndex_,
                         .rules = rules_ ? &*rules_ : nullptr,
                         .numbering = numbering_ ? &*numbering_ : nullptr};
}

BatchNames WalkBatch(catalogue::FileCatalogue& catalogue, const RenameRequest& page,
                     const DestinationNames* destination) {
    if (!ValidRequest(page)) {
        return {};
    }
    const RowWalk walk = WalkRows(catalogue, SelectedOnly(page), WantsFiles(page.tabIndex));
    const catalogue::RecordList& records = catalogue.GetRecords();
    return NameRows(walk,
                    [&records](std::uint32_t record) {
                        return std::pair<std::string_view, bool>(records[record].name,
                                                                 records[record].isFile);
                    },
                    page, destination, {});
}

BatchNames WalkBatch(const NameSnapshot& names, const RowWalk& walk, const RenameRequest& page,
                     const DestinationNames* destination, std::stop_token stop) {
    if (!ValidRequest(page)) {
        return {};
    }
    return NameRows(
        walk,
        [&names](std::uint32_t record) {
            return std::pair<std::string_view, bool>(names.Name(record), names.IsFile(record));
        },
        page, destination, stop);
}

}  // namespace tidemark::rename
