// A read-only table model over a dataset of the data-access library: the data source of
// the event-log grid. The model does not own the dataset; its holder frees it after
// detaching it with SetDataSet(nullptr).
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "tvDataAccessApi.h"

namespace sec {

class TvDataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        const char* field;
        QString title;
        bool dateTime = false;  // shown in the library's date format with the time of day
    };

    TvDataSetModel(std::vector<Column> columns, QObject* parent);

    void SetDataSet(TvDataSet* dataset);
    TvDataSet* DataSet() const { return dataset_; }
    const std::vector<Column>& Columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Column> columns_;
    TvDataSet* dataset_ = nullptr;
};

}  // namespace sec
