#include "app/about_dlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>

#include "tidemark_version.h"

namespace tidemark::app {

QString CAboutDlg::NoticeText() {
    return tr(
        "Tidemark renames the files of one folder at a time: by rules, by numbers, or "
        "by moving files out of the way.\r\n\r\n"
        "Every rename is checked as a whole before anything changes on disk, and an "
        "existing file is never overwritten. Still, keep a copy of anything you cannot "
        "afford to lose before renaming it.\r\n\r\n"
        "Settings are kept in tmk.ini. A file named tmklog in the starting folder turns "
        "on the log, written to tmk.log.");
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About TMK"));
    auto* icon = new QLabel(this);
    // The program's own icon, set at start-up; a folder picture when there is none.
    const QIcon programIcon = QApplication::windowIcon();
    icon->setPixmap((programIcon.isNull() ? style()->standardIcon(QStyle::SP_DirIcon) : programIcon)
                        .pixmap(32, 32));
    auto* name = new QLabel(tr("Tidemark Version %1").arg(QLatin1String(kProgramVersion)), this);
    auto* origin = new QLabel(tr("A batch renamer for the files of one folder."), this);
    auto* notice = new QPlainTextEdit(this);
    notice->setObjectName(QStringLiteral("noticeText"));
    notice->setReadOnly(true);
    notice->setPlainText(NoticeText());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(origin, 1, 1);
    layout->addWidget(buttons, 0, 2, Qt::AlignTop);
    layout->addWidget(notice, 2, 0, 1, 3);
    resize(420, 260);
}

}  // namespace tidemark::app
