// Decoding an Access file's pages, in a reader process: the catalogue of
// tables, and one table's rows copied into an SQLite image.

#include "register/access_internal.h"
#include "register/jet_text.h"

#include <mdbtools.h>

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace reg::access {

namespace {

constexpr int kRowsPerReport = 4096;

uint32_t le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

MdbHandle* openFile(const QByteArray& path)
{
    MdbHandle* h = mdb_open(path.constData(), MDB_NOFLAGS);
    if (!h)
        throw ReaderError("the file cannot be read as an Access database");
    mdb_set_date_fmt(h, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(h);
    return h;
}

// A table's definition, from its page, with its columns (sorted as its
// rows hold them).
struct Definition {
    MdbCatalogEntry entry{};
    MdbTableDef* table = nullptr;
    Definition(MdbHandle* h, const QString& name, qint64 page)
    {
        entry.mdb = h;
        entry.object_type = MDB_TABLE;
        entry.table_pg = page > 0 && page < (qint64(1) << 24) ? (unsigned long)page : 0;
        const QByteArray n = name.toUtf8().left(MDB_MAX_OBJ_NAME);
        std::memcpy(entry.object_name, n.constData(), size_t(n.size()));
        if (entry.table_pg == 0 || !(table = mdb_read_table(&entry)))
            throw ReaderError("its definition cannot be read");
        if (!mdb_read_columns(table) || !table->columns || table->columns->len != table->num_cols)
            throw ReaderError("its columns cannot be read");
    }
    ~Definition() { mdb_free_tabledef(table); }
    Definition(const Definition&) = delete;
    Definition& operator=(const Definition&) = delete;
    MdbColumn* column(unsigned c) const { return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c)); }
    // The index of the column named `name`, or -1.
    int find(const char* name) const
    {
        for (unsigned c = 0; c < table->num_cols; ++c)
            if (g_ascii_strcasecmp(column(c)->name, name) == 0)
                return int(c);
        return -1;
    }
};

}  // namespace

namespace {

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

// Reads one table's rows straight from the pages: no value is formatted as
// text on the way, integers and doubles keep their bits, texts are decoded
// from their stored form, memos of any length are followed to their pages.
class TableReader {
public:
    TableReader(MdbHandle* h, MdbTableDef* t, qint64 fileSize) : h_(h), t_(t), fileSize_(fileSize)
    {
        jet3_ = h->f->jet_version == MDB_VER_JET3;
    }

    // Calls `row` for each row with the fields of its columns, walking the
    // data pages its page map names. A data page of another table in the
    // map is passed over (a stale map entry, when no row is lost: the count
    // of rows read tells); one that repeats a page already read, row for
    // row, is damage.
    template <class Fn>
    void forEachRow(Fn&& row)
    {
        std::vector<MdbField> fields(t_->num_cols);
        const int rco = h_->fmt->row_count_offset;
        const size_t pageSize = size_t(h_->fmt->pg_size);
        std::unordered_map<uint64_t, uint32_t> read;  // the pages read, by a hash of their bytes
        uint32_t pg = 0;
        while (true) {
            const gint32 next = mdb_map_find_next(h_, t_->usage_map, t_->map_sz, pg);
            if (next < 0)
                throw ReaderError("its page map is of an unknown kind");
            if (next == 0)
                break;
            if (uint32_t(next) <= pg)
                throw ReaderError(QStringLiteral("its page map comes back to page %1").arg(next).toStdString());
            pg = uint32_t(next);
            if (mdb_read_pg(h_, pg) != ssize_t(pageSize))
                throw ReaderError(
                    QStringLiteral("its page map names page %1, beyond the end of the file").arg(pg).toStdString());
            if (h_->pg_buf[0] != MDB_PAGE_DATA)
                continue;
            if (le32(h_->pg_buf + 4) != t_->entry->table_pg) {
                foreign_.push_back(pg);
                continue;
            }
            const int rows = mdb_get_int16(h_->pg_buf, rco);
            bool live = false;
            for (int r = 0; r < rows && !live; ++r)
                live = !(mdb_get_int16(h_->pg_buf, rco + 2 + 2 * r) & 0xC000);
            if (live) {
                const auto [at, fresh] = read.emplace(hash(h_->pg_buf, pageSize), pg);
                if (!fresh && mdb_read_alt_pg(h_, at->second) == ssize_t(pageSize) &&
                    std::memcmp(h_->alt_pg_buf, h_->pg_buf, pageSize) == 0)
                    throw ReaderError(QStringLiteral("its page %1 repeats its page %2, whose rows would be read twice")
                                          .arg(pg)
                                          .arg(at->second)
                                          .toStdString());
            }
            for (int r = 0; r < rows; ++r) {
                int start = 0;
                size_t size = 0;
                if (mdb_find_row(h_, r, &start, &size) != 0)
                    throw ReaderError("a row lies outside its page");
                // Deleted rows are skipped; a row moved to another page is
                // read there, where its page lists it.
                if (size == 0 || (start & 0x4000) || (start & 0x8000))
                    continue;
                start &= 0x1FFF;
                if (mdb_crack_row(t_, start, size, fields.data()) < 0)
                    throw ReaderError("a row cannot be read");
                for (const MdbField& f : fields)
                    if (!f.is_null && (f.siz < 0 || f.start < start || size_t(f.start) + size_t(f.siz) > size_t(start) + size ||
                                       size_t(f.start) + size_t(f.siz) > pageSize))
                        throw ReaderError("a value lies outside its row");
                row(fields);
            }
        }
    }

