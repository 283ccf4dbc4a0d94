#pragma once
// What the engine tells the user, carried onto a terminal: message boxes become lines on
// standard error ("CAPTION: TEXT"), except the merge summary, which is the merge's output.

#include <string>

#include "folderops/folder_ops_host.h"
#include "rename/rename_host.h"

namespace tidemark::cli {

// Writes "CAPTION: TEXT" and a line end to standard error.
void ReportMessage(const std::string& text, const std::string& caption);

class CliRenameHost final : public rename::RenameHost {
  public:
    explicit CliRenameHost(bool log) : log_(log) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    // With --log, the line on standard error.
    void Log(const std::string& line) override;
    // The rename window re-reads the folder here to refill its lists. A command line shows
    // nothing after a rename and exits, so re-reading a large folder would be wasted work.
    int ChangeFolder(const std::string&) override { return rename::kRenameOk; }
    // Nor has it a page, lists or folder boxes to update.
    void RefreshPreview() override {}
    void ResetPage() override {}
    void AddSourceFolder(const std::string&) override {}
    void AddDestFolder(const std::string&) override {}

  private:
    bool log_;
};

// The merge summary, on standard output.
void WriteMergeSummary(const std::string& text);

class CliFolderOpsHost final : public folderops::FolderOpsHost {
  public:
    // Every message goes to standard error, except the merge summary ("Merge Info"): the merge
    // command writes its own, which counts failed transfers as failures.
    void ShowMessage(const std::string& text, const std::string& caption) override;
    // True once a message went to standard error.
    bool Told() const { return told_; }

  private:
    bool told_ = false;
};

}  // namespace tidemark::cli
