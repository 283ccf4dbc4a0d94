#include "ui/number_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/file_system.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

QComboBox* MakeFolderCombo(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(40);
    return box;
}

}  // namespace

CNumberPage::CNumberPage(QWidget* parent) : CTabPage(parent), folderHelper_(this) {
    folderCombo_ = MakeFolderCombo(this, QStringLiteral("folderCombo"));
    destCombo_ = MakeFolderCombo(this, QStringLiteral("destCombo"));
    auto* browseSource = FolderHelper::MakeFolderButton(this);
    browseSource->setObjectName(QStringLiteral("browseButton"));
    auto* browseDest = FolderHelper::MakeFolderButton(this);
    browseDest->setObjectName(QStringLiteral("destBrowseButton"));
    customOrderButton_ = new QPushButton(tr("Custom Order Selected Files..."), this);
    customOrderButton_->setObjectName(QStringLiteral("customOrderButton"));
    customOrderButton_->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Folder:"), this), 0, 0);
    grid->addWidget(folderCombo_, 0, 1);
    grid->addWidget(browseSource, 0, 2);
    grid->addWidget(new QLabel(tr("Output folder:"), this), 1, 0);
    grid->addWidget(destCombo_, 1, 1);
    grid->addWidget(browseDest, 1, 2);
    grid->addWidget(customOrderButton_, 2, 1, Qt::AlignLeft);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    connect(browseSource, &QPushButton::clicked, this, &CNumberPage::OnBrowseSource);
    connect(browseDest, &QPushButton::clicked, this, &CNumberPage::OnBrowseDest);
    connect(folderCombo_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { sourceEdited_ = true; });
    connect(destCombo_->lineEdit(), &QLineEdit::textEdited, this, [this] { destEdited_ = true; });
    FolderHelper::WatchFocusLoss(folderCombo_, [this] { OnSourceLostFocus(); });
    FolderHelper::WatchFocusLoss(destCombo_, [this] { OnDestLostFocus(); });
}

void CNumberPage::ShowOptions() {}

void CNumberPage::ResetPage() {
    numbering_.Options().PosMode = rename::kPosNone;
    ShowOptions();
}

void CNumberPage::OnBrowseSource() {
    std::string current;
    SendUserMessage(RenameViewOf(this), UM_GETFOLDER, 0, &current);
    QString folder = ToQString(current);
    if (folderHelper_.BrowseForFolder(folder)) {
        SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, ToStdString(folder));
    }
}

void CNumberPage::OnBrowseDest() {
    QString folder = destCombo_->currentText();
    if (folderHelper_.OnFolderButton(destCombo_, nullptr, nullptr, folder)) {
        numbering_.Options().DestDir = ToStdString(folder);
        SendUserMessage(RenameViewOf(this), UM_SETDESTFOLDER, 0, ToStdString(folder));
    }
}

void CNumberPage::OnSourceLostFocus() {
    QString folder;
    if (folderHelper_.OnBoxLostFocus(folderCombo_, nullptr, nullptr, sourceEdited_, folder)) {
        SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, ToStdString(folder));
    }
}

void CNumberPage::OnDestLostFocus() {
    QString folder;
    if (folderHelper_.OnBoxLostFocus(destCombo_, nullptr, nullptr, destEdited_, folder) &&
        platform::IsDirectory(ToStdString(folder))) {
        numbering_.Options().DestDir = ToStdString(folder);
        SendUserMessage(RenameViewOf(this), UM_SETDESTFOLDER, 0, ToStdString(folder));
    }
}

}  // namespace tidemark::ui
