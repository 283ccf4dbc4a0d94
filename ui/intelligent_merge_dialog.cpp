#include "ui/intelligent_merge_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "folderops/intelligent_merge.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "ui/dialog_hooks.h"
#include "ui/dialog_ops_host.h"
#include "ui/folder_dialog_support.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

CIntelligentMergeDlg::CIntelligentMergeDlg(QWidget* parent)
    : QDialog(parent),
      helper_(this),
      settings_(SettingsFromMainFrame()),
      frame_(MainFrameObject()) {
    setObjectName(QStringLiteral("intelligentMergeDialog"));
    setWindowTitle(tr("Intelligent Merge"));
    setModal(true);
    AddHelpKey(this, QStringLiteral("merge.html"));
    BuildControls();
    LoadHistories();
}

CIntelligentMergeDlg::~CIntelligentMergeDlg() {
    if (settings_ != nullptr && frame_ != nullptr) {
        settings_->SetMergeLists(ToStdString(box_[kSource].folder),
                                 ToStdString(box_[kDestination].folder),
                                 ToStdString(box_[kAlternate].folder));
    }
}

void CIntelligentMergeDlg::BuildControls() {
    struct Texts {
        QString name;
        QString caption;
        QString boxTip;
        QString buttonTip;
        QString listTip;
    };
    const Texts texts[3] = {
        {QStringLiteral("source"), tr("Source:"),
         tr("The folder whose files are merged; type a path or pick a recent one"),
         tr("Browse for the source folder"), tr("Files of the source folder")},
        {QStringLiteral("dest"), tr("Destination:"),
         tr("The folder that receives the new files; type a path or pick a recent one"),
         tr("Browse for the destination folder"), tr("Files of the destination folder")},
        {QStringLiteral("alt"), tr("Alternate:"),
         tr("The folder for files found in the destination with another size; type a path or "
            "pick a recent one"),
         tr("Browse for the alternate folder"), tr("Files of the alternate folder")},
    };

    auto* explanation = new QLabel(
        tr("Files will be moved from Source to Destination.  If a file already exists in "
           "Destination with the same name and size, the file will remain in Source.  If a "
           "file with the same name, but a different size exists in Destination, it will be "
           "moved to Alternate."),
        this);
    explanation->setObjectName(QStringLiteral("explanationLabel"));
    explanation->setWordWrap(true);
    auto* subfolders = new QLabel(
        tr("Subdirectories are not shown and their contents will not be touched."), this);
    subfolders->setObjectName(QStringLiteral("subfoldersLabel"));
    subfolders->setWordWrap(true);

    auto* folders = new QGridLayout;
    for (int role = kSource; role <= kAlternate; ++role) {
        const Texts& t = texts[role];
        FolderBox& box = box_[role];
        auto* caption = new QLabel(t.caption, this);
        box.combo = MakeFolderBox(this, t.name + QStringLiteral("Combo"), t.boxTip);
        caption->setBuddy(box.combo);
        box.button = FolderHelper::MakeFolderButton(this);
        box.button->setObjectName(t.name + QStringLiteral("Button"));
        box.button->setToolTip(t.buttonTip);
        box.list = MakeFileList(this, t.name + QStringLiteral("List"), t.listTip);
        box.label = new QLabel(this);
        box.label->setObjectName(t.name + QStringLiteral("PathLabel"));
        box.label->setToolTip(tr("The folder listed above"));
        box.label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        box.label->setTextInteractionFlags(Qt::TextSelectableByMouse);

        auto* row = new QHBoxLayout;
        row->addWidget(box.combo, 1);
        row->addWidget(box.button);
        folders->addWidget(caption, 0, role);
        folders->addLayout(row, 1, role);
        folders->addWidget(box.list, 2, role);
        folders->addWidget(box.label, 3, role);
        folders->setColumnStretch(role, 1);
        ConnectFolderBox(box);
    }
    folders->setRowStretch(2, 1);

    mergeButton_ = new QPushButton(tr("Merge"), this);
    mergeButton_->setObjectName(QStringLiteral("mergeButton"));
    mergeButton_->setToolTip(tr("Merge the source folder into the destination folder"));
    mergeButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setToolTip(tr("Close without merging"));
    connect(mergeButton_, &QPushButton::clicked, this, &CIntelligentMergeDlg::OnMerge);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(subfolders, 1);
    buttons->addWidget(mergeButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(folders, 1);
    layout->addLayout(buttons);

    QWidget* previous = nullptr;
    for (const FolderBox& box : box_) {
        for (QWidget* widget : {static_cast<QWidget*>(box.combo), static_cast<QWidget*>(box.button),
                                static_cast<QWidget*>(box.list)}) {
            if (previous != nullptr) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    setTabOrder(previous, mergeButton_);
    setTabOrder(mergeButton_, cancelButton_);
    box_[kSource].combo->setFocus();
    resize(760, 420);
}

void CIntelligentMergeDlg::ConnectFolderBox(FolderBox& box) {
    connect(box.button, &QPushButton::clicked, this,
            [this, &box] { helper_.OnFolderButton(box.combo, box.list, box.label, box.folder); });
    connect(box.combo, &QComboBox::activated, this,
            [this, &box] { helper_.OnBoxSelection(box.combo, box.list, box.label, box.folder); });
    connect(box.combo->lineEdit(), &QLineEdit::textEdited, this, [&box] { box.edited = true; });
    focusWatches_.Add(WatchFolderBoxFocusLoss(box.combo, [this, &box] {
        helper_.OnBoxLostFocus(box.combo, box.list, box.label, box.edited, box.folder);
    }));
}

void CIntelligentMergeDlg::LoadHistories() {
    settings::FolderList histories[3];
    if (settings_ != nullptr) {
        settings_->GetMergeLists(histories[kSource], histories[kDestination],
                                 histories[kAlternate]);
    }
    for (int role = kSource; role <= kAlternate; ++role) {
        FolderBox& box = box_[role];
        box.folder = ToQString(settings::FirstFolder(histories[role]));
        helper_.ListFolder(box.folder, box.list, box.label);
        FolderHelper::FillHistory(histories[role], box.combo);
    }
}

void CIntelligentMergeDlg::OnMerge() {
    folderops::MergeRequest request{
        ToStdString(box_[kSource].folder),    ToStdString(box_[kDestination].folder),
        ToStdString(box_[kAlternate].folder), AllEntries(box_[kSource].combo),
        AllEntries(box_[kDestination].combo), AllEntries(box_[kAlternate].combo)};
    platform::JournalWriter journal;
    request.journal = &journal;
    folderops::MergeResult result;
    {
        DialogOpsHost host(this, windowTitle(), tr("Merging files..."));
        result = folderops::RunMerge(request, host);
    }
    ReportBatchDone(journal.ChangedCount());
    if (!result.merged) {
        return;
    }
    const settings::FolderList* histories[3] = {&result.sourceHistory, &result.destinationHistory,
                                                &result.alternateHistory};
    for (int role = kSource; role <= kAlternate; ++role) {
        ReplaceEntries(box_[role].combo, *histories[role]);
        box_[role].folder = FolderHelper::JoinFolderCombo(box_[role].combo);
    }
    accept();
}

}  // namespace tidemark::ui
