#pragma once
// What the folder operations need from whoever runs them: a dialog, the command line or a test.

#include <cstddef>
#include <string>

namespace tidemark::folderops {

// Captions of the message boxes the folder operations show.
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kMergeInfoCaption = "Merge Info";

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
