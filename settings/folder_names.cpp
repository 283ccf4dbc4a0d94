#include "settings/folder_names.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::settings {

bool ScanFolderNames(const std::string& folder, std::vector<std::string>& folderNames,
                     std::vector<std::string>& fileNames) {
    folderNames.clear();
    fileNames.clear();
    platform::ListFolder(folder, [&](const platform::DirEntry& entry) {
        auto& names = (entry.attributes & platform::kAttrDirectory) != 0 ? folderNames : fileNames;
        names.emplace_back(entry.name);
        return true;
    });
    return true;
}

void SortNames(std::vector<std::string>& names, std::size_t first, std::size_t last) {
    if (names.empty()) {
        return;
    }
    last = std::min(last, names.size() - 1);
    if (first > last) {
        return;
    }
    // Stable, so equal names keep the order they came in and a run is repeatable.
    std::stable_sort(names.begin() + static_cast<std::ptrdiff_t>(first),
                     names.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                     [](const std::string& a, const std::string& b) {
                         return platform::NoCaseCompare(a, b) < 0;
                     });
}

void SortNames(std::vector<std::string>& names) {
    if (!names.empty()) {
        SortNames(names, 0, names.size() - 1);
    }
}

std::vector<std::string> ListPlainFiles(const std::string& folder) {
    constexpr std::uint32_t kLeftOut =
        platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem;
    std::vector<std::string> names;
    if (folder.empty()) {
        return names;
    }
    platform::ListFolder(folder, [&](const platform::DirEntry& entry) {
        if ((entry.attributes & kLeftOut) == 0) {
            names.emplace_back(entry.name);
        }
        return true;
    });
    SortNames(names);
    return names;
}

}  // namespace tidemark::settings