    // The data pages of other tables its page map named.
    const std::vector<uint32_t>& foreignPages() const { return foreign_; }

    const unsigned char* page() const { return h_->pg_buf; }

    void text(const unsigned char* p, size_t n, std::string& out) const
    {
        out.clear();
        if (jet3_)
            appendCp1252Text(out, p, n);
        else
            appendJet4Text(out, p, n);
    }

    // The stored bytes of a long value (a memo, or a catalogue row's
    // properties: `what`, for messages), from its 12-byte field and the
    // long-value rows it names.
    void memo(const unsigned char* f, size_t n, std::string& out, const char* what = "a memo")
    {
        out.clear();
        if (n == 0)
            return;
        auto damage = [&](const char* form) { return ReaderError(QString::fromLatin1(form).arg(QLatin1String(what)).toStdString()); };
        if (n < MDB_MEMO_OVERHEAD)
            throw damage("%1 is damaged");
        const uint32_t word = le32(f);
        const uint64_t len = word & 0x3FFFFFFFu;
        if (len > uint64_t(fileSize_))
            throw damage("%1 is longer than the file");
        switch (word & 0xC0000000u) {
        case 0x80000000u:  // in the row
            if (len > n - MDB_MEMO_OVERHEAD)
                throw damage("%1 is damaged");
            out.assign(reinterpret_cast<const char*>(f) + MDB_MEMO_OVERHEAD, len);
            return;
        case 0x40000000u: {  // one long-value row
            const auto [p, rowLen] = longValueRow(int(le32(f + 4)), what);
            if (len > rowLen)
                throw damage("%1 is damaged");
            out.assign(reinterpret_cast<const char*>(p), len);
            return;
        }
        case 0: {  // a chain of long-value rows, each naming the next
            int next = int(le32(f + 4));
            std::vector<int> visited;
            while (out.size() < len) {
                if (next == 0)
                    throw damage("%1 ends early");
                // A chain that comes back to a row it has read loops (its
                // text would repeat until the stated length is filled).
                if (std::find(visited.begin(), visited.end(), next) != visited.end())
                    throw damage("the chain of long-value rows of %1 loops");
                visited.push_back(next);
                const auto [p, rowLen] = longValueRow(next, what);
                if (rowLen <= 4)
                    throw damage("%1 is damaged");
                next = int(le32(p));
                out.append(reinterpret_cast<const char*>(p) + 4, std::min<size_t>(rowLen - 4, len - out.size()));
            }
            return;
        }
        default: throw damage("%1 is damaged");
        }
    }

private:
    static uint64_t hash(const unsigned char* p, size_t n)
    {
        uint64_t h = 1469598103934665603ull;  // FNV-1a
        for (size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 1099511628211ull;
        return h;
    }

    std::pair<const unsigned char*, size_t> longValueRow(int pgRow, const char* what)
    {
        void* buf = nullptr;
        int off = 0;
        size_t len = 0;
        if (pgRow == 0 || mdb_find_pg_row(h_, pgRow, &buf, &off, &len) != 0 || off < 0 ||
            size_t(off) + len > size_t(h_->fmt->pg_size))
            throw ReaderError(QStringLiteral("%1 names a missing page").arg(QLatin1String(what)).toStdString());
        return {static_cast<const unsigned char*>(buf) + off, len};
    }

    MdbHandle* h_;
    MdbTableDef* t_;
    qint64 fileSize_;
    bool jet3_ = false;
    std::vector<uint32_t> foreign_;
};

}  // namespace

// The catalogue is the table MSysObjects, whose definition is page 2 in
// every version of the format. Only the columns naming the tables are read;
// the objects' properties are not, but their long values are followed far
// enough to know they end.
void listTables(const QByteArray& path, qint64 fileSize, ReaderOutput& out)
{
    MdbHandle* h = openFile(path);
    std::vector<AccessTable> tables;
    {
        const Definition objects(h, QStringLiteral("MSysObjects"), 2);
        const int id = objects.find("Id"), name = objects.find("Name"), type = objects.find("Type"),
                  flags = objects.find("Flags"), props = objects.find("LvProp");
        if (id < 0 || name < 0 || type < 0 || flags < 0)
            throw ReaderError(QStringLiteral("%1(its columns are not a catalogue's)").arg(QLatin1String(kDamagedCatalogue)).toStdString());
        auto integer = [&](const MdbField& f, int column) -> qint64 {
            const unsigned char* v = h->pg_buf + f.start;
            if (f.is_null)
                return 0;
            switch (objects.column(unsigned(column))->col_type) {
            case MDB_INT: return f.siz >= 2 ? qint64(int16_t(v[0] | v[1] << 8)) : 0;
            case MDB_LONGINT: return f.siz >= 4 ? qint64(int32_t(le32(v))) : 0;
            default: return 0;
            }
        };
        TableReader reader(h, objects.table, fileSize);
        std::string text, stored;
        try {
            reader.forEachRow([&](const std::vector<MdbField>& fields) {
                const MdbField& n = fields[size_t(name)];
                if (n.is_null)
                    text.clear();
                else
                    reader.text(h->pg_buf + n.start, size_t(n.siz), text);
                if (props >= 0 && !fields[size_t(props)].is_null) {
                    const QByteArray what = "the properties of " + QByteArray(text.data(), qsizetype(text.size()));
                    reader.memo(h->pg_buf + fields[size_t(props)].start, size_t(fields[size_t(props)].siz), stored,
                                what.constData());
                }
                if (n.is_null || (integer(fields[size_t(type)], type) & 0x7F) != MDB_TABLE)
                    return;
                if (quint32(integer(fields[size_t(flags)], flags)) & 0x80000002u)
                    return;  // a system table
                AccessTable t;
                t.name = QString::fromUtf8(text.data(), qsizetype(text.size()));
                t.page = integer(fields[size_t(id)], id) & 0x00FFFFFF;
                tables.push_back(t);
            });
        } catch (const ReaderError& e) {
            throw ReaderError(std::string(kDamagedCatalogue) + e.what());
        }
    }
    // Each table's rows and columns, as its definition gives them; a
    // definition that cannot be read is its reader's to report.
    for (AccessTable& t : tables) {
        t.rows = -1;
        try {
            const Definition def(h, t.name, t.page);
            t.rows = def.table->num_rows;
            for (unsigned c = 0; c < def.table->num_cols; ++c)
                t.columns << QString::fromUtf8(def.column(c)->name);
        } catch (const ReaderError&) {
        }
    }
    out.catalogue(encodeCatalogue(tables));
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
    std::vector<std::string> texts(picked.size()), stored(picked.size());
    qint64 rows = 0;
    reader.forEachRow([&](const std::vector<MdbField>& fields) {
        const unsigned char* pg = reader.page();
        for (size_t k = 0; k < picked.size(); ++k) {
            const MdbColumn* col = columns[size_t(picked[k])];
            const MdbField& f = fields[size_t(picked[k])];
            const int p = int(k) + 1;
            const int type = col->col_type;
            if (type == MDB_BOOL) {
                ins.bind(p, qint64(f.is_null ? 0 : 1));  // a Yes/No value lives in the null mask
                continue;
            }
            if (f.is_null) {
                ins.bindNull(p);
                continue;
            }
            const unsigned char* v = pg + f.start;
            const size_t n = size_t(f.siz);
            auto need = [&](size_t bytes) {
                if (n < bytes)
                    throw ReaderError("a value is shorter than its type");
            };
            switch (type) {
            case MDB_BYTE: need(1); ins.bind(p, qint64(v[0])); break;
            case MDB_INT: need(2); ins.bind(p, qint64(int16_t(v[0] | v[1] << 8))); break;
            case MDB_LONGINT: need(4); ins.bind(p, qint64(int32_t(le32(v)))); break;
            case MDB_FLOAT: {
                need(4);
                float x;
                std::memcpy(&x, v, 4);
                ins.bind(p, double(x));
                break;
            }
            case MDB_DOUBLE: {
                need(8);
                double x;
                std::memcpy(&x, v, 8);
                ins.bind(p, x);
                break;
            }
            case MDB_MONEY:
            case MDB_NUMERIC: {
                need(type == MDB_MONEY ? 8 : 17);
                char* s = type == MDB_MONEY ? mdb_money_to_string(h, f.start)
                                            : mdb_numeric_to_string(h, f.start, col->col_scale, col->col_prec);
                ins.bind(p, s ? std::strtod(s, nullptr) : 0.0);
                g_free(s);
                break;
            }
            case MDB_TEXT:
                reader.text(v, n, texts[k]);
                ins.bindUtf8View(p, texts[k].data(), texts[k].size());
                break;
            case MDB_MEMO:
                reader.memo(v, n, stored[k]);
                reader.text(reinterpret_cast<const unsigned char*>(stored[k].data()), stored[k].size(), texts[k]);
                ins.bindUtf8View(p, texts[k].data(), texts[k].size());
                break;
            case MDB_BINARY: ins.bind(p, QByteArray(reinterpret_cast<const char*>(v), qsizetype(n))); break;
            case MDB_DATETIME:
            case MDB_REPID: {
                need(type == MDB_DATETIME ? 8 : 16);
                char* s = mdb_col_to_string(h, h->pg_buf, f.start, type, int(n));
                if (s)
                    ins.bind(p, QString::fromUtf8(s));
                else
                    ins.bindNull(p);
                g_free(s);
                break;
            }
            default: ins.bindNull(p); break;  // OLE objects and other kinds are not read
            }
        }
        ins.next();
        ins.reset();
        if (++rows % kRowsPerReport == 0)
            out.rowsRead(rows);
    });
    ins = Statement();
    // The rows read must be the rows the definition holds: a page that
    // cannot be read ends the walk early (rows lost), and a page of the
    // table overwritten by another one, or a count damaged to 0, gives more.
    if (rows < qint64(t->num_rows) && !reader.foreignPages().empty())
        throw ReaderError(QStringLiteral("only %1 of its %2 rows could be read: its page %3 belongs to another table")
                              .arg(rows)
                              .arg(t->num_rows)
                              .arg(reader.foreignPages().front())
                              .toStdString());
    if (rows < qint64(t->num_rows))
        throw ReaderError(QStringLiteral("only %1 of its %2 rows could be read").arg(rows).arg(t->num_rows).toStdString());
    if (rows > qint64(t->num_rows))
        throw ReaderError(QStringLiteral("%1 rows were read where its definition holds %2")
                              .arg(rows)
                              .arg(t->num_rows)
                              .toStdString());
    db.exec(QStringLiteral("COMMIT"));
    for (const QString& ix : req.indexes)
        db.exec(ix);
    out.rowsRead(rows);
    out.database(db.image());
}

}  // namespace reg::access

namespace reg::access {

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
