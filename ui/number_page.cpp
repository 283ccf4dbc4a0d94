#include "ui/number_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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

#include "catalogue/file_catalogue.h"
#include "platform/file_system.h"
#include "ui/dialog_hooks.h"
#include "ui/messages.h"
#include "ui/page_folder_box.h"
#include "ui/page_support.h"
#include "ui/qt_text.h"
#include "ui/sort_files_dialog.h"

namespace tidemark::ui {

namespace {

// Longest pattern or destination folder the page takes.
constexpr int kMaxPageText = 254;

struct RadioButtonText {
    QString text;
    const char* name;
    int id;
};

// A group box of exclusive radio buttons, each with its id; the box's layout holds them in the
// given order, one a row, in column 0 of a grid so that callers can put edits beside them.
QGroupBox* MakeRadioGroup(QWidget* parent, const QString& title,
                          const std::vector<RadioButtonText>& radios, QButtonGroup* group,
                          QGridLayout*& grid) {
    auto* box = new QGroupBox(title, parent);
    grid = MakeGroupGrid(box);
    int row = 0;
    for (const RadioButtonText& text : radios) {
        auto* radio = new QRadioButton(text.text, box);
        radio->setObjectName(QString::fromLatin1(text.name));
        KeepCaptionWhole(radio);
        group->addButton(radio, text.id);
        grid->addWidget(radio, row++, 0);
    }
    return box;
}

QLineEdit* MakeNumberEdit(QWidget* parent, const char* name, const QString& tip) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(tip);
    MakeNumberBox(edit);
    return edit;
}

void CheckOnly(QButtonGroup* group, int id) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(false);
    }
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
    }
    group->setExclusive(true);
}

}  // namespace

CNumberPage::CNumberPage(QWidget* parent) : CTabPage(parent), folderHelper_(this) {
    BuildControls();
    ShowOptions();
    ready_ = true;
}

CNumberPage::~CNumberPage() {
    // The destination box outlives the page's own members while the page is torn down.
    delete destFocusFilter_.data();
}

QComboBox* CNumberPage::FolderCombo() const {
    return folderBox_->Combo();
}

