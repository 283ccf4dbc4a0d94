#pragma once
// A real folder under the system's temporary directory (or under base), removed with everything
// in it when the test ends.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::testing {

class TempFolder {
  public:
    TempFolder() : TempFolder(std::string()) {}
    explicit TempFolder(const std::string& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Full path of a name inside the folder (names may hold "/" for nested entries).
    std::string operator/(std::string_view name) const;

    // Creates a file with the given content; returns its full path.
    std::string File(std::string_view name, std::string_view content = {}) const;
    // Creates a file of the given size (sparse: holes, no data written).
    std::string SizedFile(std::string_view name, std::uint64_t size) const;
    // Creates a folder (and its parents); returns its full path.
    std::string Folder(std::string_view name) const;
    // Sets access and last-write time, in Unix seconds UTC.
    void SetTime(std::string_view name, std::int64_t unixSeconds) const;

    bool Exists(std::string_view name) const;
    std::string Read(std::string_view name) const;
    // The names directly inside the folder (or a subfolder), sorted bytewise.
    std::vector<std::string> Names(std::string_view subfolder = {}) const;

  private:
    std::string path_;
};

// A writable folder on another file system than the temporary folders ("/dev/shm"), for moves
// across file systems; empty when the machine has none.
std::string OtherFileSystem();

}  // namespace tidemark::testing
