#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDynamicPropertyChangeEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

#include "app/about_dlg.h"
#include "app/tmk_doc.h"
#include "help/help_window.h"
#include "platform/file_system.h"
#include "platform/runlog.h"
#include "rename/undo.h"
#include "settings/app_settings.h"
#include "ui/dialog_hooks.h"
#include "ui/intelligent_merge_dialog.h"
#include "ui/messages.h"
#include "ui/move_on_length_dialog.h"
#include "ui/qt_text.h"
#include "ui/rename_mstr_frame.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::app {

namespace {

constexpr int kLogLevel = 2;
constexpr char kGreyedProperty[] = "folderCommandsGreyed";

CMainFrame::DialogOpener& MoveOnLengthOpener() {
    static CMainFrame::DialogOpener opener;
    return opener;
}

CMainFrame::DialogOpener& MergeOpener() {
    static CMainFrame::DialogOpener opener;
    return opener;
}

}  // namespace

void CMainFrame::SetFolderDialogOpeners(DialogOpener moveOnLength, DialogOpener merge) {
    MoveOnLengthOpener() = std::move(moveOnLength);
    MergeOpener() = std::move(merge);
}

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    settings_ = std::make_unique<settings::AppSettings>(
        [](const std::string& text, const std::string& caption) {
            ui::ShowMessageBox(nullptr, ui::ToQString(text), ui::ToQString(caption));
        });
    setWindowTitle(tr("Tidemark"));
    resize(800, 600);
    setMinimumSize(700, 400);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    BuildMenus();
    BuildStatusBar();
    StartLog();
    ui::SetMainFrameObject(this);
    // F1 in a dialog (folder tools, custom order) opens that dialog's help page.
    ui::SetHelpFunction([](QWidget* owner, const QString& page) {
        help::HelpWindow::Open(owner, help::TopicOfPage(page));
    });
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCommandStates);
}

CMainFrame::~CMainFrame() {
    CloseRenameWindows();
    // A dialog still open hands its histories back on the way out, while AppSettings lives.
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
    if (ui::MainFrameObject() == this) {
        ui::SetMainFrameObject(nullptr);
    }
    // settings_ goes with the members, writing tmk.ini.
}

