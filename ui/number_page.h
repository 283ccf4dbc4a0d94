#pragma once
// The "Number Files" page. For now it shows only its source folder box, its output folder box
// and their browse buttons; the full controls come later.

#include "rename/numbering.h"
#include "ui/folder_helper.h"
#include "ui/tab_page.h"

class QPushButton;

namespace tidemark::ui {

class CNumberPage : public CTabPage {
    Q_OBJECT
  public:
    explicit CNumberPage(QWidget* parent = nullptr);

    int PageIndex() const override { return 3; }
    QComboBox* FolderCombo() const override { return folderCombo_; }
    QComboBox* DestCombo() const override { return destCombo_; }
    bool SelOnly() const override { return numbering_.Options().SelOnly; }
    void ShowOptions() override;
    void ResetPage() override;

    rename::Numbering& GetNumbering() { return numbering_; }
    // "Custom Order Selected Files..." (1051), enabled by the view while a file is selected.
    QPushButton* CustomOrderButton() const { return customOrderButton_; }

  private:
    void OnBrowseSource();
    void OnBrowseDest();
    void OnSourceLostFocus();
    void OnDestLostFocus();

    rename::Numbering numbering_;
    FolderHelper folderHelper_;
    QComboBox* folderCombo_ = nullptr;
    QComboBox* destCombo_ = nullptr;
    QPushButton* customOrderButton_ = nullptr;
    bool sourceEdited_ = false;
    bool destEdited_ = false;
};

}  // namespace tidemark::ui
