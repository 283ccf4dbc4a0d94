#include "ui/rename_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/messages.h"
#include "ui/page_folder_box.h"
#include "ui/page_support.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

// Longest text a rule's text box takes.
constexpr int kMaxRuleText = 254;

QString NumberText(std::int32_t value) {
    return value < 1 ? QStringLiteral("0") : QString::number(value);
}

}  // namespace

CRenamePage::CRenamePage(rename::PageKind kind, QWidget* parent) : CTabPage(parent), rules_(kind) {
    BuildControls();
    // The page starts from the cleared record; the view puts the saved options in later and
    // asks for the first preview itself.
    ShowOptions();
    ready_ = true;
}

QComboBox* CRenamePage::FolderCombo() const {
    return folderBox_->Combo();
}

void CRenamePage::BuildControls() {
    // Widgets are created in reading order, which is also their tab order.
    folderBox_ = new PageFolderBox(this, [this] { return View(); });
    selOnlyCheck_ = new QCheckBox(tr("Rename selected files only"), this);
    selOnlyCheck_->setObjectName(QStringLiteral("selOnlyCheck"));
    selOnlyCheck_->setToolTip(tr("Apply the rules only to the entries selected in the list"));

    auto makeCheck = [this](const QString& text, const char* name) {
        auto* check = new QCheckBox(text, this);
        check->setObjectName(QString::fromLatin1(name));
        return check;
    };
    auto makeEdit = [this](const char* name, bool number, const QString& tip) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(tip);
        if (number) {
            MakeNumberBox(edit);
        } else {
            edit->setMaxLength(kMaxRuleText);
            MakeNarrowTextBox(edit);
        }
        return edit;
    };

    checks_[kDelete] = makeCheck(tr("Delete at position"), "deleteCheck");
    edits_[kDelPos] = makeEdit("delPosEdit", true, tr("Position of the first character deleted"));
    edits_[kDelNum] = makeEdit("delNumEdit", true, tr("Number of characters deleted"));
    checks_[kLCrop] = makeCheck(tr("Left crop"), "leftCropCheck");
    edits_[kLCropNum] = makeEdit("leftCropEdit", true, tr("Characters cut from the left"));
    checks_[kRCrop] = makeCheck(tr("Right crop"), "rightCropCheck");
    edits_[kRCropNum] = makeEdit("rightCropEdit", true, tr("Characters cut from the right"));

    checks_[kChgName] = makeCheck(tr("Change text to"), "changeCheck");
    edits_[kChgNameText] = makeEdit("changeEdit", false, tr("The new text of the whole name part"));
    checks_[kReplace] = makeCheck(tr("Replace text"), "replaceCheck");
    edits_[kRepOrig] = makeEdit("replaceOrigEdit", false, tr("Text to find"));
    edits_[kRepNew] = makeEdit("replaceNewEdit", false, tr("Text put in its place"));
    matchCaseCheck_ = makeCheck(tr("Match Case"), "matchCaseCheck");
    matchCaseCheck_->setToolTip(tr("Find the text only in exactly this letter case"));

    checks_[kInsert] = makeCheck(tr("Insert at position"), "insertCheck");
    edits_[kInsPos] = makeEdit("insPosEdit", true, tr("Position at which the text begins"));
    edits_[kInsertText] = makeEdit("insertEdit", false, tr("Text to insert"));
    checks_[kPrepend] = makeCheck(tr("Prepend text"), "prependCheck");
    edits_[kPrependText] = makeEdit("prependEdit", false, tr("Text put before the name"));
    checks_[kAppend] = makeCheck(tr("Append text"), "appendCheck");
    edits_[kAppendText] = makeEdit("appendEdit", false, tr("Text put at the end of the name"));

    // The radios in their visual order with the CaseMode each stands for.
    caseGroup_ = new QButtonGroup(this);
    struct CaseRadio {
        QString text;
        const char* name;
        int mode;
    };
    const CaseRadio caseRadios[] = {
        {tr("No changes"), "caseNoneRadio", rename::kCaseNone},
        {tr("make lowercase"), "caseLowerRadio", rename::kCaseLower},
        {tr("MAKE UPPERCASE"), "caseUpperRadio", rename::kCaseUpper},
        {tr("Initial capital only"), "caseInitialRadio", rename::kCaseInitialCapital},
        {tr("Caps And Lowercase"), "caseCapsRadio", rename::kCaseCapsAndLower},
    };
    auto* caseBox = new QGroupBox(tr(" Case Changes  "), this);
    QGridLayout* caseLayout = MakeGroupGrid(caseBox);
    for (const CaseRadio& radio : caseRadios) {
        auto* button = new QRadioButton(radio.text, caseBox);
        button->setObjectName(QString::fromLatin1(radio.name));
        caseGroup_->addButton(button, radio.mode);
        caseLayout->addWidget(button, caseLayout->rowCount(), 0);
    }
    caseLayout->setRowStretch(caseLayout->rowCount(), 1);

    renameButton_ = new QPushButton(tr("&Rename"), this);
    renameButton_->setObjectName(QStringLiteral("renameButton"));
    renameButton_->setDefault(true);
    renameButton_->setToolTip(tr("Rename the entries as the preview shows"));
    closeButton_ = new QPushButton(tr("&Close"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setToolTip(tr("Keep these options and close the rename window"));
    clearButton_ = new QPushButton(tr("C&lear"), this);
    clearButton_->setObjectName(QStringLiteral("clearButton"));
    clearButton_->setToolTip(tr("Empty every box and switch every rule off"));
    for (QPushButton* button : {renameButton_, closeButton_, clearButton_}) {
        button->setAutoDefault(true);
    }

    // Layout: the folder row, then the four groups side by side with the buttons at the right.
    // The band is low but the page is narrow at the window's starting size, so a rule whose
    // boxes do not fit beside its check box has them on an indented row below it.
    const int indent = CheckBoxTextIndent(checks_[kDelete]);

    // Deletes and inserts have one shape: a rule at a position, its box on the row below, the
    // second box after a caption on the next row, then two rules with one box each.
    auto positionRules = [this, indent](const QString& title, Switch first, const QString& caption,
                                        Switch second, Switch third) {
        auto* box = new QGroupBox(title, this);
        QGridLayout* grid = MakeGroupGrid(box);
        auto* label = new QLabel(caption, box);
        KeepCaptionWhole(label);
        const auto [position, firstText] = EditsOf(first);
        grid->addWidget(checks_[first], 0, 0, 1, 2);
        grid->addLayout(MakeIndentedRow(indent, {edits_[position]}), 1, 0, Qt::AlignLeft);
        grid->addLayout(MakeIndentedRow(indent, {label}), 2, 0);
        grid->addWidget(edits_[firstText], 2, 1);
        grid->addWidget(checks_[second], 3, 0);
        grid->addWidget(edits_[EditsOf(second)[0]], 3, 1);
        grid->addWidget(checks_[third], 4, 0);
        grid->addWidget(edits_[EditsOf(third)[0]], 4, 1);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(5, 1);
        return box;
    };
    QGroupBox* deletes = positionRules(tr("  Characters Deletes  "), kDelete,
                                       tr("the next n chars"), kLCrop, kRCrop);

    auto* replacement = new QGroupBox(tr("Character Replacement"), this);
    QGridLayout* replaceGrid = MakeGroupGrid(replacement);
    auto* with = new QLabel(tr("with"), replacement);
    replaceGrid->addWidget(checks_[kChgName], 0, 0);
    replaceGrid->addLayout(MakeIndentedRow(indent, {edits_[kChgNameText]}), 1, 0);
    replaceGrid->addWidget(checks_[kReplace], 2, 0);
    replaceGrid->addLayout(MakeIndentedRow(indent, {edits_[kRepOrig], with, edits_[kRepNew]}), 3,
                           0);
    replaceGrid->addWidget(matchCaseCheck_, 4, 0);
    replaceGrid->setRowStretch(5, 1);

    QGroupBox* inserts =
        positionRules(tr(" Character Inserts  "), kInsert, tr("the text"), kPrepend, kAppend);

    for (QWidget* caption : std::initializer_list<QWidget*>{with, matchCaseCheck_}) {
        KeepCaptionWhole(caption);
    }
    for (QWidget* caption : checks_) {
        KeepCaptionWhole(caption);
    }
    for (QAbstractButton* caption : caseGroup_->buttons()) {
        KeepCaptionWhole(caption);
    }

    // The buttons close the folder row, where the folder box gives up width for them, so that
    // the page fits the least window size without scrolling them out of view.
    QHBoxLayout* top = folderBox_->MakeFolderRow(selOnlyCheck_);
    folderBox_->Combo()->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    folderBox_->Combo()->setMinimumContentsLength(6);
    top->addSpacing(12);
    for (QPushButton* button : {renameButton_, closeButton_, clearButton_}) {
        top->addWidget(button);
    }

    // Width the page has beyond its least goes to the groups with text boxes.
    auto* groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addWidget(deletes);
    groups->addWidget(replacement, 1);
    groups->addWidget(inserts, 1);
    groups->addWidget(caseBox);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(groups, 1);

    // The tab order follows the reading order above.
    QWidget* chain[] = {folderBox_->Combo(),
                        folderBox_->BrowseButton(),
                        selOnlyCheck_,
                        checks_[kDelete],
                        edits_[kDelPos],
                        edits_[kDelNum],
                        checks_[kLCrop],
                        edits_[kLCropNum],
                        checks_[kRCrop],
                        edits_[kRCropNum],
                        checks_[kChgName],
                        edits_[kChgNameText],
                        checks_[kReplace],
                        edits_[kRepOrig],
                        edits_[kRepNew],
                        matchCaseCheck_,
                        checks_[kInsert],
                        edits_[kInsPos],
                        edits_[kInsertText],
                        checks_[kPrepend],
                        edits_[kPrependText],
                        checks_[kAppend],
                        edits_[kAppendText],
                        caseGroup_->button(rename::kCaseNone),
                        caseGroup_->button(rename::kCaseLower),
                        caseGroup_->button(rename::kCaseUpper),
                        caseGroup_->button(rename::kCaseInitialCapital),
                        caseGroup_->button(rename::kCaseCapsAndLower),
                        renameButton_,
                        closeButton_,
                        clearButton_};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }

    connect(selOnlyCheck_, &QCheckBox::clicked, this, [this](bool on) {
        rules_.Options().SelOnly = on;
        Changed();
    });
    connect(matchCaseCheck_, &QCheckBox::clicked, this, [this](bool on) {
        rules_.Options().MatchCase = on;
        Changed();
    });
    for (int i = 0; i < kSwitches; ++i) {
        connect(checks_[i], &QCheckBox::clicked, this, [this, i] { OnSwitchClicked(i); });
    }
    for (int i = 0; i < kEdits; ++i) {
        connect(edits_[i], &QLineEdit::textChanged, this, [this, i] { OnEditChanged(i); });
    }
    connect(caseGroup_, &QButtonGroup::idClicked, this, [this](int mode) {
        rules_.Options().CaseMode = mode;
        Changed();
    });
    connect(renameButton_, &QPushButton::clicked, this, &CRenamePage::OnRename);
    connect(closeButton_, &QPushButton::clicked, this, &CRenamePage::OnClose);
    connect(clearButton_, &QPushButton::clicked, this, &CRenamePage::OnClear);
}

