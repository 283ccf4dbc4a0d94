#include "ui/folder_helper.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

#include "platform/file_system.h"
#include "settings/folder_names.h"
#include "ui/dialog_hooks.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

class FocusLossWatcher : public QObject {
  public:
    FocusLossWatcher(QObject* parent, std::function<void()> onLost)
        : QObject(parent), onLost_(std::move(onLost)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut && onLost_) {
            onLost_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onLost_;
};

}  // namespace

bool FolderHelper::BrowseForFolder(QString& folder) const {
    const auto picked = BrowseFolderDialog(
        owner_, QApplication::translate("FolderHelper", "Select a folder"), folder);
    if (!picked) {
        return false;
    }
    folder = QDir::toNativeSeparators(*picked);
    return true;
}

bool FolderHelper::ScanFolderNames(const std::string& folder, std::vector<std::string>& folderNames,
                                   std::vector<std::string>& fileNames) {
    return settings::ScanFolderNames(folder, folderNames, fileNames);
}

void FolderHelper::FillListBox(QListWidget* list, const std::vector<std::string>& names) {
    if (list == nullptr) {
        return;
    }
    list->clear();
    for (const auto& name : names) {
        list->addItem(ToQString(name));
    }
}

void FolderHelper::SortNames(std::vector<std::string>& names, int first, int last) {
    // A range that ends before the list begins sorts nothing; a negative start is its start.
    if (last < 0) {
        return;
    }
    settings::SortNames(names, static_cast<std::size_t>(std::max(first, 0)),
                        static_cast<std::size_t>(last));
}

void FolderHelper::AddToHistory(QComboBox* box, const QString& folder) {
    if (box == nullptr) {
        return;
    }
    // MatchFixedString without MatchCaseSensitive compares whole texts without regard to case.
    const int existing = box->findText(folder, Qt::MatchFixedString);
    if (existing >= 0) {
        box->removeItem(existing);
    }
    box->insertItem(0, folder);
    if (box->count() >= kHistoryKept + 1) {
        box->removeItem(kHistoryKept);
    }
}

void FolderHelper::FillHistory(const std::vector<std::string>& history, QComboBox* box) {
    if (box == nullptr) {
        return;
    }
    for (std::size_t k = 0; k < history.size(); ++k) {
        box->insertItem(static_cast<int>(k), ToQString(history[k]));
    }
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
}

QString FolderHelper::JoinFolderCombo(const QComboBox* box) {
    QString text;
    if (box == nullptr) {
        return text;
    }
    for (int i = 0; i < box->count(); ++i) {
        text += box->itemText(i);
        text += QLatin1Char(';');
    }
    return text;
}

std::vector<std::string> FolderHelper::HistoryOf(const QComboBox* box, int max) {
    std::vector<std::string> history;
    if (box == nullptr) {
        return history;
    }
    for (int i = 0; i < box->count() && i < max; ++i) {
        history.push_back(ToStdString(box->itemText(i)));
    }
    return history;
}

void FolderHelper::ListFolder(const QString& folder, QListWidget* list, QLabel* label) const {
    if (folder.isEmpty()) {
        return;
    }
    const std::string path = platform::StripTrailingSeparator(ToStdString(folder));
    QDir::setCurrent(ToQString(path));
    if (list != nullptr) {
        FillListBox(list, settings::ListPlainFiles(path));
    }
    if (label != nullptr) {
        // A folder name is text, never markup.
        label->setTextFormat(Qt::PlainText);
        label->setText(ToQString(path));
    }
}

bool FolderHelper::OnBoxSelection(QComboBox* box, QListWidget* list, QLabel* label,
                                  QString& folder) const {
    if (box == nullptr || box->currentIndex() < 0) {
        return false;
    }
    folder = box->itemText(box->currentIndex());
    ListFolder(folder, list, label);
    return true;
}

bool FolderHelper::OnBoxLostFocus(QComboBox* box, QListWidget* list, QLabel* label, bool& edited,
                                  QString& folder) const {
    if (!edited) {
        return false;
    }
    edited = false;
    const QString typed = box != nullptr ? box->currentText() : QString();
    if (!typed.isEmpty() && platform::PathExists(ToStdString(typed))) {
        folder = typed;
        ListFolder(folder, list, label);
        return true;
    }
    ShowMessageBox(
        owner_,
        QApplication::translate("FolderHelper", "The directory you've typed in does not exist."),
        QApplication::translate("FolderHelper", "Error"));
    return false;
}

bool FolderHelper::OnFolderButton(QComboBox* box, QListWidget* list, QLabel* label,
                                  QString& folder) const {
    if (!BrowseForFolder(folder)) {
        return false;
    }
    ListFolder(folder, list, label);
    if (box != nullptr) {
        box->setEditText(folder);
    }
    return true;
}

QPushButton* FolderHelper::MakeFolderButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("OpenFldr"));
    button->setAccessibleName(QStringLiteral("OpenFldr"));
    button->setIcon(button->style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setToolTip(QApplication::translate("FolderHelper", "Select a folder"));
    button->setFixedSize(button->sizeHint().height(), button->sizeHint().height());
    return button;
}

void FolderHelper::WatchFocusLoss(QComboBox* box, std::function<void()> onLost) {
    if (box == nullptr) {
        return;
    }
    auto* watcher = new FocusLossWatcher(box, std::move(onLost));
    box->installEventFilter(watcher);
    if (box->lineEdit() != nullptr) {
        box->lineEdit()->installEventFilter(watcher);
    }
}

}  // namespace tidemark::ui
