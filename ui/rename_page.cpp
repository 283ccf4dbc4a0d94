#include "ui/rename_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

CRenamePage::CRenamePage(rename::PageKind kind, QWidget* parent)
    : CTabPage(parent), rules_(kind), folderHelper_(this) {
    folderCombo_ = new QComboBox(this);
    folderCombo_->setObjectName(QStringLiteral("folderCombo"));
    folderCombo_->setEditable(true);
    folderCombo_->setInsertPolicy(QComboBox::NoInsert);
    folderCombo_->setMinimumContentsLength(40);
    browseButton_ = FolderHelper::MakeFolderButton(this);
    browseButton_->setObjectName(QStringLiteral("browseButton"));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Folder:"), this));
    row->addWidget(folderCombo_, 1);
    row->addWidget(browseButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);

    connect(browseButton_, &QPushButton::clicked, this, &CRenamePage::OnBrowse);
    connect(folderCombo_, &QComboBox::activated, this, &CRenamePage::OnFolderPicked);
    // Only typing marks the box edited; texts the view sets do not.
    connect(folderCombo_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { folderEdited_ = true; });
    FolderHelper::WatchFocusLoss(folderCombo_, [this] { OnFolderLostFocus(); });
}

void CRenamePage::ShowOptions() {}

void CRenamePage::ResetPage() {
    rules_.Options().ClearRuleSwitches();
    ShowOptions();
}

void CRenamePage::OnBrowse() {
    std::string current;
    SendUserMessage(RenameViewOf(this), UM_GETFOLDER, 0, &current);
    QString folder = ToQString(current);
    if (folderHelper_.BrowseForFolder(folder)) {
        SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, ToStdString(folder));
    }
}

void CRenamePage::OnFolderPicked() {
    QString folder;
    if (folderHelper_.OnBoxSelection(folderCombo_, nullptr, nullptr, folder)) {
        folderEdited_ = false;
        SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, ToStdString(folder));
    }
}

void CRenamePage::OnFolderLostFocus() {
    QString folder;
    if (folderHelper_.OnBoxLostFocus(folderCombo_, nullptr, nullptr, folderEdited_, folder)) {
        SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, ToStdString(folder));
    }
}

}  // namespace tidemark::ui