// The edits of each rule switch; the second is -1 where there is only one.
std::array<int, 2> CRenamePage::EditsOf(int which) {
    switch (which) {
        case kDelete:
            return {kDelPos, kDelNum};
        case kLCrop:
            return {kLCropNum, -1};
        case kRCrop:
            return {kRCropNum, -1};
        case kChgName:
            return {kChgNameText, -1};
        case kReplace:
            return {kRepOrig, kRepNew};
        case kInsert:
            return {kInsPos, kInsertText};
        case kPrepend:
            return {kPrependText, -1};
        default:
            return {kAppendText, -1};
    }
}

namespace {

using rename::RenameOptions;

// The record field behind each edit (1020 to 1030, in the order of CRenamePage::Edit): a number
// or a text.
struct EditField {
    std::int32_t RenameOptions::*number;
    std::string RenameOptions::*text;
};
constexpr EditField kEditFields[] = {
    {&RenameOptions::DelPos, nullptr},  {&RenameOptions::DelNum, nullptr},
    {&RenameOptions::LCrop, nullptr},   {&RenameOptions::RCrop, nullptr},
    {nullptr, &RenameOptions::ChgName}, {nullptr, &RenameOptions::RepOrig},
    {nullptr, &RenameOptions::RepNew},  {&RenameOptions::InsPos, nullptr},
    {nullptr, &RenameOptions::Insert},  {nullptr, &RenameOptions::Prepend},
    {nullptr, &RenameOptions::Append},
};

// The rule switch behind each check box 1012 to 1019 (in the order of CRenamePage::Switch).
constexpr bool RenameOptions::*kSwitchFields[] = {
    &RenameOptions::DoDelete,  &RenameOptions::DoLCrop,   &RenameOptions::DoRCrop,
    &RenameOptions::DoChgName, &RenameOptions::DoReplace, &RenameOptions::DoInsert,
    &RenameOptions::DoPrepend, &RenameOptions::DoAppend,
};

}  // namespace

