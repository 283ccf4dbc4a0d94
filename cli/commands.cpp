#include "cli/commands.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "catalogue/file_catalogue.h"
#include "cli/hosts.h"
#include "cli/output.h"
#include "cli/type_names.h"
#include "cli/undo_commands.h"
#include "folderops/intelligent_merge.h"
#include "folderops/move_on_length.h"
#include "platform/file_system.h"
#include "rename/preview.h"
#include "rename/rename_execution.h"

namespace tidemark::cli {
namespace {

// The window's type texts. Only the listing and the type order read them: other commands skip
// loading the type database.
void UseWindowTypeNames(catalogue::FileCatalogue& catalogue) {
    catalogue.SetTypeNamer(WindowTypeNamer());
}

// Reads FOLDER as the rename window's ChangeFolder does. A folder that does not exist is a
// usage error (with the folder boxes' message); a failed read gives its result code.
int LoadSourceFolder(const std::string& folder, catalogue::FileCatalogue& catalogue,
                     unsigned flags = catalogue::kScanFiles | catalogue::kScanFolders) {
    if (!platform::IsDirectory(folder)) {
        throw UsageError{folder + ": The directory you've typed in does not exist."};
    }
    catalogue.SetFolder(folder);
    const int code = catalogue.LoadFolder(folder, flags);
    if (code != catalogue::kOk) {
        ReportMessage("The change directory failed!", "Error");
    }
    return code;
}

// A preview or rename reads sizes, times and attributes only to order the rows by their
// column; in any other order names and kinds are enough, which spares a file-system query per
// entry on a large folder.
unsigned ScanFlagsFor(const RenameSetup& setup) {
    const unsigned flags = catalogue::kScanFiles | catalogue::kScanFolders;
    const bool needsDetails =
        !setup.hasCustomOrder &&
        (setup.sortKey == catalogue::kKeySize || setup.sortKey == catalogue::kKeyCreated ||
         setup.sortKey == catalogue::kKeyModified || setup.sortKey == catalogue::kKeyAttrib);
    return needsDetails ? flags : flags | catalogue::kScanKindsOnly;
}

std::vector<std::uint32_t> IndicesOfNames(const catalogue::FileCatalogue& catalogue,
                                          const std::vector<std::string>& names,
                                          const char* option) {
    if (names.empty()) {
        return {};
    }
    std::unordered_map<std::string_view, std::uint32_t> indexOfName;
    const catalogue::RecordList& records = catalogue.GetRecords();
    indexOfName.reserve(records.size());
    for (const catalogue::FileRecord& record : records) {
        indexOfName.emplace(record.name, static_cast<std::uint32_t>(record.index));
    }
    std::vector<std::uint32_t> indices;
    indices.reserve(names.size());
    for (const std::string& name : names) {
        const auto it = indexOfName.find(name);
        if (it == indexOfName.end()) {
            throw UsageError{std::string(option) + ": '" + name + "' is not in " +
                             catalogue.GetFolder()};
        }
        indices.push_back(it->second);
    }
    return indices;
}

// The source list's column-click state, the custom order and the selection, as the window
// would hold them for this folder.
void ApplyView(const RenameSetup& setup, catalogue::FileCatalogue& catalogue) {
    catalogue.sortKey = setup.sortKey;
    catalogue.ascending = !setup.descending;
    if (setup.hasCustomOrder) {
        catalogue.SetCustomOrderList(IndicesOfNames(catalogue, setup.customOrder, "--order"));
        catalogue.customOrder = true;
    }
    catalogue.selection = IndicesOfNames(catalogue, setup.selection, "--select");
}

// The page of the chosen tab, built from the setup.
struct Page {
    explicit Page(const RenameSetup& setup)
        : tabIndex(setup.tabIndex),
          rules(static_cast<rename::PageKind>(
              setup.tabIndex == rename::kTabNumber ? rename::kTabFiles : setup.tabIndex)) {
        rules.Options() = setup.rules;
        numbering.Options() = setup.numbering;
    }

