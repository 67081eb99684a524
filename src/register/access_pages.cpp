// Reading an Access file in a reader process: its catalogue of tables, and
// one table's rows copied into an SQLite image (the decoding is in
// access_rows.cpp).

#include "register/access_rows.h"

#include <QDataStream>
#include <QIODevice>

namespace reg::access {

namespace {

constexpr int kRowsPerReport = 4096;

const char* sqlType(int t)
{
    switch (t) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: return "INTEGER";
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC: return "REAL";
    case MDB_BINARY:
    case MDB_OLE: return "BLOB";
    default: return "TEXT";
    }
}

// A row's values bound to an insert statement's parameters.
class StatementSink : public ValueSink {
public:
    explicit StatementSink(Statement& s) : s_(s) {}
    void null(size_t k) override { s_.bindNull(int(k) + 1); }
    void integer(size_t k, qint64 v) override { s_.bind(int(k) + 1, v); }
    void real(size_t k, double v) override { s_.bind(int(k) + 1, v); }
    void text(size_t k, const std::string& t) override { s_.bindUtf8View(int(k) + 1, t.data(), t.size()); }
    void blob(size_t k, const unsigned char* p, size_t n) override
    {
        s_.bind(int(k) + 1, QByteArray(reinterpret_cast<const char*>(p), qsizetype(n)));
    }

private:
    Statement& s_;
};

}  // namespace

void listTables(const QByteArray& path, qint64 fileSize, ReaderOutput& out)
{
    out.catalogue(encodeCatalogue(readCatalogue(openFile(path), fileSize)));
}

void readTable(const QByteArray& path, const TableImport& req, qint64 fileSize, ReaderOutput& out)
{
    MdbHandle* h = openFile(path);
    const Definition def(h, req.table, req.page);
    MdbTableDef* t = def.table;
    out.rowsExpected(t->num_rows);

    std::vector<MdbColumn*> columns;
    for (unsigned c = 0; c < t->num_cols; ++c)
        columns.push_back(def.column(c));
    std::vector<int> picked;  // indexes into `columns`
    if (req.columns.isEmpty()) {
        for (size_t c = 0; c < columns.size(); ++c)
            picked.push_back(int(c));
    } else {
        for (const QString& want : req.columns)
            for (size_t c = 0; c < columns.size(); ++c)
                if (QString::fromUtf8(columns[c]->name).compare(want, Qt::CaseInsensitive) == 0) {
                    picked.push_back(int(c));
                    break;
                }
    }
    if (picked.empty())
        throw ReaderError("it has none of the columns asked for");

    // The table in one block of memory, handed back as it lies there.
    Database db = Database::openMemory(true);
    db.exec(QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE"));
    QString create = QStringLiteral("CREATE TABLE ") + quotedName(req.table) + QStringLiteral(" (");
    QString insert = QStringLiteral("INSERT INTO ") + quotedName(req.table) + QStringLiteral(" VALUES (");
    for (size_t k = 0; k < picked.size(); ++k) {
        const MdbColumn* col = columns[size_t(picked[k])];
        create += (k ? QStringLiteral(", ") : QString()) + quotedName(QString::fromUtf8(col->name)) +
                  QLatin1Char(' ') + QLatin1String(sqlType(col->col_type));
        insert += k ? QStringLiteral(",?") : QStringLiteral("?");
    }
    db.exec(create + QLatin1Char(')'));
    db.exec(QStringLiteral("BEGIN"));
    Statement ins = db.prepare(insert + QLatin1Char(')'));

    TableReader reader(h, t, fileSize);
    RowDecoder decoder(h, reader, columns, picked);
    StatementSink sink(ins);
    qint64 rows = 0;
    reader.forEachRow([&](const std::vector<MdbField>& fields) {
        decoder.decode(fields, sink);
        ins.next();
        ins.reset();
        if (++rows % kRowsPerReport == 0)
            out.rowsRead(rows);
    });
    ins = Statement();
    checkRowCount(rows, t, reader);
    db.exec(QStringLiteral("COMMIT"));
    for (const QString& ix : req.indexes)
        db.exec(ix);
    out.rowsRead(rows);
    out.database(db.image());
}

QByteArray encodeCatalogue(const std::vector<AccessTable>& tables)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << qint32(tables.size());
    for (const AccessTable& t : tables)
        s << t.name << t.rows << t.page << t.columns;
    return out;
}

std::vector<AccessTable> decodeCatalogue(const QByteArray& encoded)
{
    std::vector<AccessTable> tables;
    QDataStream s(encoded);
    qint32 n = 0;
    s >> n;
    for (qint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        AccessTable t;
        s >> t.name >> t.rows >> t.page >> t.columns;
        tables.push_back(t);
    }
    return tables;
}

}  // namespace reg::access
