#include "rename/rename_execution.h"

#include <new>
#include <utility>

#include "platform/file_system.h"
#include "platform/folder_fd.h"
#include "platform/text.h"

namespace tidemark::rename {

namespace {

using catalogue::FileCatalogue;
using catalogue::FileRecord;

constexpr const char* kLogEnter = "OnPerformFileRename - Enter";
constexpr const char* kLogEnterInPlace = "OnPerformFileRename - Enter InPlace Rename";
constexpr const char* kLogStartInPlaceCheck =
    "ChkOnPerformFileRename - Start InPlace Collision Chk";
constexpr const char* kLogBeforeSort = "ChkOnPerformFileRename - before QuickSortDWordArray";
constexpr const char* kLogSortFailed =
    "ChkOnPerformFileRename - QuickSortDWordArray failed, count = ";
constexpr const char* kLogAfterSort = "ChkOnPerformFileRename - after QuickSortDWordArray";
constexpr const char* kLogDoInPlace = "OnPerformFileRename - Do InPlace Rename";
constexpr const char* kLogEnterDiffDest = "OnPerformFileRename - Enter Diff Dest Rename";
constexpr const char* kLogDiffDestCheck = "OnPerformFileRename - Diff Dest Collision Chk";
constexpr const char* kLogDoDiffDest = "OnPerformFileRename - Do Diff Dest Rename";
constexpr const char* kLogShowVisuals = "OnPerformFileRename - Show Proper Visuals\n";

constexpr const char* kErrorCaption = "Error";
constexpr const char* kKindFile = "file";
constexpr const char* kKindFolder = "folder";
constexpr const char* kMissingDestination =
    "You have chosen to move or copy the files to a different directory.  So, you must provide "
    "a destination directory.";

std::string KindMessage(std::string_view tabKind, std::string_view selectedKind,
                        std::string_view name) {
    std::string text = "You are using the ";
    text += tabKind;
    text += " Tab, but selected a ";
    text += selectedKind;
    text += " to change and this is not allowed.\nThe selection is ";
    text += name;
    return text;
}

std::string InPlaceCollisionMessage(std::string_view oldName, std::string_view newName) {
    std::string text =
        "File naming was not started.  It was determined that a collision would have occurred "
        "if renaming was done - mulitple files with the same name are not allowed to exist in "
        "the same directory.  The collision would have been with ";
    text += oldName;
    text += " to ";
    text += newName;
    return text;
}

std::string DestinationCollisionMessage(std::string_view listedName) {
    std::string text = "File Numbering Not Started!\n\nThe file   ";
    text += listedName;
    text += "   exists in the destination directory.";
    return text;
}

// The longest prefix of text within max bytes that does not end inside a UTF-8 character.
std::size_t CutPoint(std::string_view text, std::size_t max) {
    if (text.size() <= max) {
        return text.size();
    }
    std::size_t cut = max;
    // At most three continuation bytes follow a lead byte; stray ones are plain bytes.
    for (int step = 0; step < 3 && cut > 0; ++step) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) {
            break;
        }
        --cut;
    }
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        return max;
    }
    return cut;
}

// Shows the file-operation error message for one entry: -21, or -11 without a message when
// it could not be composed.
int ReportFileError(std::string_view oldName, int error, RenameHost& host) {
    std::string text;
    try {
        text = ComposeFileErrorMessage(oldName, platform::SystemErrorText(error));
    } catch (const std::bad_alloc&) {
        return kRenameOutOfMemory;
    }
    host.ShowInformation(text, kErrorCaption);
    return kRenameFileOpFailed;
}

int OutputMode(const RenameRequest& request) {
    return request.tabIndex == kTabNumber ? request.numbering->Options().Output : kOutputRename;
}

// New names of a move or copy into a destination, in the order of the row walk, numbered from 0
// as the check's walk numbered them. The plan holds only entries of the wanted kind, so these are
// the names WalkBatch gave the check (a rename in place takes the check's names themselves).
class NewNames {
  public:
    explicit NewNames(const RenameRequest& request)
        : request_(request), wantFiles_(WantsFiles(request.tabIndex)) {}

    std::string Next(const std::string& oldName) {
        return NewNameOf(request_, oldName, wantFiles_, ordinal_);
    }

  private:
    const RenameRequest& request_;
    bool wantFiles_;
    std::uint32_t ordinal_ = 0;
};

// Writes the whole plan to the request's journal before the first change: 1, or -21 after the
// file-operation message naming the journal.
int BeginJournal(const RenameRequest& request, const platform::JournalPlan& plan,
                 RenameHost& host) {
    if (request.journal == nullptr) {
        return kRenameOk;
    }
    const int error = request.journal->Begin(plan);
    return error == 0 ? kRenameOk : ReportFileError(request.journal->Path(), error, host);
}

