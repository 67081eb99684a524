#pragma once
// A client-side record set over a query result: end-of-rows, first, next, a
// column by name (case-insensitive, null-aware), close. Rows are fetched from
// the engine only as far as the caller walks. The first rows (as many as a
// search loads) are kept so that moveFirst returns to them; past those only
// the current row is held, however many rows the result has, and moveFirst
// runs the statement again.

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace reg {

class Recordset {
public:
    static constexpr int kKeptRows = 500;

    Recordset() = default;
    explicit Recordset(std::unique_ptr<QSqlQuery> query);
    Recordset(Recordset&&) noexcept = default;
    Recordset& operator=(Recordset&&) noexcept = default;

    bool isOpen() const { return open_; }
    // True when the current position is past the last row (or there is none).
    // An engine failure while fetching (a statement past its time) throws
    // RegisterError: a result is never cut short silently.
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
    // Walks every remaining row; the number of rows in all.
    int fetchAll();
    // The rows taken from the engine so far.
    int fetchedRows() const { return fetched_; }
    void close();

private:
    bool ensure(int row);
    const QVector<QVariant>& row() const;
    std::unique_ptr<QSqlQuery> query_;
    std::vector<QVector<QVariant>> kept_;  // rows 0 to kKeptRows - 1, as fetched
    QVector<QVariant> current_;             // the last row fetched, past the kept ones
    QStringList names_;
    QHash<QString, int> index_;
    int pos_ = 0;
    int fetched_ = 0;
    bool exhausted_ = true;
    bool open_ = false;
};

// A text as the program shows it: at most `max` characters, the last of
// them an ellipsis when the register's text is longer.
QString boundedText(const QString& text, int max);
// The longest name, label or district text shown (an Access text column holds 255).
constexpr int kShownTextMax = 255;

}  // namespace reg
