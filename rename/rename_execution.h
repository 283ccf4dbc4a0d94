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
#include <vector>

#include "catalogue/file_catalogue.h"
#include "rename/batch_names.h"
#include "rename/rename_host.h"

namespace tidemark::rename {

// The whole operation. On success (1) the page is reset, the custom order dropped, the folder
// re-read and a preview refresh posted, all through host.
int OnPerformFileRename(catalogue::FileCatalogue& catalogue, const RenameRequest& request,
                        RenameHost& host);

// Fills plan with the record indices taking part, in the order of the row walk (WalkRows): the
// custom order's entries of the wanted kind when one is in force, else the selection (each
// entry checked first with CheckSelectionKind), else every record of the wanted kind. Returns
// 1, or -41 after the kind message. Indices that name no record are left out.
int BuildRenamePlan(catalogue::FileCatalogue& catalogue, std::vector<std::uint32_t>& plan,
                    bool selectedOnly, bool wantFiles, int tabIndex, RenameHost& host);

// 1 when the record is of the wanted kind; else -41 after showing the kind message.
int CheckSelectionKind(const catalogue::FileRecord& record, bool wantFiles, int tabIndex,
                       RenameHost& host);

// The source list as the in-place stages walk it (WalkRows): current names and record
// indices front to back of the sort key's order, which of those positions take part, and the
// new name the check gave each position (the one the execution carries out).
struct InPlaceWalk {
    std::vector<std::string> names;
    std::vector<std::uint32_t> indices;
    std::vector<bool> planned;
    std::vector<std::string> newNames;
};

// The in-place check stage: sorts the plan when "selected only" or a custom order is in force
// (-43 when it is empty), then walks the batch (WalkBatch) and reports the first row that
// clashes: a name the file system cannot hold gives -21 with the file-operation error
// message; a name equal (no case) to the current name of another listed entry, or to the new
// name of an earlier entry of the batch, gives -42 with the collision message naming that
// row's old and new name. Linear in the number of entries. Returns 1 when the execution may go
// ahead (-41 for a request without its page, as OnPerformFileRename).
int ChkOnPerformFileRename(catalogue::FileCatalogue& catalogue, const RenameRequest& request,
                           std::vector<std::uint32_t>& plan, InPlaceWalk& walk, RenameHost& host);

// The destination check stage: walks the batch against the destination's names and reports
// the first row that clashes (a name no file system can hold: -21 with the file-operation
// error message; a destination entry's name or an earlier new name: -42 with the destination
// collision message) or that is a FIFO, socket or device which would have to be copied (copy
// mode, or a move to another file system): -21 with the file-operation error message. 1 when
// the execution may go ahead.
int ChkDiffDestRename(catalogue::FileCatalogue& catalogue, const RenameRequest& request,
                      const std::string& sourceFolder, const DestinationNames& destinationNames,
                      RenameHost& host);

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