// Numbers typed into an edit are read unsigned ("-3" stores 0); switching a rule on and
// "Close" read them signed.
void CRenamePage::StoreEdit(int which, bool readSigned) {
    const QString text = edits_[which]->text();
    const EditField& field = kEditFields[which];
    if (field.number != nullptr) {
        rules_.Options().*field.number =
            readSigned ? ReadSignedNumber(text) : ReadUnsignedNumber(text);
    } else {
        rules_.Options().*field.text = ToStdString(text.left(kMaxRuleText));
    }
}

void CRenamePage::EnableEdits(int which, bool on) {
    for (int edit : EditsOf(which)) {
        if (edit >= 0) {
            edits_[edit]->setEnabled(on);
        }
    }
}

void CRenamePage::OnSwitchClicked(int which) {
    const bool on = checks_[which]->isChecked();
    rules_.Options().*kSwitchFields[which] = on;
    EnableEdits(which, on);
    if (on) {
        for (int edit : EditsOf(which)) {
            if (edit >= 0) {
                StoreEdit(edit, true);
            }
        }
        edits_[EditsOf(which)[0]]->setFocus(Qt::OtherFocusReason);
    }
    Changed();
}

void CRenamePage::OnEditChanged(int which) {
    StoreEdit(which, false);
    Changed();
}

