#include "rename/preview.h"

#include <unordered_map>

namespace tidemark::rename {
namespace {

// Which positions of the order a "selected only" preview renames: each selected record index
// marks the first position holding it that is not marked yet.
std::vector<bool> MarkSelectedPositions(const catalogue::Order& order,
                                        const std::vector<std::uint32_t>& selection) {
    std::unordered_map<std::uint32_t, std::size_t> remaining;
    remaining.reserve(selection.size());
    for (const std::uint32_t index : selection) {
        ++remaining[index];
    }
    std::vector<bool> marked(order.size(), false);
    for (std::size_t p = 0; p < order.size() && !remaining.empty(); ++p) {
        const auto it = remaining.find(order[p]);
        if (it == remaining.end()) {
            continue;
        }
        marked[p] = true;
        if (--it->second == 0) {
            remaining.erase(it);
        }
    }
    return marked;
}

// newName(row) computes the new name in place for a row that the page renames.
template <typename Rename>
std::vector<PreviewRow> WalkRows(catalogue::FileCatalogue& catalogue, bool selOnly,
                                 Rename&& newName) {
    std::vector<PreviewRow> rows;
    const catalogue::Order* order = catalogue.GetOrder(catalogue.sortKey);
    if (order == nullptr) {
        return rows;
    }
    const catalogue::RecordList& records = catalogue.GetRecords();
    const std::vector<bool> marked =
        selOnly ? MarkSelectedPositions(*order, catalogue.selection) : std::vector<bool>{};
    // The list panes' row walk: a custom order and an ascending list run front to back, a
    // descending list back to front.
    const bool forward = catalogue.customOrder || catalogue.ascending;
    const std::size_t n = order->size();
    rows.reserve(n);
    for (std::size_t r = 0; r < n; ++r) {
        const std::size_t p = forward ? r : n - 1 - r;
        const std::uint32_t index = (*order)[p];
        if (index >= records.size()) {
            continue;
        }
        const catalogue::FileRecord& record = records[index];
        PreviewRow& row = rows.emplace_back();
        row.recordIndex = index;
        row.oldName = record.name;
        row.newName = record.name;
        row.isFile = record.isFile;
        if (!selOnly || marked[p]) {
            newName(row);
        }
    }
    return rows;
}

}  // namespace

std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, const RenameRules& rules) {
    return WalkRows(catalogue, rules.Options().SelOnly,
                    [&rules](PreviewRow& row) { rules.ApplyRules(row.newName, row.isFile); });
}

std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, Numbering& numbering) {
    std::uint32_t ordinal = 0;
    return WalkRows(catalogue, numbering.Options().SelOnly, [&](PreviewRow& row) {
        numbering.ApplyNumber(row.newName, ordinal, row.isFile);
        if (row.isFile) {
            ++ordinal;
        }
    });
}

}  // namespace tidemark::rename
