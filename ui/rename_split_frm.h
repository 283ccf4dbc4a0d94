#pragma once
// The lower half of the rename window: a splitter with the source list on the left and the
// result list on the right.

#include <QFrame>

class QSplitter;

namespace tidemark::ui {

class CSrcListPane;
class CResListPane;

class CRenameSplitFrm : public QFrame {
    Q_OBJECT
  public:
    explicit CRenameSplitFrm(QWidget* parent = nullptr);

    // The source list's width (at least 100 pixels); the result list takes the rest.
    void SetColumnWidth(int width);
    // 1, or 0 when either pane is missing.
    int GetPanes(CSrcListPane*& source, CResListPane*& result) const;

    QSplitter* Splitter() const { return splitter_; }

  private:
    QSplitter* splitter_ = nullptr;
    CSrcListPane* source_ = nullptr;
    CResListPane* result_ = nullptr;
};

}  // namespace tidemark::ui
