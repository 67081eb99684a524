#include "register/access_import.h"

#include "register/jet_text.h"

#include <mdbtools.h>
#include <sqlite3.h>

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reg {

namespace {

// Messages from a child: a type byte, an 8-byte length, the payload.
constexpr char kMsgCatalogue = 'C';
constexpr char kMsgRowsExpected = 'N';
constexpr char kMsgRowsRead = 'P';
constexpr char kMsgDatabase = 'D';
constexpr char kMsgError = 'E';
constexpr int kHeaderSize = 9;
constexpr int kRowsPerReport = 4096;

// ---------------------------------------------------------------------------
// The child's side.

// A failure the child reports to its parent.
struct ChildError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void writeAll(int fd, const void* data, size_t n)
{
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            _exit(3);  // the parent has gone
        p += w;
        n -= size_t(w);
    }
}

void send(int fd, char type, const void* data, uint64_t n)
{
    unsigned char h[kHeaderSize];
    h[0] = static_cast<unsigned char>(type);
    for (int k = 0; k < 8; ++k)
        h[1 + k] = static_cast<unsigned char>(n >> (8 * k));
    writeAll(fd, h, sizeof h);
    writeAll(fd, data, n);
}

void sendNumber(int fd, char type, qint64 v) { send(fd, type, &v, sizeof v); }

uint32_t le32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

MdbHandle* openFile(const QByteArray& path)
{
    MdbHandle* h = mdb_open(path.constData(), MDB_NOFLAGS);
    if (!h)
        throw ChildError("the file cannot be read as an Access database");
    mdb_set_date_fmt(h, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(h);
    if (!mdb_read_catalog(h, MDB_TABLE))
        throw ChildError("its table catalogue cannot be read");
    return h;
}

// The catalogue entry of a user table, read once per handle.
MdbCatalogEntry* findTable(MdbHandle* h, const QString& name)
{
    for (unsigned i = 0; i < h->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(h->catalog, i));
        if (e->object_type == MDB_TABLE && QString::fromUtf8(e->object_name).compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return nullptr;
}

MdbTableDef* readDefinition(MdbCatalogEntry* e)
{
    MdbTableDef* t = mdb_read_table(e);
    if (!t)
        throw ChildError("its definition cannot be read");
    if (!mdb_read_columns(t) || !t->columns || t->columns->len != t->num_cols)
        throw ChildError("its columns cannot be read");
    return t;
}

void childListTables(const QByteArray& path, int fd)
{
    MdbHandle* h = openFile(path);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    std::vector<AccessTable> tables;
    for (unsigned i = 0; i < h->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(h->catalog, i));
        if (!mdb_is_user_table(e))
            continue;
        AccessTable t;
        t.name = QString::fromUtf8(e->object_name);
        t.rows = -1;  // a definition that cannot be read is the reader's to report
        if (MdbTableDef* def = mdb_read_table(e)) {
            t.rows = def->num_rows;
            if (mdb_read_columns(def) && def->columns)
                for (unsigned c = 0; c < def->columns->len; ++c)
                    t.columns << QString::fromUtf8(
                        static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c))->name);
            mdb_free_tabledef(def);
        }
        tables.push_back(t);
    }
    s << qint32(tables.size());
    for (const AccessTable& t : tables)
        s << t.name << t.rows << t.columns;
    send(fd, kMsgCatalogue, out.constData(), uint64_t(out.size()));
}

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

QByteArray quoted(const QString& id) { return '"' + QString(id).replace('"', "\"\"").toUtf8() + '"'; }

