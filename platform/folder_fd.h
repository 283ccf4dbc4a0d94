#pragma once
// An open folder, for file operations relative to it (openat, renameat2, unlinkat, ...): no
// full path is formed, so a long folder path never splits a batch, and renaming the folder
// meanwhile does not send later steps elsewhere.

#include <fcntl.h>

#include <string>

namespace tidemark::platform {

class FolderFd {
  public:
    // Not open: Get() is AT_FDCWD, so names resolve against the current folder.
    FolderFd() = default;
    // Opens path as a folder; on failure Valid() is false and Error() holds the errno.
    static FolderFd Open(const std::string& path);

    ~FolderFd();
    FolderFd(FolderFd&& other) noexcept;
    FolderFd& operator=(FolderFd&& other) noexcept;
    FolderFd(const FolderFd&) = delete;
    FolderFd& operator=(const FolderFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return error_ == 0; }
    int Error() const { return error_; }

  private:
    int fd_ = AT_FDCWD;
    int error_ = 0;
};

}  // namespace tidemark::platform