// Records a finished step; a written file is identified by what the file system now holds.
void JournalStepDone(const RenameRequest& request, std::uint32_t step, platform::StepKind kind,
                     const std::string& folder, const std::string& name) {
    if (request.journal == nullptr) {
        return;
    }
    if (kind == platform::StepKind::Copy || kind == platform::StepKind::CrossMove) {
        if (const auto written = platform::IdentifyEntry(folder, name)) {
            request.journal->Done(step, *written);
            return;
        }
    }
    request.journal->Done(step);
}

int RenameInPlace(FileCatalogue& catalogue, const RenameRequest& request,
                  std::vector<std::uint32_t>& plan, int result, const std::string& sourceFolder,
                  RenameHost& host) {
    host.Log(kLogEnterInPlace);
    if (result <= 0) {
        return result;
    }
    InPlaceWalk walk;
    result = ChkOnPerformFileRename(catalogue, request, plan, walk, host);
    if (result != kRenameOk) {
        return result;
    }
    host.Log(kLogDoInPlace);
    // Every step works in the folder opened once here, whatever its path becomes meanwhile.
    const platform::FolderFd folder = platform::FolderFd::Open(sourceFolder);
    // The names the check approved, so only those are carried out.
    platform::JournalPlan journalPlan;
    journalPlan.operation = "rename";
    journalPlan.folders = {sourceFolder};
    journalPlan.steps.reserve(walk.names.size());
    for (std::size_t i = 0; i < walk.names.size(); ++i) {
        if (walk.planned[i]) {
            journalPlan.steps.push_back({.oldName = std::move(walk.names[i]),
                                         .newName = std::move(walk.newNames[i]),
                                         .inode = catalogue.GetRecords()[walk.indices[i]].inode});
        }
    }
    result = BeginJournal(request, journalPlan, host);
    for (std::uint32_t step = 0; step < journalPlan.steps.size() && result > 0; ++step) {
        const std::string& oldName = journalPlan.steps[step].oldName;
        if (!folder.Valid()) {
            return ReportFileError(oldName, folder.Error(), host);
        }
        result = MoveOrCopyFile(folder.Get(), oldName, folder.Get(),
                                journalPlan.steps[step].newName, kOutputRename, host);
        host.Progress(step + 1, journalPlan.steps.size());
        if (result > 0 && request.journal != nullptr) {
            request.journal->Done(step);
        }
    }
    if (request.journal != nullptr) {
        request.journal->Finish(result == kRenameOk);
    }
    return result;
}

int RenameIntoDestination(FileCatalogue& catalogue, const RenameRequest& request,
                          const std::vector<std::uint32_t>& plan, int result,
                          const std::string& sourceFolder, RenameHost& host) {
    host.Log(kLogEnterDiffDest);
    std::string destination = request.numbering->Options().DestDir;
    DestinationNames destinationNames;
    if (!platform::PathExists(destination)) {
        host.ShowMessage(kMissingDestination, kErrorCaption);
        result = kRenameWrongSelection;
    } else if (result > 0) {
        catalogue::RecordList folders;
        catalogue::RecordList files;
        std::string listed = destination;
        const auto noTypes = [](std::string_view, bool) { return catalogue::TypeInfo{}; };
        catalogue::ScanFolder(listed, folders, files,
                              catalogue::kScanFiles | catalogue::kScanFolders, noTypes);
        for (auto& record : folders) {
            destinationNames.Add(std::move(record.name));
        }
        for (auto& record : files) {
            destinationNames.Add(std::move(record.name));
        }
    }
    host.Log(kLogDiffDestCheck);

    if (result > 0) {
        result = ChkDiffDestRename(catalogue, request, sourceFolder, destinationNames, host);
    }
    if (result != kRenameOk) {
        return result;
    }
    host.Log(kLogDoDiffDest);

    const auto& records = catalogue.GetRecords();
    const int mode = OutputMode(request);
    const platform::StepKind kind = mode == kOutputCopy ? platform::StepKind::Copy
                                    : platform::SameFileSystem(sourceFolder, destination)
                                        ? platform::StepKind::Move
                                        : platform::StepKind::CrossMove;
    platform::JournalPlan journalPlan;
    journalPlan.operation = mode == kOutputCopy ? "copy" : "move";
    journalPlan.folders = {sourceFolder, destination};
    NewNames newNames(request);
    for (const std::uint32_t index : plan) {
        const FileRecord& record = records[index];
        journalPlan.steps.push_back({.kind = kind,
                                     .toFolder = 1,
                                     .oldName = record.name,
                                     .newName = newNames.Next(record.name),
                                     .inode = record.inode});
    }
    const platform::FolderFd from = platform::FolderFd::Open(sourceFolder);
    const platform::FolderFd to = platform::FolderFd::Open(destination);
    result = BeginJournal(request, journalPlan, host);
    for (std::uint32_t step = 0; step < journalPlan.steps.size() && result == kRenameOk; ++step) {
        const std::string& oldName = journalPlan.steps[step].oldName;
        const std::string& newName = journalPlan.steps[step].newName;
        if (!from.Valid() || !to.Valid()) {
            return ReportFileError(oldName, from.Valid() ? to.Error() : from.Error(), host);
        }
        result = MoveOrCopyFile(from.Get(), oldName, to.Get(), newName, mode, host);
        host.Progress(step + 1, journalPlan.steps.size());
        if (result == kRenameOk) {
            JournalStepDone(request, step, kind, destination, newName);
        }
    }
    if (request.journal != nullptr) {
        request.journal->Finish(result == kRenameOk);
    }
    return result;
}

}  // namespace

