#include "platform/folder_fd.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/fs_calls.h"

namespace tidemark::platform {

FolderFd FolderFd::Open(const std::string& path) {
    FolderFd folder;
    // O_PATH: a folder that may be written but not listed still takes renames.
    const int fd = FsCalls().openat(AT_FDCWD, path.empty() ? "." : path.c_str(),
                                    O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        folder.error_ = errno;
    } else {
        folder.fd_ = fd;
    }
    return folder;
}

FolderFd::~FolderFd() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

FolderFd::FolderFd(FolderFd&& other) noexcept
    : fd_(std::exchange(other.fd_, AT_FDCWD)), error_(std::exchange(other.error_, 0)) {}

FolderFd& FolderFd::operator=(FolderFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = std::exchange(other.fd_, AT_FDCWD);
        error_ = std::exchange(other.error_, 0);
    }
    return *this;
}

}  // namespace tidemark::platform
