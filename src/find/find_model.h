#pragma once
// The rows a find shows: one licence and frequency range a row, sortable by
// any column.

#include "register/find_index.h"

#include <QAbstractTableModel>
#include <vector>

namespace find {

class FindModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Licence, Licensee, Frequency, Location, District, Status, ColumnCount };

    explicit FindModel(QObject* parent = nullptr);
    void setRows(std::vector<reg::FindRow> rows);
    const reg::FindRow* row(int r) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<reg::FindRow> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// The texts of a row's cells: "157.100000 - 157.112500", "Licensed".
QString frequencyText(const reg::FindRow& r);
QString statusText(int status);

}  // namespace find