void exec(sqlite3* db, const QByteArray& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw ChildError(msg);
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

    // Calls `row` for each row with the fields of its columns.
    template <class Fn>
    void forEachRow(Fn&& row)
    {
        std::vector<MdbField> fields(t_->num_cols);
        const int rco = h_->fmt->row_count_offset;
        mdb_rewind_table(t_);
        while (mdb_read_next_dpg(t_)) {
            const int rows = mdb_get_int16(h_->pg_buf, rco);
            for (int r = 0; r < rows; ++r) {
                int start = 0;
                size_t size = 0;
                if (mdb_find_row(h_, r, &start, &size) != 0)
                    throw ChildError("a row lies outside its page");
                // Deleted rows are skipped; a row moved to another page is
                // read there, where its page lists it.
                if (size == 0 || (start & 0x4000) || (start & 0x8000))
                    continue;
                start &= 0x1FFF;
                if (mdb_crack_row(t_, start, size, fields.data()) < 0)
                    throw ChildError("a row cannot be read");
                for (const MdbField& f : fields)
                    if (!f.is_null && (f.siz < 0 || f.start < start || size_t(f.start) + size_t(f.siz) > size_t(start) + size ||
                                       size_t(f.start) + size_t(f.siz) > size_t(h_->fmt->pg_size)))
                        throw ChildError("a value lies outside its row");
                row(fields);
            }
        }
    }

    const unsigned char* page() const { return h_->pg_buf; }

    void text(const unsigned char* p, size_t n, std::string& out) const
    {
        out.clear();
        if (jet3_)
            appendCp1252Text(out, p, n);
        else
            appendJet4Text(out, p, n);
    }

    // The stored bytes of a memo, from its 12-byte field and the pages it names.
    void memo(const unsigned char* f, size_t n, std::string& out)
    {
        out.clear();
        if (n == 0)
            return;
        if (n < MDB_MEMO_OVERHEAD)
            throw ChildError("a memo is damaged");
        const uint32_t word = le32(f);
        const uint64_t len = word & 0x3FFFFFFFu;
        if (len > uint64_t(fileSize_))
            throw ChildError("a memo is longer than the file");
        switch (word & 0xC0000000u) {
        case 0x80000000u:  // in the row
            if (len > n - MDB_MEMO_OVERHEAD)
                throw ChildError("a memo is damaged");
            out.assign(reinterpret_cast<const char*>(f) + MDB_MEMO_OVERHEAD, len);
            return;
        case 0x40000000u: {  // one long-value row
            const auto [p, rowLen] = longValueRow(int(le32(f + 4)));
            if (len > rowLen)
                throw ChildError("a memo is damaged");
            out.assign(reinterpret_cast<const char*>(p), len);
            return;
        }
        case 0: {  // a chain of long-value rows, each naming the next
            int next = int(le32(f + 4));
            while (out.size() < len) {
                if (next == 0)
                    throw ChildError("a memo ends early");
                const auto [p, rowLen] = longValueRow(next);
                if (rowLen <= 4)
                    throw ChildError("a memo is damaged");
                next = int(le32(p));
                out.append(reinterpret_cast<const char*>(p) + 4, std::min<size_t>(rowLen - 4, len - out.size()));
            }
            return;
        }
        default: throw ChildError("a memo is damaged");
        }
    }

private:
    std::pair<const unsigned char*, size_t> longValueRow(int pgRow)
    {
        void* buf = nullptr;
        int off = 0;
        size_t len = 0;
        if (pgRow == 0 || mdb_find_pg_row(h_, pgRow, &buf, &off, &len) != 0 || off < 0 ||
            size_t(off) + len > size_t(h_->fmt->pg_size))
            throw ChildError("a memo names a missing page");
        return {static_cast<const unsigned char*>(buf) + off, len};
    }

    MdbHandle* h_;
    MdbTableDef* t_;
    qint64 fileSize_;
    bool jet3_ = false;
};

