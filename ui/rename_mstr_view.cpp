#include "ui/rename_mstr_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <new>

#include "platform/file_system.h"
#include "rename/preview.h"
#include "rename/rename_execution.h"
#include "settings/app_settings.h"
#include "ui/catalogue_model.h"
#include "ui/collision_marker.h"
#include "ui/detail_reader.h"
#include "ui/dialog_hooks.h"
#include "ui/dialog_ops_host.h"
#include "ui/folder_helper.h"
#include "ui/messages.h"
#include "ui/number_page.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_page.h"
#include "ui/rename_split_frm.h"
#include "ui/type_icons.h"

namespace tidemark::ui {

namespace {

constexpr int kNumberTab = 3;

// The wait cursor for the length of a scope.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString TabText(int index) {
    switch (index) {
        case 0:
            return QCoreApplication::translate("CRenameMstrView", "Name");
        case 1:
            return QCoreApplication::translate("CRenameMstrView", "Ext");
        case 2:
            return QCoreApplication::translate("CRenameMstrView", "Folder");
        default:
            return QCoreApplication::translate("CRenameMstrView", "Number");
    }
}

// Refills a folder box from a history and shows folder in its edit field.
void RefillFolderBox(QComboBox* box, const std::vector<std::string>& history,
                     const std::string& folder) {
    if (box == nullptr) {
        return;
    }
    const QSignalBlocker blocker(box);
    box->clear();
    FolderHelper::FillHistory(history, box);
    box->setEditText(ToQString(folder));
}

// A passing note in the status bar, over the folder path that its message pane keeps showing.
void ShowStatusNote(const QString& note) {
    if (auto* frame = qobject_cast<QMainWindow*>(MainFrameObject())) {
        frame->statusBar()->showMessage(note, 10000);
    }
}

// Why a folder shows no rows, when it could not be listed; empty when it could.
QString FolderProblem(const std::string& folder) {
    const int error = platform::FolderListError(folder);
    if (error == 0) {
        return {};
    }
    if (error == ENOTDIR) {
        return QCoreApplication::translate("CRenameMstrView", "%1 is a file, not a folder")
            .arg(ToQString(folder));
    }
    return QCoreApplication::translate("CRenameMstrView", "%1 cannot be read: %2")
        .arg(ToQString(folder), ToQString(platform::SystemErrorText(error)));
}

}  // namespace

QString CRenameMstrView::TabTitle(int index) {
    switch (index) {
        case 0:
            return tr("Rename Files");
        case 1:
            return tr("Rename File Extensions");
        case 2:
            return tr("Rename Folders");
        case 3:
            return tr("Number Files");
        default:
            return {};
    }
}

CRenameMstrView::CRenameMstrView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("renameView"));
    BuildTabs();
}

CRenameMstrView::~CRenameMstrView() {
    SaveSettings();
    // The lists read the catalogue and the preview, which go before the child widgets would.
    delete splitFrame_;
}

void CRenameMstrView::BuildTabs() {
    tabControl_ = new QTabWidget(this);
    tabControl_->setObjectName(QStringLiteral("tabControl"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    tabControl_->tabBar()->setFont(font);
    pages_[0] = new CRenameFilesPage(tabControl_);
    pages_[1] = new CRenameExtPage(tabControl_);
    pages_[2] = new CRenameFolderPage(tabControl_);
    pages_[3] = new CNumberPage(tabControl_);
    for (int i = 0; i < kPageCount; ++i) {
        // The band is 280 pixels high whatever the font and the window's width: a page that
        // does not fit keeps its size, whole captions and all, and scrolls.
        auto* scroller = new QScrollArea(tabControl_);
        scroller->setObjectName(QStringLiteral("pageScroller"));
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setWidgetResizable(true);
        scroller->setWidget(pages_[static_cast<std::size_t>(i)]);
        tabControl_->addTab(scroller, TabText(i));
    }
    tabControl_->setCurrentIndex(0);
    currentTab_ = 0;
    connect(tabControl_, &QTabWidget::currentChanged, this, &CRenameMstrView::OnTabChanged);
    // The tab keys of every tabbed window, from anywhere in the rename window.
    const std::pair<QKeySequence, int> tabKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [keys, step] : tabKeys) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            tabControl_->setCurrentIndex((tabControl_->currentIndex() + step + kPageCount) %
                                         kPageCount);
        });
    }
}

