#include "folderops/move_on_length.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "platform/file_system.h"
#include "platform/folder_fd.h"
#include "platform/text.h"

namespace tidemark::folderops {

namespace {

constexpr const char* kSourceInvalid = "The source directory is not valid.";
constexpr const char* kDestinationInvalid = "The destination directory is not valid.";
constexpr const char* kFoldersSame =
    "The Move cannot be done - the source and destination folders are the same.";
constexpr const char* kNoLength =
    "The move cannot be done.  A length larger than 0 must be entered in the length editbox.";
constexpr const char* kClashBefore = "The move was not started. A file with the name ";
constexpr const char* kClashAfter = " already exists in the destination directory.";

// The files (not folders) of folder, in the order the file system lists them.
std::vector<std::string> ScanFileNames(const std::string& folder) {
    std::vector<std::string> names;
    platform::ListFolder(folder, [&](const platform::DirEntry& entry) {
        if ((entry.attributes & platform::kAttrDirectory) == 0) {
            names.emplace_back(entry.name);
        }
        return true;
    });
    return names;
}

std::vector<std::string> QualifyingNames(const std::string& folder, std::int32_t length) {
    std::vector<std::string> names = ScanFileNames(folder);
    std::erase_if(names, [&](const std::string& name) { return !QualifiesForMove(name, length); });
    return names;
}

}  // namespace

std::int32_t ParseLength(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    const std::size_t firstDigit = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return 0;
        }
    }
    if (i == firstDigit) {
        return 0;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t NameLength(std::string_view name) {
    return static_cast<std::int32_t>(platform::GraphemeCount(name));
}

bool QualifiesForMove(std::string_view name, std::int32_t length) {
    return NameLength(name) > length;
}

std::optional<std::vector<std::string>> PreviewMoveOnLength(const std::string& source,
                                                            std::string_view lengthText) {
    const std::int32_t length = ParseLength(lengthText);
    if (length <= 0) {
        return std::nullopt;
    }
    std::vector<std::string> names = QualifyingNames(source, length);
    SortNoCase(names);
    return names;
}

void SortNoCase(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::NoCaseCompare(a, b) < 0;
    });
}

std::optional<std::string> FirstNoCaseClash(const std::vector<std::string>& names) {
    struct Group {
        std::size_t first = 0;  // index of the first name with this folded form
        bool repeated = false;
    };
    std::unordered_map<std::string, Group> groups;
    groups.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto [it, inserted] = groups.try_emplace(platform::FoldAscii(names[i]), Group{i, false});
        if (!inserted) {
            it->second.repeated = true;
        }
    }
    // A no-case sort puts equal names side by side; the first such pair in that order belongs
    // to the smallest repeated folded form, and a stable sort starts it with its first name.
    const std::string* smallest = nullptr;
    std::size_t firstIndex = 0;
    for (const auto& [folded, group] : groups) {
        if (group.repeated && (smallest == nullptr || folded < *smallest)) {
            smallest = &folded;
            firstIndex = group.first;
        }
    }
    if (smallest == nullptr) {
        return std::nullopt;
    }
    return names[firstIndex];
}

std::optional<std::vector<std::string>> CheckMoveOnLength(const MoveOnLengthRequest& request,
                                                          FolderOpsHost& host,
                                                          MoveOnLengthResult& result) {
    const bool sourceValid = platform::PathExists(request.source);
    if (!sourceValid) {
        host.ShowMessage(kSourceInvalid, kErrorCaption);
    }
    if (!platform::PathExists(request.destination)) {
        host.ShowMessage(kDestinationInvalid, kErrorCaption);
        return std::nullopt;
    }
    if (!sourceValid) {
        return std::nullopt;
    }
    if (platform::NoCaseEqual(request.source, request.destination)) {
        host.ShowMessage(kFoldersSame, kErrorCaption);
        return std::nullopt;
    }

    // From here on the folders are remembered whatever happens next.
    result.storeHistories = true;
    result.sourceHistory = request.sourceHistory;
    result.destinationHistory = request.destinationHistory;
    settings::AddToUnlimitedHistory(result.sourceHistory, request.source);
    settings::AddToUnlimitedHistory(result.destinationHistory, request.destination);

    const std::int32_t length = ParseLength(request.lengthText);
    if (length <= 0) {
        host.ShowMessage(kNoLength, kErrorCaption);
        result.focusLength = true;
        return std::nullopt;
    }

    std::vector<std::string> kept = QualifyingNames(request.source, length);
    if (kept.empty()) {
        return kept;
    }

    std::vector<std::string> joined = kept;
    const std::vector<std::string> present = ScanFileNames(request.destination);
    joined.insert(joined.end(), present.begin(), present.end());
    if (const auto clash = FirstNoCaseClash(joined)) {
        host.ShowMessage(kClashBefore + *clash + kClashAfter, kErrorCaption);
        return std::nullopt;
    }
    return kept;
}

MoveOnLengthResult RunMoveOnLength(const MoveOnLengthRequest& request, FolderOpsHost& host) {
    MoveOnLengthResult result;
    const auto checked = CheckMoveOnLength(request, host, result);
    if (!checked) {
        return result;
    }
    const std::vector<std::string>& kept = *checked;
    if (kept.empty()) {
        result.close = true;
        return result;
    }

    const bool sameFs = platform::SameFileSystem(request.source, request.destination);
    if (request.journal != nullptr) {
        platform::JournalPlan plan;
        plan.operation = "move-on-length";
        plan.folders = {request.source, request.destination};
        for (const std::string& name : kept) {
            plan.steps.push_back(
                {.kind = sameFs ? platform::StepKind::Move : platform::StepKind::CrossMove,
                 .toFolder = 1,
                 .oldName = name,
                 .newName = name});
        }
        if (const int error = request.journal->Begin(plan); error != 0) {
            host.ShowMessage(JournalFailureMessage(request.journal->Path(), error), kErrorCaption);
            return result;
        }
    }
    // Names inside folders opened once: no full path is formed, none is too long.
    const platform::FolderFd from = platform::FolderFd::Open(request.source);
    const platform::FolderFd to = platform::FolderFd::Open(request.destination);
    std::vector<std::string> notCopyable;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const std::string& name = kept[i];
        int error = from.Valid() ? to.Error() : from.Error();
        if (error == 0) {
            error = platform::MoveEntryAt(from.Get(), name, to.Get(), name);
        }
        if (error == platform::kNotCopyableError) {
            notCopyable.push_back(name);
        }
        (error == 0 ? result.moved : result.failed).push_back(name);
        if (error != 0) {
            result.failedErrors.push_back(error);
        } else if (request.journal != nullptr) {
            const auto step = static_cast<std::uint32_t>(i);
            const auto written =
                sameFs ? std::nullopt : platform::IdentifyEntry(request.destination, name);
            written ? request.journal->Done(step, *written) : request.journal->Done(step);
        }
        host.Progress(i + 1, kept.size());
    }
    if (request.journal != nullptr) {
        request.journal->Finish(result.failed.empty());
    }
    if (!notCopyable.empty()) {
        host.ShowMessage(NotCopyableMessage(notCopyable), kErrorCaption);
    }
    result.close = true;
    return result;
}

}  // namespace tidemark::folderops
