#pragma once
// What the two folder dialogs (Move On Length, Intelligent Merge) share beyond FolderHelper:
// reaching the settings store through the main frame, watching a folder box for the loss of
// the keyboard focus, reading and replacing a box's whole history.

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

#include "settings/folder_list.h"

class QComboBox;
class QListWidget;
class QObject;
class QWidget;

namespace tidemark::settings {
class AppSettings;
}

namespace tidemark::ui {

// The main frame's settings store (UM_GETSETTINGS), or nullptr when there is no main frame.
settings::AppSettings* SettingsFromMainFrame();

// Calls onLost when the box loses the keyboard focus to another widget or window. Opening the
// box's own drop-down list does not count: the user is still working in the box. With
// onlyWhileShown, a loss while the box or one of its parents is hidden does not count either
// (hiding or closing the window moves the focus too). Deleting the returned filter (a child of
// the box) stops the calls.
QObject* WatchFolderBoxFocusLoss(QComboBox* box, std::function<void()> onLost,
                                 bool onlyWhileShown = false);

// Deletes the focus watches given to it when it goes. A dialog holds one as a member, so the
// watches are gone before the dialog's base class destroys the boxes: the focus moving away
// from a box that is being destroyed must not call back into a half-destroyed dialog.
class FocusWatchGuard {
  public:
    FocusWatchGuard() = default;
    FocusWatchGuard(const FocusWatchGuard&) = delete;
    FocusWatchGuard& operator=(const FocusWatchGuard&) = delete;
    ~FocusWatchGuard();

    void Add(QObject* watch) { watches_.emplace_back(watch); }

  private:
    std::vector<QPointer<QObject>> watches_;
};

// Every entry of the box, most recent first (no limit).
settings::FolderList AllEntries(const QComboBox* box);

// Makes the box's list equal to history while keeping the text of its edit field, as inserting
// into and deleting from a history box leaves the typed text alone.
void ReplaceEntries(QComboBox* box, const settings::FolderList& history);

// An editable folder box as the folder dialogs show it.
QComboBox* MakeFolderBox(QWidget* parent, const QString& objectName, const QString& toolTip);
// A file list box of a folder dialog: one selection, filled in the order it is given.
QListWidget* MakeFileList(QWidget* parent, const QString& objectName, const QString& toolTip);

}  // namespace tidemark::ui
