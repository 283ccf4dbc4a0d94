// Moves and copies of single entries, relative to open folders. A copy is never created under
// its final name: it is written into an anonymous file (O_TMPFILE) or a hidden temporary name
// in the target folder, synced, and only then given its name by an operation that fails when
// the name exists. Whatever fails, what was visible before stays, and nothing new is left.

#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/folder_fd.h"
#include "platform/fs_calls.h"
#include "platform/text.h"

namespace tidemark::platform {
namespace {

int Fail() {
    return errno != 0 ? errno : EIO;
}

// Closes a file descriptor when it goes out of scope.
class FdGuard {
  public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

bool NoReplaceUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool SameFolder(int a, int b) {
    if (a == b) {
        return true;
    }
    struct stat sa {};
    struct stat sb {};
    return FsCalls().fstatat(a, ".", &sa, 0) == 0 && FsCalls().fstatat(b, ".", &sb, 0) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// True when toName names the very entry fromName names, in the same folder, by a name that
// differs at most in "A"-"Z" case: an unchanged name, or a case-only rename on a file system
// that ignores case.
bool IsSameEntry(int fromFolder, const std::string& fromName, int toFolder,
                 const std::string& toName) {
    if (!NoCaseEqual(fromName, toName) || !SameFolder(fromFolder, toFolder)) {
        return false;
    }
    struct stat a {};
    struct stat b {};
    return FsCalls().fstatat(fromFolder, fromName.c_str(), &a, AT_SYMLINK_NOFOLLOW) == 0 &&
           FsCalls().fstatat(toFolder, toName.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Makes the folder's entries durable. A folder that this user may not read cannot be synced;
// the file in it has been.
int SyncFolder(int folder) {
    const FdGuard readable(
        FsCalls().openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY, 0));
    if (readable.Get() < 0) {
        return errno == EACCES ? 0 : Fail();
    }
    return FsCalls().fsync(readable.Get()) == 0 ? 0 : Fail();
}

int CopyData(int in, int out) {
    bool useRange = true;
    for (;;) {
        if (useRange) {
            const ssize_t n = FsCalls().copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n > 0) {
                continue;
            }
            if (n == 0) {
                return 0;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) {
                useRange = false;
                continue;
            }
            return Fail();
        }
        char buffer[1 << 16];
        const ssize_t n = FsCalls().read(in, buffer, sizeof buffer);
        if (n == 0) {
            return 0;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail();
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w =
                FsCalls().write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Fail();
            }
            done += w;
        }
    }
}

std::string HiddenTemporaryName() {
    unsigned char bytes[8] = {};
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != sizeof bytes) {
        const auto seed =
            static_cast<unsigned long long>(getpid()) ^ static_cast<unsigned long long>(clock());
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            bytes[i] = static_cast<unsigned char>(seed >> (8 * i));
        }
    }
    std::string name = ".tidemark-";
    char hex[3];
    for (const unsigned char b : bytes) {
        std::snprintf(hex, sizeof hex, "%02x", b);
        name += hex;
    }
    return name + ".part";
}

// A file being written in a folder under no visible name. Publish gives it its final name
// without replacing anything; until then, and whenever publishing fails, destroying it leaves
// the folder as it was.
class PendingFile {
  public:
    PendingFile(int folder, const std::string& finalName) : folder_(folder), final_(finalName) {}
    ~PendingFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
        if (!temporary_.empty()) {
            FsCalls().unlinkat(folder_, temporary_.c_str(), 0);
        }
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int Create() {
        fd_ = FsCalls().openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            return 0;
        }
        // Not every file system has anonymous files: a hidden name that nobody else holds.
        for (int attempt = 0; attempt < 16; ++attempt) {
            std::string name = HiddenTemporaryName();
            fd_ = FsCalls().openat(folder_, name.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd_ >= 0) {
                temporary_ = std::move(name);
                return 0;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        return Fail();
    }

    int Get() const { return fd_; }

    int Publish() {
        if (temporary_.empty()) {
            // linkat through /proc needs no privilege; AT_EMPTY_PATH is the way without /proc.
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            if (FsCalls().linkat(AT_FDCWD, self.c_str(), folder_, final_.c_str(),
                                 AT_SYMLINK_FOLLOW) == 0) {
                return 0;
            }
            const int error = Fail();
            if (error != ENOENT || access("/proc/self/fd", F_OK) == 0) {
                return error;
            }
            return FsCalls().linkat(fd_, "", folder_, final_.c_str(), AT_EMPTY_PATH) == 0 ? 0
                                                                                          : Fail();
        }
        if (FsCalls().renameat2(folder_, temporary_.c_str(), folder_, final_.c_str(),
                                RENAME_NOREPLACE) == 0) {
            temporary_.clear();
            return 0;
        }
        if (!NoReplaceUnsupported(errno)) {
            return Fail();
        }
        if (FsCalls().linkat(folder_, temporary_.c_str(), folder_, final_.c_str(), 0) != 0) {
            return Fail();
        }
        if (FsCalls().unlinkat(folder_, temporary_.c_str(), 0) != 0) {
            // Two names for one file: keep the folder as it was instead.
            const int error = Fail();
            FsCalls().unlinkat(folder_, final_.c_str(), 0);
            return error;
        }
        temporary_.clear();
        return 0;
    }

  private:
    int folder_;
    std::string final_;
    std::string temporary_;  // the hidden name while one is used
    int fd_ = -1;
};

// Owner and group when asked and allowed, then mode and times. The set-user-ID and
// set-group-ID bits stay only when the copy has the source's owner and group.
int ApplyMetadata(int out, const struct stat& st, bool keepOwner) {
    bool ownerKept = keepOwner && FsCalls().fchown(out, st.st_uid, st.st_gid) == 0;
    if (!ownerKept) {
        struct stat now {};
        ownerKept =
            FsCalls().fstat(out, &now) == 0 && now.st_uid == st.st_uid && now.st_gid == st.st_gid;
    }
    const mode_t mode = st.st_mode & (ownerKept ? 07777 : 01777);
    if (FsCalls().fchmod(out, mode) != 0) {
        return Fail();
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    return FsCalls().futimens(out, times) == 0 ? 0 : Fail();
}

int CopySymlink(int fromFolder, const std::string& fromName, const struct stat& st, int toFolder,
                const std::string& toName, bool keepOwner) {
    std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
    for (;;) {
        const ssize_t n =
            FsCalls().readlinkat(fromFolder, fromName.c_str(), target.data(), target.size());
        if (n < 0) {
            return Fail();
        }
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2);  // the link grew meanwhile
    }
    // A link is created whole, and creating it fails when the name exists.
    if (FsCalls().symlinkat(target.c_str(), toFolder, toName.c_str()) != 0) {
        return Fail();
    }
    // Owner and times of a link are kept where allowed; a link has no mode of its own.
    if (keepOwner) {
        FsCalls().fchownat(toFolder, toName.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    FsCalls().utimensat(toFolder, toName.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

int CopyRegular(int fromFolder, const std::string& fromName, int toFolder,
                const std::string& toName, bool keepOwner) {
    // O_NOFOLLOW and O_NONBLOCK: an entry swapped for a link or a FIFO meanwhile neither leads
    // elsewhere nor blocks; the kind is checked again on what was opened.
    const FdGuard in(FsCalls().openat(fromFolder, fromName.c_str(),
                                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                                      0));
    if (in.Get() < 0) {
        return Fail();
    }
    struct stat st {};
    if (FsCalls().fstat(in.Get(), &st) != 0) {
        return Fail();
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : kNotCopyableError;
    }
    PendingFile out(toFolder, toName);
    int error = out.Create();
    if (error == 0) {
        error = CopyData(in.Get(), out.Get());
    }
    if (error == 0) {
        error = ApplyMetadata(out.Get(), st, keepOwner);
    }
    if (error == 0 && FsCalls().fsync(out.Get()) != 0) {
        error = Fail();
    }
    if (error == 0) {
        error = out.Publish();
    }
    return error;
}

int CopyEntry(int fromFolder, const std::string& fromName, int toFolder, const std::string& toName,
              bool keepOwner) {
    struct stat st {};
    if (FsCalls().fstatat(fromFolder, fromName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return Fail();
    }
    if (S_ISLNK(st.st_mode)) {
        return CopySymlink(fromFolder, fromName, st, toFolder, toName, keepOwner);
    }
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(st.st_mode)) {
        return kNotCopyableError;
    }
    return CopyRegular(fromFolder, fromName, toFolder, toName, keepOwner);
}

// A move to another file system: copy, make the copy and its name durable, then delete the
// source. Exactly one of the two stays on every failure.
int MoveAcross(int fromFolder, const std::string& fromName, int toFolder,
               const std::string& toName) {
    struct stat st {};
    if (FsCalls().fstatat(fromFolder, fromName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return Fail();
    }
    if (S_ISDIR(st.st_mode)) {
        return EXDEV;
    }
    if (const int error = CopyEntry(fromFolder, fromName, toFolder, toName, true); error != 0) {
        return error;
    }
    int error = SyncFolder(toFolder);
    if (error == 0 && FsCalls().unlinkat(fromFolder, fromName.c_str(), 0) != 0) {
        error = Fail();
    }
    if (error != 0) {
        FsCalls().unlinkat(toFolder, toName.c_str(), 0);
    }
    return error;
}

// A move where the file system refuses RENAME_NOREPLACE: a file gets its new name as a second
// link before the old one goes (linking fails when the name exists); a folder, or a file on a
// file system without links, is renamed after checking that the new name is free.
int MoveWithoutNoReplaceFlag(int fromFolder, const std::string& fromName, int toFolder,
                             const std::string& toName) {
    struct stat src {};
    if (FsCalls().fstatat(fromFolder, fromName.c_str(), &src, AT_SYMLINK_NOFOLLOW) != 0) {
        return Fail();
    }
    if (fromName == toName && SameFolder(fromFolder, toFolder)) {
        return 0;
    }
    if (!S_ISDIR(src.st_mode)) {
        if (FsCalls().linkat(fromFolder, fromName.c_str(), toFolder, toName.c_str(), 0) == 0) {
            if (FsCalls().unlinkat(fromFolder, fromName.c_str(), 0) != 0) {
                const int error = Fail();
                FsCalls().unlinkat(toFolder, toName.c_str(), 0);
                return error;
            }
            return 0;
        }
        const int error = Fail();
        if (error == EXDEV) {
            return MoveAcross(fromFolder, fromName, toFolder, toName);
        }
        if (error == EEXIST && !IsSameEntry(fromFolder, fromName, toFolder, toName)) {
            return EEXIST;
        }
        if (error != EEXIST && error != EPERM && error != EOPNOTSUPP && error != EMLINK) {
            return error;
        }
    }
    struct stat dst {};
    if (FsCalls().fstatat(toFolder, toName.c_str(), &dst, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!IsSameEntry(fromFolder, fromName, toFolder, toName)) {
            return EEXIST;
        }
    } else if (errno != ENOENT) {
        return Fail();
    }
    if (FsCalls().renameat2(fromFolder, fromName.c_str(), toFolder, toName.c_str(), 0) == 0) {
        return 0;
    }
    const int error = Fail();
    return error == EXDEV ? MoveAcross(fromFolder, fromName, toFolder, toName) : error;
}

// The folder of a path, opened (or the current folder for a bare name), and the name in it.
struct PathInFolder {
    FolderFd folder;
    std::string name;
};

PathInFolder SplitPath(const std::string& path) {
    const std::string trimmed = StripTrailingSeparator(path);
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos || slash + 1 == trimmed.size()) {
        return {FolderFd(), trimmed};
    }
    return {FolderFd::Open(slash == 0 ? "/" : trimmed.substr(0, slash)), trimmed.substr(slash + 1)};
}

}  // namespace

int MoveEntryAt(int fromFolder, const std::string& fromName, int toFolder,
                const std::string& toName) {
    if (FsCalls().renameat2(fromFolder, fromName.c_str(), toFolder, toName.c_str(),
                            RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = Fail();
    if (error == EEXIST) {
        // Anything else that exists is never replaced.
        if (!IsSameEntry(fromFolder, fromName, toFolder, toName)) {
            return EEXIST;
        }
        if (fromName == toName) {
            return 0;
        }
        return FsCalls().renameat2(fromFolder, fromName.c_str(), toFolder, toName.c_str(), 0) == 0
                   ? 0
                   : Fail();
    }
    if (NoReplaceUnsupported(error)) {
        return MoveWithoutNoReplaceFlag(fromFolder, fromName, toFolder, toName);
    }
    if (error == EXDEV) {
        return MoveAcross(fromFolder, fromName, toFolder, toName);
    }
    return error;
}

int CopyEntryAt(int fromFolder, const std::string& fromName, int toFolder,
                const std::string& toName) {
    return CopyEntry(fromFolder, fromName, toFolder, toName, false);
}

// The path forms of the entry operations: both folders opened, then the operation on the names.
template <typename Operation>
int AtPaths(const std::string& from, const std::string& to, Operation operation) {
    const PathInFolder source = SplitPath(from);
    const PathInFolder target = SplitPath(to);
    if (!source.folder.Valid()) {
        return source.folder.Error();
    }
    if (!target.folder.Valid()) {
        return target.folder.Error();
    }
    return operation(source.folder.Get(), source.name, target.folder.Get(), target.name);
}

int MoveFileNoReplace(const std::string& from, const std::string& to) {
    return AtPaths(from, to, MoveEntryAt);
}

int CopyFileNoReplace(const std::string& from, const std::string& to) {
    return AtPaths(from, to, CopyEntryAt);
}

}  // namespace tidemark::platform
