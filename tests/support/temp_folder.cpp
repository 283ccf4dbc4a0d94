#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tidemark::testing {

TempFolder::TempFolder(const std::string& base)
    : path_((base.empty() ? fs::temp_directory_path() : fs::path(base)) / "tidemark-test-XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Read-only entries made by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempFolder::operator/(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

std::string TempFolder::File(std::string_view name, std::string_view content) const {
    const std::string full = *this / name;
    fs::create_directories(fs::path(full).parent_path());
    if (!(std::ofstream(full, std::ios::binary) << content)) {
        throw std::runtime_error("cannot write " + full);
    }
    return full;
}

std::string TempFolder::SizedFile(std::string_view name, std::uint64_t size) const {
    fs::resize_file(File(name), size);
    return *this / name;
}

std::string TempFolder::Folder(std::string_view name) const {
    fs::create_directories(*this / name);
    return *this / name;
}

void TempFolder::SetTime(std::string_view name, std::int64_t unixSeconds) const {
    const timespec times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
    if (utimensat(AT_FDCWD, (*this / name).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("cannot set the time of " + (*this / name));
    }
}

bool TempFolder::Exists(std::string_view name) const {
    std::error_code ec;
    return fs::exists(fs::symlink_status(*this / name, ec));
}

std::string TempFolder::Read(std::string_view name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> TempFolder::Names(std::string_view subfolder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(*this / subfolder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string OtherFileSystem() {
    struct stat shm {};
    struct stat temp {};
    const bool usable =
        stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) && access("/dev/shm", W_OK) == 0 &&
        stat(fs::temp_directory_path().c_str(), &temp) == 0 && shm.st_dev != temp.st_dev;
    return usable ? "/dev/shm" : "";
}

}  // namespace tidemark::testing
