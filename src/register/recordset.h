#pragma once
// A client-side record set over a query result: end-of-rows, first, next, a
// column by name (case-insensitive, null-aware), close. Rows are fetched from
// the engine only as far as the caller walks.

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace reg {

class Recordset {
public:
    Recordset() = default;
    explicit Recordset(std::unique_ptr<QSqlQuery> query);
    Recordset(Recordset&&) noexcept = default;
    Recordset& operator=(Recordset&&) noexcept = default;

    bool isOpen() const { return open_; }
    // True when the current position is past the last row (or there is none).
    bool eof();
    void moveFirst();
    void moveNext();
    // The value of a column of the current row; a null QVariant for a null.
    // An unknown column or a read past the end throws reg::RegisterError.
    QVariant value(const QString& column);
    QVariant value(int column);
    bool isNull(const QString& column) { return value(column).isNull(); }
    int fieldCount() const { return int(names_.size()); }
    QString fieldName(int i) const { return names_.value(i); }
    int columnIndex(const QString& column) const;
    // Fetches every remaining row; the number of rows in all.
    int fetchAll();
    int fetchedRows() const { return int(rows_.size()); }
    void close();

private:
    bool ensure(int row);
    std::unique_ptr<QSqlQuery> query_;
    std::vector<QVector<QVariant>> rows_;
    QStringList names_;
    QHash<QString, int> index_;
    int pos_ = 0;
    bool exhausted_ = true;
    bool open_ = false;
};

}  // namespace reg