void CNumberPage::BuildControls() {
    // Widgets are created in reading order, which is also their tab order.
    folderBox_ = new PageFolderBox(this, [this] { return View(); });
    selOnlyCheck_ = new QCheckBox(tr("Rename Selected Files Only"), this);
    selOnlyCheck_->setObjectName(QStringLiteral("selOnlyCheck"));
    selOnlyCheck_->setToolTip(tr("Number only the entries selected in the list"));
    customOrderButton_ = new QPushButton(tr("Custom Order Selected Files..."), this);
    customOrderButton_->setObjectName(QStringLiteral("customOrderButton"));
    customOrderButton_->setToolTip(tr("Put the selected files into an order of your own"));
    customOrderButton_->setEnabled(false);

    positionGroup_ = new QButtonGroup(this);
    QGridLayout* positionGrid = nullptr;
    QGroupBox* positionBox =
        MakeRadioGroup(this, tr(" Number Position "),
                       {{tr("No changes"), "posNoneRadio", rename::kPosNone},
                        {tr("At position"), "posAtRadio", rename::kPosAt},
                        {tr("Before name"), "posBeforeRadio", rename::kPosBefore},
                        {tr("After name"), "posAfterRadio", rename::kPosAfter},
                        {tr("Use pattern"), "posPatternRadio", rename::kPosPattern}},
                       positionGroup_, positionGrid);
    posEdit_ = MakeNumberEdit(positionBox, "posEdit", tr("Position at which the number begins"));
    patternEdit_ = new QLineEdit(positionBox);
    patternEdit_->setObjectName(QStringLiteral("patternEdit"));
    patternEdit_->setMaxLength(kMaxPageText);
    patternEdit_->setToolTip(tr("The new name, with ? standing for each digit of the number"));
    FitTextBox(patternEdit_, QStringLiteral("holiday_???.jpg"));
    // The two radios with a box beside them; the others may reach over the boxes' column.
    for (QAbstractButton* radio : positionGroup_->buttons()) {
        positionGrid->removeWidget(radio);
        const int mode = positionGroup_->id(radio);
        positionGrid->addWidget(radio, mode, 0, 1, mode == rename::kPosAt ? 1 : 2);
    }
    positionGrid->addWidget(posEdit_, rename::kPosAt, 1, Qt::AlignLeft);
    // The pattern box on a row of its own under its radio, as wide as the group: a typical
    // pattern shows whole without widening the page.
    positionGrid->addLayout(
        MakeIndentedRow(CheckBoxTextIndent(positionGroup_->button(rename::kPosPattern)),
                        {patternEdit_}),
        rename::kPosPattern + 1, 0, 1, 2);
    // The two notes on the pattern one under the other: side by side they would make the
    // group too wide for the page at the window's starting size.
    for (const QString& note : {tr("Use ? for each digit"), tr("(e.g.  filename???.txt)")}) {
        auto* label = new QLabel(note, positionBox);
        KeepCaptionWhole(label);
        positionGrid->addWidget(label, positionGrid->rowCount(), 0, 1, 2);
    }
    positionGrid->setColumnStretch(1, 1);
    positionGrid->setRowStretch(positionGrid->rowCount(), 1);

    outputGroup_ = new QButtonGroup(this);
    QGridLayout* outputGrid = nullptr;
    QGroupBox* outputBox = MakeRadioGroup(
        this, tr(" File Output "),
        {{tr("Rename files, keep in same directory"), "outputRenameRadio", rename::kOutputRename},
         {tr("Move renamed files to new directory"), "outputMoveRadio", rename::kOutputMove},
         {tr("Copy renamed files to new directory"), "outputCopyRadio", rename::kOutputCopy}},
        outputGroup_, outputGrid);
    destCombo_ = PageFolderBox::MakeFolderCombo(outputBox);
    destCombo_->setObjectName(QStringLiteral("destCombo"));
    destCombo_->setMinimumContentsLength(20);
    destCombo_->lineEdit()->setMaxLength(kMaxPageText);
    destCombo_->setToolTip(tr("The folder that receives the moved or copied files"));
    destBrowseButton_ = FolderHelper::MakeFolderButton(outputBox);
    destBrowseButton_->setObjectName(QStringLiteral("destBrowseButton"));
    auto* destRow = new QHBoxLayout;
    destRow->addWidget(destCombo_, 1);
    destRow->addWidget(destBrowseButton_);
    outputGrid->addLayout(destRow, 3, 0);
    outputGrid->setRowStretch(4, 1);

    auto* schemaBox = new QGroupBox(tr(" Number Schema "), this);
    QGridLayout* schemaGrid = MakeGroupGrid(schemaBox);
    startEdit_ = MakeNumberEdit(schemaBox, "startEdit", tr("Number of the first file, 0 to 10001"));
    incrEdit_ =
        MakeNumberEdit(schemaBox, "incrEdit", tr("Step from one file to the next, 1 to 1000"));
    widthEdit_ = MakeNumberEdit(schemaBox, "widthEdit",
                                tr("Fewest characters of the number, filled with zeros, 0 to 10"));
    auto* startLabel = new QLabel(tr("Start number"), schemaBox);
    auto* incrLabel = new QLabel(tr("Increment by"), schemaBox);
    auto* widthLabel = new QLabel(tr("Number width (use zero fill)"), schemaBox);
    for (QLabel* label : {startLabel, incrLabel}) {
        KeepCaptionWhole(label);
    }
    startLabel->setBuddy(startEdit_);
    incrLabel->setBuddy(incrEdit_);
    widthLabel->setBuddy(widthEdit_);
    // The long caption breaks into two lines where the page is narrow.
    LetCaptionTakeTwoLines(widthLabel);
    schemaGrid->addWidget(startLabel, 0, 0);
    schemaGrid->addWidget(startEdit_, 0, 1);
    schemaGrid->addWidget(incrLabel, 1, 0);
    schemaGrid->addWidget(incrEdit_, 1, 1);
    schemaGrid->addWidget(widthLabel, 2, 0);
    schemaGrid->addWidget(widthEdit_, 2, 1);
    schemaGrid->setColumnStretch(0, 1);
    schemaGrid->setRowStretch(3, 1);

    baseGroup_ = new QButtonGroup(this);
    QGridLayout* baseGrid = nullptr;
    QGroupBox* baseBox = MakeRadioGroup(
        this, tr(" Number Base "),
        {{tr("Decimal"), "baseDecimalRadio", rename::kBaseDecimal},
         {tr("Binary"), "baseBinaryRadio", rename::kBaseBinary},
         {tr("Octal"), "baseOctalRadio", rename::kBaseOctal},
         {tr("Hexidecimal"), "baseHexRadio", rename::kBaseHex},
         {tr("Alpha char (a...z)"), "baseAlphaRadio", rename::kBaseAlpha},
         {tr("Alpha numeric (0...9,a...z)"), "baseAlphaNumRadio", rename::kBaseAlphaNumeric}},
        baseGroup_, baseGrid);
    baseGrid->setRowStretch(6, 1);

    renumberButton_ = new QPushButton(tr("Re&number"), this);
    renumberButton_->setObjectName(QStringLiteral("renumberButton"));
    renumberButton_->setDefault(true);
    renumberButton_->setAutoDefault(true);
    renumberButton_->setToolTip(tr("Number the files as the preview shows"));
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setAutoDefault(true);
    cancelButton_->setToolTip(tr("Close the rename window"));

    QHBoxLayout* top = folderBox_->MakeFolderRow(selOnlyCheck_);
    top->addWidget(customOrderButton_);

    // The buttons stand under the schema: a column of their own at the right would leave too
    // little width for the groups' captions at the window's starting size.
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(renumberButton_, 0, Qt::AlignRight);
    buttons->addWidget(cancelButton_, 0, Qt::AlignRight);

    auto* schemaColumn = new QVBoxLayout;
    schemaColumn->addWidget(schemaBox);
    schemaColumn->addLayout(buttons);
    schemaColumn->addStretch(1);

    // Width the page has beyond its least goes to the groups with text boxes.
    auto* groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addWidget(positionBox, 1);
    groups->addWidget(outputBox, 1);
    groups->addLayout(schemaColumn);
    groups->addWidget(baseBox);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(groups, 1);

    std::vector<QWidget*> chain = {folderBox_->Combo(), folderBox_->BrowseButton(), selOnlyCheck_,
                                   customOrderButton_};
    for (int mode = rename::kPosNone; mode <= rename::kPosPattern; ++mode) {
        chain.push_back(positionGroup_->button(mode));
        if (mode == rename::kPosAt) {
            chain.push_back(posEdit_);
        }
    }
    chain.push_back(patternEdit_);
    for (QAbstractButton* button : outputGroup_->buttons()) {
        chain.push_back(button);
    }
    chain.insert(chain.end(), {destCombo_, destBrowseButton_, startEdit_, incrEdit_, widthEdit_});
    for (QAbstractButton* button : baseGroup_->buttons()) {
        chain.push_back(button);
    }
    chain.insert(chain.end(), {renumberButton_, cancelButton_});
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }

    connect(selOnlyCheck_, &QCheckBox::clicked, this, [this](bool on) {
        numbering_.Options().SelOnly = on;
        Changed();
    });
    connect(customOrderButton_, &QPushButton::clicked, this, &CNumberPage::OnCustomOrder);
    connect(positionGroup_, &QButtonGroup::idClicked, this, &CNumberPage::OnPositionClicked);
    connect(posEdit_, &QLineEdit::textChanged, this, &CNumberPage::OnPosEdited);
    connect(patternEdit_, &QLineEdit::textChanged, this, &CNumberPage::OnPatternEdited);
    connect(outputGroup_, &QButtonGroup::idClicked, this, &CNumberPage::OnOutputClicked);
    connect(destBrowseButton_, &QPushButton::clicked, this, &CNumberPage::OnBrowseDest);
    destFocusFilter_ = PageFolderBox::WatchFocusLoss(destCombo_, [this] { OnDestLostFocus(); });
    // Enter in the destination box takes the folder and never runs "Renumber".
    PageFolderBox::TakeEnter(destCombo_, [this] { OnDestLostFocus(); });
    connect(startEdit_, &QLineEdit::textChanged, this, &CNumberPage::OnStartEdited);
    connect(incrEdit_, &QLineEdit::textChanged, this, &CNumberPage::OnIncrementEdited);
    connect(widthEdit_, &QLineEdit::textChanged, this, &CNumberPage::OnWidthEdited);
    connect(baseGroup_, &QButtonGroup::idClicked, this, [this](int base) {
        numbering_.Options().Base = static_cast<std::uint16_t>(base);
        Changed();
    });
    connect(renumberButton_, &QPushButton::clicked, this, &CNumberPage::OnRenumber);
    connect(cancelButton_, &QPushButton::clicked, this, &CNumberPage::OnCancel);
}

