#include "ui/catalogue_model.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QStyle>

#include "catalogue/file_catalogue.h"
#include "ui/qt_text.h"
#include "ui/type_icons.h"

namespace tidemark::ui {

QString ColumnTitle(int column) {
    switch (column) {
        case 0:
            return QCoreApplication::translate("CRenameListPane", "Filename");
        case 1:
            return QCoreApplication::translate("CRenameListPane", "Ext");
        case 2:
            return QCoreApplication::translate("CRenameListPane", "Size");
        case 3:
            return QCoreApplication::translate("CRenameListPane", "Created");
        case 4:
            return QCoreApplication::translate("CRenameListPane", "Modified");
        case 5:
            return QCoreApplication::translate("CRenameListPane", "Attrib");
        case 6:
            return QCoreApplication::translate("CRenameListPane", "Type");
        default:
            return {};
    }
}

CatalogueListModel::CatalogueListModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

void CatalogueListModel::TakeRows() {
    records_.clear();
    iconOfRow_.clear();
    texts_.clear();
    if (catalogue_ == nullptr) {
        return;
    }
    const std::int32_t rows = catalogue_->RowCount();
    const auto& records = catalogue_->GetRecords();
    records_.reserve(static_cast<std::size_t>(rows));
    iconOfRow_.reserve(static_cast<std::size_t>(rows));
    for (std::int32_t row = 0; row < rows; ++row) {
        const std::int32_t record = catalogue_->RecordAtRow(row);
        records_.push_back(record);
        iconOfRow_.push_back(record >= 0 ? records[static_cast<std::size_t>(record)].iconIndex
                                         : std::uint16_t{0});
    }
}

void CatalogueListModel::FillFromRecords() {
    beginResetModel();
    TakeRows();
    texts_.reserve(records_.size() * static_cast<std::size_t>(columns_));
    std::vector<std::string> columnTexts;
    const auto& records =
        catalogue_ != nullptr ? catalogue_->GetRecords() : catalogue::RecordList{};
    for (const std::int32_t record : records_) {
        columnTexts.clear();
        if (record >= 0) {
            catalogue::FormatRecord(records[static_cast<std::size_t>(record)], columnTexts);
        }
        columnTexts.resize(static_cast<std::size_t>(columns_));
        for (int c = 0; c < columns_; ++c) {
            texts_.push_back(std::move(columnTexts[static_cast<std::size_t>(c)]));
        }
    }
    endResetModel();
}

namespace {

std::unordered_map<int, QString> MarksByRow(std::vector<CatalogueListModel::RowMark> marks) {
    std::unordered_map<int, QString> byRow;
    byRow.reserve(marks.size());
    for (auto& mark : marks) {
        byRow.emplace(mark.row, std::move(mark.why));
    }
    return byRow;
}

}  // namespace

void CatalogueListModel::FillWithNames(std::vector<std::string> names, std::vector<RowMark> marks) {
    beginResetModel();
    TakeRows();
    marks_ = MarksByRow(std::move(marks));
    names.resize(records_.size());
    if (columns_ == 1) {
        texts_ = std::move(names);
    } else {
        texts_.assign(records_.size() * static_cast<std::size_t>(columns_), std::string());
        for (std::size_t r = 0; r < records_.size(); ++r) {
            texts_[r * static_cast<std::size_t>(columns_)] = std::move(names[r]);
        }
    }
    endResetModel();
}

void CatalogueListModel::ReplaceNames(std::vector<std::string> names, std::vector<RowMark> marks) {
    if (records_.empty()) {
        return;
    }
    marks_ = MarksByRow(std::move(marks));
    names.resize(records_.size());
    if (columns_ == 1) {
        texts_ = std::move(names);
    } else {
        for (std::size_t r = 0; r < records_.size(); ++r) {
            texts_[r * static_cast<std::size_t>(columns_)] = std::move(names[r]);
        }
    }
    emit dataChanged(index(0, 0), index(static_cast<int>(records_.size()) - 1, 0),
                     {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole});
}

std::int32_t CatalogueListModel::RecordOfRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= records_.size()) {
        return -1;
    }
    return records_[static_cast<std::size_t>(row)];
}

int CatalogueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columns_) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (!marks_.empty() && index.column() == 0 &&
        (role == Qt::DecorationRole || role == Qt::ForegroundRole || role == Qt::ToolTipRole)) {
        // A marked row shows the warning icon, the palette's link colour and why.
        if (const auto mark = marks_.find(index.row()); mark != marks_.end()) {
            if (role == Qt::ToolTipRole) {
                return mark->second;
            }
            if (role == Qt::ForegroundRole) {
                return QGuiApplication::palette().brush(QPalette::Link);
            }
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
    }
    switch (role) {
        case Qt::DisplayRole:
            return ToQString(texts_[row * static_cast<std::size_t>(columns_) +
                                    static_cast<std::size_t>(index.column())]);
        case Qt::DecorationRole:
            if (index.column() == 0 && icons_ != nullptr) {
                return icons_->Icon(iconOfRow_[row]);
            }
            return {};
        case Qt::UserRole:
            return records_[row];
        default:
            return {};
    }
}

QVariant CatalogueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return ColumnTitle(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

Qt::ItemFlags CatalogueListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace tidemark::ui
