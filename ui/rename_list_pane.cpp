#include "ui/rename_list_pane.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>

#include "catalogue/file_catalogue.h"
#include "platform/file_system.h"
#include "ui/catalogue_model.h"
#include "ui/detail_reader.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

// Column widths in tenths of the unit width, in column order.
constexpr int kColumnTenths[7] = {13, 6, 6, 13, 13, 6, 6};

}  // namespace

CRenameListPane::CRenameListPane(int paneId, bool ignoreColumnClick, QWidget* parent)
    : QTreeView(parent), ignoreColumnClick_(ignoreColumnClick), paneId_(paneId) {
    model_ = new CatalogueListModel(paneId == kSourcePaneId ? 7 : 1, this);
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, &CRenameListPane::OnColumnClick);
    // What is highlighted is what "selected only" renames: Ctrl+A, Shift+End, Shift+click and
    // dragging change the catalogue's selection as a click does.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CRenameListPane::RequestSelectionUpdate);
    // actionTriggered comes only from the user working the scroll bar (or the wheel), never
    // from a scroll that the view mirrors onto this pane, so mirrors are not reported back.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &CRenameListPane::OnScrollAction);
}

void CRenameListPane::SetCatalogue(catalogue::FileCatalogue* catalogue) {
    catalogue_ = catalogue;
    model_->SetCatalogue(catalogue);
}

int CRenameListPane::ColumnUnit() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("00-00-00 00:00:00"));
}

int CRenameListPane::InitColumns(int n) {
    const int unit = ColumnUnit();
    for (int c = 0; c < n && c < model_->columnCount(); ++c) {
        header()->resizeSection(c, unit * kColumnTenths[c] / 10);
    }
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    return 1;
}

std::int32_t CRenameListPane::RecordOfRow(int row) const {
    return model_->RecordOfRow(row);
}

std::vector<int> CRenameListPane::SelectedRows() const {
    std::vector<int> rows;
    if (selectionModel() == nullptr) {
        return rows;
    }
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CRenameListPane::SelectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    const int lastColumn = model_->columnCount() - 1;
    std::size_t i = 0;
    while (i < rows.size()) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) {
            ++j;
        }
        selection.select(model_->index(rows[i], 0), model_->index(rows[j], lastColumn));
        i = j + 1;
    }
    mirroring_ = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    mirroring_ = false;
}

void CRenameListPane::SetBottomMargin(int pixels) {
    if (viewportMargins().bottom() != pixels) {
        setViewportMargins(0, 0, 0, pixels);
    }
}

void CRenameListPane::RequestSelectionUpdate() {
    if (mirroring_ || updatePending_ || catalogue_ == nullptr) {
        return;
    }
    // A drag or a held Shift+Down changes the selection many times per event; one update
    // after the event is enough.
    updatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            updatePending_ = false;
            UpdateSelection();
        },
        Qt::QueuedConnection);
}

void CRenameListPane::UpdateSelection() {
    if (catalogue_ == nullptr) {
        return;
    }
    catalogue_->GetOrder(catalogue_->sortKey);
    catalogue_->selection.clear();
    for (const int row : SelectedRows()) {
        const std::int32_t record = RecordOfRow(row);
        if (record >= 0) {
            catalogue_->selection.push_back(static_cast<std::uint32_t>(record));
        }
    }
    QObject* view = RenameViewOf(this);
    PostUserMessage(view, UM_SYNCSELECTION, paneId_);
    PostUserMessage(view, UM_REFRESHPREVIEW);
}

void CRenameListPane::OnColumnClick(int column) {
    if (ignoreColumnClick_ || catalogue_ == nullptr) {
        return;
    }
    catalogue_->ascending = column == catalogue_->sortKey ? !catalogue_->ascending : true;
    catalogue_->sortKey = column;
    // An order by size, time or attributes first reads every entry's details not read yet.
    const bool reads =
        catalogue::FileCatalogue::KeyNeedsDetails(column) && catalogue_->MissingDetails() > 0;
    if (reads) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The background pass would read the same entries alongside, for nothing.
        if (QObject* view = RenameViewOf(this)) {
            if (auto* reader = view->findChild<DetailReader*>()) {
                reader->Drop();
            }
        }
    }
    catalogue_->GetOrder(column);
    if (reads) {
        QApplication::restoreOverrideCursor();
    }
    PostUserMessage(RenameViewOf(this), UM_REFILLLISTS);
}

void CRenameListPane::OnScrollAction(int action) {
    const auto position = static_cast<std::intptr_t>(verticalScrollBar()->sliderPosition());
    PostUserMessage(RenameViewOf(this), UM_SYNCSCROLL, (action & 0xFFFF) | (position << 16),
                    static_cast<QObject*>(this));
}

void CRenameListPane::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles) {
    if (topLeft.row() == bottomRight.row()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // Flat rows of one height, no editors: changed texts need a repaint only. The item views'
    // own handlers visit every changed row (heights, children, rectangles): a million on each
    // preview refresh of a large folder.
    viewport()->update();
}

void CRenameListPane::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        RequestSelectionUpdate();
    }
}

void CRenameListPane::keyPressEvent(QKeyEvent* event) {
    const bool alt = event->modifiers() == Qt::AltModifier;
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (catalogue_ != nullptr &&
        ((event->key() == Qt::Key_Backspace && plain) || (event->key() == Qt::Key_Up && alt))) {
        // The parent folder, as a file manager opens it; the root has none.
        const std::string folder = catalogue_->GetFolder();
        const std::string parent = platform::ParentFolder(folder);
        if (!parent.empty() && parent != folder) {
            SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, parent);
        }
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain &&
        currentIndex().isValid() && OpenFolderRow(currentIndex().row())) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool CRenameListPane::OpenFolderRow(int row) {
    if (catalogue_ == nullptr) {
        return false;
    }
    const std::int32_t record = RecordOfRow(row);
    const auto& records = catalogue_->GetRecords();
    if (record < 0 || static_cast<std::size_t>(record) >= records.size() ||
        records[static_cast<std::size_t>(record)].isFile) {
        return false;
    }
    std::string path =
        platform::JoinPath(catalogue_->GetFolder(), records[static_cast<std::size_t>(record)].name);
    SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, std::move(path));
    return true;
}

void CRenameListPane::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && OpenFolderRow(index.row())) {
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void CRenameListPane::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CRenameListPane::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CRenameListPane::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        event->ignore();
        return;
    }
    // The folder that holds the first dropped item, whether the item is a file or a folder.
    const std::string item =
        platform::StripTrailingSeparator(ToStdString(urls.front().toLocalFile()));
    if (item.find('/') == std::string::npos) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    SendUserMessage(RenameViewOf(this), UM_CHANGEFOLDER, 0, platform::ParentFolder(item));
}

CSrcListPane::CSrcListPane(QWidget* parent) : CRenameListPane(kSourcePaneId, false, parent) {
    setObjectName(QStringLiteral("sourcePane"));
}

CResListPane::CResListPane(QWidget* parent) : CRenameListPane(kResultPaneId, true, parent) {
    setObjectName(QStringLiteral("resultPane"));
    header()->setSectionsClickable(false);
    // The one column of new names fills the pane and follows its width, so names are not cut
    // beside free space.
    header()->setStretchLastSection(true);
}

}  // namespace tidemark::ui
