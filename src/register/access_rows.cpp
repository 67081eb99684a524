#include "register/access_rows.h"

namespace reg::access {

namespace {

// A handle as the readers use it (its dates are decoded by the readers, not by libmdb).
MdbHandle* opened(MdbHandle* h)
{
    if (!h)
        throw ReaderError("the file cannot be read as an Access database");
    mdb_set_boolean_fmt_numbers(h);
    return h;
}

}  // namespace

MdbHandle* openFile(const QByteArray& path) { return opened(mdb_open(path.constData(), MDB_NOFLAGS)); }

MdbHandle* openBytes(const QByteArray& bytes)
{
    return opened(mdb_open_buffer(const_cast<char*>(bytes.constData()), size_t(bytes.size()), MDB_NOFLAGS));
}

// The catalogue is the table MSysObjects, whose definition is page 2 in
// every version of the format. Only the columns naming the tables are read;
// the objects' properties are not, but their long values are followed far
// enough to know they end.
std::vector<AccessTable> readCatalogue(MdbHandle* h, qint64 fileSize)
{
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
    return tables;
}

void RowDecoder::decode(const std::vector<MdbField>& fields, ValueSink& sink)
{
    const unsigned char* pg = reader_.page();
    for (size_t k = 0; k < picked_.size(); ++k) {
        const MdbColumn* col = columns_[size_t(picked_[k])];
        const MdbField& f = fields[size_t(picked_[k])];
        const int type = col->col_type;
        if (type == MDB_BOOL) {
            sink.integer(k, f.is_null ? 0 : 1);  // a Yes/No value lives in the null mask
            continue;
        }
        if (f.is_null) {
            sink.null(k);
            continue;
        }
        const unsigned char* v = pg + f.start;
        const size_t n = size_t(f.siz);
        auto need = [&](size_t bytes) {
            if (n < bytes)
                throw ReaderError("a value is shorter than its type");
        };
        switch (type) {
        case MDB_BYTE: need(1); sink.integer(k, v[0]); break;
        case MDB_INT: need(2); sink.integer(k, int16_t(v[0] | v[1] << 8)); break;
        case MDB_LONGINT: need(4); sink.integer(k, int32_t(le32(v))); break;
        case MDB_FLOAT: {
            need(4);
            float x;
            std::memcpy(&x, v, 4);
            sink.real(k, double(x));
            break;
        }
        case MDB_DOUBLE: {
            need(8);
            double x;
            std::memcpy(&x, v, 8);
            sink.real(k, x);
            break;
        }
        case MDB_MONEY:
        case MDB_NUMERIC: {
            need(type == MDB_MONEY ? 8 : 17);
            char* s = type == MDB_MONEY ? mdb_money_to_string(h_, f.start)
                                        : mdb_numeric_to_string(h_, f.start, col->col_scale, col->col_prec);
            sink.real(k, s ? std::strtod(s, nullptr) : 0.0);
            g_free(s);
            break;
        }
        case MDB_TEXT:
            reader_.text(v, n, texts_[k]);
            sink.text(k, texts_[k]);
            break;
        case MDB_MEMO:
            reader_.memo(v, n, stored_[k]);
            reader_.text(reinterpret_cast<const unsigned char*>(stored_[k].data()), stored_[k].size(), texts_[k]);
            sink.text(k, texts_[k]);
            break;
        case MDB_BINARY: sink.blob(k, v, n); break;
        case MDB_DATETIME: {
            need(8);
            double x;
            std::memcpy(&x, v, 8);
            // the sink may keep a view of the text until the row is stored
            if (accessDateText(x, texts_[k]))
                sink.text(k, texts_[k]);
            else
                sink.null(k);
            break;
        }
        case MDB_REPID: {
            need(16);
            char* s = mdb_col_to_string(h_, h_->pg_buf, f.start, type, int(n));
            if (s) {
                texts_[k].assign(s);
                sink.text(k, texts_[k]);
            } else {
                sink.null(k);
            }
            g_free(s);
            break;
        }
        default: sink.null(k); break;  // OLE objects and other kinds are not read
        }
    }
}

void checkRowCount(qint64 rows, const MdbTableDef* t, const TableReader& reader)
{
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
}

}  // namespace reg::access