// An option changed: the folder box no longer counts as freshly typed, and the preview is
// recomputed once the change has been handled.
void CNumberPage::Changed() {
    ActionDone();
    if (ready_) {
        PostUserMessage(View(), UM_REFRESHPREVIEW);
    }
}

void CNumberPage::ActionDone() {
    folderBox_->ClearEdited();
}

void CNumberPage::ShowOptions() {
    const rename::NumberOptions o = numbering_.Options();
    for (QAbstractButton* button : positionGroup_->buttons()) {
        button->setEnabled(true);
    }
    CheckOnly(positionGroup_, o.PosMode);
    posEdit_->setEnabled(o.PosMode == rename::kPosAt);
    patternEdit_->setEnabled(o.PosMode == rename::kPosPattern);
    CheckOnly(outputGroup_, o.Output);
    CheckOnly(baseGroup_, o.Base);
    {
        const QSignalBlocker blocker(selOnlyCheck_);
        selOnlyCheck_->setChecked(o.SelOnly);
    }

    // Setting each text runs its change handler as typing would, in this order: the position
    // box empties (Pos 0), the pattern is analysed (Pos and Width from its "?"), then the
    // three numbers are checked, the width being the one the pattern left.
    auto setText = [](QLineEdit* edit, const QString& text) {
        const QSignalBlocker blocker(edit);
        edit->setText(text);
    };
    setText(posEdit_, QString());
    OnPosEdited();
    setText(patternEdit_, ToQString(o.Pattern));
    OnPatternEdited();
    setText(startEdit_, QString::number(numbering_.Options().Start));
    OnStartEdited();
    setText(incrEdit_, QString::number(numbering_.Options().Incr));
    OnIncrementEdited();
    setText(widthEdit_, QString::number(numbering_.Options().Width));
    OnWidthEdited();

    EnableDestination();
    TakeShownDestination();
    customOrderButton_->setEnabled(false);
    catalogue::FileCatalogue* catalogue = nullptr;
    SendUserMessage(View(), UM_GETCATALOGUE, 0, &catalogue);
    if (catalogue != nullptr && !catalogue->selection.empty()) {
        customOrderButton_->setEnabled(true);
    }
    renumberButton_->setEnabled(o.PosMode != rename::kPosNone);
}

