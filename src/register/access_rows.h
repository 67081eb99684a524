#pragma once
// Decoding an Access file's pages, in a reader process: the catalogue's
// rows, a table's data pages and rows, its texts and long values, each
// checked against the page it lies in. Nothing here writes anywhere: what
// is decoded goes to the caller (see access_pages.cpp), which copies it
// into SQLite, or to the fuzz target.

#include "register/access_internal.h"
#include "register/jet_text.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace reg::access {

inline uint32_t le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// libmdb's handle on a file, set for reading; throws ReaderError.
MdbHandle* openFile(const QByteArray& path);
// The same on bytes in memory (which must outlive the handle).
MdbHandle* openBytes(const QByteArray& bytes);

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

// The user tables of the file's catalogue, with their definitions' pages,
// row counts and columns. Throws ReaderError, beginning with
// kDamagedCatalogue when the catalogue's own rows are damaged.
std::vector<AccessTable> readCatalogue(MdbHandle* h, qint64 fileSize);

// What a row's values are handed to, column by column (0 for the first
// picked).
class ValueSink {
public:
    virtual ~ValueSink() = default;
    virtual void null(size_t column) = 0;
    virtual void integer(size_t column, qint64 v) = 0;
    virtual void real(size_t column, double v) = 0;
    virtual void text(size_t column, const std::string& utf8) = 0;
    virtual void blob(size_t column, const unsigned char* p, size_t n) = 0;
};

// The values of the picked columns of a table's rows: integers and doubles
// keep their bits, texts are decoded from their stored form, memos of any
// length are followed to their pages. Throws ReaderError.
class RowDecoder {
public:
    RowDecoder(MdbHandle* h, TableReader& reader, std::vector<MdbColumn*> columns, std::vector<int> picked)
        : h_(h), reader_(reader), columns_(std::move(columns)), picked_(std::move(picked)), texts_(picked_.size()),
          stored_(picked_.size())
    {
    }
    void decode(const std::vector<MdbField>& fields, ValueSink& sink);

private:
    MdbHandle* h_;
    TableReader& reader_;
    std::vector<MdbColumn*> columns_;
    std::vector<int> picked_;  // indexes into columns_
    std::vector<std::string> texts_, stored_;
};

// The rows read must be the rows the definition holds: a page that cannot
// be read ends the walk early (rows lost), and a page of the table
// overwritten by another one, or a count damaged to 0, gives more. Throws
// ReaderError when they differ.
void checkRowCount(qint64 rows, const MdbTableDef* t, const TableReader& reader);

}  // namespace reg::access
