#pragma once
// The two lists of the rename window: the source list (seven columns) and the result list
// (the preview names). A pane reports what the user did to the rename view through the message
// protocol; it changes only the catalogue's sort key, direction and selection itself.

#include <QTreeView>

#include <cstdint>

namespace tidemark::catalogue {
class FileCatalogue;
}

namespace tidemark::ui {

class CatalogueListModel;
class TypeIcons;

class CRenameListPane : public QTreeView {
    Q_OBJECT
  public:
    CRenameListPane(int paneId, bool ignoreColumnClick, QWidget* parent);

    void SetCatalogue(catalogue::FileCatalogue* catalogue);
    // Sets up n columns with their widths and accepts dropped files; always 1.
    int InitColumns(int n);
    // Copies the selected rows' record indices into the catalogue's selection and posts
    // UM_SYNCSELECTION then UM_REFRESHPREVIEW to the view.
    void UpdateSelection();

    CatalogueListModel* ListModel() const { return model_; }
    int PaneId() const { return paneId_; }
    // The record index shown at a row, or -1.
    std::int32_t RecordOfRow(int row) const;
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // Selects exactly the given rows (ascending), without reporting to the view.
    void SelectRows(const std::vector<int>& rows);
    // Blank space below the rows, so that both lists show the same number of rows when only
    // one of them has a horizontal scroll bar.
    void SetBottomMargin(int pixels);
    int BottomMargin() const { return viewportMargins().bottom(); }
    // Width in pixels of "00-00-00 00:00:00" in the list's font: the unit of the columns.
    int ColumnUnit() const;

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    catalogue::FileCatalogue* Catalogue() const { return catalogue_; }

  private:
    void OnColumnClick(int column);
    void OnScrollAction(int action);
    // Every change of the highlighted rows, whatever the gesture, reaches the catalogue once the
    // event that made it has been handled.
    void RequestSelectionUpdate();
    // Opens the folder shown at row; false when the row holds no folder.
    bool OpenFolderRow(int row);

    catalogue::FileCatalogue* catalogue_ = nullptr;
    CatalogueListModel* model_ = nullptr;
    bool ignoreColumnClick_;
    int paneId_;
    bool mirroring_ = false;
    bool updatePending_ = false;
};

// The left list: seven columns, sorted by clicking a column header.
class CSrcListPane : public CRenameListPane {
    Q_OBJECT
  public:
    explicit CSrcListPane(QWidget* parent = nullptr);
};

// The right list: the new name of each row of the source list.
class CResListPane : public CRenameListPane {
    Q_OBJECT
  public:
    explicit CResListPane(QWidget* parent = nullptr);
};

}  // namespace tidemark::ui
