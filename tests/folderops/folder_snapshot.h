#pragma once
// Folder-tool helpers: a recording host, and trees written compactly ("dir/|dir/name=content|...").

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "folderops/folder_ops_host.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tree_state.h"

namespace tidemark::folderops::testing {

struct Message {
    std::string text, caption;
    bool operator==(const Message&) const = default;
};

class RecordingHost : public FolderOpsHost {
  public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    void Progress(std::size_t done, std::size_t total) override {
        progress.emplace_back(done, total);
    }
    std::vector<Message> messages;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
};

using Snapshot = tidemark::testing::TreeState;

inline Snapshot TakeSnapshot(const std::string& root) {
    return tidemark::testing::ReadTreeState(root, false);
}

inline Snapshot Tree(std::string_view text) {
    Snapshot tree;
    while (!text.empty()) {
        const std::string_view entry = text.substr(0, text.find('|'));
        text.remove_prefix(std::min(text.size(), entry.size() + 1));
        const std::size_t eq = entry.find('=');
        tree[std::string(entry.substr(0, eq))] =
            eq == std::string_view::npos ? "" : std::string(entry.substr(eq + 1));
    }
    return tree;
}

inline void Plant(const tidemark::testing::TempFolder& root, std::string_view text) {
    for (const auto& [path, content] : Tree(text)) {
        path.ends_with('/') ? root.Folder(path) : root.File(path, content);
    }
}

}  // namespace tidemark::folderops::testing
