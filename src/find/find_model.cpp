#include "find/find_model.h"

#include "base/numbers.h"
#include "base/shown_text.h"
#include "forms/core.h"

#include <algorithm>

namespace find {

QString frequencyText(const reg::FindRow& r)
{
    return base::sixDecimalTextWithZero(r.lowMHz) + QStringLiteral(" - ") + base::sixDecimalTextWithZero(r.highMHz);
}

QString statusText(int status)
{
    switch (status) {
    case 1: return QStringLiteral("Licensed");
    case 5: return QStringLiteral("Licensed, status 5");
    default: return QString::number(status);
    }
}

FindModel::FindModel(QObject* parent) : QAbstractTableModel(parent) {}

void FindModel::setRows(std::vector<reg::FindRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    if (sortColumn_ >= 0)
        sort(sortColumn_, sortOrder_);
}

const reg::FindRow* FindModel::row(int r) const
{
    return r >= 0 && size_t(r) < rows_.size() ? &rows_[size_t(r)] : nullptr;
}

int FindModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }
int FindModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant FindModel::data(const QModelIndex& index, int role) const
{
    const reg::FindRow* r = row(index.row());
    if (!r)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Frequency || index.column() == Licence ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                        : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const bool tip = role == Qt::ToolTipRole;
    const int max = tip ? 1024 : base::kShownTextMax;
    QString text;
    switch (index.column()) {
    case Licence: text = base::boundedText(r->licenceNumber, max); break;
    case Licensee: text = base::boundedText(r->licensee, max); break;
    case Frequency: text = frequencyText(*r); break;
    case Location: text = base::boundedText(r->location, max); break;
    case District: text = base::boundedText(r->district, max); break;
    case Status: text = statusText(r->status); break;
    default: return {};
    }
    // A cell shows plain text; a tooltip would read markup, so it is escaped.
    return tip ? forms::plainToolTip(text) : text;
}

QVariant FindModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const names[ColumnCount] = {"Licence", "Licensee", "Frequency (MHz)",
                                                  "Location", "District", "Status"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

void FindModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    auto less = [column](const reg::FindRow& a, const reg::FindRow& b) {
        switch (column) {
        case Licence: {
            // Numbers by their value, then any text.
            bool okA = false, okB = false;
            const qint64 x = a.licenceNumber.toLongLong(&okA), y = b.licenceNumber.toLongLong(&okB);
            if (okA && okB && x != y)
                return x < y;
            if (okA != okB)
                return okA;
            return a.licenceNumber < b.licenceNumber;
        }
        case Licensee: return QString::localeAwareCompare(a.licensee, b.licensee) < 0;
        case Frequency: return a.lowMHz != b.lowMHz ? a.lowMHz < b.lowMHz : a.highMHz < b.highMHz;
        case Location: return QString::localeAwareCompare(a.location, b.location) < 0;
        case District: return a.district < b.district;
        default: return a.status < b.status;
        }
    };
    layoutAboutToBeChanged();
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows_.begin(), rows_.end(), less);
    else
        std::stable_sort(rows_.begin(), rows_.end(), [&](const reg::FindRow& a, const reg::FindRow& b) { return less(b, a); });
    layoutChanged();
}

}  // namespace find
