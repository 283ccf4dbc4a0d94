#pragma once
// The source folder box (1004) and its browse button as every tab page has them: a typed
// folder is taken when the box loses the focus, a picked history entry or a browsed folder at
// once; each goes to the rename view as UM_CHANGEFOLDER.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "ui/folder_helper.h"

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tidemark::ui {

class PageFolderBox : public QObject {
    Q_OBJECT
  public:
    // page owns the widgets and the message boxes; view gives the receiver of the messages.
    PageFolderBox(QWidget* page, std::function<QObject*()> view);
    ~PageFolderBox() override;

    QComboBox* Combo() const { return combo_; }
    QPushButton* BrowseButton() const { return browseButton_; }

    // The row every page starts with: "F&older:", the box, the browse button, then the page's
    // selected-files-only switch; the page adds to its end.
    QHBoxLayout* MakeFolderRow(QWidget* selOnlyCheck) const;

    // FolderEdited: the box's text was typed into since the page's last other action.
    bool Edited() const { return edited_; }
    void ClearEdited() { edited_ = false; }

    // An editable folder combo box: no insertion of typed texts, no completion, and only a
    // real pick from its list (or the arrow keys) counts as choosing an entry.
    static QComboBox* MakeFolderCombo(QWidget* parent);
    // Calls onLost when the combo loses the focus to another widget while it is shown; the
    // combo's own drop-down list does not count. Deleting the returned filter stops the calls.
    static QObject* WatchFocusLoss(QComboBox* box, std::function<void()> onLost);
    // Enter in the box calls onEnter and goes no further: the page's default button never
    // runs a batch on a key meant for the folder.
    static void TakeEnter(QComboBox* box, std::function<void()> onEnter);

  private:
    void OnBrowse();
    void OnPicked(int index);
    void OnLostFocus();
    void OnEnter();
    void ChangeFolder(const QString& folder);

    QWidget* page_;
    std::function<QObject*()> view_;
    FolderHelper helper_;
    QComboBox* combo_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QPointer<QObject> focusFilter_;
    bool edited_ = false;
};

}  // namespace tidemark::ui
