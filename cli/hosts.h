#pragma once
// What the engine tells the user, carried onto a terminal: message boxes become lines on
// standard error ("CAPTION: TEXT"), except the merge summary, which is the merge's output.

#include <string>

#include "catalogue/file_catalogue.h"
#include "folderops/folder_ops_host.h"
#include "rename/rename_host.h"

namespace tidemark::cli {

// Writes "CAPTION: TEXT" and a line end to standard error.
void ReportMessage(const std::string& text, const std::string& caption);

class CliRenameHost final : public rename::RenameHost {
  public:
    CliRenameHost(catalogue::FileCatalogue& catalogue, bool log)
        : catalogue_(catalogue), log_(log) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    // With --log, the line on standard error.
    void Log(const std::string& line) override;
    // Re-reads the folder as the rename window does; there are no lists to refill.
    int ChangeFolder(const std::string& folder) override;
    // A command line has no page, lists or folder boxes to update.
    void RefreshPreview() override {}
    void ResetPage() override {}
    void AddSourceFolder(const std::string&) override {}
    void AddDestFolder(const std::string&) override {}

  private:
    catalogue::FileCatalogue& catalogue_;
    bool log_;
};

class CliFolderOpsHost final : public folderops::FolderOpsHost {
  public:
    // The merge summary ("Merge Info") goes to standard output, every other message to
    // standard error.
    void ShowMessage(const std::string& text, const std::string& caption) override;
};

}  // namespace tidemark::cli
