#include "ui/rename_split_frm.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSplitter>

#include <algorithm>

#include "ui/rename_list_pane.h"

namespace tidemark::ui {

namespace {
constexpr int kMinimumColumn = 100;
}

CRenameSplitFrm::CRenameSplitFrm(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("splitFrame"));
    setFrameShape(QFrame::StyledPanel);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    source_ = new CSrcListPane(splitter_);
    result_ = new CResListPane(splitter_);
    source_->setMinimumWidth(kMinimumColumn);
    splitter_->addWidget(source_);
    splitter_->addWidget(result_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    KeepRowsSideBySide();
}

void CRenameSplitFrm::KeepRowsSideBySide() {
    // Keys, the wheel and a clamp after a resize move the scroll bar without any action of
    // its own, so the values themselves are mirrored; setting the same value again is silent.
    const std::pair<CRenameListPane*, CRenameListPane*> pairs[] = {{source_, result_},
                                                                   {result_, source_}};
    for (const auto& [from, to] : pairs) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this, from, to] { MirrorScroll(from, to); });
        // A new range (rows refilled, a resize) may clamp one list and not the other yet.
        connect(
            from->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { MirrorScroll(source_, result_); }, Qt::QueuedConnection);
        from->viewport()->installEventFilter(this);
    }
}

void CRenameSplitFrm::MirrorScroll(CRenameListPane* from, CRenameListPane* to) {
    if (mirroring_) {
        return;
    }
    mirroring_ = true;
    to->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
    // The other list could not go that far: both stay where it stopped.
    from->verticalScrollBar()->setValue(to->verticalScrollBar()->value());
    mirroring_ = false;
}

void CRenameSplitFrm::MatchViewportHeights() {
    // Heights without the margins given here: the list with the horizontal scroll bar is
    // lower, and the other one leaves the same space blank below its rows.
    const int source = source_->viewport()->height() + source_->BottomMargin();
    const int result = result_->viewport()->height() + result_->BottomMargin();
    source_->SetBottomMargin(std::max(source - result, 0));
    result_->SetBottomMargin(std::max(result - source, 0));
}

bool CRenameSplitFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == source_->viewport() || watched == result_->viewport())) {
        MatchViewportHeights();
    }
    return QFrame::eventFilter(watched, event);
}

void CRenameSplitFrm::SetColumnWidth(int width) {
    const int first = std::max(width, kMinimumColumn);
    // The splitter shares out its own width in the proportion of the sizes given.
    splitter_->setSizes({first, std::max(this->width() - first, kMinimumColumn)});
}

int CRenameSplitFrm::GetPanes(CSrcListPane*& source, CResListPane*& result) const {
    if (source_ == nullptr || result_ == nullptr) {
        return 0;
    }
    source = source_;
    result = result_;
    return 1;
}

}  // namespace tidemark::ui
