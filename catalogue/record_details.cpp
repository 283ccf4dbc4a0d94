#include <new>
#include <optional>
#include <string>

#include "catalogue/file_catalogue.h"
#include "platform/file_system.h"
#include "platform/folder_fd.h"

namespace tidemark::catalogue {

bool FileCatalogue::KeyNeedsDetails(int key) {
    return key == kKeySize || key == kKeyCreated || key == kKeyModified || key == kKeyAttrib;
}

void FileCatalogue::ApplyDetails(std::int32_t recordIndex,
                                 const std::optional<platform::EntryInfo>& info) {
    if (recordIndex < 0 || static_cast<std::size_t>(recordIndex) >= records_.size()) {
        return;
    }
    FileRecord& record = records_[static_cast<std::size_t>(recordIndex)];
    if (record.detailsKnown) {
        return;
    }
    if (info) {
        // The kind stays the listing's: it placed the record among the folders or the files.
        const std::uint32_t folderBit = record.isFile ? 0 : platform::kAttrDirectory;
        record.attributes = (info->attributes & ~platform::kAttrDirectory) | folderBit;
        record.created = info->created;
        record.modified = info->modified;
        record.size = info->size;
    }
    record.detailsKnown = true;
    --missingDetails_;
}

int FileCatalogue::FillDetails(std::int32_t recordIndex) {
    if (recordIndex < 0 || static_cast<std::size_t>(recordIndex) >= records_.size() ||
        records_[static_cast<std::size_t>(recordIndex)].detailsKnown) {
        return kOk;
    }
    try {
        const std::string path =
            platform::JoinPath(GetFolder(), records_[static_cast<std::size_t>(recordIndex)].name);
        ApplyDetails(recordIndex, platform::StatPath(path));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

int FileCatalogue::FillAllDetails() {
    if (missingDetails_ == 0) {
        return kOk;
    }
    // One open folder for the whole pass: a name is then resolved without the folder's path.
    const platform::FolderFd folder = platform::FolderFd::Open(GetFolder());
    try {
        for (std::size_t r = 0; r < records_.size() && missingDetails_ > 0; ++r) {
            if (!records_[r].detailsKnown) {
                ApplyDetails(static_cast<std::int32_t>(r),
                             folder.Valid() ? platform::StatAt(folder.Get(), records_[r].name)
                                            : std::nullopt);
            }
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

}  // namespace tidemark::catalogue
