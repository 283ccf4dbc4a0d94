#pragma once
// "Move On Length": moves every file of a source folder whose whole name is longer than a
// typed number of characters into a destination folder. The two folders come from histories
// kept in tmk.ini; the histories are stored after a Move whose folder checks passed.

#include <QDialog>
#include <QPointer>
#include <QString>

#include "ui/folder_dialog_support.h"
#include "ui/folder_helper.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tidemark::settings {
class AppSettings;
}

namespace tidemark::ui {

// Control identifiers of the dialog's template; each widget's objectName is in the comment.
inline constexpr int kIdMolPreviewButton = 1091;  // "previewButton"
inline constexpr int kIdMolLengthEdit = 1092;     // "lengthEdit"
inline constexpr int kIdMolSourceButton = 1093;   // "sourceButton"
inline constexpr int kIdMolDestButton = 1094;     // "destButton"
inline constexpr int kIdMolSourceCombo = 1095;    // "sourceCombo"
inline constexpr int kIdMolDestCombo = 1096;      // "destCombo"
inline constexpr int kIdMolSourceList = 1097;     // "sourceList"
inline constexpr int kIdMolDestList = 1098;       // "destList"
inline constexpr int kIdMolPreviewList = 1099;    // "previewList"
inline constexpr int kIdMolSourcePath = 1100;     // "sourcePathLabel"
inline constexpr int kIdMolDestPath = 1101;       // "destPathLabel"

class CMoveOnLengthDlg : public QDialog {
    Q_OBJECT
  public:
    // Takes the settings store from the main frame and starts from its two histories.
    explicit CMoveOnLengthDlg(QWidget* parent = nullptr);

    const QString& SourceFolder() const { return sourceFolder_; }
    const QString& DestinationFolder() const { return destFolder_; }

    // The buttons' work, also reachable by tests without a click.
    void OnPreview();
    void OnMove();

  private:
    void BuildControls();
    void LoadHistories();
    // This dialog's own check of a typed folder: the edited flag stays set, so every later
    // loss of focus checks the box's text again.
    void OnBoxLostFocus(QComboBox* box, QListWidget* list, QLabel* label, bool edited,
                        QString& folder);
    void OnSourceDoubleClick(QListWidgetItem* item);

    FolderHelper helper_;
    FocusWatchGuard focusWatches_;
    settings::AppSettings* settings_ = nullptr;
    QPointer<QObject> frame_;  // the settings' owner: they are used only while it lives
    QString sourceFolder_;
    QString destFolder_;
    bool sourceEdited_ = false;
    bool destEdited_ = false;

    QLineEdit* lengthEdit_ = nullptr;
    QComboBox* sourceCombo_ = nullptr;
    QPushButton* sourceButton_ = nullptr;
    QListWidget* sourceList_ = nullptr;
    QLabel* sourcePath_ = nullptr;
    QComboBox* destCombo_ = nullptr;
    QPushButton* destButton_ = nullptr;
    QListWidget* destList_ = nullptr;
    QLabel* destPath_ = nullptr;
    QListWidget* previewList_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* moveButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tidemark::ui
