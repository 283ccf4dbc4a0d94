#pragma once
// The main window: menus, the status bar, the area that holds the rename window, and the
// owner of the settings store for the whole run. It answers UM_SETSTATUSTEXT, UM_GETSETTINGS
// and UM_LOGTEXT.

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;

namespace tidemark::settings {
class AppSettings;
}
namespace tidemark::ui {
class CRenameMstrView;
class UserMessageEvent;
}  // namespace tidemark::ui

namespace tidemark::app {

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    // Creates AppSettings (which reads tmk.ini), the menus and the status bar, and starts the
    // log when a file "tmklog" is in the current folder.
    explicit CMainFrame(QWidget* parent = nullptr);
    // Closes the rename window first, so that it hands back its settings, then destroys
    // AppSettings, which writes tmk.ini.
    ~CMainFrame() override;

    settings::AppSettings* Settings() const { return settings_.get(); }
    QMdiArea* MdiArea() const { return mdiArea_; }
    // The open rename window's view, or nullptr.
    ui::CRenameMstrView* RenameView() const;
    // The text of the status bar's message pane.
    QString StatusText() const;
    bool LogStarted() const { return logStarted_; }

    // "Rename...": opens the rename window; does nothing while one exists.
    void OnFileNew();
    // F5: re-reads the rename window's folder; nothing without one.
    void OnRefresh();

    // Replaces what "Move On Length..." and "Intelligent Merge..." open; without a replacement
    // they open their modal dialogs (no parent window).
    using DialogOpener = std::function<void()>;
    static void SetFolderDialogOpeners(DialogOpener moveOnLength, DialogOpener merge);

    QAction* MoveOnLengthAction() const { return moveOnLengthAction_; }
    QAction* MergeAction() const { return mergeAction_; }
    QAction* RenameAction() const { return renameAction_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildStatusBar();
    void StartLog();
    void HandleUserMessage(ui::UserMessageEvent& message);
    void UpdateCommandStates();
    QString Caption() const;
    void OnAbout();
    void OnHelp();
    void CloseRenameWindows();

    std::unique_ptr<settings::AppSettings> settings_;
    QMdiArea* mdiArea_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QAction* moveOnLengthAction_ = nullptr;
    QAction* mergeAction_ = nullptr;
    QAction* renameAction_ = nullptr;
    bool logStarted_ = false;
};

}  // namespace tidemark::app
