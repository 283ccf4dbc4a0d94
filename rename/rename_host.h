#pragma once

#include <cstddef>
#include <string>

namespace tidemark::rename {

// Result codes of the rename execution.
inline constexpr int kRenameOk = 1;
inline constexpr int kRenameOutOfMemory = -11;
inline constexpr int kRenameFileOpFailed = -21;
inline constexpr int kRenameWrongSelection = -41;
inline constexpr int kRenameCollision = -42;
inline constexpr int kRenameNothingToDo = -43;

// The application's title, the caption of the collision and selection messages.
inline constexpr const char* kAppTitle = "TMK";

// What the rename execution needs from the window that runs it. The rename window
// implements it; tests implement it with a recorder.
class RenameHost {
  public:
    virtual ~RenameHost() = default;

    // A modal message box with an OK button.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // The same with the information icon, where the box calls for one (a failed file
    // operation); a host without icons shows it as any other message.
    virtual void ShowInformation(const std::string& text, const std::string& caption) {
        ShowMessage(text, caption);
    }
    // done of total planned entries have been carried out; a long batch shows it.
    virtual void Progress(std::size_t /*done*/, std::size_t /*total*/) {}
    // One log line, handed on verbatim.
    virtual void Log(const std::string& line) = 0;
    // Re-reads folder into the catalogue, clears the selection and refills both lists.
    virtual int ChangeFolder(const std::string& folder) = 0;
    // Posts a preview refresh (handled after the execution returns).
    virtual void RefreshPreview() = 0;
    // The page clears its rule switches (rename pages) or sets PosMode 0 (number page), then
    // shows its options again.
    virtual void ResetPage() = 0;
    // Puts a folder at the top of the page's source (1004) or destination (1069) folder box
    // when no entry equals it without regard to case.
    virtual void AddSourceFolder(const std::string& folder) = 0;
    virtual void AddDestFolder(const std::string& folder) = 0;
};

}  // namespace tidemark::rename
