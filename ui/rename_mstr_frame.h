#pragma once
// The rename window's frame: a sub-window of the main frame without caption or border, always
// shown maximized, holding the rename view.

#include <QMdiSubWindow>

namespace tidemark::ui {

class CRenameMstrView;

class CRenameMstrFrame : public QMdiSubWindow {
    Q_OBJECT
  public:
    explicit CRenameMstrFrame(QWidget* parent = nullptr);

    // Creates the view inside the frame; the caller adds the frame to the MDI area and then
    // calls the view's OnInitialUpdate and ActivateFrame.
    CRenameMstrView* View() const { return view_; }
    // Shows the frame maximized, whatever show state was asked for.
    void ActivateFrame();

  private:
    CRenameMstrView* view_ = nullptr;
};

}  // namespace tidemark::ui