void childReadTable(const QByteArray& path, const TableImport& req, qint64 fileSize, int fd)
{
    MdbHandle* h = openFile(path);
    MdbCatalogEntry* e = findTable(h, req.table);
    if (!e)
        throw ChildError("it is not in the catalogue");
    MdbTableDef* t = readDefinition(e);
    sendNumber(fd, kMsgRowsExpected, t->num_rows);

    std::vector<MdbColumn*> columns;
    for (unsigned c = 0; c < t->num_cols; ++c)
        columns.push_back(static_cast<MdbColumn*>(g_ptr_array_index(t->columns, c)));
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
        throw ChildError("it has none of the columns asked for");

    sqlite3* db = nullptr;
    if (sqlite3_open_v2("file:access-table?vfs=memdb", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                        nullptr) != SQLITE_OK)
        throw ChildError("no in-memory database can be made");
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE");
    QByteArray create = "CREATE TABLE " + quoted(req.table) + " (";
    QByteArray insert = "INSERT INTO " + quoted(req.table) + " VALUES (";
    for (size_t k = 0; k < picked.size(); ++k) {
        const MdbColumn* col = columns[size_t(picked[k])];
        create += (k ? ", " : "") + quoted(QString::fromUtf8(col->name)) + ' ' + sqlType(col->col_type);
        insert += k ? ",?" : "?";
    }
    exec(db, create + ")");
    exec(db, "BEGIN");
    sqlite3_stmt* ins = nullptr;
    if (sqlite3_prepare_v2(db, (insert + ")").constData(), -1, &ins, nullptr) != SQLITE_OK)
        throw ChildError(sqlite3_errmsg(db));

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
                sqlite3_bind_int(ins, p, f.is_null ? 0 : 1);  // a Yes/No value lives in the null mask
                continue;
            }
            if (f.is_null) {
                sqlite3_bind_null(ins, p);
                continue;
            }
            const unsigned char* v = pg + f.start;
            const size_t n = size_t(f.siz);
            auto need = [&](size_t bytes) {
                if (n < bytes)
                    throw ChildError("a value is shorter than its type");
            };
            switch (type) {
            case MDB_BYTE: need(1); sqlite3_bind_int(ins, p, v[0]); break;
            case MDB_INT: need(2); sqlite3_bind_int(ins, p, int16_t(v[0] | v[1] << 8)); break;
            case MDB_LONGINT: need(4); sqlite3_bind_int64(ins, p, int32_t(le32(v))); break;
            case MDB_FLOAT: {
                need(4);
                float x;
                std::memcpy(&x, v, 4);
                sqlite3_bind_double(ins, p, double(x));
                break;
            }
            case MDB_DOUBLE: {
                need(8);
                double x;
                std::memcpy(&x, v, 8);
                sqlite3_bind_double(ins, p, x);
                break;
            }
            case MDB_MONEY:
            case MDB_NUMERIC: {
                need(type == MDB_MONEY ? 8 : 17);
                char* s = type == MDB_MONEY ? mdb_money_to_string(h, f.start)
                                            : mdb_numeric_to_string(h, f.start, col->col_scale, col->col_prec);
                sqlite3_bind_double(ins, p, s ? std::strtod(s, nullptr) : 0.0);
                g_free(s);
                break;
            }
            case MDB_TEXT:
                reader.text(v, n, texts[k]);
                sqlite3_bind_text(ins, p, texts[k].data(), int(texts[k].size()), SQLITE_STATIC);
                break;
            case MDB_MEMO:
                reader.memo(v, n, stored[k]);
                reader.text(reinterpret_cast<const unsigned char*>(stored[k].data()), stored[k].size(), texts[k]);
                sqlite3_bind_text(ins, p, texts[k].data(), int(texts[k].size()), SQLITE_STATIC);
                break;
            case MDB_BINARY: sqlite3_bind_blob(ins, p, v, int(n), SQLITE_TRANSIENT); break;
            case MDB_DATETIME:
            case MDB_REPID: {
                need(type == MDB_DATETIME ? 8 : 16);
                char* s = mdb_col_to_string(h, h->pg_buf, f.start, type, int(n));
                if (s)
                    sqlite3_bind_text(ins, p, s, -1, SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(ins, p);
                g_free(s);
                break;
            }
            default: sqlite3_bind_null(ins, p); break;  // OLE objects and other kinds are not read
            }
        }
        if (sqlite3_step(ins) != SQLITE_DONE)
            throw ChildError(sqlite3_errmsg(db));
        sqlite3_reset(ins);
        if (++rows % kRowsPerReport == 0)
            sendNumber(fd, kMsgRowsRead, rows);
    });
    sqlite3_finalize(ins);
    // A page that cannot be read ends the reader's walk early: rows would be lost.
    if (t->num_rows > 0 && rows < qint64(t->num_rows))
        throw ChildError(QStringLiteral("only %1 of its %2 rows could be read").arg(rows).arg(t->num_rows).toStdString());
    exec(db, "COMMIT");
    for (const QString& ix : req.indexes)
        exec(db, ix.toUtf8());
    sendNumber(fd, kMsgRowsRead, rows);
    sqlite3_int64 size = 0;
    unsigned char* image = sqlite3_serialize(db, "main", &size, SQLITE_SERIALIZE_NOCOPY);
    if (!image)
        throw ChildError("the table cannot be handed back");
    send(fd, kMsgDatabase, image, uint64_t(size));
}

