#pragma once
// A real folder under the temporary directory (or base), removed with its contents at the end.

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

    // Create a file with the given content, a sparse file of the given size (no data written)
    // or a folder, with their parent folders; each returns the full path.
    std::string File(std::string_view name, std::string_view content = {}) const;
    std::string SizedFile(std::string_view name, std::uint64_t size) const;
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

// "/dev/shm" when writable and on another file system than the temporary folders, else "".
std::string OtherFileSystem();

}  // namespace tidemark::testing
