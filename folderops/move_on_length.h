#pragma once
// Move On Length: moves every file of a source folder whose whole name (name, ".", extension) is
// longer than a given number of characters into a destination folder. Only the files directly
// inside the source are looked at; subfolders are never listed or moved. Before anything moves,
// the names are checked against each other and against the destination's files without regard
// to case; on a clash nothing is moved. Nothing is ever overwritten.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "folderops/folder_ops_host.h"
#include "platform/journal.h"
#include "settings/folder_list.h"

namespace tidemark::folderops {

// The length typed into the length box: optional leading blanks, an optional sign and decimal
// digits; reading stops at the first other character. Text without digits, or a number outside
// the 32-bit range, reads as 0.
std::int32_t ParseLength(std::string_view text);

// A name's length in user-perceived characters (a letter with its accents is one, an invalid
// byte is one), extension and "." included. The dialog puts it
// into the length box when a source file is double-clicked.
std::int32_t NameLength(std::string_view name);

// A file qualifies when its name is longer than length; a name exactly as long stays.
bool QualifiesForMove(std::string_view name, std::int32_t length);

// The names of source's files that qualify, sorted without regard to case (the preview list).
// nullopt when the length is not greater than 0: the preview is then left as it was. An empty
// list when the folder cannot be read or nothing qualifies. The destination is not looked at:
// a name listed here may still stop the Move (CheckMoveOnLength tells).
std::optional<std::vector<std::string>> PreviewMoveOnLength(const std::string& source,
                                                            std::string_view lengthText);

// Sorts names without regard to case, equal ones kept in their order (the preview's order).
void SortNoCase(std::vector<std::string>& names);

struct MoveOnLengthRequest {
    std::string source;
    std::string destination;
    std::string lengthText;
    settings::FolderList sourceHistory;       // the source folder box's entries, most recent first
    settings::FolderList destinationHistory;  // the destination folder box's entries
    platform::JournalWriter* journal = nullptr;  // set: the moves are journalled for undo
};

struct MoveOnLengthResult {
    // End the dialog with OK: nothing qualified, or the files were moved.
    bool close = false;
    // The checks of the folders passed: store the two histories below.
    bool storeHistories = false;
    // The length was missing: put the focus back into the length box.
    bool focusLength = false;
    // The request's histories with the source and destination folders on top; unlimited.
    settings::FolderList sourceHistory;
    settings::FolderList destinationHistory;
    // What happened to the qualifying files, in scan order. A move that fails is skipped
    // without a message, except a FIFO, socket or device that would have to be copied to
    // another file system (NotCopyableMessage); the dialog shows neither list, the command
    // line may.
    std::vector<std::string> moved;
    std::vector<std::string> failed;
    std::vector<int> failedErrors;  // the system's error number of each failed move
};

// The Move button. Checks, in this order, each with its message (caption "Error"):
//   the source exists ("The source directory is not valid."), the destination exists ("The
//   destination directory is not valid."); both are reported before stopping;
//   the two folder texts differ without regard to case;
//   the length is greater than 0 (the histories are still stored, the dialog stays open);
//   no qualifying name equals another qualifying name or a destination file's name without
//   regard to case (the first clash in no-case order is named; nothing moves, the histories are
//   stored, the dialog stays open).
// Then every qualifying file is moved in scan order; host.Progress counts the moves.
MoveOnLengthResult RunMoveOnLength(const MoveOnLengthRequest& request, FolderOpsHost& host);

// The checks of RunMoveOnLength alone, with the same messages and the same histories and focus
// in result; nothing moves and result.close is left false. The qualifying names in scan order
// when the Move would go ahead (empty when nothing qualifies), nullopt when a check stops it.
std::optional<std::vector<std::string>> CheckMoveOnLength(const MoveOnLengthRequest& request,
                                                          FolderOpsHost& host,
                                                          MoveOnLengthResult& result);

// The collision check on its own: among names (the qualifying names followed by the
// destination's names), the name that a no-case ascending sort would put first in a pair of
// equal neighbours; nullopt when all differ. Linear: the names are hashed, not sorted.
std::optional<std::string> FirstNoCaseClash(const std::vector<std::string>& names);

}  // namespace tidemark::folderops
