#pragma once
// A window stand-in for the rename execution and the folder tools: records what they tell it.

#include <functional>
#include <string>
#include <vector>

#include "folderops/folder_ops_host.h"
#include "platform/file_system.h"
#include "rename/rename_host.h"
#include "tests/folderops/folder_snapshot.h"

namespace tidemark::rename::testing {

using folderops::testing::Message;
using Messages = std::vector<Message>;
using Names = std::vector<std::string>;

class Recorder : public RenameHost, public folderops::FolderOpsHost {
  public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    void Log(const std::string& line) override {
        logs.push_back(line);
        if (onLog) {
            onLog(line);
        }
    }
    int ChangeFolder(const std::string& folder) override {
        calls.push_back("ChangeFolder " + folder);
        return kRenameOk;
    }
    void RefreshPreview() override { calls.push_back("RefreshPreview"); }
    void ResetPage() override { calls.push_back("ResetPage"); }
    void AddSourceFolder(const std::string& f) override { calls.push_back("AddSourceFolder " + f); }
    void AddDestFolder(const std::string& f) override { calls.push_back("AddDestFolder " + f); }

    Messages messages;
    Names logs;
    Names calls;
    std::function<void(const std::string&)> onLog;
};

inline Message FileError(const std::string& oldName, int error) {
    return {"Error on" + oldName + " \r\n\r\n" + platform::SystemErrorText(error), "Error"};
}

}  // namespace tidemark::rename::testing