int CheckSelectionKind(const FileRecord& record, bool wantFiles, int tabIndex, RenameHost& host) {
    if (record.isFile == wantFiles) {
        return kRenameOk;
    }
    const bool folderTab = tabIndex == kTabFolders;
    host.ShowMessage(KindMessage(folderTab ? kKindFolder : kKindFile,
                                 folderTab ? kKindFile : kKindFolder, record.name),
                     kAppTitle);
    return kRenameWrongSelection;
}

int BuildRenamePlan(FileCatalogue& catalogue, std::vector<std::uint32_t>& plan, bool selectedOnly,
                    bool wantFiles, int tabIndex, RenameHost& host) {
    plan.clear();
    const auto& records = catalogue.GetRecords();
    if (selectedOnly && !catalogue.customOrder) {
        for (const std::uint32_t index : catalogue.selection) {
            if (index < records.size() &&
                CheckSelectionKind(records[index], wantFiles, tabIndex, host) != kRenameOk) {
                return kRenameWrongSelection;
            }
        }
    }
    // A custom order is taken as it stands (no kind message, the selection does not count);
    // entries of the other kind keep their name there, as the preview shows them.
    const RowWalk walk = WalkRows(catalogue, selectedOnly, wantFiles);
    for (std::size_t r = 0; r < walk.records.size(); ++r) {
        if (walk.takesPart[r]) {
            plan.push_back(walk.records[r]);
        }
    }
    return kRenameOk;
}

int ChkOnPerformFileRename(FileCatalogue& catalogue, const RenameRequest& request,
                           std::vector<std::uint32_t>& plan, InPlaceWalk& walk, RenameHost& host) {
    if (!ValidRequest(request)) {
        return kRenameWrongSelection;
    }
    int result = kRenameOk;
    host.Log(kLogStartInPlaceCheck);
    if (SelectedOnly(request) || catalogue.customOrder) {
        host.Log(kLogBeforeSort);
        if (!plan.empty()) {
            catalogue::QuickSortDWordArray(plan, 0, static_cast<std::int32_t>(plan.size()) - 1);
        } else {
            host.Log(std::string(kLogSortFailed) + std::to_string(plan.size()));
            result = kRenameNothingToDo;
        }
        host.Log(kLogAfterSort);
    }

    // The sort key's order front to back whatever the display direction; the custom order while
    // one is in force, so only its own entries are searched.
    BatchNames batch = WalkBatch(catalogue, request);
    const auto& records = catalogue.GetRecords();
    walk = InPlaceWalk{};
    walk.names.reserve(batch.rows.size());
    walk.indices.reserve(batch.rows.size());
    walk.planned.reserve(batch.rows.size());
    walk.newNames.reserve(batch.rows.size());
    for (BatchRow& row : batch.rows) {
        walk.names.push_back(records[row.recordIndex].name);
        walk.indices.push_back(row.recordIndex);
        walk.planned.push_back(row.renamed);
        walk.newNames.push_back(std::move(row.newName));
    }
    if (result != kRenameOk || batch.firstClash == BatchNames::kNone) {
        return result;
    }
    const BatchRow& row = batch.rows[batch.firstClash];
    const std::string& oldName = records[row.recordIndex].name;
    if (row.clash == NameClash::Invalid) {
        return ReportFileError(oldName, row.error, host);
    }
    host.ShowMessage(InPlaceCollisionMessage(oldName, walk.newNames[batch.firstClash]), kAppTitle);
    return kRenameCollision;
}