// Forks a child that runs `work` with the write end of a pipe and exits;
// returns the child and the read end.
std::pair<pid_t, int> spawn(const std::function<void(int)>& work)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw RegisterError(QStringLiteral("A process to read the register cannot be started: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw RegisterError(QStringLiteral("A process to read the register cannot be started: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::signal(SIGPIPE, SIG_DFL);
#if !defined(__SANITIZE_ADDRESS__)
        // A hostile file may not make the reader take all the memory there is.
        const rlimit mem{rlim_t(4) << 30, rlim_t(4) << 30};
        ::setrlimit(RLIMIT_AS, &mem);
#endif
        int status = 0;
        try {
            work(fds[1]);
        } catch (const std::exception& e) {
            send(fds[1], kMsgError, e.what(), std::strlen(e.what()));
            status = 1;
        } catch (...) {
            status = 1;
        }
        ::close(fds[1]);
        _exit(status);  // nothing of the parent's is torn down here
    }
    ::close(fds[1]);
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    return {pid, fds[0]};
}

// ---------------------------------------------------------------------------
// The parent's side.

// A child and what has come from it so far.
struct Child {
    pid_t pid = -1;
    int fd = -1;
    size_t job = 0;
    QElapsedTimer clock;
    unsigned char header[kHeaderSize];
    int headerGot = 0;
    char type = 0;
    uint64_t length = 0, got = 0;
    QByteArray small;                   // the payload of a short message
    unsigned char* image = nullptr;     // a database, allocated for SQLite to own
    uint64_t imageSize = 0;
    bool haveImage = false;
    QByteArray catalogue;
    QString error;
    qint64 rowsRead = 0;

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        stop();
        sqlite3_free(image);
    }

    void stop()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        pid = -1;
    }

    // Reads what the pipe holds; false once the child has closed it.
    bool pump(const std::function<void(Child&)>& onMessage)
    {
        unsigned char buf[65536];
        while (true) {
            if (headerGot < kHeaderSize) {
                const ssize_t r = ::read(fd, header + headerGot, size_t(kHeaderSize - headerGot));
                if (r == 0)
                    return false;
                if (r < 0)
                    return errno == EAGAIN || errno == EINTR;
                headerGot += int(r);
                if (headerGot < kHeaderSize)
                    continue;
                type = char(header[0]);
                length = 0;
                for (int k = 0; k < 8; ++k)
                    length |= uint64_t(header[1 + k]) << (8 * k);
                got = 0;
                small.clear();
                if (type == kMsgDatabase) {
                    sqlite3_free(image);
                    image = static_cast<unsigned char*>(sqlite3_malloc64(std::max<uint64_t>(length, 1)));
                    if (!image) {
                        error = QStringLiteral("there is not enough memory for it");
                        return false;
                    }
                    imageSize = length;
                } else if (length > (64u << 20)) {
                    error = QStringLiteral("its reader sent a message too long");
                    return false;
                }
            }
            while (got < length) {
                unsigned char* to = type == kMsgDatabase ? image + got : buf;
                const size_t want = type == kMsgDatabase ? size_t(length - got)
                                                         : size_t(std::min<uint64_t>(sizeof buf, length - got));
                const ssize_t r = ::read(fd, to, want);
                if (r == 0)
                    return false;
                if (r < 0)
                    return errno == EAGAIN || errno == EINTR;
                if (type != kMsgDatabase)
                    small.append(reinterpret_cast<const char*>(buf), int(r));
                got += uint64_t(r);
            }
            headerGot = 0;
            if (type == kMsgDatabase)
                haveImage = true;
            onMessage(*this);
        }
    }

    qint64 number() const
    {
        qint64 v = 0;
        if (small.size() == sizeof v)
            std::memcpy(&v, small.constData(), sizeof v);
        return v;
    }

    // Reaps the child; a description of how it ended when that was not well.
    QString reap()
    {
        if (pid <= 0)
            return QString();  // stopped already
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        int status = 0;
        pid_t r;
        while ((r = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        pid = -1;
        if (r < 0)
            return QString();
        if (WIFSIGNALED(status))
            return QStringLiteral("its reader stopped with signal %1").arg(WTERMSIG(status));
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && error.isEmpty())
            return QStringLiteral("its reader failed");
        return QString();
    }
};

QString fileName(const QString& path) { return QFileInfo(path).fileName(); }

