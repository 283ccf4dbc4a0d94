#include "ui/rename_mstr_frame.h"

#include "ui/rename_mstr_view.h"

namespace tidemark::ui {

CRenameMstrFrame::CRenameMstrFrame(QWidget* parent)
    : QMdiSubWindow(parent, Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("renameFrame"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSystemMenu(nullptr);
    view_ = new CRenameMstrView(this);
    setWidget(view_);
    connect(this, &QMdiSubWindow::aboutToActivate, view_, &CRenameMstrView::OnActivateView);
}

void CRenameMstrFrame::ActivateFrame() {
    showMaximized();
}

}  // namespace tidemark::ui
