#include "rename/batch_names.h"

#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::rename {

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

    // Current names of the listed entries, by how many carry each (no case): a row's own name
    // does not count against it, so a rename that changes only the letter case goes through.
    std::vector<std::string> folded(n);
    std::unordered_map<std::string_view, std::uint32_t> listed;
    if (destination == nullptr) {
        listed.reserve(n);
        for (std::size_t r = 0; r < n; ++r) {
            folded[r] = platform::FoldAscii(records[batch.rows[r].recordIndex].name);
        }
        for (const std::string& name : folded) {
            ++listed[name];
        }
    }
    // The first taking part row of each new name (no case), with its folded name kept here.
    std::vector<std::string> foldedNew(n);
    std::unordered_map<std::string_view, std::uint32_t> firstOfNewName;
    firstOfNewName.reserve(n);

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
            foldedNew[r] = platform::FoldAscii(row.newName);
            const std::string_view name = foldedNew[r];
            if (destination != nullptr) {
                if (destination->Find(name) != nullptr) {
                    mark(row, NameClash::Existing);
                }
            } else if (const auto found = listed.find(name); found != listed.end()) {
                const std::uint32_t others = found->second - (folded[r] == name ? 1 : 0);
                if (others > 0) {
                    mark(row, NameClash::Existing);
                }
            }
            const auto [first, added] = firstOfNewName.emplace(name, static_cast<std::uint32_t>(r));
            if (!added && row.clash == NameClash::None) {
                row.other = first->second;
                mark(row, NameClash::Duplicate);
                BatchRow& earlier = batch.rows[first->second];
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
