#pragma once
// The rows of one list pane over the rename view's catalogue, in the catalogue's row walk.
// The texts are computed when the rows are filled and kept as the engine gives them (UTF-8),
// so data() only reads them and converts the few rows on screen; a refill is one model reset
// and a preview refresh one dataChanged over column 0.

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tidemark::catalogue {
class FileCatalogue;
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

    // Rebuilds every row from the catalogue's row walk with the records' column texts.
    void FillFromRecords();
    // A row whose new name cannot be carried out, with the text that says why.
    struct RowMark {
        int row = 0;
        QString why;
    };
    // Rebuilds every row from the row walk with the given first-column texts (one per row) and
    // marks.
    void FillWithNames(std::vector<std::string> names, std::vector<RowMark> marks = {});
    // Replaces the first-column texts and the marks of the rows already shown (same count as
    // the rows).
    void ReplaceNames(std::vector<std::string> names, std::vector<RowMark> marks = {});
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
    void TakeRows();

    int columns_;
    catalogue::FileCatalogue* catalogue_ = nullptr;
    const TypeIcons* icons_ = nullptr;
    std::vector<std::int32_t> records_;       // record index per row
    std::vector<std::uint16_t> iconOfRow_;    // icon index per row
    std::vector<std::string> texts_;          // row-major, columns_ per row
    std::unordered_map<int, QString> marks_;  // row -> why its name cannot be carried out
};

}  // namespace tidemark::ui
