#pragma once
// Test helpers for the folder operations: a host that records instead of showing, and a
// snapshot of a whole folder tree so that a test can check every file's place and content.

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "folderops/folder_ops_host.h"

namespace tidemark::folderops::testing {

struct Message {
    std::string text;
    std::string caption;
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

// Relative path -> content for every file under root; folders appear as "name/" -> "".
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::string& root);

}  // namespace tidemark::folderops::testing