// Every option change: the folder box no longer counts as freshly typed, and the preview is
// recomputed once the change has been handled.
void CRenamePage::Changed() {
    folderBox_->ClearEdited();
    if (ready_) {
        PostUserMessage(View(), UM_REFRESHPREVIEW);
    }
}

void CRenamePage::ShowOptions() {
    const rename::RenameOptions o = rules_.Options();
    selOnlyCheck_->setChecked(o.SelOnly);
    matchCaseCheck_->setChecked(o.MatchCase);
    for (int i = 0; i < kSwitches; ++i) {
        checks_[i]->setChecked(o.*kSwitchFields[i]);
        EnableEdits(i, o.*kSwitchFields[i]);
    }
    // Setting a text runs the edit's change handler as typing would, so afterwards the record
    // holds what the boxes show (a number below 1 is shown, and so kept, as 0).
    for (int i = 0; i < kEdits; ++i) {
        const EditField& field = kEditFields[i];
        const QSignalBlocker blocker(edits_[i]);
        edits_[i]->setText(field.number != nullptr ? NumberText(o.*field.number)
                                                   : ToQString(o.*field.text));
        StoreEdit(i, false);
    }
    // No radio stays checked for a CaseMode that has none.
    caseGroup_->setExclusive(false);
    for (QAbstractButton* button : caseGroup_->buttons()) {
        button->setChecked(false);
    }
    if (QAbstractButton* button = caseGroup_->button(o.CaseMode)) {
        button->setChecked(true);
    }
    caseGroup_->setExclusive(true);
    Changed();
}

void CRenamePage::ResetRuleSwitches() {
    rules_.Options().ClearRuleSwitches();
    caseGroup_->button(rename::kCaseNone)->setChecked(true);
}

void CRenamePage::ResetPage() {
    ResetRuleSwitches();
    ShowOptions();
}

void CRenamePage::ReadControls() {
    rename::RenameOptions& o = rules_.Options();
    for (int i = 0; i < kEdits; ++i) {
        StoreEdit(i, true);
    }
    const int checked = caseGroup_->checkedId();
    if (checked >= 0) {
        o.CaseMode = checked;
    }
}

// A folder typed into the box and applied by leaving it (which the click itself does) is not
// renamed by the same click: the first click only clears the typed-folder state.
void CRenamePage::OnRename() {
    if (folderBox_->Edited()) {
        folderBox_->ClearEdited();
        return;
    }
    const std::intptr_t result = SendUserMessage(View(), UM_PERFORMRENAME);
    if (result == 1) {
        std::string folder;
        SendUserMessage(View(), UM_GETFOLDER, 0, &folder);
        PostUserMessage(View(), UM_ADDSOURCEFOLDER, 0, folder);
    }
}

void CRenamePage::OnClose() {
    ReadControls();
    PostCloseRequest(View());
}

void CRenamePage::OnClear() {
    rules_.Options() = rename::RenameOptions{};
    ShowOptions();
}

void CRenamePage::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere on the page that no control takes runs the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        renameButton_->isEnabled()) {
        renameButton_->click();
        return;
    }
    CTabPage::keyPressEvent(event);
}

void CRenamePage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        folderBox_->ClearEdited();
    }
    CTabPage::mousePressEvent(event);
}

void CRenamePage::focusOutEvent(QFocusEvent* event) {
    folderBox_->ClearEdited();
    CTabPage::focusOutEvent(event);
}

CRenameFilesPage::CRenameFilesPage(QWidget* parent) : CRenamePage(rename::PageKind::Files, parent) {
    SetChangeLabel();
}

void CRenameFilesPage::SetChangeLabel() {
    ChangeCheck()->setText(tr("Change name"));
}

CRenameExtPage::CRenameExtPage(QWidget* parent)
    : CRenamePage(rename::PageKind::Extensions, parent) {
    SetChangeLabel();
}

void CRenameExtPage::SetChangeLabel() {
    ChangeCheck()->setText(tr("Change extension"));
}

CRenameFolderPage::CRenameFolderPage(QWidget* parent)
    : CRenamePage(rename::PageKind::Folders, parent) {
    SetChangeLabel();
}

void CRenameFolderPage::SetChangeLabel() {
    ChangeCheck()->setText(tr("Change folder name"));
}

}  // namespace tidemark::ui
