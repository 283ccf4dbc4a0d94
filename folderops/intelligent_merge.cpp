#include "folderops/intelligent_merge.h"

#include <vector>

#include "folderops/folder_name_index.h"
#include "platform/file_system.h"
#include "platform/folder_fd.h"
#include "platform/text.h"

namespace tidemark::folderops {

namespace {

constexpr const char* kSourceInvalid = "The source directory is not valid.";
constexpr const char* kDestinationInvalid = "The destination directory is not valid.";
constexpr const char* kAlternateInvalid = "The alternate directory is not valid.";
constexpr const char* kFoldersSame =
    "The source and destination directories are the same. You must change one.";

struct SourceFile {
    std::string name;
    std::uint64_t size = 0;
};

// Moves a file from one open folder to another, never replacing; to another file system it is
// copied, synced, and its source deleted only then. 0 when the file arrived, else the error
// number. A FIFO, socket or device that would have to be copied is named in notCopyable and
// stays.
int Transfer(const platform::FolderFd& from, const platform::FolderFd& to, const SourceFile& file,
             std::vector<std::string>& notCopyable) {
    if (!from.Valid() || !to.Valid()) {
        return from.Valid() ? to.Error() : from.Error();
    }
    const int error = platform::MoveEntryAt(from.Get(), file.name, to.Get(), file.name);
    if (error == platform::kNotCopyableError) {
        notCopyable.push_back(file.name);
    }
    return error;
}

}  // namespace

std::string MergeSummary(const MergeCounts& counts) {
    return "There were a total of " + std::to_string(counts.Total()) + " files.\n  " +
           std::to_string(counts.moved) + " were moved normally to the destination folder.\n  " +
           std::to_string(counts.alternate) +
           " existed in the destination folder with a different size - moved to alternate "
           "directory)\n  " +
           std::to_string(counts.kept) +
           " existed in the destination folder with the same size - not moved)";
}

std::optional<MergeCounts> MergeFolders(const std::string& source, const std::string& destination,
                                        const std::string& alternate, FolderOpsHost& host) {
    // The source is listed whole before anything moves, so the moves cannot disturb the listing.
    std::vector<SourceFile> files;
    const bool listed = platform::ListFolder(source, [&](const platform::DirEntry& entry) {
        if ((entry.attributes & platform::kAttrDirectory) == 0) {
            files.push_back({std::string(entry.name), entry.size});
        }
        return true;
    });
    if (!listed) {
        return std::nullopt;
    }

    FolderNameIndex present;
    present.Load(destination);
    const platform::FolderFd sourceFolder = platform::FolderFd::Open(source);
    const platform::FolderFd destinationFolder = platform::FolderFd::Open(destination);
    const platform::FolderFd alternateFolder = platform::FolderFd::Open(alternate);
    std::vector<std::string> notCopyable;

    MergeCounts counts;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SourceFile& file = files[i];
        const auto found = present.Find(file.name);
        if (!found) {
            if (const int error = Transfer(sourceFolder, destinationFolder, file, notCopyable);
                error == 0) {
                present.Add(file.name, file.size);
            } else {
                counts.failed.push_back({file.name, false, error});
            }
            ++counts.moved;
        } else if (found->size != file.size) {
            if (const int error = Transfer(sourceFolder, alternateFolder, file, notCopyable);
                error != 0) {
                counts.failed.push_back({file.name, true, error});
            }
            ++counts.alternate;
        } else {
            ++counts.kept;
        }
        host.Progress(i + 1, files.size());
    }
    if (!notCopyable.empty()) {
        host.ShowMessage(NotCopyableMessage(notCopyable), kErrorCaption);
    }
    return counts;
}

MergeResult RunMerge(const MergeRequest& request, FolderOpsHost& host) {
    MergeResult result;
    bool invalid = false;
    const auto check = [&](const std::string& folder, const char* message) {
        if (!platform::PathExists(folder)) {
            host.ShowMessage(message, kErrorCaption);
            invalid = true;
        }
    };
    check(request.source, kSourceInvalid);
    check(request.destination, kDestinationInvalid);
    check(request.alternate, kAlternateInvalid);
    if (request.source.size() == request.destination.size() &&
        platform::NoCaseEqual(request.source, request.destination)) {
        host.ShowMessage(kFoldersSame, kErrorCaption);
        return result;
    }
    if (invalid) {
        return result;
    }

    result.merged = true;
    result.counts = MergeFolders(request.source, request.destination, request.alternate, host);
    if (result.counts) {
        host.ShowMessage(MergeSummary(*result.counts), kMergeInfoCaption);
    }
    result.sourceHistory = request.sourceHistory;
    result.destinationHistory = request.destinationHistory;
    result.alternateHistory = request.alternateHistory;
    settings::AddToHistory(result.sourceHistory, request.source);
    settings::AddToHistory(result.destinationHistory, request.destination);
    settings::AddToHistory(result.alternateHistory, request.alternate);
    return result;
}

}  // namespace tidemark::folderops