void CNumberPage::ResetPage() {
    numbering_.Options().PosMode = rename::kPosNone;
    ShowOptions();
}

void CNumberPage::OnPositionClicked(int mode) {
    rename::NumberOptions& o = numbering_.Options();
    o.PosMode = static_cast<std::uint16_t>(mode);
    posEdit_->setEnabled(mode == rename::kPosAt);
    patternEdit_->setEnabled(mode == rename::kPosPattern);
    renumberButton_->setEnabled(mode != rename::kPosNone);
    switch (mode) {
        case rename::kPosAt:
            // An empty box leaves every name as it is until a position is typed.
            o.Pos = posEdit_->text().isEmpty() ? -1 : ReadUnsignedNumber(posEdit_->text());
            posEdit_->setFocus(Qt::OtherFocusReason);
            break;
        case rename::kPosBefore:
            o.Pos = 0;
            break;
        case rename::kPosAfter:
            o.Pos = -1;
            break;
        case rename::kPosPattern:
            AnalysePattern();
            patternEdit_->setFocus(Qt::OtherFocusReason);
            break;
        default:
            break;
    }
    Changed();
}

void CNumberPage::OnPosEdited() {
    numbering_.Options().Pos = ReadUnsignedNumber(posEdit_->text());
    Changed();
}

// The pattern sets Pos and Width from its first run of "?"; the width box is kept showing the
// width the numbering will use.
void CNumberPage::AnalysePattern() {
    numbering_.SetPattern(ToStdString(patternEdit_->text().left(kMaxPageText)));
    const QSignalBlocker blocker(widthEdit_);
    widthEdit_->setText(QString::number(numbering_.Options().Width));
}

void CNumberPage::OnPatternEdited() {
    AnalysePattern();
    Changed();
}

void CNumberPage::OnStartEdited() {
    const QString text = startEdit_->text();
    numbering_.SetStartBoxEmpty(text.isEmpty());
    if (text.isEmpty()) {
        // An empty start box numbers nothing; it needs no message.
        numbering_.Options().Start = 1;
        ActionDone();
        return;
    }
    const std::optional<long> value = ReadWholeNumber(text);
    if (auto message = rename::CheckStartNumber(value.value_or(-1))) {
        ShowMessageBox(this, ToQString(*message), tr("Error"));
        startEdit_->setFocus(Qt::OtherFocusReason);
        ActionDone();
        return;
    }
    numbering_.Options().Start = static_cast<std::uint16_t>(*value);
    Changed();
}

