#include "register/recordset.h"

#include "register/connection.h"

#include <QSqlRecord>

namespace reg {

Recordset::Recordset(std::unique_ptr<QSqlQuery> query) : query_(std::move(query)), open_(true)
{
    const QSqlRecord rec = query_->record();
    for (int i = 0; i < rec.count(); ++i) {
        names_ << rec.fieldName(i);
        index_.insert(rec.fieldName(i).toLower(), i);
    }
    exhausted_ = false;
}

bool Recordset::ensure(int row)
{
    while (int(rows_.size()) <= row && !exhausted_) {
        if (!query_->next()) {
            exhausted_ = true;
            query_->finish();
            break;
        }
        QVector<QVariant> values(names_.size());
        for (int i = 0; i < names_.size(); ++i)
            values[i] = query_->value(i);
        rows_.push_back(std::move(values));
    }
    return int(rows_.size()) > row;
}

bool Recordset::eof()
{
    if (!open_)
        return true;
    return !ensure(pos_);
}

void Recordset::moveFirst() { pos_ = 0; }

void Recordset::moveNext()
{
    if (!eof())
        ++pos_;
}

int Recordset::columnIndex(const QString& column) const { return index_.value(column.toLower(), -1); }

QVariant Recordset::value(int column)
{
    if (!open_ || !ensure(pos_))
        throw RegisterError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    if (column < 0 || column >= names_.size())
        throw RegisterError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                           "name or ordinal."));
    return rows_[size_t(pos_)][column];
}

QVariant Recordset::value(const QString& column) { return value(columnIndex(column)); }

int Recordset::fetchAll()
{
    ensure(INT_MAX - 1);
    return int(rows_.size());
}

void Recordset::close()
{
    if (query_)
        query_->finish();
    query_.reset();
    rows_.clear();
    open_ = false;
    exhausted_ = true;
    pos_ = 0;
}

}  // namespace reg
