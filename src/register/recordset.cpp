#include "register/recordset.h"

#include "register/connection.h"

#include <QSqlError>
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
    while (fetched_ <= row && !exhausted_) {
        if (!query_->next()) {
            exhausted_ = true;
            const QSqlError e = query_->lastError();
            query_->finish();
            if (e.isValid())
                throw errorOf(e);
            break;
        }
        QVector<QVariant> values(names_.size());
        for (int i = 0; i < names_.size(); ++i)
            values[i] = query_->value(i);
        if (fetched_ < kKeptRows)
            kept_.push_back(std::move(values));
        else
            current_ = std::move(values);
        ++fetched_;
    }
    // Rows between the kept ones and the current one are gone.
    return row < fetched_ && (row < int(kept_.size()) || row == fetched_ - 1);
}

const QVector<QVariant>& Recordset::row() const { return pos_ < int(kept_.size()) ? kept_[size_t(pos_)] : current_; }

bool Recordset::eof()
{
    if (!open_)
        return true;
    return !ensure(pos_);
}

void Recordset::moveFirst()
{
    pos_ = 0;
    if (!open_ || fetched_ <= int(kept_.size()))
        return;
    // Past the kept rows: the statement is run again (the register does not change).
    kept_.clear();
    current_.clear();
    fetched_ = 0;
    exhausted_ = false;
    if (!query_->exec(query_->lastQuery()))
        throw errorOf(query_->lastError());
}

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
    return row()[column];
}

QVariant Recordset::value(const QString& column) { return value(columnIndex(column)); }

int Recordset::fetchAll()
{
    while (!eof())
        moveNext();
    return fetched_;
}

void Recordset::close()
{
    if (query_)
        query_->finish();
    query_.reset();
    kept_.clear();
    current_.clear();
    open_ = false;
    exhausted_ = true;
    pos_ = 0;
    fetched_ = 0;
}

QString boundedText(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    return text.left(max - 1) + QChar(0x2026);
}

}  // namespace reg
