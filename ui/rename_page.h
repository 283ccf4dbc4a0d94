#pragma once
// The three rename pages ("Rename Files", "Rename File Extensions", "Rename Folders").
// For now each shows only its folder box and browse button; the full controls come later.

#include "rename/rename_rules.h"
#include "ui/folder_helper.h"
#include "ui/tab_page.h"

class QPushButton;

namespace tidemark::ui {

class CRenamePage : public CTabPage {
    Q_OBJECT
  public:
    CRenamePage(rename::PageKind kind, QWidget* parent);

    int PageIndex() const override { return static_cast<int>(rules_.Kind()); }
    QComboBox* FolderCombo() const override { return folderCombo_; }
    bool SelOnly() const override { return rules_.Options().SelOnly; }
    void ShowOptions() override;
    void ResetPage() override;

    rename::RenameRules& Rules() { return rules_; }
    const rename::RenameRules& Rules() const { return rules_; }

  private:
    void OnBrowse();
    void OnFolderPicked();
    void OnFolderLostFocus();

    rename::RenameRules rules_;
    FolderHelper folderHelper_;
    QComboBox* folderCombo_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    bool folderEdited_ = false;
};

class CRenameFilesPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameFilesPage(QWidget* parent = nullptr)
        : CRenamePage(rename::PageKind::Files, parent) {}
};

class CRenameExtPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameExtPage(QWidget* parent = nullptr)
        : CRenamePage(rename::PageKind::Extensions, parent) {}
};

class CRenameFolderPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameFolderPage(QWidget* parent = nullptr)
        : CRenamePage(rename::PageKind::Folders, parent) {}
};

}  // namespace tidemark::ui