int ChkDiffDestRename(FileCatalogue& catalogue, const RenameRequest& request,
                      const std::string& sourceFolder, const DestinationNames& destinationNames,
                      RenameHost& host) {
    if (!ValidRequest(request)) {
        return kRenameWrongSelection;
    }
    const BatchNames batch = WalkBatch(catalogue, request, &destinationNames);
    const auto& records = catalogue.GetRecords();
    // FIFOs, sockets and devices are never opened: copying one would hang or never end, so a
    // batch that would have to copy one is refused here. A move within one file system only
    // renames it.
    const std::string& destination = request.numbering->Options().DestDir;
    const bool copies =
        OutputMode(request) == kOutputCopy || !platform::SameFileSystem(sourceFolder, destination);
    for (std::size_t r = 0; r < batch.rows.size(); ++r) {
        const BatchRow& row = batch.rows[r];
        const std::string& oldName = records[row.recordIndex].name;
        if (r == batch.firstClash) {
            switch (row.clash) {
                case NameClash::Invalid:
                    return ReportFileError(oldName, row.error, host);
                case NameClash::Existing:
                    return CheckNameInDestination(destinationNames, row.newName, host);
                default:
                    // An earlier new name, as the destination list would hold it.
                    host.ShowMessage(DestinationCollisionMessage(batch.rows[row.other].newName),
                                     kAppTitle);
                    return kRenameCollision;
            }
        }
        if (row.renamed && copies &&
            (records[row.recordIndex].attributes & platform::kAttrSystem) != 0) {
            return ReportFileError(oldName, platform::kNotCopyableError, host);
        }
    }
    return kRenameOk;
}

int CheckNameInDestination(const DestinationNames& names, const std::string& newName,
                           RenameHost& host) {
    const std::string* listed = names.Find(newName);
    if (listed == nullptr) {
        return kRenameOk;
    }
    host.ShowMessage(DestinationCollisionMessage(*listed), kAppTitle);
    return kRenameCollision;
}

int MoveOrCopyFile(int fromFolder, const std::string& oldName, int toFolder,
                   const std::string& newName, int outputMode, RenameHost& host) {
    int error = 0;
    if (outputMode == kOutputCopy) {
        error = platform::CopyEntryAt(fromFolder, oldName, toFolder, newName);
    } else {
        error = platform::MoveEntryAt(fromFolder, oldName, toFolder, newName);
    }
    if (error == 0) {
        return kRenameOk;
    }
    return ReportFileError(oldName, error, host);
}

std::string ComposeFileErrorMessage(std::string_view oldName, std::string_view systemText) {
    constexpr std::size_t kMaxText = kFileErrorBlock - 1;  // the block ends with its NUL
    std::string text = "Error on";
    text += oldName;
    text += " \r\n\r\n";
    if (text.size() >= kMaxText) {
        text.resize(CutPoint(text, kMaxText));
        return text;
    }
    text += systemText.substr(0, CutPoint(systemText, kMaxText - text.size()));
    return text;
}

int OnPerformFileRename(FileCatalogue& catalogue, const RenameRequest& request, RenameHost& host) {
    if (!ValidRequest(request)) {
        return kRenameWrongSelection;
    }
    try {
        host.Log(kLogEnter);
        const bool wantFiles = WantsFiles(request.tabIndex);
        const std::string sourceFolder = catalogue.GetFolder();
        std::vector<std::uint32_t> plan;
        int result = BuildRenamePlan(catalogue, plan, SelectedOnly(request), wantFiles,
                                     request.tabIndex, host);

        const int mode = OutputMode(request);
        const bool toDestination = mode == kOutputMove || mode == kOutputCopy;
        if (toDestination) {
            result = RenameIntoDestination(catalogue, request, plan, result, sourceFolder, host);
        } else {
            result = RenameInPlace(catalogue, request, plan, result, sourceFolder, host);
        }

        if (result == kRenameOk) {
            host.Log(kLogShowVisuals);
            if (request.tabIndex == kTabNumber) {
                catalogue.customOrder = false;
            }
            host.ResetPage();
            host.AddSourceFolder(sourceFolder);
            if (toDestination) {
                host.AddDestFolder(request.numbering->Options().DestDir);
            }
            host.ChangeFolder(sourceFolder);
            host.RefreshPreview();
        }
        return result;
    } catch (const std::bad_alloc&) {
        return kRenameOutOfMemory;
    }
}

}  // namespace tidemark::rename
