#pragma once
// The only code that calls the operating system for files and folders. File operations return
// 0 on success or the errno value of the failure, which SystemErrorText turns into a message.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::platform {

// Attribute bits in the Windows layout that the catalogue shows and sorts by.
inline constexpr std::uint32_t kAttrReadOnly = 0x1;
inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrEncrypted = 0x40;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrSymlink = 0x400;
inline constexpr std::uint32_t kAttrCompressed = 0x800;

// File times are 100-ns ticks since 1601-01-01 UTC.
std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);

struct DirEntry {
    std::string_view name;  // valid only during the visit
    std::uint32_t attributes = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint64_t size = 0;
    std::uint64_t inode = 0;  // as the listing gives it: the batch journal's identity of a file
    // False when only the name and kind were read (ListFolderKinds): times, size and most
    // attribute bits are then unknown.
    bool described = true;
};

// Calls visit for every entry of the folder, "." and ".." included, in the order the file
// system gives them; visit returns false to stop early. Returns false when the folder cannot
// be opened (then visit is never called).
bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& visit);
// The same listing for callers that need names and kinds alone (a rename in name order of
// thousands of files): an entry that the listing itself names a regular file or a folder is
// described without asking the file system for more, with kAttrDirectory or kAttrNormal (and
// kAttrHidden for a leading "."), no times and size 0. Other entries are described in full.
bool ListFolderKinds(const std::string& folder, const std::function<bool(const DirEntry&)>& visit);

// How many entries a listing of folder visits now ("." and ".." included), without describing
// any; 0 when it cannot be opened. A size to reserve before a listing, not a promise.
std::size_t CountFolderEntries(const std::string& folder);

// What an entry is, by itself (a symbolic link is a link, whatever it points to). Special
// entries (FIFOs, sockets, devices) are never opened: only their names may change.
enum class EntryKind : std::uint8_t { Regular, Directory, Symlink, Special };

// Attributes, times and size of one path (not following a final symbolic link, except that a
// link to a folder carries the folder bit). nullopt when it does not exist.
struct EntryInfo {
    std::uint32_t attributes = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    EntryKind kind = EntryKind::Regular;
};
std::optional<EntryInfo> StatPath(const std::string& path);
std::optional<EntryInfo> StatAt(int folder, const std::string& name);

// The error of a copy refused because of the entry's kind (a FIFO, socket or device, which
// would block or never end if read): "Operation not supported".
inline constexpr int kNotCopyableError = EOPNOTSUPP;

// Renames or moves a file or folder; never replaces an existing target (EEXIST). An unchanged
// name and a case-only rename of the same entry succeed, also where the file system refuses
// RENAME_NOREPLACE. Across file systems an entry is copied (as CopyEntryAt, keeping owner and
// group where allowed), synced with its folder, then its source deleted; a folder fails with
// EXDEV, a special entry with kNotCopyableError. On failure source and target are as before.
int MoveEntryAt(int fromFolder, const std::string& fromName, int toFolder,
                const std::string& toName);
int MoveFileNoReplace(const std::string& from, const std::string& to);
// Copies an entry without following a symbolic link: a link is copied as a link; a regular
// file's data, mode (no set-user-ID or set-group-ID unless the owner is the source's too) and
// times are written under no visible name, synced, then published under toName, which fails
// with EEXIST when the name exists. A folder gives EISDIR, a special entry kNotCopyableError.
// A failed copy leaves nothing behind.
int CopyEntryAt(int fromFolder, const std::string& fromName, int toFolder,
                const std::string& toName);
int CopyFileNoReplace(const std::string& from, const std::string& to);
int DeleteFile(const std::string& path);
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// 0 when the folder can be listed, else the reason (ENOENT, ENOTDIR, EACCES, ...): a listing
// that fails reads as an empty folder, and the user is told why it is empty.
int FolderListError(const std::string& path);
// True when both paths exist on the same file system (the same device).
bool SameFileSystem(const std::string& a, const std::string& b);

// The name of the entry of folder matching name: the exact name first, then the first entry
// that equals it under NoCaseEqual. nullopt when there is none.
std::optional<std::string> FindNameNoCase(const std::string& folder, std::string_view name);

std::string CurrentDirectory();
std::string ExecutablePath();
std::string SystemErrorText(int error);

// Folder texts: a trailing "/" is cut except on the root "/"; joining never doubles it.
std::string StripTrailingSeparator(std::string path);
std::string JoinPath(std::string_view folder, std::string_view name);
std::string ParentFolder(std::string_view path);

// 0 when name can be one entry's name in a folder; otherwise EINVAL (empty, ".", "..", "/" or
// NUL inside) or ENAMETOOLONG (over 255 bytes).
int CheckEntryName(std::string_view name);

}  // namespace tidemark::platform
