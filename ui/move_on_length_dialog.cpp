#include "ui/move_on_length_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "folderops/move_on_length.h"
#include "platform/file_system.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "ui/dialog_hooks.h"
#include "ui/dialog_ops_host.h"
#include "ui/folder_dialog_support.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

QLabel* MakePathLabel(QWidget* parent, const QString& objectName, const QString& toolTip) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setToolTip(toolTip);
    // A long path must not widen the dialog.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

CMoveOnLengthDlg::CMoveOnLengthDlg(QWidget* parent)
    : QDialog(parent),
      helper_(this),
      settings_(SettingsFromMainFrame()),
      frame_(MainFrameObject()) {
    setObjectName(QStringLiteral("moveOnLengthDialog"));
    setWindowTitle(tr("Move On Length"));
    setModal(true);
    AddHelpKey(this, QStringLiteral("move-on-length.html"));
    BuildControls();
    LoadHistories();
}

void CMoveOnLengthDlg::BuildControls() {
    auto* before = new QLabel(tr("Files with names longer than"), this);
    lengthEdit_ = new QLineEdit(this);
    lengthEdit_->setObjectName(QStringLiteral("lengthEdit"));
    lengthEdit_->setToolTip(
        tr("Number of characters; double-click a source file to take the length of its name"));
    lengthEdit_->setMaximumWidth(
        lengthEdit_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8 + 12);
    before->setBuddy(lengthEdit_);
    auto* after = new QLabel(
        tr("chars (name + \".\" + extension) will be moved to the destination folder."), this);

    auto* sourceCaption = new QLabel(tr("Source Folder:"), this);
    sourceCombo_ =
        MakeFolderBox(this, QStringLiteral("sourceCombo"),
                      tr("The folder whose files are moved; type a path or pick a recent one"));
    sourceCaption->setBuddy(sourceCombo_);
    sourceButton_ = FolderHelper::MakeFolderButton(this);
    sourceButton_->setObjectName(QStringLiteral("sourceButton"));
    sourceButton_->setToolTip(tr("Browse for the source folder"));
    sourceList_ = MakeFileList(
        this, QStringLiteral("sourceList"),
        tr("Files of the source folder; double-click one to use the length of its name"));
    sourcePath_ =
        MakePathLabel(this, QStringLiteral("sourcePathLabel"), tr("The folder listed above"));

    auto* destCaption = new QLabel(tr("Destination Folder:"), this);
    destCombo_ =
        MakeFolderBox(this, QStringLiteral("destCombo"),
                      tr("The folder that receives the files; type a path or pick a recent one"));
    destCaption->setBuddy(destCombo_);
    destButton_ = FolderHelper::MakeFolderButton(this);
    destButton_->setObjectName(QStringLiteral("destButton"));
    destButton_->setToolTip(tr("Browse for the destination folder"));
    destList_ =
        MakeFileList(this, QStringLiteral("destList"), tr("Files of the destination folder"));
    destPath_ = MakePathLabel(this, QStringLiteral("destPathLabel"), tr("The folder listed above"));

    auto* previewCaption = new QLabel(tr("Preview"), this);
    previewList_ =
        MakeFileList(this, QStringLiteral("previewList"), tr("The files that would be moved"));
    previewCaption->setBuddy(previewList_);

    previewButton_ = new QPushButton(tr("Preview"), this);
    previewButton_->setObjectName(QStringLiteral("previewButton"));
    previewButton_->setToolTip(tr("List the files that would be moved"));
    moveButton_ = new QPushButton(tr("Move"), this);
    moveButton_->setObjectName(QStringLiteral("moveButton"));
    moveButton_->setToolTip(tr("Move the files with longer names to the destination folder"));
    moveButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setToolTip(tr("Close without moving anything"));

    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(before);
    lengthRow->addWidget(lengthEdit_);
    lengthRow->addWidget(after, 1);

    auto* folders = new QGridLayout;
    auto* sourceBox = new QHBoxLayout;
    sourceBox->addWidget(sourceCombo_, 1);
    sourceBox->addWidget(sourceButton_);
    auto* destBox = new QHBoxLayout;
    destBox->addWidget(destCombo_, 1);
    destBox->addWidget(destButton_);
    folders->addWidget(sourceCaption, 0, 0);
    folders->addLayout(sourceBox, 1, 0);
    folders->addWidget(sourceList_, 2, 0);
    folders->addWidget(sourcePath_, 3, 0);
    folders->addWidget(destCaption, 0, 1);
    folders->addLayout(destBox, 1, 1);
    folders->addWidget(destList_, 2, 1);
    folders->addWidget(destPath_, 3, 1);
    folders->addWidget(previewCaption, 0, 2);
    folders->addWidget(previewList_, 1, 2, 3, 1);
    folders->setColumnStretch(0, 1);
    folders->setColumnStretch(1, 1);
    folders->setColumnStretch(2, 1);
    folders->setRowStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(previewButton_);
    buttons->addWidget(moveButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lengthRow);
    layout->addLayout(folders, 1);
    layout->addLayout(buttons);

    setTabOrder(lengthEdit_, sourceCombo_);
    setTabOrder(sourceCombo_, sourceButton_);
    setTabOrder(sourceButton_, sourceList_);
    setTabOrder(sourceList_, destCombo_);
    setTabOrder(destCombo_, destButton_);
    setTabOrder(destButton_, destList_);
    setTabOrder(destList_, previewList_);
    setTabOrder(previewList_, previewButton_);
    setTabOrder(previewButton_, moveButton_);
    setTabOrder(moveButton_, cancelButton_);
    lengthEdit_->setFocus();
    resize(760, 420);

    connect(previewButton_, &QPushButton::clicked, this, &CMoveOnLengthDlg::OnPreview);
    connect(moveButton_, &QPushButton::clicked, this, &CMoveOnLengthDlg::OnMove);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(sourceList_, &QListWidget::itemDoubleClicked, this,
            &CMoveOnLengthDlg::OnSourceDoubleClick);

    connect(sourceButton_, &QPushButton::clicked, this, [this] {
        helper_.OnFolderButton(sourceCombo_, sourceList_, sourcePath_, sourceFolder_);
    });
    connect(destButton_, &QPushButton::clicked, this,
            [this] { helper_.OnFolderButton(destCombo_, destList_, destPath_, destFolder_); });
    connect(sourceCombo_, &QComboBox::activated, this, [this] {
        helper_.OnBoxSelection(sourceCombo_, sourceList_, sourcePath_, sourceFolder_);
    });
    connect(destCombo_, &QComboBox::activated, this,
            [this] { helper_.OnBoxSelection(destCombo_, destList_, destPath_, destFolder_); });
    connect(sourceCombo_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { sourceEdited_ = true; });
    connect(destCombo_->lineEdit(), &QLineEdit::textEdited, this, [this] { destEdited_ = true; });
    focusWatches_.Add(WatchFolderBoxFocusLoss(sourceCombo_, [this] {
        OnBoxLostFocus(sourceCombo_, sourceList_, sourcePath_, sourceEdited_, sourceFolder_);
    }));
    focusWatches_.Add(WatchFolderBoxFocusLoss(destCombo_, [this] {
        OnBoxLostFocus(destCombo_, destList_, destPath_, destEdited_, destFolder_);
    }));
}