CTabPage* CRenameMstrView::Page(int index) const {
    if (index < 0 || index >= kPageCount) {
        return nullptr;
    }
    return pages_[static_cast<std::size_t>(index)];
}

void CRenameMstrView::OnInitialUpdate() {
    SetDocumentTitle(TabTitle(0));
    // Once a rename window exists, the frame greys its two folder commands whenever no rename
    // window is active.
    if (QObject* frame = MainFrameObject()) {
        frame->setProperty("folderCommandsGreyed", true);
    }
    icons_ = std::make_shared<TypeIcons>();
    splitFrame_ = new CRenameSplitFrm(this);
    if (splitFrame_->GetPanes(sourcePane_, resultPane_) == 0) {
        return;
    }
    if (sourcePane_->InitColumns(7) != 1 || resultPane_->InitColumns(1) != 1) {
        return;
    }
    sourcePane_->ListModel()->SetIcons(icons_.get());
    resultPane_->ListModel()->SetIcons(icons_.get());
    resultPane_->ListModel()->SetPreview(&preview_);
    marker_ = new CollisionMarker(this);
    connect(marker_, &CollisionMarker::MarksReady, this,
            [this](const std::shared_ptr<const CollisionMarks>& marks) { ShowMarks(*marks); });
    detailReader_ = new DetailReader(this);
    connect(detailReader_, &DetailReader::DetailsRead, this,
            [this](const std::shared_ptr<const DetailChunk>& chunk) { ApplyDetails(*chunk); });
    catalogue_ = std::make_unique<catalogue::FileCatalogue>();
    catalogue_->SetTypeNamer(TypeIcons::MakeNamer(icons_));
    LoadSettings();
    sourcePane_->SetCatalogue(catalogue_.get());
    resultPane_->SetCatalogue(catalogue_.get());
    splitFrame_->setGeometry(0, kTabBandHeight, width(), std::max(height() - kTabBandHeight, 0));
    splitFrame_->show();
    OnTabChanged(tabControl_->currentIndex());
    ChangeFolder(currentFolder_);
}

void CRenameMstrView::LoadSettings() {
    settings_ = reinterpret_cast<settings::AppSettings*>(
        SendUserMessage(MainFrameObject(), UM_GETSETTINGS));
    if (settings_ != nullptr) {
        for (int i = 0; i < 3; ++i) {
            if (auto* page = dynamic_cast<CRenamePage*>(Page(i))) {
                settings_->GetOptions(i, page->Rules().Options());
            }
        }
        settings_->ReadCommonSourceList(sourceHistory_);
        settings_->ReadCommonDestinationList(destHistory_);
    }
    currentFolder_ = sourceHistory_.empty() ? catalogue_->GetFolder() : sourceHistory_.front();
    destFolder_ = destHistory_.empty() ? std::string() : destHistory_.front();
    catalogue_->SetFolder(currentFolder_);
    for (int i = 0; i < 3; ++i) {
        if (CTabPage* page = Page(i)) {
            page->ShowOptions();
        }
    }
}

void CRenameMstrView::SaveSettings() {
    if (settings_ == nullptr) {
        return;
    }
    settings_->SetCommonSourceList(sourceHistory_);
    settings_->SetCommonDestinationList(destHistory_);
    for (int i = 0; i < 3; ++i) {
        if (auto* page = dynamic_cast<CRenamePage*>(Page(i))) {
            settings_->SetOptions(i, page->Rules().Options());
        }
    }
}

void CRenameMstrView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int cx = event->size().width();
    const int cy = event->size().height();
    if (splitFrame_ != nullptr) {
        splitFrame_->setGeometry(0, kTabBandHeight, cx, std::max(cy - kTabBandHeight, 0));
        SizeColumnsOnce();
    }
    tabControl_->setGeometry(0, 0, cx, kTabBandHeight);
}

void CRenameMstrView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SizeColumnsOnce();
}

void CRenameMstrView::SizeColumnsOnce() {
    // The first size that the window is shown at decides the split: three quarters for the
    // source list.
    if (columnsSized_ || splitFrame_ == nullptr || !isVisible() || width() <= 0) {
        return;
    }
    splitFrame_->SetColumnWidth(width() * 3 / 4);
    columnsSized_ = true;
}

void CRenameMstrView::SetDocumentTitle(const QString& title) {
    setWindowTitle(title);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->setWindowTitle(title);
    }
}

