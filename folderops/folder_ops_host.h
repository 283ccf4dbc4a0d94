#pragma once
// What the folder operations need from whoever runs them: a dialog, the command line or a test.

#include <cstddef>
#include <string>
#include <vector>

namespace tidemark::folderops {

// Captions of the message boxes the folder operations show.
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kMergeInfoCaption = "Merge Info";

// Shown (caption "Error") after a move or merge that had to leave entries in the source because
// moving them to another file system means copying, and a FIFO, socket or device is never read.
inline std::string NotCopyableMessage(const std::vector<std::string>& names) {
    std::string text =
        "These entries were not moved: a FIFO, socket or device cannot be copied to another "
        "file system.";
    for (const std::string& name : names) {
        text += "\n";
        text += name;
    }
    return text;
}

class FolderOpsHost {
  public:
    virtual ~FolderOpsHost() = default;

    // A modal message box with an OK button; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

    // Called after each file handled by a move or a merge (done of total), so that a window can
    // show how far it got. It cannot stop or change the operation.
    virtual void Progress(std::size_t done, std::size_t total) {
        static_cast<void>(done);
        static_cast<void>(total);
    }
};

}  // namespace tidemark::folderops
