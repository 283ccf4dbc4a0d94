#include "tests/folderops/folder_snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tidemark::folderops::testing {

Snapshot TakeSnapshot(const std::string& root) {
    Snapshot snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        if (entry.is_directory()) {
            snapshot[relative + "/"] = "";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        snapshot[relative] = content.str();
    }
    return snapshot;
}

}  // namespace tidemark::folderops::testing