    rename::RenameRequest Request() {
        rename::RenameRequest request{.tabIndex = tabIndex};
        if (tabIndex == rename::kTabNumber) {
            request.numbering = &numbering;
        } else {
            request.rules = &rules;
        }
        return request;
    }

    rename::Preview Preview(catalogue::FileCatalogue& catalogue) {
        return rename::PreviewBatch(catalogue, Request());
    }

    int tabIndex;
    rename::RenameRules rules;
    rename::Numbering numbering;
};

int RunList(const Invocation& invocation) {
    catalogue::FileCatalogue catalogue;
    UseWindowTypeNames(catalogue);
    if (const int code = LoadSourceFolder(invocation.folders[0], catalogue);
        code != catalogue::kOk) {
        return ExitStatusOf(code);
    }
    ApplyView(invocation.setup, catalogue);
    OutputBuffer out(stdout);
    std::vector<std::string> texts;
    const catalogue::RecordList& records = catalogue.GetRecords();
    const std::int32_t rows = catalogue.RowCount();
    for (std::int32_t row = 0; row < rows; ++row) {
        const std::int32_t index = catalogue.RecordAtRow(row);
        if (index < 0) {
            continue;
        }
        catalogue::FormatRecord(records[static_cast<std::size_t>(index)], texts);
        WriteTabLine(out, texts, invocation.null);
    }
    return 0;
}

// Reads FOLDER for a preview or a rename and puts the catalogue into the order and selection
// the options name.
int LoadForPage(const Invocation& invocation, catalogue::FileCatalogue& catalogue) {
    if (!invocation.setup.hasCustomOrder && invocation.setup.sortKey == catalogue::kKeyType) {
        UseWindowTypeNames(catalogue);
    } else {
        // The pages read names and kinds alone.
        catalogue.SetTypeNamer([](std::string_view, bool) { return catalogue::TypeInfo{}; });
    }
    const int code =
        LoadSourceFolder(invocation.folders[0], catalogue, ScanFlagsFor(invocation.setup));
    if (code == catalogue::kOk) {
        ApplyView(invocation.setup, catalogue);
    }
    return code;
}

int RunPreview(const Invocation& invocation) {
    catalogue::FileCatalogue catalogue;
    if (const int code = LoadForPage(invocation, catalogue); code != catalogue::kOk) {
        return ExitStatusOf(code);
    }
    Page page(invocation.setup);
    const rename::Preview preview = page.Preview(catalogue);
    {
        OutputBuffer out(stdout);
        if (invocation.json) {
            WritePreviewJson(out, preview.rows);
        } else {
            WritePreviewLines(out, preview.rows, invocation.null);
        }
    }
    if (preview.clashCount == 0) {
        return 0;
    }
    // The rows are what the rename would do; the status and this line tell a script that the
    // rename would refuse them, so that "preview && rename" never starts a refused batch.
    WriteClashSummary(preview.rows);
    return ExitStatusOf(preview.firstClash == rename::NameClash::Invalid
                            ? rename::kRenameFileOpFailed
                            : rename::kRenameCollision);
}

// The file-operation message names only the old name; when a new name is one that no file
// system can hold, a line naming it tells the user which rule to change.
void ReportUnholdableName(const std::vector<rename::PreviewRow>& rows) {
    for (const rename::PreviewRow& row : rows) {
        if (const int error = platform::CheckEntryName(row.newName); error != 0) {
            ReportMessage("the new name '" + row.newName + "' of '" + row.oldName +
                              "' cannot be a file name: " + platform::SystemErrorText(error),
                          "Error");
            return;
        }
    }
}

int RunRename(const Invocation& invocation) {
    catalogue::FileCatalogue catalogue;
    if (const int code = LoadForPage(invocation, catalogue); code != catalogue::kOk) {
        return ExitStatusOf(code);
    }
    Page page(invocation.setup);
    CliRenameHost host(invocation.log);
    platform::JournalWriter journal;
    rename::RenameRequest request = page.Request();
    request.journal = &journal;
    const int result = rename::OnPerformFileRename(catalogue, request, host);
    if (result == rename::kRenameFileOpFailed) {
        ReportUnholdableName(page.Preview(catalogue).rows);
    }
    return ExitStatusOf(result);
}

int RunMoveOnLength(const Invocation& invocation) {
    const std::string& source = invocation.folders[0];
    folderops::MoveOnLengthRequest request;
    request.source = source;
    request.destination = invocation.folders[1];
    request.lengthText = invocation.lengthText;
    if (invocation.previewOnly) {
        // The dialog's preview lists the source alone; here the Move's own checks run first,
        // so that a listed batch is one the Move would start.
        CliFolderOpsHost host;
        folderops::MoveOnLengthResult checks;
        auto names = folderops::CheckMoveOnLength(request, host, checks);
        if (!names) {
            return 1;
        }
        folderops::SortNoCase(*names);
        OutputBuffer out(stdout);
        for (const std::string& name : *names) {
            out.Text() += name;
            out.Text() += '\n';
            out.MaybeFlush();
        }
        return 0;
    }
    platform::JournalWriter journal;
    request.journal = &journal;
    CliFolderOpsHost host;
    const folderops::MoveOnLengthResult result = folderops::RunMoveOnLength(request, host);
    // The dialog skips a failed move without a word; here each one is told.
    for (std::size_t i = 0; i < result.failed.size(); ++i) {
        if (result.failedErrors[i] == platform::kNotCopyableError) {
            continue;  // named already by the message on entries that cannot be copied
        }
        ReportMessage("could not move " + result.failed[i] + " to " + request.destination + ": " +
                          platform::SystemErrorText(result.failedErrors[i]),
                      "Error");
    }
    return result.close && result.failed.empty() ? 0 : 1;
}

int RunMerge(const Invocation& invocation) {
    folderops::MergeRequest request;
    request.source = invocation.folders[0];
    request.destination = invocation.folders[1];
    request.alternate = invocation.folders[2];
    platform::JournalWriter journal;
    request.journal = &journal;
    CliFolderOpsHost host;
    const folderops::MergeResult result = folderops::RunMerge(request, host);
    if (!result.merged) {
        return 1;
    }
    if (!result.counts) {
        // A journal that could not be started has said so already.
        if (!host.Told()) {
            ReportMessage("could not read the folder " + request.source, "Error");
        }
        return 1;
    }
    // The dialog counts a file whose transfer failed as if it had gone; the summary here counts
    // only what happened, and each failure gets its own line.
    folderops::MergeCounts done = *result.counts;
    for (const folderops::MergeFailure& failure : done.failed) {
        --(failure.toAlternate ? done.alternate : done.moved);
        if (failure.error == platform::kNotCopyableError) {
            continue;  // named already by the message on entries that cannot be copied
        }
        ReportMessage("could not move " + failure.name + " to " +
                          (failure.toAlternate ? request.alternate : request.destination) + ": " +
                          platform::SystemErrorText(failure.error),
                      "Error");
    }
    WriteMergeSummary(folderops::MergeSummary(done));
    return done.failed.empty() ? 0 : 1;
}

}  // namespace

int ExitStatusOf(int resultCode) {
    return resultCode == 1 ? 0 : std::abs(resultCode);
}

int RunCommand(const Invocation& invocation) {
    switch (invocation.command) {
        case Command::List:
            return RunList(invocation);
        case Command::Preview:
            return RunPreview(invocation);
        case Command::Rename:
            return RunRename(invocation);
        case Command::MoveOnLength:
            return RunMoveOnLength(invocation);
        case Command::Merge:
            return RunMerge(invocation);
        case Command::History:
            return RunHistory(invocation);
        case Command::Undo:
            return RunUndo(invocation);
    }
    return 2;
}

}  // namespace tidemark::cli
