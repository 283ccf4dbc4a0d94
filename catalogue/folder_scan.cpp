#include <new>
#include <string>

#include "catalogue/file_record.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace tidemark::catalogue {

namespace {

// Whatever namer answers, a type text holds at most kMaxTypeChars characters.
std::string CutTypeText(std::string text) {
    if (text.size() <= kMaxTypeChars) {
        return text;  // a byte is at most one character
    }
    std::u32string chars = platform::DecodeUtf8(text);
    if (chars.size() <= kMaxTypeChars) {
        return text;
    }
    chars.resize(kMaxTypeChars);
    return platform::EncodeUtf8(chars);
}

// Builds the record of one entry at the end of list; path holds the entry's full path. Throws
// std::bad_alloc, leaving list as it was.
void AppendRecord(RecordList& list, const platform::DirEntry& entry, const std::string& path,
                  const TypeNamer& namer) {
    // Built in place: a large folder's records are not moved once more each.
    FileRecord& record = list.emplace_back();
    try {
        record.name = entry.name;
        record.extension = ExtensionOf(entry.name);
        record.attributes = entry.attributes;
        record.created = entry.created;
        record.modified = entry.modified;
        record.size = entry.size;
        record.inode = entry.inode;
        record.detailsKnown = entry.described;
        record.isFile = (entry.attributes & platform::kAttrDirectory) == 0;
        // A type lookup that fails leaves the type empty and the icon 0; the record is kept.
        // Running out of memory is no failed lookup: it stops the scan.
        try {
            TypeInfo info = namer(path, !record.isFile);
            record.typeName = CutTypeText(std::move(info.typeName));
            record.iconIndex = info.iconIndex;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (...) {
            record.typeName.clear();
            record.iconIndex = 0;
        }
    } catch (const std::bad_alloc&) {
        list.pop_back();
        throw;
    }
}

// Lists with room for this many records are filled without counting the folder first.
constexpr std::size_t kCountBelowCapacity = 65'536;

bool IsDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

}  // namespace

int AddRecord(RecordList& list, const platform::DirEntry& entry, std::string_view prefix,
              const TypeNamer& namer) {
    try {
        std::string path(prefix);
        path += entry.name;
        AppendRecord(list, entry, path, namer);
        return kOk;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

int ScanFolder(std::string& folder, RecordList& folders, RecordList& files, unsigned flags,
               const TypeNamer& namer) {
    std::string path;
    std::size_t prefixLength = 0;
    try {
        folder = platform::StripTrailingSeparator(std::move(folder));
        // The empty folder stands for the current one: its entries' paths are their names.
        path = folder;
        if (!path.empty() && path.back() != '/') {
            path += '/';
        }
        prefixLength = path.size();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }

    int result = kOk;
    const auto visit = [&](const platform::DirEntry& entry) {
        RecordList* target = nullptr;
        if ((entry.attributes & platform::kAttrDirectory) == 0) {
            if ((flags & kScanFiles) != 0) {
                target = &files;
            }
        } else if ((flags & kScanFolders) != 0) {
            if (!IsDotEntry(entry.name) || (flags & kScanDotEntries) != 0) {
                target = &folders;
            }
        }
        if (target == nullptr) {
            return true;
        }
        try {
            // One path buffer for the whole listing: the prefix stays, only the name changes.
            path.resize(prefixLength);
            path += entry.name;
            AppendRecord(*target, entry, path, namer);
            return true;
        } catch (const std::bad_alloc&) {
            result = kOutOfMemory;
            return false;
        }
    };
    try {
        // A first read of a large folder would grow the file list step by step, moving every
        // record built so far each time; counting the names first costs far less. A list
        // kept from an earlier read mostly has the room already.
        if ((flags & kScanFiles) != 0 && files.capacity() < kCountBelowCapacity) {
            files.reserve(files.size() + platform::CountFolderEntries(folder));
        }
        // A folder that cannot be opened leaves both lists untouched and is no error.
        if ((flags & kScanKindsOnly) != 0) {
            platform::ListFolderKinds(folder, visit);
        } else {
            platform::ListFolder(folder, visit);
        }
    } catch (const std::bad_alloc&) {
        result = kOutOfMemory;
    }
    return result;
}

}  // namespace tidemark::catalogue
