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
    host.ShowMessage(text, kErrorCaption);
    return kRenameFileOpFailed;
}

bool SelectedOnly(const RenameRequest& request) {
    return request.tabIndex == kTabNumber ? request.numbering->Options().SelOnly
                                          : request.rules->Options().SelOnly;
}

int OutputMode(const RenameRequest& request) {
    return request.tabIndex == kTabNumber ? request.numbering->Options().Output : kOutputRename;
}

// New names of one phase from the page of the current tab. Each phase (check, execution)
// starts its own, so the numbering restarts at 0 and both phases give the same numbers.
class NewNames {
  public:
    explicit NewNames(const RenameRequest& request)
        : request_(request), wantFiles_(WantsFiles(request.tabIndex)) {}

    std::string Next(const std::string& oldName) {
        std::string name = oldName;
        if (request_.tabIndex == kTabNumber) {
            request_.numbering->ApplyNumber(name, ordinal_, wantFiles_);
        } else {
            request_.rules->ApplyRules(name, wantFiles_);
        }
        ++ordinal_;
        return name;
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

bool ValidRequest(const RenameRequest& request) {
    if (request.tabIndex == kTabNumber) {
        return request.numbering != nullptr;
    }
    return request.tabIndex >= kTabFiles && request.tabIndex <= kTabFolders &&
           request.rules != nullptr;
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
    // The same walk and the same numbering as the check, so only approved names are carried out.
    NewNames newNames(request);
    platform::JournalPlan journalPlan;
    journalPlan.operation = "rename";
    journalPlan.folders = {sourceFolder};
    for (std::size_t i = 0; i < walk.names.size(); ++i) {
        if (walk.planned[i]) {
            const std::string& oldName = walk.names[i];
            journalPlan.steps.push_back({.oldName = oldName,
                                         .newName = newNames.Next(oldName),
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

    const auto& records = catalogue.GetRecords();
    // Each approved new name joins the destination names, so two planned entries with the same
    // new name are caught as well.
    NewNames checkNames(request);
    for (std::size_t p = 0; p < plan.size() && result > 0; ++p) {
        const FileRecord& record = records[plan[p]];
        std::string newName = checkNames.Next(record.name);
        if (const int error = platform::CheckEntryName(newName); error != 0) {
            result = ReportFileError(record.name, error, host);
            break;
        }
        result = CheckNameInDestination(destinationNames, newName, host);
        if (result == kRenameOk) {
            destinationNames.Add(std::move(newName));
        }
    }
    if (result != kRenameOk) {
        return result;
    }
    host.Log(kLogDoDiffDest);

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

bool WantsFiles(int tabIndex) {
    return tabIndex != kTabFolders;
}

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
    const auto recordCount = static_cast<std::uint32_t>(records.size());
    if (catalogue.customOrder) {
        // The custom order as the user left it: no kind check, the selection does not count.
        if (const catalogue::Order* order = catalogue.GetOrder(catalogue::kKeyCustom)) {
            for (const std::uint32_t index : *order) {
                if (index < recordCount) {
                    plan.push_back(index);
                }
            }
        }
        return kRenameOk;
    }
    if (selectedOnly) {
        for (const std::uint32_t index : catalogue.selection) {
            if (index >= recordCount) {
                continue;
            }
            if (CheckSelectionKind(records[index], wantFiles, tabIndex, host) != kRenameOk) {
                return kRenameWrongSelection;
            }
            plan.push_back(index);
        }
        return kRenameOk;
    }
    const auto folderCount = static_cast<std::uint32_t>(catalogue.FolderCount());
    const std::uint32_t first = wantFiles ? folderCount : 0;
    const std::uint32_t end = wantFiles ? recordCount : folderCount;
    plan.reserve(end - first);
    for (std::uint32_t index = first; index < end; ++index) {
        plan.push_back(index);
    }
    return kRenameOk;
}

int ChkOnPerformFileRename(FileCatalogue& catalogue, const RenameRequest& request,
                           std::vector<std::uint32_t>& plan, InPlaceWalk& walk, RenameHost& host) {
    if (!ValidRequest(request)) {
        return kRenameWrongSelection;
    }
    int result = kRenameOk;
    const auto& records = catalogue.GetRecords();
    // The sort key's order front to back whatever the display direction; the custom order while
    // one is in force, so only its own entries are searched.
    walk = InPlaceWalk{};
    if (const catalogue::Order* order = catalogue.GetOrder(catalogue.sortKey)) {
        walk.names.reserve(order->size());
        walk.indices.reserve(order->size());
        for (const std::uint32_t index : *order) {
            if (index < records.size()) {
                walk.names.push_back(records[index].name);
                walk.indices.push_back(index);
            }
        }
    }

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

    std::vector<bool> inPlan(records.size(), false);
    for (const std::uint32_t index : plan) {
        if (index < records.size()) {
            inPlan[index] = true;
        }
    }
    walk.planned.resize(walk.indices.size());
    for (std::size_t i = 0; i < walk.indices.size(); ++i) {
        walk.planned[i] = inPlan[walk.indices[i]];
    }
    if (result != kRenameOk) {
        return result;
    }

    // How many listed entries carry each name (no case); an entry's own name does not count
    // against it, so a rename that changes only the letter case goes through.
    std::vector<std::string> folded;
    folded.reserve(walk.names.size());
    std::unordered_map<std::string_view, std::uint32_t> nameCount;
    nameCount.reserve(walk.names.size());
    for (const std::string& name : walk.names) {
        folded.push_back(platform::FoldAscii(name));
    }
    for (const std::string& name : folded) {
        ++nameCount[name];
    }

    NewNames newNames(request);
    for (std::size_t i = 0; i < walk.names.size() && result > 0; ++i) {
        if (!walk.planned[i]) {
            continue;
        }
        const std::string newName = newNames.Next(walk.names[i]);
        if (const int error = platform::CheckEntryName(newName); error != 0) {
            result = ReportFileError(walk.names[i], error, host);
            break;
        }
        const std::string foldedNew = platform::FoldAscii(newName);
        const auto found = nameCount.find(foldedNew);
        std::uint32_t others = found == nameCount.end() ? 0 : found->second;
        if (others > 0 && folded[i] == foldedNew) {
            --others;
        }
        if (others > 0) {
            result = kRenameCollision;
            host.ShowMessage(InPlaceCollisionMessage(walk.names[i], newName), kAppTitle);
        }
    }
    return result;
}

void DestinationNames::Add(std::string name) {
    // emplace keeps the first entry of a folded name, the one a front-to-back search meets.
    firstByFolded_.emplace(platform::FoldAscii(name), names_.size());
    names_.push_back(std::move(name));
}

const std::string* DestinationNames::Find(std::string_view name) const {
    const auto found = firstByFolded_.find(platform::FoldAscii(name));
    return found == firstByFolded_.end() ? nullptr : &names_[found->second];
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
