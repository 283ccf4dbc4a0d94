#pragma once
// "Intelligent Merge": moves the files of a source folder into a destination folder without
// overwriting; a file found there with another size goes to an alternate folder instead, one
// with the same size stays. The three folders' histories are stored in tmk.ini when the dialog
// goes away, whichever way it closed.

#include <QDialog>
#include <QPointer>
#include <QString>

#include "ui/folder_dialog_support.h"
#include "ui/folder_helper.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tidemark::settings {
class AppSettings;
}

namespace tidemark::ui {

// Control identifiers of the dialog's template; each widget's objectName is in the comment.
inline constexpr int kIdMergeSourceButton = 1093;  // "sourceButton"
inline constexpr int kIdMergeDestButton = 1094;    // "destButton"
inline constexpr int kIdMergeSourceList = 1097;    // "sourceList"
inline constexpr int kIdMergeDestList = 1098;      // "destList"
inline constexpr int kIdMergeAltList = 1113;       // "altList"
inline constexpr int kIdMergeSourceCombo = 1114;   // "sourceCombo"
inline constexpr int kIdMergeDestCombo = 1116;     // "destCombo"
inline constexpr int kIdMergeSourcePath = 1117;    // "sourcePathLabel"
inline constexpr int kIdMergeAltCombo = 1118;      // "altCombo"
inline constexpr int kIdMergeAltButton = 1119;     // "altButton"
inline constexpr int kIdMergeDestPath = 1120;      // "destPathLabel"
inline constexpr int kIdMergeAltPath = 1121;       // "altPathLabel"

class CIntelligentMergeDlg : public QDialog {
    Q_OBJECT
  public:
    // Takes the settings store from the main frame and starts from its three histories.
    explicit CIntelligentMergeDlg(QWidget* parent = nullptr);
    // Stores the three folder texts as the merge histories.
    ~CIntelligentMergeDlg() override;

    // The folder texts: single folders, until a Merge replaces them by the joined histories.
    const QString& SourceText() const { return box_[kSource].folder; }
    const QString& DestinationText() const { return box_[kDestination].folder; }
    const QString& AlternateText() const { return box_[kAlternate].folder; }

    // The Merge button's work, also reachable by tests without a click.
    void OnMerge();

  private:
    enum Role { kSource = 0, kDestination = 1, kAlternate = 2 };
    struct FolderBox {
        QString folder;
        bool edited = false;
        QComboBox* combo = nullptr;
        QPushButton* button = nullptr;
        QListWidget* list = nullptr;
        QLabel* label = nullptr;
    };

    void BuildControls();
    void LoadHistories();
    void ConnectFolderBox(FolderBox& box);

    FolderHelper helper_;
    FocusWatchGuard focusWatches_;
    settings::AppSettings* settings_ = nullptr;
    QPointer<QObject> frame_;  // the settings' owner: they are used only while it lives
    FolderBox box_[3];
    QPushButton* mergeButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tidemark::ui
