#include "ui/folder_dialog_support.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>

#include <cstdint>
#include <utility>

#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

// True while the widget and all its parents are shown.
bool ShownWithParents(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->isHidden()) {
            return false;
        }
    }
    return true;
}

class FolderBoxFocusFilter : public QObject {
  public:
    FolderBoxFocusFilter(QComboBox* box, std::function<void()> onLost, bool onlyWhileShown)
        : QObject(box), box_(box), onLost_(std::move(onLost)), onlyWhileShown_(onlyWhileShown) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
            (!onlyWhileShown_ || ShownWithParents(box_))) {
            onLost_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QComboBox* box_;
    std::function<void()> onLost_;
    bool onlyWhileShown_;
};

}  // namespace

settings::AppSettings* SettingsFromMainFrame() {
    const std::intptr_t address = SendUserMessage(MainFrameObject(), UM_GETSETTINGS);
    return reinterpret_cast<settings::AppSettings*>(address);
}

QObject* WatchFolderBoxFocusLoss(QComboBox* box, std::function<void()> onLost,
                                 bool onlyWhileShown) {
    // The editable box keeps the focus itself (its line edit is only a proxy), so the box is
    // the one widget that reports the loss.
    auto* filter = new FolderBoxFocusFilter(box, std::move(onLost), onlyWhileShown);
    box->installEventFilter(filter);
    return filter;
}

FocusWatchGuard::~FocusWatchGuard() {
    for (const QPointer<QObject>& watch : watches_) {
        delete watch.data();
    }
}

settings::FolderList AllEntries(const QComboBox* box) {
    settings::FolderList entries;
    entries.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i) {
        entries.push_back(ToStdString(box->itemText(i)));
    }
    return entries;
}

void ReplaceEntries(QComboBox* box, const settings::FolderList& history) {
    const QString typed = box->currentText();
    box->clear();
    for (std::size_t k = 0; k < history.size(); ++k) {
        box->insertItem(static_cast<int>(k), ToQString(history[k]));
    }
    box->setEditText(typed);
}

QComboBox* MakeFolderBox(QWidget* parent, const QString& objectName, const QString& toolTip) {
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    // The history changes only by the dialog's rules, never by pressing Enter in the box.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    box->setMinimumContentsLength(24);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setToolTip(toolTip);
    return box;
}

QListWidget* MakeFileList(QWidget* parent, const QString& objectName, const QString& toolTip) {
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setToolTip(toolTip);
    return list;
}

}  // namespace tidemark::ui
