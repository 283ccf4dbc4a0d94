#pragma once
// Everything an undo must restore in a tree: each entry's relative path (byte-exact), its
// content and (unless left out) its last-write time in nanoseconds. Folders appear as "name/".

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tidemark::testing {

using TreeState = std::map<std::string, std::string>;

inline TreeState ReadTreeState(const std::string& root, bool withTimes = true) {
    TreeState state;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(entry.path(), root).string();
        if (entry.is_directory()) {
            state[relative + "/"] = "";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::string& content = state[relative].assign(std::istreambuf_iterator<char>(in), {});
        if (struct stat st{}; withTimes && lstat(entry.path().c_str(), &st) == 0) {
            content += "@" + std::to_string(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec);
        }
    }
    return state;
}

}  // namespace tidemark::testing
