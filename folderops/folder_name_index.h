#pragma once
// The entries of one folder, looked up the way a case-insensitive path search in that folder
// alone finds them: the exact name first, otherwise the first entry (in listing order) equal to
// the name without regard to "A"-"Z" case. Kept in memory so that a merge looks up every file
// in constant time and sees the files it has already moved in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tidemark::folderops {

class FolderNameIndex {
  public:
    struct Entry {
        std::string name;  // the name actually found
        std::uint64_t size = 0;
    };

    // Reads every entry of folder ("." and ".." left out; folders count, with size 0).
    // Returns false, leaving the index empty, when the folder cannot be listed.
    bool Load(const std::string& folder);

    // Records an entry that has just arrived; a name already present is left as it is.
    void Add(const std::string& name, std::uint64_t size);

    std::optional<Entry> Find(std::string_view name) const;

    std::size_t Size() const { return sizes_.size(); }

  private:
    std::unordered_map<std::string, std::uint64_t> sizes_;    // exact name -> size
    std::unordered_map<std::string, std::string> firstName_;  // folded name -> first exact name
};

}  // namespace tidemark::folderops