void CMoveOnLengthDlg::LoadHistories() {
    settings::FolderList sourceHistory;
    settings::FolderList destHistory;
    if (settings_ != nullptr) {
        settings_->GetMoveOnLengthLists(sourceHistory, destHistory);
    }
    sourceFolder_ = ToQString(settings::FirstFolder(sourceHistory));
    destFolder_ = ToQString(settings::FirstFolder(destHistory));
    // A history whose first folder is empty is not shown at all.
    if (!sourceFolder_.isEmpty()) {
        helper_.ListFolder(sourceFolder_, sourceList_, sourcePath_);
        FolderHelper::FillHistory(sourceHistory, sourceCombo_);
    }
    if (!destFolder_.isEmpty()) {
        helper_.ListFolder(destFolder_, destList_, destPath_);
        FolderHelper::FillHistory(destHistory, destCombo_);
    }
}

void CMoveOnLengthDlg::OnBoxLostFocus(QComboBox* box, QListWidget* list, QLabel* label, bool edited,
                                      QString& folder) {
    if (!edited) {
        return;
    }
    const QString typed = box->currentText();
    if (!typed.isEmpty() && platform::PathExists(ToStdString(typed))) {
        folder = typed;
        helper_.ListFolder(folder, list, label);
        return;
    }
    ShowMessageBox(this, tr("The directory you've typed in does not exist."), tr("Error"));
}

void CMoveOnLengthDlg::OnSourceDoubleClick(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    lengthEdit_->setText(QString::number(folderops::NameLength(ToStdString(item->text()))));
}

void CMoveOnLengthDlg::OnPreview() {
    const auto names = folderops::PreviewMoveOnLength(ToStdString(sourceFolder_),
                                                      ToStdString(lengthEdit_->text()));
    if (!names) {
        return;
    }
    FolderHelper::FillListBox(previewList_, *names);
}

void CMoveOnLengthDlg::OnMove() {
    folderops::MoveOnLengthRequest request{ToStdString(sourceFolder_), ToStdString(destFolder_),
                                           ToStdString(lengthEdit_->text()),
                                           AllEntries(sourceCombo_), AllEntries(destCombo_)};
    platform::JournalWriter journal;
    request.journal = &journal;
    folderops::MoveOnLengthResult result;
    {
        DialogOpsHost host(this, windowTitle(), tr("Moving files..."));
        result = folderops::RunMoveOnLength(request, host);
    }
    ReportBatchDone(journal.ChangedCount());
    if (result.storeHistories) {
        ReplaceEntries(sourceCombo_, result.sourceHistory);
        ReplaceEntries(destCombo_, result.destinationHistory);
        if (settings_ != nullptr && frame_ != nullptr) {
            settings_->SetMoveOnLengthLists(
                ToStdString(FolderHelper::JoinFolderCombo(sourceCombo_)),
                ToStdString(FolderHelper::JoinFolderCombo(destCombo_)));
        }
    }
    if (result.focusLength) {
        lengthEdit_->setFocus();
    }
    if (result.close) {
        accept();
    }
}

}  // namespace tidemark::ui