void CRenameMstrView::OnTabChanged(int index) {
    if (index < 0 || index >= kPageCount) {
        return;
    }
    currentTab_ = index;
    CTabPage* page = CurrentPage();
    RefillFolderBox(page->FolderCombo(), sourceHistory_, currentFolder_);
    if (index == kNumberTab) {
        RefillFolderBox(page->DestCombo(), destHistory_, destFolder_);
    }
    // The page's first control takes the focus, so that it is visible where the keys go.
    if (QWidget* first = page->FolderCombo()) {
        first->setFocus(Qt::TabFocusReason);
    } else {
        page->setFocus();
    }
    if (index == kNumberTab) {
        page->ShowOptions();
    }
    SetDocumentTitle(TabTitle(index));
    RefreshResultNames();
}

int CRenameMstrView::ChangeFolder(const std::string& folder) {
    if (catalogue_ == nullptr) {
        return catalogue::kOk;
    }
    const WaitCursor wait;
    // The background passes over the records about to be replaced would only compete with
    // the read for the processor.
    detailReader_->Drop();
    marker_->Drop();
    currentFolder_ = folder;
    // A custom order names records of the folder it was made in; kept, it would show no rows
    // for any other folder, and stale rows after a re-read.
    catalogue_->customOrder = false;
    catalogue_->SetFolder(folder);
    // Posted, so the status bar shows the path even when the read fails.
    PostUserMessage(MainFrameObject(), UM_SETSTATUSTEXT, 0, folder);
    // Names and kinds only: the details of a large folder would take a file-system query per
    // entry. The source list reads those of the rows it shows, an order by them reads all.
    if (catalogue_->LoadFolder(folder, catalogue::kScanFiles | catalogue::kScanFolders |
                                           catalogue::kScanKindsOnly) == catalogue::kOk) {
        catalogue_->selection.clear();
        FillLists();
        StartDetailPass();
        if (catalogue_->RecordCount() == 0) {
            if (const QString problem = FolderProblem(folder); !problem.isEmpty()) {
                ShowStatusNote(problem);
            }
        }
        if (CTabPage* page = CurrentPage(); page != nullptr && page->FolderCombo() != nullptr) {
            const QSignalBlocker blocker(page->FolderCombo());
            page->FolderCombo()->setEditText(ToQString(folder));
        }
    } else {
        ShowMessageBox(this, tr("The change directory failed!"), tr("Error"));
    }
    return catalogue::kOk;
}

void CRenameMstrView::OnActivateView() {
    if (catalogue_ != nullptr) {
        OnTabChanged(tabControl_->currentIndex());
    }
}

void CRenameMstrView::Refresh() {
    if (catalogue_ != nullptr) {
        ChangeFolder(catalogue_->GetFolder());
    }
}

void CRenameMstrView::ShowPreview(bool refill) {
    CTabPage* page = CurrentPage();
    rename::RenameRequest request{.tabIndex = currentTab_};
    if (auto* numberPage = dynamic_cast<CNumberPage*>(page)) {
        request.numbering = &numberPage->GetNumbering();
    } else if (auto* renamePage = dynamic_cast<CRenamePage*>(page)) {
        request.rules = &renamePage->Rules();
    }
    // The rows on screen are named when painted; the whole batch is checked for the marks,
    // with the rename's own walk, at once for a small folder and in the background otherwise.
    preview_.Reset(*catalogue_, names_, request);
    CatalogueListModel* model = resultPane_->ListModel();
    if (refill) {
        model->Refill();
    } else {
        model->NamesChanged();
    }
    // Files moved or copied away meet the destination's names, which the batch checks when it
    // runs; only the batch's own clashes are marked here.
    const bool toDestination = request.tabIndex == rename::kTabNumber &&
                               request.numbering != nullptr &&
                               request.numbering->Options().Output != rename::kOutputRename;
    CollisionPass pass{.generation = ++previewGeneration_,
                       .names = preview_.Names(),
                       .walk = preview_.Walk(),
                       .page = rename::PageCopy(request),
                       .toDestination = toDestination};
    if (preview_.RowCount() <= markAtOnceRows_) {
        marker_->Drop();
        ShowMarks(CollisionMarker::Run(pass));
    } else {
        marker_->Start(std::move(pass));
        // The count shown belongs to the names before this change; until the pass reports,
        // the status bar says the check is under way rather than a count that may be wrong.
        if (collisionStatusShown_) {
            PostUserMessage(MainFrameObject(), UM_SETSTATUSTEXT, 0,
                            ToStdString(tr("Checking the new names for collisions...")));
        }
    }
}

