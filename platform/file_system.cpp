#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/fs_calls.h"
#include "platform/text.h"

namespace tidemark::platform {
namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr unsigned kStatxMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_BTIME;

std::uint64_t FileTimeOf(const statx_timestamp& ts) {
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

bool FollowsToDirectory(int dirfd, const char* name) {
    struct stat st {};
    return FsCalls().fstatat(dirfd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// Windows-style attribute bits of one entry, mapped from the Linux file type, mode and flags.
EntryInfo InfoFromStatx(const struct statx& sx, std::string_view name, int dirfd,
                        const char* pathForLink) {
    EntryInfo info;
    const mode_t mode = sx.stx_mode;
    std::uint32_t attrs = 0;
    const bool isLink = S_ISLNK(mode);
    const bool isDir = S_ISDIR(mode) || (isLink && FollowsToDirectory(dirfd, pathForLink));
    if (isDir) {
        attrs |= kAttrDirectory;
    }
    if (isLink) {
        attrs |= kAttrSymlink;
    }
    if (!isLink && (mode & S_IWUSR) == 0) {
        attrs |= kAttrReadOnly;
    }
    if (!name.empty() && name.front() == '.') {
        attrs |= kAttrHidden;
    }
    if (!S_ISREG(mode) && !S_ISDIR(mode) && !isLink) {
        attrs |= kAttrSystem;
    }
    if ((sx.stx_attributes_mask & STATX_ATTR_ENCRYPTED) &&
        (sx.stx_attributes & STATX_ATTR_ENCRYPTED)) {
        attrs |= kAttrEncrypted;
    }
    if ((sx.stx_attributes_mask & STATX_ATTR_COMPRESSED) &&
        (sx.stx_attributes & STATX_ATTR_COMPRESSED)) {
        attrs |= kAttrCompressed;
    }
    if (attrs == 0 && S_ISREG(mode)) {
        attrs = kAttrNormal;
    }
    info.attributes = attrs;
    info.modified = FileTimeOf(sx.stx_mtime);
    info.created = (sx.stx_mask & STATX_BTIME) ? FileTimeOf(sx.stx_btime) : info.modified;
    info.size = S_ISDIR(mode) ? 0 : sx.stx_size;
    info.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    info.kind = isLink          ? EntryKind::Symlink
                : S_ISDIR(mode) ? EntryKind::Directory
                : S_ISREG(mode) ? EntryKind::Regular
                                : EntryKind::Special;
    return info;
}

std::string_view BaseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::uint64_t FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
    const std::int64_t s = seconds + kSecondsFrom1601To1970;
    if (s < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(s) * 10000000ULL + nanoseconds / 100;
}

namespace {

// A regular file or folder named by the listing itself, described without asking for more.
bool DescribeFromListing(const dirent& ent, DirEntry& entry) {
    if (ent.d_type != DT_REG && ent.d_type != DT_DIR) {
        return false;
    }
    std::uint32_t attrs = ent.d_type == DT_DIR ? kAttrDirectory : 0;
    if (!entry.name.empty() && entry.name.front() == '.') {
        attrs |= kAttrHidden;
    }
    entry.attributes = attrs == 0 ? kAttrNormal : attrs;
    return true;
}

bool ListEntries(const std::string& folder, const std::function<bool(const DirEntry&)>& visit,
                 bool kindsOnly) {
    const int fd = FsCalls().openat(AT_FDCWD, folder.empty() ? "." : folder.c_str(),
                                    O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return false;
    }
    const int dirfd = ::dirfd(dir);
    while (dirent* ent = readdir(dir)) {
        DirEntry entry;
        entry.name = ent->d_name;
        entry.inode = ent->d_ino;
        struct statx sx {};
        if (kindsOnly && DescribeFromListing(*ent, entry)) {
            // Names and kinds are all the caller needs.
            entry.described = false;
        } else if (FsCalls().statx(dirfd, ent->d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                                   kStatxMask, &sx) == 0) {
            const EntryInfo info = InfoFromStatx(sx, entry.name, dirfd, ent->d_name);
            entry.attributes = info.attributes;
            entry.created = info.created;
            entry.modified = info.modified;
            entry.size = info.size;
        } else if (ent->d_type == DT_DIR) {
            // Gone or unreadable since the listing: keep what the listing itself told.
            entry.attributes = kAttrDirectory;
        } else {
            entry.attributes = kAttrNormal;
        }
        if (!visit(entry)) {
            break;
        }
    }
    closedir(dir);
    return true;
}

}  // namespace

bool ListFolder(const std::string& folder, const std::function<bool(const DirEntry&)>& visit) {
    return ListEntries(folder, visit, false);
}

bool ListFolderKinds(const std::string& folder, const std::function<bool(const DirEntry&)>& visit) {
    return ListEntries(folder, visit, true);
}

std::size_t CountFolderEntries(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    std::size_t count = 0;
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count;
}

std::optional<EntryInfo> StatPath(const std::string& path) {
    return StatAt(AT_FDCWD, path);
}

std::optional<EntryInfo> StatAt(int folder, const std::string& name) {
    struct statx sx {};
    if (FsCalls().statx(folder, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask,
                        &sx) != 0) {
        return std::nullopt;
    }
    return InfoFromStatx(sx, BaseName(name), folder, name.c_str());
}

int DeleteFile(const std::string& path) {
    return FsCalls().unlinkat(AT_FDCWD, path.c_str(), 0) == 0 ? 0 : errno;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() &&
           FsCalls().fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && FsCalls().fstatat(AT_FDCWD, path.c_str(), &st, 0) == 0 &&
           S_ISDIR(st.st_mode);
}

int FolderListError(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return errno;
    }
    closedir(dir);
    return 0;
}

bool SameFileSystem(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return FsCalls().fstatat(AT_FDCWD, a.c_str(), &sa, 0) == 0 &&
           FsCalls().fstatat(AT_FDCWD, b.c_str(), &sb, 0) == 0 && sa.st_dev == sb.st_dev;
}

std::optional<std::string> FindNameNoCase(const std::string& folder, std::string_view name) {
    if (CheckEntryName(name) != 0) {
        return std::nullopt;
    }
    if (PathExists(JoinPath(folder, name))) {
        return std::string(name);
    }
    std::optional<std::string> found;
    ListFolder(folder, [&](const DirEntry& entry) {
        if (NoCaseEqual(entry.name, name)) {
            found = std::string(entry.name);
            return false;
        }
        return true;
    });
    return found;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            return std::string(buffer.data());
        }
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string SystemErrorText(int error) {
    char buffer[256];
    // GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? std::string(text) : std::string("Unknown error");
}

std::string StripTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) {
        return std::string(name);
    }
    std::string path(folder);
    if (path.back() != '/') {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

std::string ParentFolder(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(path.substr(0, slash));
}

int CheckEntryName(std::string_view name) {
    // Two single-byte searches: find_first_of tries each byte against the set, several times
    // slower on the names of a large batch.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos) {
        return EINVAL;
    }
    if (name.size() > 255) {
        return ENAMETOOLONG;
    }
    return 0;
}

}  // namespace tidemark::platform
