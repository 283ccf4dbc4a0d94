#pragma once
// The rename execution: the plan of entries taking part, the check of all new names as a whole,
// and the renames in place or the moves and copies into a destination folder.
//
// Callers (the rename window, the command line) own the catalogue and the page whose rules or
// numbering give the new names, and implement RenameHost for everything the operation must tell
// or ask of them. The operation itself touches only the catalogue, the page's name operation
// and the file system:
//
//     RenameRequest request{.tabIndex = 0, .rules = &filesPageRules};
//     int code = OnPerformFileRename(catalogue, request, host);
//
// Codes: 1 done (also when nothing was to do), -11 no memory for an error message, -21 a file
// operation failed or a new name cannot be an entry's name (earlier entries stay renamed),
// -41 wrong kind selected or missing destination, -42 name collision, -43 in place with
// "selected only" or a custom order and nothing to rename. Nothing on disk changes before the
// whole plan has passed its check, and an existing file is never overwritten.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "platform/journal.h"
#include "rename/numbering.h"
#include "rename/rename_host.h"
#include "rename/rename_rules.h"

namespace tidemark::rename {

// Tab indices of the rename window.
inline constexpr int kTabFiles = 0;
inline constexpr int kTabExtensions = 1;
inline constexpr int kTabFolders = 2;
inline constexpr int kTabNumber = 3;

// Which page runs the rename. Tabs 0 to 2 need rules (the page of that tab), tab 3 needs
// numbering; a request without them does nothing and gives -41. Neither object is kept past
// the call; numbering is not const because the letter base keeps its state in it.
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

// The whole operation. On success (1) the page is reset, the custom order dropped, the folder
// re-read and a preview refresh posted, all through host.
int OnPerformFileRename(catalogue::FileCatalogue& catalogue, const RenameRequest& request,
                        RenameHost& host);

// Fills plan with the record indices taking part: the custom order as it stands when one is in
// force, else the selection (each entry checked with CheckSelectionKind), else every record of
// the wanted kind. Returns 1, or -41 after the kind message. Indices that name no record are
// left out.
int BuildRenamePlan(catalogue::FileCatalogue& catalogue, std::vector<std::uint32_t>& plan,
                    bool selectedOnly, bool wantFiles, int tabIndex, RenameHost& host);

// 1 when the record is of the wanted kind; else -41 after showing the kind message.
int CheckSelectionKind(const catalogue::FileRecord& record, bool wantFiles, int tabIndex,
                       RenameHost& host);

// The source list as the in-place stages walk it: names and record indices in the order of the
// catalogue's sort key (front to back), and which of those positions take part.
struct InPlaceWalk {
    std::vector<std::string> names;
    std::vector<std::uint32_t> indices;
    std::vector<bool> planned;
};

// The in-place check stage: builds the walk, sorts the plan when "selected only" or a custom
// order is in force (-43 when it is empty), then checks every planned new name: one the file
// system cannot hold gives -21 with the file-operation error message, one equal (no case) to
// the current name of another listed entry gives -42 with the collision message. Linear in the
// number of entries. Returns 1 when the execution may go ahead (-41 for a request without
// its page, as OnPerformFileRename).
int ChkOnPerformFileRename(catalogue::FileCatalogue& catalogue, const RenameRequest& request,
                           std::vector<std::uint32_t>& plan, InPlaceWalk& walk, RenameHost& host);

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

// 1 when newName is not among names; else -42 after the destination collision message, which
// names the destination entry as listed.
int CheckNameInDestination(const DestinationNames& names, const std::string& newName,
                           RenameHost& host);

// One rename, move (modes 0 and 1) or copy (mode 2) of oldName in fromFolder to newName in
// toFolder (open folders, see platform/folder_fd.h), never over an existing target. On failure
// shows the file-operation error message for oldName and returns -21, or -11 when that
// message could not be composed.
int MoveOrCopyFile(int fromFolder, const std::string& oldName, int toFolder,
                   const std::string& newName, int outputMode, RenameHost& host);

// "Error on<name> \r\n\r\n<system text>", kept within the 1283 characters that the message
// block holds by cutting the system text (never inside a UTF-8 character).
inline constexpr std::size_t kFileErrorBlock = 1284;
std::string ComposeFileErrorMessage(std::string_view oldName, std::string_view systemText);

}  // namespace tidemark::rename