void CRenameMstrView::ShowMarks(const CollisionMarks& marks) {
    CatalogueListModel* model = resultPane_->ListModel();
    std::vector<CatalogueListModel::RowMark> rows;
    rows.reserve(marks.marks.size());
    for (const CollisionMark& mark : marks.marks) {
        if (mark.position < preview_.RowCount()) {
            rows.push_back({static_cast<int>(preview_.RowOfPosition(mark.position)), mark.clash,
                            mark.error, static_cast<int>(preview_.RowOfPosition(mark.other))});
        }
    }
    model->SetMarks(std::move(rows));
    // The status bar counts the marked rows, and shows the folder again once none is left,
    // unless something newer (a finished batch) has taken the status bar meanwhile.
    const std::size_t marked = model->MarkCount();
    if (marks.outOfMemory) {
        PostUserMessage(MainFrameObject(), UM_SETSTATUSTEXT, 0,
                        ToStdString(tr("Not enough memory to check the new names for collisions; "
                                       "Rename still checks them")));
        collisionStatusShown_ = true;
    } else if (marked > 0) {
        PostUserMessage(
            MainFrameObject(), UM_SETSTATUSTEXT, 0,
            ToStdString(marked == 1 ? tr("1 name collides") : tr("%1 names collide").arg(marked)));
        collisionStatusShown_ = true;
    } else if (collisionStatusShown_) {
        PostUserMessage(MainFrameObject(), UM_SETSTATUSTEXT, 0, catalogue_->GetFolder());
        collisionStatusShown_ = false;
    }
}

