#include "ui/page_folder_box.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/file_system.h"
#include "ui/dialog_hooks.h"
#include "ui/folder_dialog_support.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

PageFolderBox::PageFolderBox(QWidget* page, std::function<QObject*()> view)
    : QObject(page), page_(page), view_(std::move(view)), helper_(page) {
    combo_ = MakeFolderCombo(page);
    combo_->setObjectName(QStringLiteral("folderCombo"));
    combo_->setMinimumContentsLength(30);
    combo_->setToolTip(
        tr("The folder whose entries are listed below; type a path or pick a "
           "recent folder"));
    browseButton_ = FolderHelper::MakeFolderButton(page);
    browseButton_->setObjectName(QStringLiteral("browseButton"));

    connect(browseButton_, &QPushButton::clicked, this, &PageFolderBox::OnBrowse);
    connect(combo_, &QComboBox::activated, this, &PageFolderBox::OnPicked);
    connect(combo_->lineEdit(), &QLineEdit::textEdited, this, [this] { edited_ = true; });
    TakeEnter(combo_, [this] { OnEnter(); });
    focusFilter_ = WatchFocusLoss(combo_, [this] { OnLostFocus(); });
}

QHBoxLayout* PageFolderBox::MakeFolderRow(QWidget* selOnlyCheck) const {
    auto* label = new QLabel(tr("F&older:"), page_);
    label->setBuddy(combo_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(combo_, 1);
    row->addWidget(browseButton_);
    row->addSpacing(12);
    row->addWidget(selOnlyCheck);
    return row;
}

QComboBox* PageFolderBox::MakeFolderCombo(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The text typed is the text taken: no completion adds to it, and finishing the edit does
    // not turn a typed history entry into a pick (which would skip the typed-folder state).
    box->setCompleter(nullptr);
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    return box;
}

QObject* PageFolderBox::WatchFocusLoss(QComboBox* box, std::function<void()> onLost) {
    // Hiding or closing the window moves the focus too, and that is not the user leaving the box.
    return WatchFolderBoxFocusLoss(box, std::move(onLost), true);
}

namespace {

class EnterFilter : public QObject {
  public:
    EnterFilter(QComboBox* box, std::function<void()> onEnter)
        : QObject(box), onEnter_(std::move(onEnter)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                onEnter_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onEnter_;
};

}  // namespace

void PageFolderBox::TakeEnter(QComboBox* box, std::function<void()> onEnter) {
    // The editable box holds the focus and hands keys to its line edit, so it sees Enter first.
    box->installEventFilter(new EnterFilter(box, std::move(onEnter)));
}

PageFolderBox::~PageFolderBox() {
    // The combo outlives this object while the page is torn down, and losing the focus then
    // must not call back into it.
    delete focusFilter_.data();
}

void PageFolderBox::ChangeFolder(const QString& folder) {
    SendUserMessage(view_(), UM_CHANGEFOLDER, 0, ToStdString(folder));
}

void PageFolderBox::OnBrowse() {
    edited_ = false;
    std::string current;
    SendUserMessage(view_(), UM_GETFOLDER, 0, &current);
    QString folder = ToQString(current);
    if (helper_.BrowseForFolder(folder)) {
        ChangeFolder(folder);
    }
}

void PageFolderBox::OnPicked(int index) {
    edited_ = false;
    if (index >= 0) {
        ChangeFolder(combo_->itemText(index));
    }
}

// The edited flag stays set: the rename button's next click only clears it, so a folder typed
// and applied by leaving the box is not renamed by the same click.
// Enter opens the folder in the box, typed or not; the next click of the page's button renames
// what the lists then show.
void PageFolderBox::OnEnter() {
    edited_ = true;
    OnLostFocus();
    edited_ = false;
}

void PageFolderBox::OnLostFocus() {
    if (!edited_) {
        return;
    }
    const QString typed = combo_->currentText();
    if (platform::PathExists(ToStdString(typed))) {
        ChangeFolder(typed);
    } else {
        ShowMessageBox(page_, tr("That is not a valid path."), tr("Error"));
    }
}

}  // namespace tidemark::ui
