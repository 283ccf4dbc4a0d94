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

void PreviewNames::Reset(catalogue::FileCatalogue& catalogue,
                         std::shared_ptr<const NameSnapshot> names, const RenameRequest& page) {
    named_.clear();
    page_.emplace(page);
    request_ = page_->Request();
    const bool valid = ValidRequest(request_);
    WalkInputs inputs{.order = catalogue.GetOrder(catalogue.sortKey),
                      .bySelection = valid && SelectedOnly(request_) && !catalogue.customOrder,
                      .wantFiles = WantsFiles(page.tabIndex),
                      .selection = {}};
    if (inputs.bySelection) {
        inputs.selection = catalogue.selection;
    }
    forward_ = catalogue.customOrder || catalogue.ascending;
    if (!valid || names == nullptr) {
        // No page, no rows; the next page walks afresh.
        names_.reset();
        walk_ = std::make_shared<const RowWalk>();
        ordinals_.clear();
        return;
    }
    if (names != names_ || !(inputs == inputs_)) {
        names_ = std::move(names);
        walk_ = std::make_shared<const RowWalk>(
            WalkRows(catalogue, inputs.bySelection, inputs.wantFiles));
        inputs_ = std::move(inputs);
        ordinals_.clear();
    }
    if (page.tabIndex == kTabNumber && ordinals_.empty() && walk_->records.size() > 0) {
        ordinals_.resize(walk_->records.size());
        std::uint32_t numbered = 0;
        for (std::size_t p = 0; p < walk_->records.size(); ++p) {
            ordinals_[p] = numbered;
            if (walk_->takesPart[p] && names_->IsFile(walk_->records[p])) {
                ++numbered;
            }
        }
    }
}

std::string_view PreviewNames::OldName(std::size_t row) const {
    if (names_ == nullptr || walk_ == nullptr) {
        return {};  // no page shown: no rows
    }
    return names_->Name(walk_->records[PositionOfRow(row)]);
}

const std::string& PreviewNames::NewName(std::size_t row) {
    // Scrolling through a large folder names many rows; what scrolled away is named again
    // when it comes back.
    constexpr std::size_t kKeptNames = 1 << 14;
    if (named_.size() >= kKeptNames) {
        named_.clear();
    }
    const std::size_t position = PositionOfRow(row);
    auto [slot, added] = named_.try_emplace(position);
    if (added) {
        const std::uint32_t record = walk_->records[position];
        const std::string_view name = names_->Name(record);
        if (walk_->takesPart[position]) {
            std::uint32_t ordinal = ordinals_.empty() ? 0 : ordinals_[position];
            slot->second = NewNameOf(request_, name, names_->IsFile(record), ordinal);
        } else {
            slot->second = name;
        }
    }
    return slot->second;
}

}  // namespace tidemark::rename
