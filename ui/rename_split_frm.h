#pragma once
// The lower half of the rename window: a splitter with the source list on the left and the
// result list on the right.

#include <QFrame>

class QSplitter;

namespace tidemark::ui {

class CSrcListPane;
class CResListPane;
class CRenameListPane;

class CRenameSplitFrm : public QFrame {
    Q_OBJECT
  public:
    explicit CRenameSplitFrm(QWidget* parent = nullptr);

    // The source list's width (at least 100 pixels); the result list takes the rest.
    void SetColumnWidth(int width);
    // 1, or 0 when either pane is missing.
    int GetPanes(CSrcListPane*& source, CResListPane*& result) const;

    QSplitter* Splitter() const { return splitter_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Row r of one list stands beside row r of the other, however either was scrolled (wheel,
    // keys, scroll bar, a resize, a refill): the lists show the same number of rows and the
    // same top row.
    void KeepRowsSideBySide();
    void MirrorScroll(CRenameListPane* from, CRenameListPane* to);
    void MatchViewportHeights();

    QSplitter* splitter_ = nullptr;
    CSrcListPane* source_ = nullptr;
    CResListPane* result_ = nullptr;
    bool mirroring_ = false;
};

}  // namespace tidemark::ui
