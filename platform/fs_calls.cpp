#include "platform/fs_calls.h"

#include <stdio.h>
#include <unistd.h>

namespace tidemark::platform {
namespace {

int OpenAt(int dir, const char* name, int flags, mode_t mode) {
    return ::openat(dir, name, flags, mode);
}

constexpr FsCallTable kReal{
    .openat = OpenAt,
    .renameat2 = ::renameat2,
    .linkat = ::linkat,
    .unlinkat = ::unlinkat,
    .mkdirat = ::mkdirat,
    .symlinkat = ::symlinkat,
    .readlinkat = ::readlinkat,
    .read = ::read,
    .write = ::write,
    .copy_file_range = ::copy_file_range,
    .fsync = ::fsync,
    .fchown = ::fchown,
    .fchownat = ::fchownat,
    .fchmod = ::fchmod,
    .futimens = ::futimens,
    .utimensat = ::utimensat,
    .fstat = ::fstat,
    .fstatat = ::fstatat,
    .statx = ::statx,
};

}  // namespace

namespace detail {
FsCallTable activeFsCalls = kReal;
}

const FsCallTable& RealFsCalls() {
    return kReal;
}

}  // namespace tidemark::platform
