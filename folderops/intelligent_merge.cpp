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

constexpr std::uint32_t kToDestination = 1;
constexpr std::uint32_t kToAlternate = 2;
constexpr std::uint32_t kNoStep = UINT32_MAX;

struct SourceFile {
    std::string name;
    std::uint64_t size = 0;
    std::uint64_t inode = 0;
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
                                        const std::string& alternate, FolderOpsHost& host,
                                        platform::JournalWriter* journal) {
    // The source is listed whole before anything moves, so the moves cannot disturb the listing.
    std::vector<SourceFile> files;
    const bool listed = platform::ListFolder(source, [&](const platform::DirEntry& entry) {
        if ((entry.attributes & platform::kAttrDirectory) == 0) {
            files.push_back({std::string(entry.name), entry.size, entry.inode});
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
    const bool destinationSameFs = platform::SameFileSystem(source, destination);
    const bool alternateSameFs = platform::SameFileSystem(source, alternate);
    const auto kindTo = [&](std::uint32_t folder) {
        const bool same = folder == kToDestination ? destinationSameFs : alternateSameFs;
        return same ? platform::StepKind::Move : platform::StepKind::CrossMove;
    };

    // The whole plan goes into the journal before the first move; a transfer that fails can
    // change where a later file of a name equal without regard to case goes, and such a step is
    // added to the journal before it runs.
    std::vector<std::uint32_t> stepOf(files.size(), kNoStep);
    platform::JournalPlan plan;
    if (journal != nullptr) {
        plan.operation = "merge";
        plan.folders = {source, destination, alternate};
        FolderNameIndex planned = present;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto found = planned.Find(files[i].name);
            std::uint32_t to = 0;
            if (!found) {
                to = kToDestination;
                planned.Add(files[i].name, files[i].size);
            } else if (found->size != files[i].size) {
                to = kToAlternate;
            } else {
                continue;
            }
            stepOf[i] = static_cast<std::uint32_t>(plan.steps.size());
            plan.steps.push_back({.kind = kindTo(to),
                                  .toFolder = to,
                                  .oldName = files[i].name,
                                  .newName = files[i].name,
                                  .inode = files[i].inode});
        }
        if (const int error = journal->Begin(plan); error != 0) {
            host.ShowMessage(JournalFailureMessage(journal->Path(), error), kErrorCaption);
            return std::nullopt;
        }
    }
    const auto transfer = [&](std::size_t i, const platform::FolderFd& to, std::uint32_t toIndex) {
        std::uint32_t step = stepOf[i];
        if (journal != nullptr && (step == kNoStep || plan.steps[step].toFolder != toIndex)) {
            step = journal->Amend({.kind = kindTo(toIndex),
                                   .toFolder = toIndex,
                                   .oldName = files[i].name,
                                   .newName = files[i].name,
                                   .device = 0,
                                   .inode = files[i].inode});
        }
        const int error = Transfer(sourceFolder, to, files[i], notCopyable);
        if (error == 0 && journal != nullptr) {
            const auto written =
                kindTo(toIndex) == platform::StepKind::Move
                    ? std::nullopt
                    : platform::IdentifyEntry(plan.folders[toIndex], files[i].name);
            written ? journal->Done(step, *written) : journal->Done(step);
        }
        return error;
    };

    MergeCounts counts;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SourceFile& file = files[i];
        const auto found = present.Find(file.name);
        if (!found) {
            if (const int error = transfer(i, destinationFolder, kToDestination); error == 0) {
                present.Add(file.name, file.size);
            } else {
                counts.failed.push_back({file.name, false, error});
            }
            ++counts.moved;
        } else if (found->size != file.size) {
            if (const int error = transfer(i, alternateFolder, kToAlternate); error != 0) {
                counts.failed.push_back({file.name, true, error});
            }
            ++counts.alternate;
        } else {
            ++counts.kept;
        }
        host.Progress(i + 1, files.size());
    }
    if (journal != nullptr) {
        journal->Finish(true);
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
    result.counts =
        MergeFolders(request.source, request.destination, request.alternate, host, request.journal);
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
