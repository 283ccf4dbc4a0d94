#pragma once
// The folder-box operations every window that names a folder shares: the browse dialog, the
// history combo boxes, the listing of a folder's plain files and the check of a typed folder.

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QObject;
class QPushButton;
class QWidget;

namespace tidemark::ui {

// A folder box keeps at most this many entries after AddToHistory.
inline constexpr int kHistoryKept = 4;

class FolderHelper {
  public:
    // owner is the parent of every message box and browse dialog shown; it may be null.
    explicit FolderHelper(QWidget* owner) : owner_(owner) {}
    virtual ~FolderHelper() = default;

    QWidget* Owner() const { return owner_; }

    // "Select a folder", folders only, starting at folder; on a pick folder becomes the path.
    bool BrowseForFolder(QString& folder) const;

    // Every entry of folder ("." and ".." included) into folder names or file names. Both
    // lists are emptied first; a folder that cannot be read leaves them empty. Always true.
    static bool ScanFolderNames(const std::string& folder, std::vector<std::string>& folderNames,
                                std::vector<std::string>& fileNames);
    static void FillListBox(QListWidget* list, const std::vector<std::string>& names);
    // Ascending, no-case, over positions first..last (inclusive; clipped to the list).
    static void SortNames(std::vector<std::string>& names, int first, int last);

    // Moves folder to the top of the box (an entry equal to it without regard to case is
    // removed first) and drops the fifth entry when there are five or more.
    static void AddToHistory(QComboBox* box, const QString& folder);
    // Entry k of the history at position k, then entry 0 selected.
    static void FillHistory(const std::vector<std::string>& history, QComboBox* box);
    // Every entry of the box, each followed by ";".
    static QString JoinFolderCombo(const QComboBox* box);
    // The box's entries, at most max of them, most recent first.
    static std::vector<std::string> HistoryOf(const QComboBox* box, int max = kHistoryKept);

    // Lists the folder's plain files (no folders, no hidden or system files; sorted) into list
    // and its path into label, and makes it the process's current folder. Either widget may be
    // null; nothing happens for an empty folder.
    void ListFolder(const QString& folder, QListWidget* list, QLabel* label) const;

    // The selected entry becomes the folder and is listed; false when nothing is selected.
    bool OnBoxSelection(QComboBox* box, QListWidget* list, QLabel* label, QString& folder) const;
    // After typing (edited set): an existing path becomes the folder and is listed (true);
    // otherwise "The directory you've typed in does not exist." Clears edited in both cases.
    bool OnBoxLostFocus(QComboBox* box, QListWidget* list, QLabel* label, bool& edited,
                        QString& folder) const;
    // Browse; on a pick the folder is listed and the box's edit text set to it.
    bool OnFolderButton(QComboBox* box, QListWidget* list, QLabel* label, QString& folder) const;

    // The small "OpenFldr" button, drawn with a folder icon.
    static QPushButton* MakeFolderButton(QWidget* parent);
    // Calls onLost whenever box (or its line edit) loses the keyboard focus; the watcher is a
    // child of box.
    static void WatchFocusLoss(QComboBox* box, std::function<void()> onLost);

  private:
    QWidget* owner_;
};

}  // namespace tidemark::ui
