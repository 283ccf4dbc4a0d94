#pragma once
// Intelligent Merge: moves the files of a source folder into a destination folder without
// overwriting anything. A file whose name is not in the destination (compared without regard
// to case) goes there; one found there with the same size stays in the source; one found there
// with another size goes to an alternate folder. Only files directly inside the source are
// handled: subfolders are neither moved, entered nor counted.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "folderops/folder_ops_host.h"
#include "settings/folder_list.h"

namespace tidemark::folderops {

// A file whose transfer failed; it stays in the source.
struct MergeFailure {
    std::string name;
    bool toAlternate = false;  // it was going to the alternate folder, not the destination
    int error = 0;             // the system's error number
};

struct MergeCounts {
    std::int32_t moved = 0;      // new to the destination: moved there
    std::int32_t alternate = 0;  // found with another size: moved to the alternate folder
    std::int32_t kept = 0;       // found with the same size: left in the source
    std::int32_t Total() const { return moved + alternate + kept; }
    // The transfers that failed, each also counted above (the summary does not show them).
    std::vector<MergeFailure> failed;
};

// The summary shown with caption "Merge Info".
std::string MergeSummary(const MergeCounts& counts);

// The merge itself, without checks or messages. Each file of the source is looked up in the
// destination (exact name first, else the first entry equal without regard to case; files moved
// in earlier in the same run count) and sizes are compared as 64-bit values. A transfer moves
// the file when the two folders are on the same file system, else copies it (never replacing),
// syncs the copy and deletes the source only then (a FIFO, socket or device is never copied). A counter grows whether or not the
// transfer worked: a file that could not go (a file of that name already in the alternate
// folder, no access) stays in the source and is still counted. nullopt when the source cannot
// be listed. host.Progress is called after each file; ShowMessage only for entries
// left because they cannot be copied (NotCopyableMessage).
// Linear in the number of files: the destination is read once into an index that grows as
// files arrive.
std::optional<MergeCounts> MergeFolders(const std::string& source, const std::string& destination,
                                        const std::string& alternate, FolderOpsHost& host);

struct MergeRequest {
    std::string source;
    std::string destination;
    std::string alternate;
    settings::FolderList sourceHistory;  // the folder boxes' entries, most recent first
    settings::FolderList destinationHistory;
    settings::FolderList alternateHistory;
};

struct MergeResult {
    // The checks passed and the merge ran: end the dialog with OK and store the histories.
    bool merged = false;
    // The counts; nullopt when the checks failed or the source could not be listed (then no
    // summary is shown).
    std::optional<MergeCounts> counts;
    // The request's histories with each folder added by the folder boxes' rule (at most four
    // entries kept by additions); set only when merged.
    settings::FolderList sourceHistory;
    settings::FolderList destinationHistory;
    settings::FolderList alternateHistory;
};

// The Merge button. Each folder must exist, checked in the order source, destination,
// alternate, with a message for every one that does not ("The source directory is not
// valid.", "The destination directory is not valid.", "The alternate directory is not
// valid."). Then, even when one of those failed, source and destination texts of the same
// length that are equal without regard to case give "The source and destination directories
// are the same. You must change one." ("/data/" and "/data" are not the same). Any failure
// stops here with the dialog open. Otherwise MergeFolders runs and its summary is shown with
// caption "Merge Info"; all other messages have caption "Error".
MergeResult RunMerge(const MergeRequest& request, FolderOpsHost& host);

}  // namespace tidemark::folderops
