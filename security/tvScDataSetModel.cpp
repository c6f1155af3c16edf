#include "tvScDataSetModel.h"

#include <algorithm>

#include "tvScDates.h"
#include "tvScMain.h"

namespace sec {

TvDataSetModel::TvDataSetModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void TvDataSetModel::SetDataSet(TvDataSet* dataset) {
    beginResetModel();
    dataset_ = dataset;
    endResetModel();
}

int TvDataSetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || dataset_ == nullptr) return 0;
    return std::max(dataset_->RecordCount(), 0);
}

int TvDataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TvDataSetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || dataset_ == nullptr || !index.isValid()) return {};
    if (dataset_->MoveTo(index.row()) == 0) return {};
    const Column& column = columns_[static_cast<std::size_t>(index.column())];
    if (column.dateTime) {
        double days = 0;
        if (dataset_->FieldAsDateTime(column.field, &days) != 1) return {};
        const QDateTime when = FromDayCount(days);
        return FormatDate(when.date(), ShortDateFormat, DateSeparator) + " " +
               when.time().toString("HH:mm:ss");
    }
    const char* text = nullptr;
    if (dataset_->FieldAsText(column.field, &text) != 1 || text == nullptr) return {};
    return QString::fromUtf8(text);
}

QVariant TvDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
    return columns_[static_cast<std::size_t>(section)].title;
}

}  // namespace sec
