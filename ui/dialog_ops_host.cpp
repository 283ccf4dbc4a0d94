#include "ui/dialog_ops_host.h"

#include <QApplication>
#include <QCursor>
#include <QProgressDialog>

#include <limits>
#include <utility>

#include "ui/dialog_hooks.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

int ClampToInt(std::size_t value) {
    return value > static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(value);
}

}  // namespace

QString BatchDoneText(std::size_t changed) {
    return QCoreApplication::translate(
               "tidemark::ui", "%1 entries changed. File > Undo Last Batch can undo this batch.")
        .arg(changed);
}

void ReportBatchDone(std::size_t changed) {
    if (changed > 0) {
        PostUserMessage(MainFrameObject(), UM_SETSTATUSTEXT, 0,
                        ToStdString(BatchDoneText(changed)));
    }
}

DialogOpsHost::DialogOpsHost(QWidget* owner, QString title, QString label)
    : owner_(owner), title_(std::move(title)), label_(std::move(label)) {
    BeginBusy();
}

DialogOpsHost::~DialogOpsHost() {
    EndBusy();
}

void DialogOpsHost::BeginBusy() {
    if (busy_) {
        return;
    }
    busy_ = true;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    progress_ = std::make_unique<QProgressDialog>(owner_);
    progress_->setObjectName(QStringLiteral("progressDialog"));
    progress_->setWindowTitle(title_);
    progress_->setLabelText(label_);
    progress_->setWindowModality(Qt::WindowModal);
    // The operations run to their end: there is nothing to cancel.
    progress_->setCancelButton(nullptr);
    progress_->setMinimumDuration(kProgressDelayMs);
    progress_->setAutoClose(true);
    progress_->setAutoReset(true);
    // The total is known only once the engine has listed the folder; the clock starts now.
    progress_->setRange(0, 1);
    progress_->setValue(0);
}

void DialogOpsHost::EndBusy() {
    if (!busy_) {
        return;
    }
    busy_ = false;
    progress_.reset();
    QApplication::restoreOverrideCursor();
}

void DialogOpsHost::ShowMessage(const std::string& text, const std::string& caption) {
    EndBusy();
    ShowMessageBox(owner_, ToQString(text), ToQString(caption));
}

void DialogOpsHost::Progress(std::size_t done, std::size_t total) {
    BeginBusy();
    const int maximum = ClampToInt(total);
    if (progress_->maximum() != maximum) {
        progress_->setMaximum(maximum);
    }
    progress_->setLabelText(QApplication::translate("DialogOpsHost", "%1\n%2 of %3 files")
                                .arg(label_)
                                .arg(done)
                                .arg(total));
    progress_->setValue(ClampToInt(done));
}

}  // namespace tidemark::ui