void CMainFrame::CloseRenameWindows() {
    // Deleted now, not later: each view hands its settings back while AppSettings lives.
    const auto windows = mdiArea_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        mdiArea_->removeSubWindow(window);
        delete window;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CloseRenameWindows();
    QMainWindow::closeEvent(event);
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    moveOnLengthAction_ = file->addAction(tr("Move On Length..."));
    moveOnLengthAction_->setObjectName(QStringLiteral("actionMoveOnLength"));
    moveOnLengthAction_->setStatusTip(
        tr("Move files from source to destination folder based on length of filename"));
    connect(moveOnLengthAction_, &QAction::triggered, this, [] {
        if (MoveOnLengthOpener()) {
            MoveOnLengthOpener()();
            return;
        }
        // Modal, without a parent window, destroyed when it returns; its result is not used.
        ui::CMoveOnLengthDlg dialog;
        dialog.exec();
    });
    mergeAction_ = file->addAction(tr("Intelligent Merge..."));
    mergeAction_->setObjectName(QStringLiteral("actionIntelligentMerge"));
    connect(mergeAction_, &QAction::triggered, this, [] {
        if (MergeOpener()) {
            MergeOpener()();
            return;
        }
        ui::CIntelligentMergeDlg dialog;
        dialog.exec();
    });
    renameAction_ = file->addAction(tr("Rename..."));
    renameAction_->setObjectName(QStringLiteral("actionRename"));
    renameAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    renameAction_->setStatusTip(tr("Create a new document"));
    connect(renameAction_, &QAction::triggered, this, &CMainFrame::OnFileNew);
    undoAction_ = file->addAction(tr("Undo Last Batch"));
    undoAction_->setObjectName(QStringLiteral("actionUndoLastBatch"));
    undoAction_->setStatusTip(tr("Undo the last rename, move, copy or merge"));
    connect(undoAction_, &QAction::triggered, this, &CMainFrame::OnUndoLastBatch);
    // Batches also come from the command line: look again whenever the menu opens.
    connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateUndoAction);
    UpdateUndoAction();
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"));
    exit->setObjectName(QStringLiteral("actionExit"));
    exit->setStatusTip(tr("Quit the application; prompts to save documents"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* statusBarAction = view->addAction(tr("&Status Bar"));
    statusBarAction->setObjectName(QStringLiteral("actionStatusBar"));
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    statusBarAction->setStatusTip(tr("Show or hide the status bar"));
    connect(statusBarAction, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* topics = help->addAction(tr("&Help Topics"));
    topics->setObjectName(QStringLiteral("actionHelpTopics"));
    topics->setStatusTip(tr("List Help topics"));
    topics->setShortcut(QKeySequence(Qt::Key_F1));
    connect(topics, &QAction::triggered, this, &CMainFrame::OnHelp);
    QAction* about = help->addAction(tr("&About TMK..."));
    about->setObjectName(QStringLiteral("actionAbout"));
    about->setStatusTip(tr("Display program information, version number and copyright"));
    connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);

    // F5 reaches the active rename window wherever the focus is.
    auto* refresh = new QAction(tr("Refresh"), this);
    refresh->setObjectName(QStringLiteral("actionRefresh"));
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    refresh->setShortcutContext(Qt::ApplicationShortcut);
    connect(refresh, &QAction::triggered, this, &CMainFrame::OnRefresh);
    addAction(refresh);
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    messagePane_ = new QLabel(tr("For Help, press F1"), bar);
    messagePane_->setObjectName(QStringLiteral("messagePane"));
    // It shows folder paths, which are text, never markup.
    messagePane_->setTextFormat(Qt::PlainText);
    bar->addWidget(messagePane_, 1);
    for (const QString& text : {tr("CAP"), tr("NUM"), tr("SCRL")}) {
        auto* indicator = new QLabel(text, bar);
        indicator->setObjectName(QStringLiteral("indicator") + text);
        indicator->setFrameShape(QFrame::Panel);
        indicator->setFrameShadow(QFrame::Sunken);
        // Lock-key states are not available to us; the panes show their names only.
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
    }
}

void CMainFrame::StartLog() {
    if (QFileInfo::exists(QStringLiteral("tmklog"))) {
        platform::RunLogInitialize(static_cast<std::uintptr_t>(winId()), kLogLevel);
        logStarted_ = true;
    }
}

QString CMainFrame::StatusText() const {
    return messagePane_ != nullptr ? messagePane_->text() : QString();
}

ui::CRenameMstrView* CMainFrame::RenameView() const {
    const auto windows = mdiArea_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (auto* frame = qobject_cast<ui::CRenameMstrFrame*>(window)) {
            return frame->View();
        }
    }
    return nullptr;
}

void CMainFrame::OnFileNew() {
    if (!mdiArea_->subWindowList().isEmpty()) {
        return;
    }
    auto* frame = new ui::CRenameMstrFrame;
    // Each rename window comes with its (empty) document, which lives as long as the window.
    new CTMKDoc(frame);
    mdiArea_->addSubWindow(frame);
    frame->View()->OnInitialUpdate();
    frame->ActivateFrame();
    connect(frame, &QObject::destroyed, this, &CMainFrame::UpdateCommandStates,
            Qt::QueuedConnection);
    connect(frame, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateCommandStates);
    UpdateCommandStates();
}

void CMainFrame::OnRefresh() {
    if (ui::CRenameMstrView* view = RenameView()) {
        view->Refresh();
    }
}

void CMainFrame::UpdateCommandStates() {
    const bool renameOpen = !mdiArea_->subWindowList().isEmpty();
    setWindowTitle(Caption());
    renameAction_->setEnabled(!renameOpen);
    // Once a rename window was set up, the folder commands are greyed while none is active.
    const bool greyed =
        property(kGreyedProperty).toBool() && mdiArea_->activeSubWindow() == nullptr;
    moveOnLengthAction_->setEnabled(!greyed);
    mergeAction_->setEnabled(!greyed);
}

