#include "ui/rename_split_frm.h"

#include <QHBoxLayout>
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
