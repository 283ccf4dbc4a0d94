#pragma once
// The rows of one list pane over the rename view's catalogue, in the catalogue's row walk.
// A row's texts are made when the view paints the row, not when the rows are filled: the
// source list formats the record then, the result list asks the preview for the row's new
// name. A refill is one model reset and a preview refresh one dataChanged over column 0.

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "rename/batch_names.h"

namespace tidemark::catalogue {
class FileCatalogue;
}
namespace tidemark::rename {
class PreviewNames;
}

namespace tidemark::ui {

class TypeIcons;

// The seven column titles of the source list, in column order.
QString ColumnTitle(int column);

class CatalogueListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // columns is 7 for the source list and 1 for the result list.
    CatalogueListModel(int columns, QObject* parent = nullptr);

    void SetCatalogue(catalogue::FileCatalogue* catalogue) { catalogue_ = catalogue; }
    void SetIcons(const TypeIcons* icons) { icons_ = icons; }
    // The result list's names come from preview; without one, column 0 shows the records'
    // texts.
    void SetPreview(rename::PreviewNames* preview) { preview_ = preview; }

    // Takes the rows of the catalogue's row walk afresh.
    void Refill();
    // The preview's names changed: the rows shown are named again, and the marks are gone
    // until SetMarks.
    void NamesChanged();

    // A row whose new name cannot be carried out.
    struct RowMark {
        int row = 0;
        rename::NameClash clash = rename::NameClash::None;
        int error = 0;     // with Invalid
        int otherRow = 0;  // with Duplicate
    };
    // Replaces the marks (any order).
    void SetMarks(std::vector<RowMark> marks);
    std::size_t MarkCount() const { return marks_.size(); }

    // The record index shown at row (the row's item data), or -1.
    std::int32_t RecordOfRow(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    QString Text(int row, int column) const;
    const RowMark* MarkOf(int row) const;
    QString WhyMarked(const RowMark& mark) const;

    int columns_;
    catalogue::FileCatalogue* catalogue_ = nullptr;
    const TypeIcons* icons_ = nullptr;
    rename::PreviewNames* preview_ = nullptr;
    std::vector<std::int32_t> records_;  // record index per row
    std::vector<RowMark> marks_;         // ascending rows
    // The texts of the row formatted last: a row is painted column by column.
    mutable int formattedRow_ = -1;
    mutable std::vector<std::string> formatted_;
    mutable bool formattedDetails_ = false;  // the row's details were known when formatted
};

}  // namespace tidemark::ui