RegisterError damaged(const QString& path, const QString& table, const QString& why)
{
    return RegisterError(QStringLiteral("%1 is damaged: table %2 could not be read%3")
                             .arg(fileName(path), table, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
}

qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }

// Waits on the children until each has ended, `onMessage` taking their
// messages and `onEnd` their ends; calls `tick` at least every 50 ms and
// stops waiting when it returns false. A child past `limitMs` is stopped.
void waitForChildren(std::vector<std::unique_ptr<Child>>& running, qint64 limitMs,
                     const std::function<void(Child&)>& onMessage, const std::function<void(Child&)>& onEnd,
                     const std::function<bool()>& tick)
{
    while (!running.empty()) {
        std::vector<pollfd> fds;
        for (auto& c : running)
            fds.push_back({c->fd, POLLIN, 0});
        const int r = ::poll(fds.data(), nfds_t(fds.size()), 50);
        if (r < 0 && errno != EINTR)
            throw RegisterError(QStringLiteral("The register cannot be read: %1")
                                    .arg(QString::fromLocal8Bit(std::strerror(errno))));
        std::vector<std::unique_ptr<Child>> still;
        for (size_t i = 0; i < running.size(); ++i) {
            Child& c = *running[i];
            bool open = true;
            if (fds[i].revents)
                open = c.pump(onMessage) && c.error.isEmpty();
            if (open && c.clock.elapsed() > limitMs) {
                c.stop();
                c.error = QStringLiteral("it took longer than %1 s").arg(double(limitMs) / 1000.0);
                open = false;
            }
            if (open)
                still.push_back(std::move(running[i]));
            else
                onEnd(c);
        }
        // Children that ended and were not taken by `onEnd` go here.
        running.swap(still);
        if (tick && !tick())
            return;
    }
}

int readers() { return 2; }

}  // namespace

qint64 accessReadTimeLimitMs(qint64 bytes) { return 10000 + bytes / 1000; }

std::vector<AccessTable> accessCatalogue(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::vector<std::unique_ptr<Child>> running;
    auto child = std::make_unique<Child>();
    std::tie(child->pid, child->fd) = spawn([&](int fd) { childListTables(encoded, fd); });
    child->clock.start();
    running.push_back(std::move(child));
    QByteArray catalogue;
    QString error;
    bool received = false;
    waitForChildren(
        running, accessReadTimeLimitMs(fileSize(path)),
        [&](Child& c) {
            if (c.type == kMsgCatalogue) {
                catalogue = c.small;
                received = true;
            } else if (c.type == kMsgError) {
                c.error = QString::fromUtf8(c.small);
            }
        },
        [&](Child& c) {
            const QString how = c.reap();
            error = !c.error.isEmpty() ? c.error : how;
        },
        {});
    if (!received || !error.isEmpty())
        throw RegisterError(QStringLiteral("%1 cannot be read as an Access database%2")
                                .arg(fileName(path), error.isEmpty() ? QString() : QStringLiteral(": %1").arg(error)));
    std::vector<AccessTable> tables;
    QDataStream s(catalogue);
    qint32 n = 0;
    s >> n;
    for (qint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        AccessTable t;
        s >> t.name >> t.rows >> t.columns;
        tables.push_back(t);
    }
    return tables;
}

QStringList accessTableNames(const QString& path)
{
    QStringList names;
    for (const AccessTable& t : accessCatalogue(path))
        names << t.name;
    return names;
}

namespace {

// The attached schemas `db` has, to name a new one.
QStringList schemas(sqlite3* db)
{
    QStringList names;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return names;
}

void execParent(sqlite3* db, const QByteArray& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "unknown error");
        sqlite3_free(err);
        throw RegisterError(msg);
    }
}

