#pragma once
// The About box: the program's icon and name, a few lines about it, and its notice text.

#include <QDialog>

namespace tidemark::app {

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The notice shown in the scrolling box (lines separated by "\r\n", under 512 characters).
    static QString NoticeText();
};

}  // namespace tidemark::app
