#pragma once
// What the folder operations need from whoever runs them: a dialog, the command line or a test.

#include <cstddef>
#include <string>

#include "platform/file_system.h"

namespace tidemark::folderops {

// Captions of the message boxes the folder operations show.
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kMergeInfoCaption = "Merge Info";

// Shown (caption "Error") when the journal of a move or merge cannot be written; then nothing
// has moved.
inline std::string JournalFailureMessage(const std::string& journalPath, int error) {
    return "The journal for undoing this batch cannot be written (" + journalPath + ": " +
           platform::SystemErrorText(error) + "). Nothing was moved.";
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
