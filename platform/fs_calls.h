#pragma once
// The file-system calls of platform, as one table of functions. Every call that platform code
// (and the settings file) makes on files and folders goes through FsCalls(), so that a test can
// put a table in its place that fails a chosen call (see fs_faults.h). The functions keep the
// system's convention: -1 (or a negative count) with errno set on failure.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace tidemark::platform {

struct FsCallTable {
    int (*openat)(int dir, const char* name, int flags, mode_t mode);
    // renameat2 with flags 0 is the plain renameat.
    int (*renameat2)(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
    int (*linkat)(int fromDir, const char* from, int toDir, const char* to, int flags);
    int (*unlinkat)(int dir, const char* name, int flags);
    int (*mkdirat)(int dir, const char* name, mode_t mode);
    int (*symlinkat)(const char* target, int dir, const char* name);
    ssize_t (*readlinkat)(int dir, const char* name, char* buffer, size_t size);
    ssize_t (*read)(int fd, void* buffer, size_t size);
    ssize_t (*write)(int fd, const void* buffer, size_t size);
    ssize_t (*copy_file_range)(int in, off_t* inOffset, int out, off_t* outOffset, size_t size,
                               unsigned flags);
    int (*fsync)(int fd);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*fchownat)(int dir, const char* name, uid_t owner, gid_t group, int flags);
    int (*fchmod)(int fd, mode_t mode);
    int (*futimens)(int fd, const timespec times[2]);
    int (*utimensat)(int dir, const char* name, const timespec times[2], int flags);
    int (*fstat)(int fd, struct stat* st);
    int (*fstatat)(int dir, const char* name, struct stat* st, int flags);
    int (*statx)(int dir, const char* name, int flags, unsigned mask, struct statx* sx);
};

// The system's own functions.
const FsCallTable& RealFsCalls();

namespace detail {
extern FsCallTable activeFsCalls;
}

// The table in force: one load and an indirect call, nothing more on the hot rename path.
inline const FsCallTable& FsCalls() {
    return detail::activeFsCalls;
}

// Puts table in force until the object goes out of scope (tests only; not thread-safe).
class ScopedFsCalls {
  public:
    explicit ScopedFsCalls(const FsCallTable& table) : saved_(detail::activeFsCalls) {
        detail::activeFsCalls = table;
    }
    ~ScopedFsCalls() { detail::activeFsCalls = saved_; }
    ScopedFsCalls(const ScopedFsCalls&) = delete;
    ScopedFsCalls& operator=(const ScopedFsCalls&) = delete;

  private:
    FsCallTable saved_;
};

}  // namespace tidemark::platform
