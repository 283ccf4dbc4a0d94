#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace tidemark::catalogue {

// Result codes shared by every engine operation.
inline constexpr int kOk = 1;
inline constexpr int kOutOfMemory = -11;

// One file or folder directly inside a scanned folder.
struct FileRecord {
    std::int32_t index = 0;  // position in the catalogue's records; folders first
    bool isFile = false;
    // False after a kinds-only listing until FileCatalogue::FillDetails: attributes, times
    // and size then hold only what the listing told (kind and hidden bit).
    bool detailsKnown = true;
    std::string name;
    std::string extension;  // from the last "." on, the "." included; empty without "."
    std::string typeName;
    std::uint32_t attributes = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint16_t iconIndex = 0;
    std::uint64_t size = 0;
    std::uint64_t inode = 0;  // 0 when not known; the batch journal identifies files by it
};

using RecordList = std::vector<FileRecord>;

// What the type namer tells about one entry: its type text and its small-icon index.
struct TypeInfo {
    std::string typeName;
    std::uint16_t iconIndex = 0;
};
// The longest type text a record keeps, in characters; longer ones are cut.
inline constexpr std::size_t kMaxTypeChars = 79;
// Asked with the entry's full path and whether it is a folder; must not open the file.
using TypeNamer = std::function<TypeInfo(std::string_view path, bool isFolder)>;

// The part of name from its last "." to the end, the "." included; empty without ".".
std::string_view ExtensionOf(std::string_view name);

// "File Folder", "XYZ File" for ".xyz", "File" without extension.
TypeInfo DefaultTypeNamer(std::string_view path, bool isFolder);

// Scan flags.
inline constexpr unsigned kScanFiles = 0x1;
inline constexpr unsigned kScanFolders = 0x2;
inline constexpr unsigned kScanDotEntries = 0x4;
// Together with the flags above: names and kinds only (platform::ListFolderKinds); sizes,
// times and most attribute bits stay 0 and detailsKnown false until the catalogue fills them.
inline constexpr unsigned kScanKindsOnly = 0x8;

// Lists folder into the two lists (index stays 0). A trailing "/" is cut from folder (the
// root "/" stays). A folder that cannot be opened gives 1 with both lists untouched.
int ScanFolder(std::string& folder, RecordList& folders, RecordList& files, unsigned flags,
               const TypeNamer& namer = DefaultTypeNamer);

// Builds one record from a listing entry and appends it to list; prefix is the folder text
// followed by "/".
int AddRecord(RecordList& list, const platform::DirEntry& entry, std::string_view prefix,
              const TypeNamer& namer = DefaultTypeNamer);

// The seven column texts: name, extension, size, created, modified, attribute letters, type.
void FormatRecord(const FileRecord& record, std::vector<std::string>& texts);
std::string FormatFileTime(std::uint64_t fileTime);      // "05-31-2010 05:11:02"
std::string FormatAttributes(std::uint32_t attributes);  // letters A C E H R S

}  // namespace tidemark::catalogue
