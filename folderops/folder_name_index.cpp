#include "folderops/folder_name_index.h"

#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::folderops {

bool FolderNameIndex::Load(const std::string& folder) {
    sizes_.clear();
    firstName_.clear();
    return platform::ListFolder(folder, [this](const platform::DirEntry& entry) {
        if (entry.name != "." && entry.name != "..") {
            Add(std::string(entry.name), entry.size);
        }
        return true;
    });
}

void FolderNameIndex::Add(const std::string& name, std::uint64_t size) {
    if (sizes_.emplace(name, size).second) {
        firstName_.emplace(platform::FoldAscii(name), name);
    }
}

std::optional<FolderNameIndex::Entry> FolderNameIndex::Find(std::string_view name) const {
    const std::string key(name);
    if (const auto exact = sizes_.find(key); exact != sizes_.end()) {
        return Entry{exact->first, exact->second};
    }
    const auto folded = firstName_.find(platform::FoldAscii(name));
    if (folded == firstName_.end()) {
        return std::nullopt;
    }
    return Entry{folded->second, sizes_.at(folded->second)};
}

}  // namespace tidemark::folderops
