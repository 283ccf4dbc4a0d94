#pragma once
// The result list's preview: for every row of the source list, in the row walk, the name the
// current page would give it. The rename window's result list and the command line's preview
// both take their rows from here, so the two cannot differ.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "rename/numbering.h"
#include "rename/rename_rules.h"

namespace tidemark::rename {

struct PreviewRow {
    std::uint32_t recordIndex = 0;  // the row's item data
    std::string oldName;
    std::string newName;
    bool isFile = false;
};

// The rows of GetOrder(sortKey) in the row walk. With the page's SelOnly, only the positions
// marked by the selection change (each selected index marks its first unmarked position of the
// order); otherwise every row goes through the page. On the number page the ordinal counts the
// files whose name was computed, in display order, from 0. No rows when the order is missing;
// order entries that name no record are left out.
std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, const RenameRules& rules);
std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, Numbering& numbering);

}  // namespace tidemark::rename
