#include "register/access_import.h"

#include <mdbtools.h>
#include <sqlite3.h>

#include <QByteArray>
#include <QFile>
#include <memory>
#include <vector>

namespace reg {

namespace {

struct MdbCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;

MdbPtr openMdb(const QString& path)
{
    MdbHandle* h = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!h)
        throw RegisterError(QStringLiteral("%1 cannot be read as an Access database").arg(path));
    mdb_set_date_fmt(h, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(h);
    if (!mdb_read_catalog(h, MDB_TABLE)) {
        mdb_close(h);
        throw RegisterError(QStringLiteral("%1: the table catalogue of the Access database cannot be read").arg(path));
    }
    return MdbPtr(h);
}

QStringList userTables(MdbHandle* h)
{
    QStringList names;
    for (unsigned i = 0; i < h->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(h->catalog, i));
        if (e->object_type == MDB_TABLE && mdb_is_user_table(e))
            names << QString::fromUtf8(e->object_name);
    }
    return names;
}

QString sqlType(int t)
{
    switch (t) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: return QStringLiteral("INTEGER");
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC: return QStringLiteral("REAL");
    case MDB_BINARY:
    case MDB_OLE: return QStringLiteral("BLOB");
    default: return QStringLiteral("TEXT");
    }
}

QString quoted(const QString& id) { return QLatin1Char('"') + QString(id).replace('"', "\"\"") + QLatin1Char('"'); }

void exec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "unknown error");
        sqlite3_free(err);
        throw RegisterError(msg);
    }
}

struct TableDefCloser {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

}  // namespace

QStringList accessTableNames(const QString& path)
{
    MdbPtr h = openMdb(path);
    return userTables(h.get());
}

void importAccess(const QString& path, sqlite3* db, const QStringList& wanted, const ProgressFn& progress)
{
    MdbPtr h = openMdb(path);
    const QStringList present = userTables(h.get());
    QStringList tables;
    if (wanted.isEmpty())
        tables = present;
    else
        for (const QString& w : wanted)
            for (const QString& p : present)
                if (p.compare(w, Qt::CaseInsensitive) == 0)
                    tables << p;

    // Open every table first so the total row count is known for the progress.
    std::vector<std::unique_ptr<MdbTableDef, TableDefCloser>> defs;
    ImportProgress prog;
    for (const QString& t : tables) {
        QByteArray name = t.toUtf8();
        MdbTableDef* def = mdb_read_table_by_name(h.get(), name.data(), MDB_TABLE);
        if (!def)
            throw RegisterError(QStringLiteral("%1: table %2 cannot be read").arg(path, t));
        defs.emplace_back(def);
        mdb_read_columns(def);
        prog.rowsTotal += def->num_rows;
    }

    exec(db, QStringLiteral("BEGIN"));
    for (size_t ti = 0; ti < defs.size(); ++ti) {
        MdbTableDef* def = defs[ti].get();
        const QString table = tables[int(ti)];
        prog.table = table;
        const unsigned ncols = def->num_cols;
        QStringList colDefs, colNames, params;
        std::vector<int> types(ncols);
        for (unsigned c = 0; c < ncols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
            types[c] = col->col_type;
            colDefs << quoted(QString::fromUtf8(col->name)) + QLatin1Char(' ') + sqlType(col->col_type);
            colNames << quoted(QString::fromUtf8(col->name));
            params << QStringLiteral("?");
        }
        exec(db, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), colDefs.join(", ")));

        sqlite3_stmt* ins = nullptr;
        const QByteArray insSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(quoted(table), colNames.join(", "), params.join(", "))
                                      .toUtf8();
        if (sqlite3_prepare_v2(db, insSql.constData(), -1, &ins, nullptr) != SQLITE_OK)
            throw RegisterError(QString::fromUtf8(sqlite3_errmsg(db)));
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(ins, sqlite3_finalize);

        const size_t bindSize = h->bind_size;
        std::vector<std::vector<char>> buffers(ncols, std::vector<char>(bindSize + 1));
        std::vector<int> lengths(ncols);
        for (unsigned c = 0; c < ncols; ++c)
            mdb_bind_column(def, int(c) + 1, buffers[c].data(), &lengths[c]);
        mdb_rewind_table(def);
        qint64 rows = 0;
        while (mdb_fetch_row(def)) {
            for (unsigned c = 0; c < ncols; ++c) {
                auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
                const int p = int(c) + 1;
                const int len = lengths[c];
                const int start = col->cur_value_start;
                switch (types[c]) {
                case MDB_BYTE:
                    if (len > 0) sqlite3_bind_int(ins, p, mdb_get_byte(h->pg_buf, start));
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_INT:
                    if (len > 0) sqlite3_bind_int(ins, p, mdb_get_int16(h->pg_buf, start));
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_LONGINT:
                    if (len > 0) sqlite3_bind_int64(ins, p, mdb_get_int32(h->pg_buf, start));
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_FLOAT:
                    if (len > 0) sqlite3_bind_double(ins, p, double(mdb_get_single(h->pg_buf, start)));
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_DOUBLE:
                    if (len > 0) sqlite3_bind_double(ins, p, mdb_get_double(h->pg_buf, start));
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_BOOL:
                    sqlite3_bind_int(ins, p, len > 0 && buffers[c][0] == '1' ? 1 : 0);
                    break;
                case MDB_MONEY:
                case MDB_NUMERIC:
                    if (len > 0) sqlite3_bind_double(ins, p, QByteArray(buffers[c].data(), len).toDouble());
                    else sqlite3_bind_null(ins, p);
                    break;
                case MDB_BINARY:
                case MDB_OLE:
                    sqlite3_bind_null(ins, p);
                    break;
                default:
                    if (len > 0) sqlite3_bind_text(ins, p, buffers[c].data(), len, SQLITE_TRANSIENT);
                    else sqlite3_bind_null(ins, p);
                    break;
                }
            }
            if (sqlite3_step(ins) != SQLITE_DONE)
                throw RegisterError(QString::fromUtf8(sqlite3_errmsg(db)));
            sqlite3_reset(ins);
            ++rows;
            ++prog.rowsRead;
            if (progress && (rows & 4095) == 0)
                progress(prog);
        }
        if (progress)
            progress(prog);
    }
    exec(db, QStringLiteral("COMMIT"));
}

}  // namespace reg