void CNumberPage::OnIncrementEdited() {
    const std::optional<long> value = ReadWholeNumber(incrEdit_->text());
    if (auto message = rename::CheckIncrement(value.value_or(0))) {
        ShowMessageBox(this, ToQString(*message), tr("Error"));
        incrEdit_->setFocus(Qt::OtherFocusReason);
        ActionDone();
        return;
    }
    numbering_.Options().Incr = static_cast<std::uint16_t>(*value);
    Changed();
}

void CNumberPage::OnWidthEdited() {
    const std::optional<long> value = ReadWholeNumber(widthEdit_->text());
    if (auto message = rename::CheckNumberWidth(value.value_or(-1))) {
        ShowMessageBox(this, ToQString(*message), tr("Error"));
        widthEdit_->setFocus(Qt::OtherFocusReason);
        ActionDone();
        return;
    }
    numbering_.Options().Width = static_cast<std::uint16_t>(*value);
    Changed();
}

void CNumberPage::OnOutputClicked(int output) {
    numbering_.Options().Output = static_cast<std::uint16_t>(output);
    EnableDestination();
    ActionDone();
}

void CNumberPage::EnableDestination() {
    const bool elsewhere = numbering_.Options().Output != rename::kOutputRename;
    destCombo_->setEnabled(elsewhere);
    destBrowseButton_->setEnabled(elsewhere);
}

// The box shows the view's destination (the newest of the history when the window opened):
// when that folder exists it is the destination, without the user having been in the box.
void CNumberPage::TakeShownDestination() {
    const std::string folder = ToStdString(destCombo_->currentText().left(kMaxPageText));
    if (!folder.empty() && platform::IsDirectory(folder)) {
        numbering_.Options().DestDir = folder;
    }
}

void CNumberPage::OnBrowseDest() {
    ActionDone();
    QString folder = ToQString(numbering_.Options().DestDir);
    if (folderHelper_.BrowseForFolder(folder)) {
        destCombo_->setEditText(folder);
        numbering_.Options().DestDir = ToStdString(folder);
        // The view keeps the destination shown when the tab comes back.
        SendUserMessage(View(), UM_SETDESTFOLDER, 0, numbering_.Options().DestDir);
    }
}

void CNumberPage::OnDestLostFocus() {
    const QString text = destCombo_->currentText().left(kMaxPageText);
    const std::string folder = ToStdString(text);
    if (platform::IsDirectory(folder)) {
        numbering_.Options().DestDir = folder;
        SendUserMessage(View(), UM_SETDESTFOLDER, 0, folder);
    } else {
        ShowMessageBox(this, tr("The destination directory is not valid."), tr("Error"));
    }
}

void CNumberPage::OnCustomOrder() {
    ActionDone();
    catalogue::FileCatalogue* catalogue = nullptr;
    SendUserMessage(View(), UM_GETCATALOGUE, 0, &catalogue);
    if (catalogue == nullptr) {
        return;
    }
    std::vector<std::string> names;
    std::vector<std::uint32_t> indexes;
    const catalogue::RecordList& records = catalogue->GetRecords();
    for (std::uint32_t selected : catalogue->selection) {
        if (selected < records.size()) {
            names.push_back(records[selected].name);
            indexes.push_back(static_cast<std::uint32_t>(records[selected].index));
        }
    }
    CSortFilesDlg dialog(this);
    dialog.SetItems(std::move(names), std::move(indexes));
    if (dialog.exec() == QDialog::Accepted) {
        catalogue->customOrder = true;
        SendUserMessage(View(), UM_SETCUSTOMORDER, 0, dialog.Result());
    } else if (catalogue->customOrder) {
        // The lists were laid out in the custom order; show them in the column order again.
        catalogue->customOrder = false;
        PostUserMessage(View(), UM_REFILLLISTS);
    }
}

// As on the rename pages, the first click after a folder was typed into the box only clears
// that state. The destination history is renewed after the renumbering, whatever its result.
void CNumberPage::OnRenumber() {
    if (folderBox_->Edited()) {
        ActionDone();
        return;
    }
    PostUserMessage(View(), UM_PERFORMRENAME);
    PostUserMessage(View(), UM_ADDDESTFOLDER, 0, numbering_.Options().DestDir);
}

void CNumberPage::OnCancel() {
    PostCloseRequest(View());
}

void CNumberPage::keyPressEvent(QKeyEvent* event) {
    // Enter runs the default button and Escape cancels, as in a dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        renumberButton_->isEnabled()) {
        renumberButton_->click();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        cancelButton_->click();
        return;
    }
    CTabPage::keyPressEvent(event);
}

void CNumberPage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ActionDone();
    }
    CTabPage::mousePressEvent(event);
}

}  // namespace tidemark::ui
