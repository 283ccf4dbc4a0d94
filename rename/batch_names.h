#pragma once
// The new name of every row of a batch and what stands in its way. The preview, the rename
// execution (check and execution stages) and the command line all take their names from
// WalkBatch, so what the preview shows is what the rename does.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "platform/journal.h"
#include "rename/numbering.h"
#include "rename/rename_rules.h"

namespace tidemark::rename {

// Tab indices of the rename window.
inline constexpr int kTabFiles = 0;
inline constexpr int kTabExtensions = 1;
inline constexpr int kTabFolders = 2;
inline constexpr int kTabNumber = 3;

// Which page gives the new names. Tabs 0 to 2 need rules (the page of that tab), tab 3 needs
// numbering. Neither object is kept past a call; numbering is not const because the letter
// base keeps its state in it.
struct RenameRequest {
    int tabIndex = kTabFiles;
    const RenameRules* rules = nullptr;
    Numbering* numbering = nullptr;
    // When set, the batch is journalled for undo: the plan is written before the first change
    // (a journal that cannot be written refuses the batch with -21) and each step as it ends.
    platform::JournalWriter* journal = nullptr;
};

// Files on every tab but "Rename Folders".
bool WantsFiles(int tabIndex);
// The request names its page.
bool ValidRequest(const RenameRequest& request);
// The page's "selected only" flag.
bool SelectedOnly(const RenameRequest& request);

// The names of a destination folder plus the new names approved so far, searched without
// regard to case in constant time; the first name added wins among equal ones, as a search
// from the front of the list would find.
class DestinationNames {
  public:
    void Add(std::string name);
    // The first name equal to name without regard to case, or nullptr.
    const std::string* Find(std::string_view name) const;
    std::size_t Size() const { return names_.size(); }

  private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::size_t> firstByFolded_;
};

// What keeps a new name from being carried out.
enum class NameClash : std::uint8_t {
    None,
    Invalid,    // no file system can hold it (error: EINVAL or ENAMETOOLONG)
    Existing,   // equals (no case) the current name of another listed entry, or a destination
                // entry's name
    Duplicate,  // equals (no case) the new name of another entry of the batch
};

struct BatchRow {
    std::uint32_t recordIndex = 0;
    std::string newName;
    bool renamed = false;  // takes part: the page renames it (or moves or copies it)
    NameClash clash = NameClash::None;
    int error = 0;            // with Invalid
    std::uint32_t other = 0;  // with Duplicate: the row of the other entry with that name
};

struct BatchNames {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<BatchRow> rows;  // GetOrder(sortKey) front to back
    // The first row whose own name clashed when the walk reached it: the one a check reports.
    std::size_t firstClash = kNone;
    std::size_t clashCount = 0;  // rows marked with a clash (both rows of a duplicate)
};

// The new name of one entry under the page's options: "the new name of this row". Entries of
// the other kind keep their name and take no number; on the number page ordinal is the count
// of files numbered before this one in the pass and goes up by one when this one is numbered.
std::string NewNameOf(const RenameRequest& page, std::string_view name, bool isFile,
                      std::uint32_t& ordinal);

// The row walk of every batch: the positions of GetOrder(sortKey) front to back (the custom
// order while one is in force), whatever the display direction, with the record of each and
// whether it takes part. A row takes part when its record is of the wanted kind and, with
// "selected only" and no custom order, is selected; each record at most once.
struct RowWalk {
    std::vector<std::uint32_t> records;
    std::vector<bool> takesPart;
};
RowWalk WalkRows(catalogue::FileCatalogue& catalogue, bool selectedOnly, bool wantFiles);

// The current names and kinds of a catalogue's records in one block, copied so that the
// preview can name rows later, or on another thread, while the catalogue changes.
class NameSnapshot {
  public:
    NameSnapshot() = default;
    explicit NameSnapshot(const catalogue::RecordList& records);
    std::size_t Size() const { return isFile_.size(); }
    std::string_view Name(std::uint32_t record) const {
        const std::size_t begin = record == 0 ? 0 : ends_[record - 1];
        return std::string_view(text_).substr(begin, ends_[record] - begin);
    }
    bool IsFile(std::uint32_t record) const { return isFile_[record] != 0; }

  private:
    std::string text_;
    std::vector<std::size_t> ends_;
    std::vector<std::uint8_t> isFile_;
};

// A copy of the page's options, so that names are computed by the options of one moment.
class PageCopy {
  public:
    explicit PageCopy(const RenameRequest& page);
    // The request of the copy (no journal); a request without its page stays one.
    RenameRequest Request();

  private:
    int tabIndex_;
    std::optional<RenameRules> rules_;
    std::optional<Numbering> numbering_;
};

// The new names of the rows of WalkRows, numbered in walk order, and in the same linear pass
// what stands in each taking part row's way: a name no file system can hold, a name equal to
// another listed entry's current name (to a destination entry's when destination is given),
// a name equal to another new name of the batch (then both rows are marked). The preview, the
// check stages and the execution all take their names from here. A request without its page
// gives no rows.
BatchNames WalkBatch(catalogue::FileCatalogue& catalogue, const RenameRequest& page,
                     const DestinationNames* destination = nullptr);
// The same over copies of the names and of a walk made by WalkRows. A stop request ends the
// walk early, leaving the result incomplete: the caller, who asked for the stop, drops it.
BatchNames WalkBatch(const NameSnapshot& names, const RowWalk& walk, const RenameRequest& page,
                     const DestinationNames* destination, std::stop_token stop = {});

}  // namespace tidemark::rename