// Attaches a database image as a read-only schema of its own; past the
// number of schemas the engine allows, the table is copied into main.
void attachImage(sqlite3* db, Child& c, const QString& table)
{
    const QStringList present = schemas(db);
    QString name;
    for (int k = 1; name.isEmpty() || present.contains(name); ++k)
        name = QStringLiteral("access%1").arg(k);
    // One schema is always left free for the copying.
    const int attached = int(present.size()) - 1 - (present.contains(QStringLiteral("temp")) ? 1 : 0);
    const bool keep = attached + 1 < sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, -1);
    execParent(db, "ATTACH DATABASE ':memory:' AS " + quoted(name));
    unsigned char* image = c.image;
    c.image = nullptr;  // SQLite frees it from here on
    const int rc = sqlite3_deserialize(db, name.toUtf8().constData(), image, sqlite3_int64(c.imageSize),
                                       sqlite3_int64(c.imageSize),
                                       SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY);
    if (rc != SQLITE_OK)
        throw RegisterError(QStringLiteral("The copy of table %1 cannot be opened: %2")
                                .arg(table, QString::fromUtf8(sqlite3_errstr(rc))));
    if (!keep) {
        execParent(db, "CREATE TABLE main." + quoted(table) + " AS SELECT * FROM " + quoted(name) + "." + quoted(table));
        execParent(db, "DETACH DATABASE " + quoted(name));
    }
}

}  // namespace

void importAccessTables(const QString& path, sqlite3* db, const std::vector<TableImport>& tables,
                        const ProgressFn& progress, qint64 timeLimitMs)
{
    const QByteArray encoded = QFile::encodeName(path);
    const qint64 size = fileSize(path);
    const qint64 limitMs = timeLimitMs > 0 ? timeLimitMs : accessReadTimeLimitMs(size);
    // The largest tables first, so that the two readers finish together.
    std::vector<size_t> order(tables.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return tables[a].rows > tables[b].rows; });

    ImportProgress prog;
    std::vector<qint64> expected(tables.size()), read(tables.size(), 0);
    for (size_t i = 0; i < tables.size(); ++i)
        expected[i] = std::max<qint64>(0, tables[i].rows);
    auto report = [&] {
        if (!progress)
            return;
        prog.rowsRead = 0;
        prog.rowsTotal = 0;
        for (size_t i = 0; i < tables.size(); ++i) {
            prog.rowsRead += read[i];
            prog.rowsTotal += std::max(expected[i], read[i]);
        }
        progress(prog);
    };

    std::vector<std::unique_ptr<Child>> running;
    // The children that handed their table back, kept until all have.
    std::vector<std::unique_ptr<Child>> done(tables.size());
    size_t next = 0;
    auto startMore = [&] {
        while (next < order.size() && int(running.size()) < readers()) {
            const size_t job = order[next++];
            auto child = std::make_unique<Child>();
            const TableImport req = tables[job];
            std::tie(child->pid, child->fd) =
                spawn([&encoded, req, size](int fd) { childReadTable(encoded, req, size, fd); });
            child->job = job;
            child->clock.start();
            running.push_back(std::move(child));
        }
    };
    std::optional<RegisterError> failure;
    startMore();
    waitForChildren(
        running, limitMs,
        [&](Child& c) {
            switch (c.type) {
            case kMsgRowsExpected: expected[c.job] = c.number(); break;
            case kMsgRowsRead:
                read[c.job] = c.number();
                prog.table = tables[c.job].table;
                break;
            case kMsgError: c.error = QString::fromUtf8(c.small); break;
            default: break;
            }
        },
        [&](Child& c) {
            const QString how = c.reap();
            if (failure)
                return;
            if (!c.error.isEmpty() || !how.isEmpty() || !c.haveImage) {
                failure = damaged(path, tables[c.job].table, !c.error.isEmpty() ? c.error : how);
                return;
            }
            auto& slot = done[c.job];
            slot = std::make_unique<Child>();
            std::swap(slot->image, c.image);
            slot->imageSize = c.imageSize;
        },
        [&] {
            if (failure)
                return false;
            startMore();
            report();
            return true;
        });
    if (failure) {
        running.clear();  // stops the others
        throw *failure;
    }
    prog.table = tables.empty() ? QString() : tables.back().table;
    report();
    for (size_t i = 0; i < tables.size(); ++i)
        attachImage(db, *done[i], tables[i].table);
}

void importAccess(const QString& path, sqlite3* db, const QStringList& wanted, const ProgressFn& progress)
{
    std::vector<TableImport> jobs;
    for (const AccessTable& t : accessCatalogue(path)) {
        bool take = wanted.isEmpty();
        for (const QString& w : wanted)
            take = take || t.name.compare(w, Qt::CaseInsensitive) == 0;
        if (take)
            jobs.push_back({t.name, {}, {}, t.rows});
    }
    importAccessTables(path, db, jobs, progress);
}

}  // namespace reg
