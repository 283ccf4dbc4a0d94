#include "ui/catalogue_model.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QStyle>

#include <algorithm>

#include "catalogue/file_catalogue.h"
#include "platform/file_system.h"
#include "rename/preview.h"
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

void CatalogueListModel::Refill() {
    beginResetModel();
    records_.clear();
    marks_.clear();
    formattedRow_ = -1;
    if (catalogue_ != nullptr) {
        const std::int32_t rows = catalogue_->RowCount();
        records_.resize(static_cast<std::size_t>(rows));
        for (std::int32_t row = 0; row < rows; ++row) {
            records_[static_cast<std::size_t>(row)] = catalogue_->RecordAtRow(row);
        }
    }
    endResetModel();
}

void CatalogueListModel::NamesChanged() {
    marks_.clear();
    if (!records_.empty()) {
        emit dataChanged(
            index(0, 0), index(static_cast<int>(records_.size()) - 1, 0),
            {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole});
    }
}

void CatalogueListModel::SetMarks(std::vector<RowMark> marks) {
    std::sort(marks.begin(), marks.end(),
              [](const RowMark& a, const RowMark& b) { return a.row < b.row; });
    if (marks_.empty() && marks.empty()) {
        return;
    }
    marks_ = std::move(marks);
    if (!records_.empty()) {
        emit dataChanged(index(0, 0), index(static_cast<int>(records_.size()) - 1, 0),
                         {Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole});
    }
}

const CatalogueListModel::RowMark* CatalogueListModel::MarkOf(int row) const {
    const auto found = std::lower_bound(marks_.begin(), marks_.end(), row,
                                        [](const RowMark& mark, int r) { return mark.row < r; });
    return found != marks_.end() && found->row == row ? &*found : nullptr;
}

QString CatalogueListModel::WhyMarked(const RowMark& mark) const {
    const auto row = static_cast<std::size_t>(mark.row);
    switch (mark.clash) {
        case rename::NameClash::Invalid:
            return tr("No file system can hold this name: %1")
                .arg(ToQString(platform::SystemErrorText(mark.error)));
        case rename::NameClash::Existing:
            return tr("An entry named %1 is already in the folder")
                .arg(preview_ != nullptr ? ToQString(preview_->NewName(row)) : QString());
        case rename::NameClash::Duplicate:
            return tr("%1 gets the same new name")
                .arg(preview_ != nullptr
                         ? ToQString(preview_->OldName(static_cast<std::size_t>(mark.otherRow)))
                         : QString());
        case rename::NameClash::None:
            break;
    }
    return {};
}

QString CatalogueListModel::Text(int row, int column) const {
    const auto r = static_cast<std::size_t>(row);
    if (column == 0 && preview_ != nullptr) {
        return r < preview_->RowCount() ? ToQString(preview_->NewName(r)) : QString();
    }
    const std::int32_t record = records_[r];
    if (catalogue_ == nullptr || record < 0 ||
        static_cast<std::size_t>(record) >= catalogue_->GetRecords().size()) {
        return {};
    }
    // Size, times and attributes are read when a row showing them is painted (unless read in
    // the background by then).
    const catalogue::FileRecord& shown = catalogue_->GetRecords()[static_cast<std::size_t>(record)];
    if (column >= catalogue::kKeySize && column <= catalogue::kKeyAttrib) {
        if (!shown.detailsKnown) {
            catalogue_->FillDetails(record);
        }
        if (!formattedDetails_) {
            formattedRow_ = -1;
        }
    }
    if (formattedRow_ != row) {
        formatted_.clear();
        catalogue::FormatRecord(shown, formatted_);
        formatted_.resize(static_cast<std::size_t>(columns_));
        formattedRow_ = row;
        formattedDetails_ = shown.detailsKnown;
    }
    return ToQString(formatted_[static_cast<std::size_t>(column)]);
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
        if (const RowMark* mark = MarkOf(index.row())) {
            if (role == Qt::ToolTipRole) {
                return WhyMarked(*mark);
            }
            if (role == Qt::ForegroundRole) {
                return QGuiApplication::palette().brush(QPalette::Link);
            }
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::DecorationRole: {
            const std::int32_t record = records_[row];
            if (index.column() == 0 && icons_ != nullptr && catalogue_ != nullptr && record >= 0 &&
                static_cast<std::size_t>(record) < catalogue_->GetRecords().size()) {
                return icons_->Icon(
                    catalogue_->GetRecords()[static_cast<std::size_t>(record)].iconIndex);
            }
            return {};
        }
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
