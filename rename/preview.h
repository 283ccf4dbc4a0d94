#pragma once
// The result list's preview: for every row of the source list, in the display walk, the name
// the current page gives it and what stands in its way. The rename window's result list and
// the command line's preview take their rows from here, and the names and marks from
// WalkBatch, as the rename does, so the preview cannot differ from the rename.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
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

// The result list's names for one moment's page options, each computed when the list first
// shows its row and kept until the options change: a refresh costs what is on screen, not the
// whole folder. Row r gets exactly the name that WalkBatch gives it (the same walk, the same
// NewNameOf, the ordinal it would reach there), so what the list shows is what the rename does.
class PreviewNames {
  public:
    // Takes the catalogue's walk for the page (kept while the walk's inputs stay the same and
    // names is the snapshot of last time) and a copy of the page's options.
    void Reset(catalogue::FileCatalogue& catalogue, std::shared_ptr<const NameSnapshot> names,
               const RenameRequest& page);

    std::size_t RowCount() const { return walk_ ? walk_->records.size() : 0; }
    // The position in the walk (the batch's row) shown at a list row, and back.
    std::size_t PositionOfRow(std::size_t row) const {
        return forward_ ? row : RowCount() - 1 - row;
    }
    std::size_t RowOfPosition(std::size_t position) const { return PositionOfRow(position); }
    // The record's current name at a list row, and the name the page gives it.
    std::string_view OldName(std::size_t row) const;
    const std::string& NewName(std::size_t row);

    // What the background check of the whole batch needs.
    const std::shared_ptr<const NameSnapshot>& Names() const { return names_; }
    const std::shared_ptr<const RowWalk>& Walk() const { return walk_; }
    const RenameRequest& Request() const { return request_; }

  private:
    std::shared_ptr<const NameSnapshot> names_;
    std::shared_ptr<const RowWalk> walk_;
    bool forward_ = true;
    // What the walk was made from.
    struct WalkInputs {
        const catalogue::Order* order = nullptr;
        bool bySelection = false;
        bool wantFiles = true;
        std::vector<std::uint32_t> selection;
        bool operator==(const WalkInputs&) const = default;
    } inputs_;
    // Files numbered before each position: the ordinal the batch reaches there.
    std::vector<std::uint32_t> ordinals_;
    std::optional<PageCopy> page_;
    RenameRequest request_;
    std::unordered_map<std::size_t, std::string> named_;  // by position
};

}  // namespace tidemark::rename