void CRenameMstrView::FillLists() {
    if (sourcePane_ == nullptr || catalogue_ == nullptr) {
        return;
    }
    sourcePane_->ListModel()->Refill();
    names_ = std::make_shared<const rename::NameSnapshot>(catalogue_->GetRecords());
    ShowPreview(true);
    QHeaderView* header = sourcePane_->header();
    header->setSortIndicatorShown(!catalogue_->customOrder);
    header->setSortIndicator(catalogue_->sortKey,
                             catalogue_->ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CRenameMstrView::StartDetailPass() {
    if (catalogue_->MissingDetails() == 0 || !names_) {
        detailReader_->Drop();
        return;
    }
    DetailPass pass{.generation = ++detailGeneration_,
                    .folder = catalogue_->GetFolder(),
                    .names = names_,
                    .records = {}};
    try {
        pass.records.reserve(catalogue_->MissingDetails());
    } catch (const std::bad_alloc&) {
        detailReader_->Drop();  // the rows shown and an order by a detail still read them
        return;
    }
    for (const catalogue::FileRecord& record : catalogue_->GetRecords()) {
        if (!record.detailsKnown) {
            pass.records.push_back(static_cast<std::uint32_t>(record.index));
        }
    }
    detailReader_->Start(std::move(pass));
}

void CRenameMstrView::ApplyDetails(const DetailChunk& chunk) {
    // Rows shown so far read their own details, which a chunk never replaces: nothing on
    // screen changes.
    for (std::size_t i = 0; i < chunk.records.size(); ++i) {
        catalogue_->ApplyDetails(static_cast<std::int32_t>(chunk.records[i]), chunk.details[i]);
    }
    if (catalogue_->MissingDetails() == 0) {
        detailReader_->Drop();  // an order by size read the rest meanwhile
    }
}

void CRenameMstrView::RefreshResultNames() {
    if (resultPane_ == nullptr || catalogue_ == nullptr) {
        return;
    }
    ShowPreview(false);
}

int CRenameMstrView::OnPerformFileRename() {
    if (catalogue_ == nullptr) {
        return rename::kRenameWrongSelection;
    }
    rename::RenameRequest request;
    request.tabIndex = currentTab_;
    if (auto* renamePage = dynamic_cast<CRenamePage*>(CurrentPage())) {
        request.rules = &renamePage->Rules();
    } else if (auto* numberPage = dynamic_cast<CNumberPage*>(CurrentPage())) {
        request.numbering = &numberPage->GetNumbering();
    }
    platform::JournalWriter journal;
    request.journal = &journal;
    // Entries renamed under the pass would read as gone; a re-read starts a pass of its own.
    detailReader_->Drop();
    const std::uint64_t generation = detailGeneration_;
    batchClock_.start();
    const int result = rename::OnPerformFileRename(*catalogue_, request, *this);
    if (detailGeneration_ == generation) {
        StartDetailPass();
    }
    EndBusy();
    batchClock_.invalidate();
    if (result == rename::kRenameFileOpFailed) {
        // The batch stopped part-way: what was renamed stays renamed, and the lists show the
        // folder as it now is rather than names that are gone.
        ChangeFolder(catalogue_->GetFolder());
    } else if (result == rename::kRenameNothingToDo) {
        ShowStatusNote(tr("Nothing was renamed: no entry is selected"));
    } else if (result == rename::kRenameOk && journal.ChangedCount() == 0) {
        // Told from what the batch did, not from the rows on screen.
        ShowStatusNote(tr("Nothing was renamed: the options change no name"));
    } else if (result == rename::kRenameOk) {
        ReportBatchDone(journal.ChangedCount());
        collisionStatusShown_ = false;
    }
    return result;
}

void CRenameMstrView::ShowMessage(const std::string& text, const std::string& caption) {
    RestoreCursor();
    ShowMessageBox(this, ToQString(text), ToQString(caption));
}

void CRenameMstrView::ShowInformation(const std::string& text, const std::string& caption) {
    RestoreCursor();
    ShowMessageBox(this, ToQString(text), ToQString(caption), QMessageBox::Information);
}

void CRenameMstrView::Progress(std::size_t done, std::size_t total) {
    if (!batchClock_.isValid() || batchClock_.elapsed() < busyDelayMs_) {
        return;
    }
    if (!busy_) {
        busy_ = true;
        cursorSet_ = true;
        QApplication::setOverrideCursor(Qt::BusyCursor);
        if (auto* frame = qobject_cast<QMainWindow*>(MainFrameObject())) {
            progressBar_ = new QProgressBar(frame->statusBar());
            progressBar_->setObjectName(QStringLiteral("batchProgress"));
            progressBar_->setMaximumWidth(200);
            frame->statusBar()->addPermanentWidget(progressBar_);
        }
        repaintClock_.invalidate();
    }
    if (progressBar_ != nullptr) {
        progressBar_->setRange(0, static_cast<int>(std::min<std::size_t>(total, INT_MAX)));
        progressBar_->setValue(static_cast<int>(std::min(done, total)));
    }
    // The window repaints (and the bar moves) a few times a second; input waits for the end.
    if (!repaintClock_.isValid() || repaintClock_.elapsed() >= 50) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        repaintClock_.start();
    }
}

// A message box of the batch is answered with the normal pointer; the bar stays until the end.
void CRenameMstrView::RestoreCursor() {
    if (cursorSet_) {
        cursorSet_ = false;
        QApplication::restoreOverrideCursor();
    }
}

void CRenameMstrView::EndBusy() {
    RestoreCursor();
    busy_ = false;
    delete progressBar_.data();
}

void CRenameMstrView::Log(const std::string& line) {
    SendUserMessage(MainFrameObject(), UM_LOGTEXT, 0, line);
}

void CRenameMstrView::RefreshPreview() {
    PostUserMessage(this, UM_REFRESHPREVIEW);
}

void CRenameMstrView::ResetPage() {
    if (CTabPage* page = CurrentPage()) {
        page->ResetPage();
    }
}

void CRenameMstrView::AddSourceFolder(const std::string& folder) {
    CTabPage* page = CurrentPage();
    QComboBox* box = page != nullptr ? page->FolderCombo() : nullptr;
    if (box != nullptr && box->findText(ToQString(folder), Qt::MatchFixedString) < 0) {
        box->insertItem(0, ToQString(folder));
    }
}

void CRenameMstrView::AddDestFolder(const std::string& folder) {
    CTabPage* page = Page(kNumberTab);
    QComboBox* box = page != nullptr ? page->DestCombo() : nullptr;
    if (box != nullptr && box->findText(ToQString(folder), Qt::MatchFixedString) < 0) {
        box->insertItem(0, ToQString(folder));
    }
}

bool CRenameMstrView::event(QEvent* event) {
    if (UserMessageEvent* message = AsUserMessage(event)) {
        HandleUserMessage(*message);
        return true;
    }
    return QWidget::event(event);
}

void CRenameMstrView::HandleUserMessage(UserMessageEvent& message) {
    switch (message.Message()) {
        case UM_GETFOLDER:
            if (auto* out = MessageParam<std::string*>(message, nullptr)) {
                *out = currentFolder_;
            }
            break;
        case UM_CHANGEFOLDER:
            message.SetResult(ChangeFolder(MessageParam<std::string>(message)));
            break;
        case UM_REFILLLISTS: {
            const WaitCursor wait;
            FillLists();
            // The selected records stay highlighted in their new rows: the preview and
            // "selected only" go by them.
            SyncSelection();
            break;
        }
        case UM_REFRESHPREVIEW:
            RefreshResultNames();
            break;
        case UM_SYNCSCROLL:
            SyncScroll(message);
            break;
        case UM_SYNCSELECTION:
            SyncSelection();
            message.SetResult(1);
            break;
        case UM_PERFORMRENAME:
            message.SetResult(OnPerformFileRename());
            break;
        case UM_GETCATALOGUE:
            if (auto* out = MessageParam<catalogue::FileCatalogue**>(message, nullptr)) {
                *out = catalogue_.get();
            }
            message.SetResult(1);
            break;
        case UM_SETCUSTOMORDER:
            if (catalogue_ != nullptr) {
                catalogue_->SetCustomOrderList(MessageParam<catalogue::Order>(message));
                catalogue_->selection.clear();
                const WaitCursor wait;
                FillLists();
            }
            message.SetResult(1);
            break;
        case UM_ADDSOURCEFOLDER: {
            CTabPage* page = CurrentPage();
            QComboBox* box = page != nullptr ? page->FolderCombo() : nullptr;
            FolderHelper::AddToHistory(box, ToQString(MessageParam<std::string>(message)));
            sourceHistory_ = FolderHelper::HistoryOf(box);
            break;
        }
        case UM_ADDDESTFOLDER: {
            CTabPage* page = Page(kNumberTab);
            QComboBox* box = page != nullptr ? page->DestCombo() : nullptr;
            FolderHelper::AddToHistory(box, ToQString(MessageParam<std::string>(message)));
            destHistory_ = FolderHelper::HistoryOf(box);
            break;
        }
        case UM_SETDESTFOLDER:
            destFolder_ = MessageParam<std::string>(message);
            break;
        default:
            break;
    }
}

void CRenameMstrView::SyncScroll(UserMessageEvent& message) {
    auto* from = MessageParam<QObject*>(message, nullptr);
    CRenameListPane* other = nullptr;
    CRenameListPane* scrolled = nullptr;
    if (from == sourcePane_) {
        scrolled = sourcePane_;
        other = resultPane_;
    } else if (from == resultPane_) {
        scrolled = resultPane_;
        other = sourcePane_;
    }
    if (scrolled == nullptr) {
        return;
    }
    // Both lists hold the same rows at the same uniform height, so the same scroll value puts
    // the same row at the top; setting it programmatically is not reported back.
    other->verticalScrollBar()->setValue(scrolled->verticalScrollBar()->value());
    message.SetResult(1);
}

void CRenameMstrView::SyncSelection() {
    if (catalogue_ == nullptr || sourcePane_ == nullptr) {
        return;
    }
    // Each selected record marks the first row that shows it; linear also for Ctrl+A in a
    // large folder.
    const std::size_t recordCount = catalogue_->GetRecords().size();
    std::vector<bool> selected(recordCount, false);
    std::size_t remaining = 0;
    for (const std::uint32_t record : catalogue_->selection) {
        if (record < recordCount && !selected[record]) {
            selected[record] = true;
            ++remaining;
        }
    }
    std::vector<int> rows;
    const int rowCount = sourcePane_->ListModel()->rowCount();
    for (int row = 0; row < rowCount && remaining > 0; ++row) {
        const std::int32_t record = sourcePane_->RecordOfRow(row);
        if (record >= 0 && static_cast<std::size_t>(record) < recordCount && selected[record]) {
            selected[record] = false;
            --remaining;
            rows.push_back(row);
        }
    }
    resultPane_->SelectRows(rows);
    sourcePane_->SelectRows(rows);
    if (currentTab_ == kNumberTab) {
        const auto& records = catalogue_->GetRecords();
        const bool fileSelected = std::any_of(rows.begin(), rows.end(), [&](int row) {
            const std::int32_t record = sourcePane_->RecordOfRow(row);
            return record >= 0 && records[static_cast<std::size_t>(record)].isFile;
        });
        if (auto* button =
                CurrentPage()->findChild<QAbstractButton*>(QStringLiteral("customOrderButton"))) {
            button->setEnabled(fileSelected);
        }
    }
}

}  // namespace tidemark::ui
