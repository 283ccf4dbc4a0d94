#pragma once
// The "Number Files" page: where the number goes, where the renumbered files go, the number
// schema and base, and the custom order of the selected files. Its NumberOptions start from
// the defaults with every new rename window.

#include <QPointer>

#include <string>

#include "rename/numbering.h"
#include "ui/folder_helper.h"
#include "ui/tab_page.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tidemark::ui {

class PageFolderBox;

class CNumberPage : public CTabPage {
    Q_OBJECT
  public:
    explicit CNumberPage(QWidget* parent = nullptr);
    ~CNumberPage() override;

    int PageIndex() const override { return 3; }
    QComboBox* FolderCombo() const override;
    QComboBox* DestCombo() const override { return destCombo_; }
    bool SelOnly() const override { return numbering_.Options().SelOnly; }
    // From the record into the controls; the boxes' change handlers run as for typing, so Pos
    // becomes 0 (or the pattern's offset), Width the pattern's "?" count, and the three
    // numbers are checked.
    void ShowOptions() override;
    // After a completed renumbering: PosMode 0 ("No changes"), then the options are shown.
    void ResetPage() override;

    rename::Numbering& GetNumbering() { return numbering_; }
    const rename::Numbering& GetNumbering() const { return numbering_; }
    // "Custom Order Selected Files..." (1051), enabled by the view while a file is selected.
    QPushButton* CustomOrderButton() const { return customOrderButton_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void BuildControls();
    void OnPositionClicked(int mode);
    void OnPosEdited();
    void OnPatternEdited();
    void OnStartEdited();
    void OnIncrementEdited();
    void OnWidthEdited();
    void OnOutputClicked(int output);
    void OnBrowseDest();
    void OnDestLostFocus();
    void TakeShownDestination();
    void OnCustomOrder();
    void OnRenumber();
    void OnCancel();
    void AnalysePattern();
    void EnableDestination();
    void Changed();
    void ActionDone();

    rename::Numbering numbering_;
    // Set once the controls show the first record; from then on changes ask for a preview.
    bool ready_ = false;
    FolderHelper folderHelper_;
    PageFolderBox* folderBox_ = nullptr;
    QCheckBox* selOnlyCheck_ = nullptr;
    QPushButton* customOrderButton_ = nullptr;
    QButtonGroup* positionGroup_ = nullptr;
    QLineEdit* posEdit_ = nullptr;
    QLineEdit* patternEdit_ = nullptr;
    QButtonGroup* outputGroup_ = nullptr;
    QComboBox* destCombo_ = nullptr;
    QPointer<QObject> destFocusFilter_;
    QPushButton* destBrowseButton_ = nullptr;
    QLineEdit* startEdit_ = nullptr;
    QLineEdit* incrEdit_ = nullptr;
    QLineEdit* widthEdit_ = nullptr;
    QButtonGroup* baseGroup_ = nullptr;
    QPushButton* renumberButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tidemark::ui
