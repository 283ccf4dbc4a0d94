#pragma once
// The three rename pages ("Rename Files", "Rename File Extensions", "Rename Folders"): one set
// of controls over one RenameOptions record, kept in step with it; every option change asks
// the view for a new preview.

#include <array>
#include <cstdint>
#include <string>

#include "rename/rename_rules.h"
#include "ui/tab_page.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tidemark::ui {

class PageFolderBox;

class CRenamePage : public CTabPage {
    Q_OBJECT
  public:
    CRenamePage(rename::PageKind kind, QWidget* parent);

    int PageIndex() const override { return static_cast<int>(rules_.Kind()); }
    QComboBox* FolderCombo() const override;
    bool SelOnly() const override { return rules_.Options().SelOnly; }
    // From the record into the controls; the record then holds what the boxes show.
    void ShowOptions() override;
    // After a completed rename: the rule switches go off, then the options are shown.
    void ResetPage() override;

    rename::RenameRules& Rules() { return rules_; }
    const rename::RenameRules& Rules() const { return rules_; }
    void ApplyRules(std::string& name, bool isFile) const { rules_.ApplyRules(name, isFile); }

    // "Close": every control into the record (numbers read signed, empty as 0).
    void ReadControls();
    // The eight rule switches off and "No changes" checked; the caller shows the options.
    void ResetRuleSwitches();

    // Caption of the "Change text to" box (1015) for the page's kind.
    virtual void SetChangeLabel() = 0;

  protected:
    QCheckBox* ChangeCheck() const { return checks_[kChgName]; }
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // The eight rule switches (check boxes 1012 to 1019).
    enum Switch { kDelete, kLCrop, kRCrop, kChgName, kReplace, kInsert, kPrepend, kAppend };
    static constexpr int kSwitches = 8;
    // The edits 1020 to 1030.
    enum Edit {
        kDelPos,
        kDelNum,
        kLCropNum,
        kRCropNum,
        kChgNameText,
        kRepOrig,
        kRepNew,
        kInsPos,
        kInsertText,
        kPrependText,
        kAppendText
    };
    static constexpr int kEdits = 11;

    static std::array<int, 2> EditsOf(int which);
    void BuildControls();
    void OnSwitchClicked(int which);
    void OnEditChanged(int which);
    void StoreEdit(int which, bool readSigned);
    void EnableEdits(int which, bool on);
    void OnRename();
    void OnClose();
    void OnClear();
    void Changed();

    rename::RenameRules rules_;
    // Set once the controls show the first record; from then on changes ask for a preview.
    bool ready_ = false;
    PageFolderBox* folderBox_ = nullptr;
    QCheckBox* selOnlyCheck_ = nullptr;
    QCheckBox* matchCaseCheck_ = nullptr;
    std::array<QCheckBox*, kSwitches> checks_{};
    std::array<QLineEdit*, kEdits> edits_{};
    QButtonGroup* caseGroup_ = nullptr;
    QPushButton* renameButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

class CRenameFilesPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameFilesPage(QWidget* parent = nullptr);
    void SetChangeLabel() override;
};

class CRenameExtPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameExtPage(QWidget* parent = nullptr);
    void SetChangeLabel() override;
};

class CRenameFolderPage : public CRenamePage {
    Q_OBJECT
  public:
    explicit CRenameFolderPage(QWidget* parent = nullptr);
    void SetChangeLabel() override;
};

}  // namespace tidemark::ui