QString CMainFrame::Caption() const {
    // The rename window's document title, the current tab's title.
    if (mdiArea_ == nullptr) {
        return tr("Tidemark");
    }
    const auto windows = mdiArea_->subWindowList();
    return windows.isEmpty() || windows.front()->windowTitle().isEmpty()
               ? tr("Tidemark")
               : tr("Tidemark - [%1]").arg(windows.front()->windowTitle());
}

void CMainFrame::UpdateUndoAction() {
    undoAction_->setEnabled(rename::LastUndoableBatch().has_value());
}

void CMainFrame::OnUndoLastBatch() {
    const QString caption = tr("Undo Last Batch");
    const auto batch = rename::LastUndoableBatch();
    UpdateUndoAction();
    if (!batch) {
        ui::ShowMessageBox(this, tr("There is no batch to undo."), caption);
        return;
    }
    if (batch->state == rename::BatchState::Damaged) {
        ui::ShowMessageBox(this, ui::ToQString(batch->error), caption);
        return;
    }
    const QString question = tr("Undo this batch?\n\nOperation: %1\nFolder: %2\nEntries: %3")
                                 .arg(ui::ToQString(batch->operation), ui::ToQString(batch->folder))
                                 .arg(batch->steps);
    if (!ui::AskQuestion(this, question, caption)) {
        return;
    }
    const rename::UndoResult result = rename::UndoBatch(batch->path, false);
    QString outcome = result.status == 2 ? ui::ToQString(result.message)
                                         : tr("%1 entries were restored.").arg(result.undone);
    if (!result.skipped.empty()) {
        outcome += QLatin1Char('\n') + tr("Not undone:");
        for (const std::string& line : result.skipped) {
            outcome += QLatin1Char('\n') + ui::ToQString(line);
        }
    }
    ui::ShowMessageBox(this, outcome, caption);
    if (ui::CRenameMstrView* view = RenameView()) {
        const std::string shown = platform::StripTrailingSeparator(view->CurrentFolder());
        for (const std::string& folder : result.folders) {
            if (platform::StripTrailingSeparator(folder) == shown) {
                view->Refresh();
                break;
            }
        }
    }
    UpdateUndoAction();
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

// F1 in the rename window opens the page of the tab in front.
void CMainFrame::OnHelp() {
    const ui::CRenameMstrView* view = RenameView();
    help::HelpWindow::Open(this, view != nullptr
                                     ? help::TopicOfTab(view->TabControl()->currentIndex())
                                     : help::ContentsTopic());
}

bool CMainFrame::event(QEvent* event) {
    if (ui::UserMessageEvent* message = ui::AsUserMessage(event)) {
        HandleUserMessage(*message);
        return true;
    }
    // A maximized MDI window writes its own "title - [document]" over the caption, from the
    // caption it saw first, which goes stale at the next tab change.
    if (event->type() == QEvent::WindowTitleChange && windowTitle() != Caption()) {
        setWindowTitle(Caption());
    }
    if (event->type() == QEvent::DynamicPropertyChange &&
        static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == kGreyedProperty) {
        UpdateCommandStates();
    }
    return QMainWindow::event(event);
}

void CMainFrame::HandleUserMessage(ui::UserMessageEvent& message) {
    switch (message.Message()) {
        case ui::UM_SETSTATUSTEXT:
            if (message.WParam() == 0) {
                messagePane_->setText(ui::ToQString(ui::MessageParam<std::string>(message)));
                messagePane_->repaint();
            }
            message.SetResult(1);
            break;
        case ui::UM_GETSETTINGS:
            message.SetResult(reinterpret_cast<std::intptr_t>(settings_.get()));
            break;
        case ui::UM_LOGTEXT:
            message.SetResult(platform::LogMessage(ui::MessageParam<std::string>(message)) ? 1 : 0);
            break;
        default:
            break;
    }
}

}  // namespace tidemark::app
