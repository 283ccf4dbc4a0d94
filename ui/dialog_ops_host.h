#pragma once
// The folder operations' host inside a dialog: messages become message boxes owned by the
// dialog, the wait cursor shows while the operation runs, and a progress dialog counting the
// files appears when the operation runs longer than about half a second. Neither can stop or
// change the operation.

#include <QString>

#include <cstddef>
#include <memory>
#include <string>

#include "folderops/folder_ops_host.h"

class QProgressDialog;
class QWidget;

namespace tidemark::ui {

// The status bar's text after a journalled batch that changed entries: how many, and that it
// can be undone.
QString BatchDoneText(std::size_t changed);
// Posts that text to the main frame's status bar when anything changed.
void ReportBatchDone(std::size_t changed);

// Time an operation may take before its progress dialog shows, in milliseconds.
inline constexpr int kProgressDelayMs = 500;

class DialogOpsHost : public folderops::FolderOpsHost {
  public:
    // Shows the wait cursor at once. title captions the progress dialog, label heads its count.
    DialogOpsHost(QWidget* owner, QString title, QString label);
    // Takes the progress dialog and the wait cursor away.
    ~DialogOpsHost() override;
    DialogOpsHost(const DialogOpsHost&) = delete;
    DialogOpsHost& operator=(const DialogOpsHost&) = delete;

    // A message ends the busy state first: the user reads it with the normal cursor and no
    // progress dialog in the way.
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void Progress(std::size_t done, std::size_t total) override;

    // The progress dialog while the operation is busy (it may not be visible yet), else null.
    QProgressDialog* ProgressDialog() const { return progress_.get(); }

  private:
    void BeginBusy();
    void EndBusy();

    QWidget* owner_;
    QString title_;
    QString label_;
    bool busy_ = false;
    std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace tidemark::ui
