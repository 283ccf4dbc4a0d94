#include "rename/batch_names.h"

#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::rename {
namespace {

constexpr unsigned char Fold(char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Hash and equality of names under the no-case comparison, without building folded copies:
// the walk looks up tens of thousands of names per preview refresh.
struct NoCaseHash {
    std::size_t operator()(std::string_view name) const {
        std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
        for (const char ch : name) {
            hash = (hash ^ Fold(ch)) * 1099511628211ULL;
        }
        return static_cast<std::size_t>(hash);
    }
};
struct NoCaseEq {
    bool operator()(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (Fold(a[i]) != Fold(b[i])) {
                return false;
            }
        }
        return true;
    }
};
template <typename Value>
using NoCaseMap = std::unordered_map<std::string_view, Value, NoCaseHash, NoCaseEq>;

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

BatchNames WalkBatch(catalogue::FileCatalogue& catalogue, const RenameRequest& page,
                     const DestinationNames* destination) {
    BatchNames batch;
    if (!ValidRequest(page)) {
        return batch;
    }
    const RowWalk walk = WalkRows(catalogue, SelectedOnly(page), WantsFiles(page.tabIndex));
    const catalogue::RecordList& records = catalogue.GetRecords();
    batch.rows.resize(walk.records.size());
    for (std::size_t r = 0; r < walk.records.size(); ++r) {
        batch.rows[r].recordIndex = walk.records[r];
        batch.rows[r].renamed = walk.takesPart[r];
    }
    const std::size_t n = batch.rows.size();

    // Per name (no case): how many listed entries carry it now, and the first taking part row
    // given it as new name. One table, so each new name costs one lookup.
    constexpr std::uint32_t kNoRow = static_cast<std::uint32_t>(-1);
    struct NameUse {
        std::uint32_t listed = 0;
        std::uint32_t firstNew = kNoRow;
    };
    NoCaseMap<NameUse> names;
    names.reserve(2 * n);
    if (destination == nullptr) {
        for (const BatchRow& row : batch.rows) {
            ++names[records[row.recordIndex].name].listed;
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
        BatchRow& row = batch.rows[r];
        const catalogue::FileRecord& record = records[row.recordIndex];
        if (!row.renamed) {
            row.newName = record.name;
            continue;
        }
        row.newName = NewNameOf(page, record.name, record.isFile, ordinal);
        const bool firstFound = batch.firstClash == BatchNames::kNone;

        if (const int error = platform::CheckEntryName(row.newName); error != 0) {
            row.error = error;
            mark(row, NameClash::Invalid);
        } else {
            const auto use = names.try_emplace(row.newName).first;
            // A row's own current name does not count against it, so a rename that changes only
            // the letter case goes through.
            const bool own = NoCaseEq{}(record.name, row.newName);
            if (destination != nullptr ? destination->Find(row.newName) != nullptr
                                       : use->second.listed > (own ? 1U : 0U)) {
                mark(row, NameClash::Existing);
            }
            const std::uint32_t first = use->second.firstNew;
            if (first == kNoRow) {
                use->second.firstNew = static_cast<std::uint32_t>(r);
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

}  // namespace tidemark::rename
