#include "rename/preview.h"

namespace tidemark::rename {

Preview PreviewBatch(catalogue::FileCatalogue& catalogue, const RenameRequest& page) {
    Preview preview;
    // Files moved or copied away meet the destination's names, not this folder's; those are
    // checked when the batch runs, so only the batch's own clashes are marked here.
    const bool toDestination = page.tabIndex == kTabNumber && page.numbering != nullptr &&
                               page.numbering->Options().Output != kOutputRename;
    const DestinationNames noNames;
    BatchNames batch = WalkBatch(catalogue, page, toDestination ? &noNames : nullptr);
    const catalogue::RecordList& records = catalogue.GetRecords();
    const bool forward = catalogue.customOrder || catalogue.ascending;
    const std::size_t n = batch.rows.size();
    preview.rows.resize(n);
    preview.clashCount = batch.clashCount;
    if (batch.firstClash != BatchNames::kNone) {
        preview.firstClash = batch.rows[batch.firstClash].clash;
    }
    for (std::size_t p = 0; p < n; ++p) {
        BatchRow& from = batch.rows[p];
        const catalogue::FileRecord& record = records[from.recordIndex];
        PreviewRow& row = preview.rows[forward ? p : n - 1 - p];
        row.recordIndex = from.recordIndex;
        row.oldName = record.name;
        row.newName = std::move(from.newName);
        row.isFile = record.isFile;
        row.clash = from.clash;
        row.error = from.error;
        if (from.clash == NameClash::Duplicate) {
            row.clashWith = records[batch.rows[from.other].recordIndex].name;
        }
    }
    return preview;
}

std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, const RenameRules& rules) {
    return PreviewBatch(catalogue,
                        RenameRequest{.tabIndex = static_cast<int>(rules.Kind()), .rules = &rules})
        .rows;
}

std::vector<PreviewRow> PreviewRows(catalogue::FileCatalogue& catalogue, Numbering& numbering) {
    return PreviewBatch(catalogue, RenameRequest{.tabIndex = kTabNumber, .numbering = &numbering})
        .rows;
}

}  // namespace tidemark::rename
