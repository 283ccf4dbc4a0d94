#pragma once
// The result list's preview: for every row of the source list, in the display walk, the name
// the current page gives it and what stands in its way. The rename window's result list and
// the command line's preview take their rows from here, and the names and marks from
// WalkBatch, as the rename does, so the preview cannot differ from the rename.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "rename/batch_names.h"

namespace tidemark::rename {

struct PreviewRow {
    std::uint32_t recordIndex = 0;  // the row's item data
    std::string oldName;
    std::string newName;
    bool isFile = false;
    NameClash clash = NameClash::None;
    int error = 0;          // with NameClash::Invalid
    std::string clashWith;  // with NameClash::Duplicate: the other entry's current name
};

struct Preview {
    std::vector<PreviewRow> rows;
    std::size_t clashCount = 0;  // rows marked with a clash
    // The mark of the row the rename's check would report (Invalid: -21, else -42).
    NameClash firstClash = NameClash::None;
};

// The rows of GetOrder(sortKey) in the lists' row walk (a custom order and an ascending list
// front to back, a descending list back to front), with the names and marks of WalkBatch: the
// numbers go front to back of the order whatever the display direction, as the rename gives
// them. With the number page's move or copy the destination's names are not read: only the
// batch's own clashes are marked. No rows when the order is missing or the request has no page.
Preview PreviewBatch(catalogue::FileCatalogue& catalogue, const RenameRequest& page);
std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, const RenameRules& rules);
std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, Numbering& numbering);

}  // namespace tidemark::rename
