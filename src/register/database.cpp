#include "register/database.h"

#include <sqlite3.h>

#include <QHash>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <utility>

namespace reg {

QString tooLongMessage() { return QStringLiteral("The register took too long to answer"); }

namespace {

QString engineMessage(sqlite3* db) { return QString::fromUtf8(db ? sqlite3_errmsg(db) : "no database"); }

// The error of a failed engine call: stopped by the budget, or the engine's message.
RegisterError failure(sqlite3* db, int rc)
{
    if ((rc & 0xFF) == SQLITE_INTERRUPT)
        return RegisterError(tooLongMessage(), true);
    return RegisterError(engineMessage(db));
}

}  // namespace

QString quotedName(const QString& name) { return QLatin1Char('"') + QString(name).replace('"', QStringLiteral("\"\"")) + QLatin1Char('"'); }

// ---------------------------------------------------------------------------
// Statements

Statement::~Statement() { sqlite3_finalize(st_); }

Statement::Statement(Statement&& o) noexcept
    : st_(std::exchange(o.st_, nullptr)), db_(std::exchange(o.db_, nullptr)), done_(o.done_)
{
}

Statement& Statement::operator=(Statement&& o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(st_);
        st_ = std::exchange(o.st_, nullptr);
        db_ = std::exchange(o.db_, nullptr);
        done_ = o.done_;
    }
    return *this;
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK)
        throw failure(db_, rc);
}

bool Statement::next()
{
    // Past the last row the engine would start the statement again.
    if (!st_ || done_)
        return false;
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    done_ = true;
    if (rc == SQLITE_DONE)
        return false;
    throw failure(db_, rc);
}

void Statement::reset()
{
    if (st_)
        sqlite3_reset(st_);
    done_ = false;
}

void Statement::bind(int i, double v) { check(sqlite3_bind_double(st_, i, v)); }
void Statement::bind(int i, qint64 v) { check(sqlite3_bind_int64(st_, i, v)); }
void Statement::bindNull(int i) { check(sqlite3_bind_null(st_, i)); }

void Statement::bind(int i, const QString& text)
{
    check(sqlite3_bind_text16(st_, i, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT));
}

void Statement::bind(int i, const QByteArray& blob)
{
    check(sqlite3_bind_blob64(st_, i, blob.constData(), sqlite3_uint64(blob.size()), SQLITE_TRANSIENT));
}

void Statement::bindUtf8View(int i, const char* utf8, size_t bytes)
{
    check(sqlite3_bind_text64(st_, i, utf8, sqlite3_uint64(bytes), SQLITE_STATIC, SQLITE_UTF8));
}

int Statement::columnCount() const { return st_ ? sqlite3_column_count(st_) : 0; }

QString Statement::columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(st_, i)); }

int Statement::columnIndex(const QString& name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Statement::column(const QString& name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        throw RegisterError(
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    return i;
}

Statement::Type Statement::type(int i) const
{
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_INTEGER: return Type::Integer;
    case SQLITE_FLOAT: return Type::Real;
    case SQLITE_TEXT: return Type::Text;
    case SQLITE_BLOB: return Type::Blob;
    default: return Type::Null;
    }
}

bool Statement::isNull(int i) const { return sqlite3_column_type(st_, i) == SQLITE_NULL; }
double Statement::real(int i) const { return sqlite3_column_double(st_, i); }
qint64 Statement::integer(int i) const { return sqlite3_column_int64(st_, i); }

QString Statement::text(int i) const
{
    // As UTF-16 from the engine, which decodes what the file stores.
    const void* p = sqlite3_column_text16(st_, i);
    const int bytes = sqlite3_column_bytes16(st_, i);
    return p ? QString(static_cast<const QChar*>(p), bytes / 2) : QString();
}

QByteArray Statement::bytes(int i) const
{
    const void* p = sqlite3_column_blob(st_, i);
    const int n = sqlite3_column_bytes(st_, i);
    return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray();
}

std::optional<double> Statement::number(int i) const
{
    bool ok = true;
    double v = 0;
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_INTEGER: return double(integer(i));
    case SQLITE_FLOAT: return real(i);
    case SQLITE_BLOB: v = bytes(i).toDouble(&ok); break;
    default: v = text(i).toDouble(&ok); break;
    }
    return ok ? std::optional<double>(v) : std::nullopt;
}

std::optional<qint64> Statement::code(int i) const
{
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_NULL: return std::nullopt;
    case SQLITE_INTEGER: return integer(i);
    case SQLITE_FLOAT: {
        const double d = real(i);
        return std::isfinite(d) && std::fabs(d) < 9.2e18 ? qint64(std::llround(d)) : 0;
    }
    case SQLITE_BLOB: return 0;
    default: return text(i).trimmed().toLongLong();
    }
}

QString Statement::shownText(int i) const
{
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_NULL: return QString();
    case SQLITE_INTEGER: return QString::number(integer(i));
    case SQLITE_FLOAT: return QString::number(real(i), 'g', QLocale::FloatingPointShortest);
    case SQLITE_BLOB: return QString::fromUtf8(bytes(i));
    default: return text(i);
    }
}

// ---------------------------------------------------------------------------
// Memory of the engine's

EngineBuffer::EngineBuffer(qint64 size)
    : data_(static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(std::max<qint64>(size, 1))))), size_(size)
{
    if (!data_)
        throw RegisterError(QStringLiteral("there is not enough memory for it"));
}

EngineBuffer::~EngineBuffer() { sqlite3_free(data_); }

EngineBuffer::EngineBuffer(EngineBuffer&& o) noexcept
    : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, 0))
{
}

EngineBuffer& EngineBuffer::operator=(EngineBuffer&& o) noexcept
{
    if (this != &o) {
        sqlite3_free(data_);
        data_ = std::exchange(o.data_, nullptr);
        size_ = std::exchange(o.size_, 0);
    }
    return *this;
}

unsigned char* EngineBuffer::release()
{
    size_ = 0;
    return std::exchange(data_, nullptr);
}

// ---------------------------------------------------------------------------
// The database and its budget

struct Database::State {
    sqlite3* db = nullptr;
    std::function<void()> waitingDuring, waitingAfter;
    QElapsedTimer clock;
    qint64 budgetStart = -1, budgetEnd = -1;  // ms on the clock; -1 when no budget runs
    qint64 lastWait = 0;
    bool waited = false;
    int pauses = 0;          // pauses in force
    qint64 pausedSince = 0;  // ms on the clock when the first of them began
    qint64 pausedTotal = 0;  // ms paused in all
    QStringList allowedFunctions;
    QString deniedFunction;  // the last function a statement was refused
};

Database::Database() : s_(std::make_unique<State>()) {}

Database::~Database() { close(); }

Database::Database(Database&& o) noexcept : s_(std::exchange(o.s_, std::make_unique<State>())) {}

Database& Database::operator=(Database&& o) noexcept
{
    if (this != &o) {
        close();
        s_ = std::exchange(o.s_, std::make_unique<State>());
    }
    return *this;
}

bool Database::isOpen() const { return s_->db != nullptr; }
sqlite3* Database::handle() const { return s_->db; }

void Database::close()
{
    if (s_ && s_->db) {
        sqlite3_close_v2(s_->db);
        s_->db = nullptr;
    }
}

namespace {

// The engine set up as its authors advise for database files from untrusted
// sources, each setting read back and a refused one an error:
// - defensive: nothing (not even a statement of the file's own) can change
//   the file's structure behind the engine's back;
// - an untrusted schema: functions with side effects, and virtual tables,
//   cannot be used from the file's views and triggers;
// - no extensions loaded, no attached databases beyond `attached`;
// - limits well below the engine's defaults, which real registers never
//   reach and hostile files do: a value of at most 1 MiB (a register's
//   names and remarks are a few hundred bytes; a hostile view builds a
//   string of hundreds of megabytes and searches it in one call, which no
//   time limit can stop), statements of at most 16 MiB (a search's list of
//   the records an index picked can be long), 500 columns, expressions 100
//   deep, 50 SELECTs in one compound, programs of 5 million instructions,
//   32 arguments, LIKE patterns of 256 bytes, 999 parameters, triggers 10
//   deep and no worker threads;
// - each cell's size checked against its page as it is read, and the file
//   never mapped into memory (a damaged file then fails a read, never a
//   memory access).
void harden(sqlite3* db, int attached, bool file)
{
    auto refused = [](const char* what) {
        return RegisterError(QStringLiteral("The database engine refused the setting %1").arg(QLatin1String(what)));
    };
    struct Config {
        int op;
        int value;
        const char* name;
    };
    const Config configs[] = {
        {SQLITE_DBCONFIG_DEFENSIVE, 1, "defensive"},
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, "trusted_schema"},
        {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, "load_extension"},
    };
    for (const Config& c : configs) {
        int now = -1;
        if (sqlite3_db_config(db, c.op, c.value, &now) != SQLITE_OK || now != c.value)
            throw refused(c.name);
    }
    struct Limit {
        int id;
        int value;
        const char* name;
    };
    const Limit limits[] = {
        {SQLITE_LIMIT_LENGTH, Database::kMaxValueBytes, "length"},
        {SQLITE_LIMIT_SQL_LENGTH, Database::kMaxSqlBytes, "sql_length"},
        {SQLITE_LIMIT_COLUMN, 500, "column"},
        {SQLITE_LIMIT_EXPR_DEPTH, 100, "expr_depth"},
        {SQLITE_LIMIT_COMPOUND_SELECT, 50, "compound_select"},
        {SQLITE_LIMIT_VDBE_OP, 5000000, "vdbe_op"},
        {SQLITE_LIMIT_FUNCTION_ARG, 32, "function_arg"},
        {SQLITE_LIMIT_ATTACHED, attached, "attached"},
        {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 256, "like_pattern_length"},
        {SQLITE_LIMIT_VARIABLE_NUMBER, 999, "variable_number"},
        {SQLITE_LIMIT_TRIGGER_DEPTH, 10, "trigger_depth"},
        {SQLITE_LIMIT_WORKER_THREADS, 0, "worker_threads"},
    };
    for (const Limit& l : limits) {
        sqlite3_limit(db, l.id, l.value);
        if (sqlite3_limit(db, l.id, -1) != l.value)
            throw refused(l.name);
    }
    struct Pragma {
        const char* set;
        const char* get;
        int value;
    };
    const Pragma pragmas[] = {
        {"PRAGMA cell_size_check = ON", "PRAGMA cell_size_check", 1},
        {"PRAGMA mmap_size = 0", "PRAGMA mmap_size", 0},
    };
    for (const Pragma& p : pragmas) {
        if (!file && std::strncmp(p.get, "PRAGMA mmap", 11) == 0)
            continue;  // memory is not mapped
        sqlite3_stmt* st = nullptr;
        int got = -1;
        if (sqlite3_exec(db, p.set, nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(db, p.get, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            got = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        if (got != p.value)
            throw refused(p.set + 7);
    }
}

sqlite3* openOrThrow(const QByteArray& name, int flags, const QString& what, int attached)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? engineMessage(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw RegisterError(what + message);
    }
    sqlite3_extended_result_codes(db, 0);
    try {
        harden(db, attached, !(flags & SQLITE_OPEN_CREATE));
    } catch (const RegisterError& e) {
        sqlite3_close_v2(db);
        throw RegisterError(what + e.message());
    }
    return db;
}

}  // namespace

namespace {

// A file system that is the engine's own, but for how it takes the names
// of open descriptors' files (/proc/self/fd/N): as they are. The engine's
// own resolves symbolic links, and would open the file by the name it had,
// which another file may have taken since; and it opens files refusing
// symbolic links, which these names are. Opened as it is, such a link
// reopens the very file its descriptor holds.
constexpr char kDescriptorPrefix[] = "/proc/self/fd/";

sqlite3_syscall_ptr& engineOpen()
{
    static sqlite3_syscall_ptr open = nullptr;
    return open;
}

int openDescriptorName(const char* name, int flags, int mode)
{
    if (std::strncmp(name, kDescriptorPrefix, sizeof kDescriptorPrefix - 1) == 0)
        flags &= ~O_NOFOLLOW;
    return reinterpret_cast<int (*)(const char*, int, int)>(engineOpen())(name, flags, mode);
}

const char* descriptorFileSystem()
{
    static const char* name = []() -> const char* {
        static sqlite3_vfs vfs = *sqlite3_vfs_find(nullptr);
        vfs.zName = "orvane-descriptor";
        vfs.pNext = nullptr;
        vfs.xFullPathname = [](sqlite3_vfs*, const char* in, int nOut, char* out) {
            const size_t n = std::strlen(in);
            if (in[0] != '/' || n + 1 > size_t(nOut))
                return SQLITE_CANTOPEN;
            std::memcpy(out, in, n + 1);
            return SQLITE_OK;
        };
        // The engine's system calls are shared by its file systems: any other
        // name opens as before.
        if (!vfs.xGetSystemCall || !vfs.xSetSystemCall)
            return nullptr;
        engineOpen() = vfs.xGetSystemCall(&vfs, "open");
        if (!engineOpen() ||
            vfs.xSetSystemCall(&vfs, "open", reinterpret_cast<sqlite3_syscall_ptr>(&openDescriptorName)) != SQLITE_OK)
            return nullptr;
        return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? vfs.zName : nullptr;
    }();
    return name;
}

}  // namespace

QString descriptorPath(int fd) { return QLatin1String(kDescriptorPrefix) + QString::number(fd); }

Database Database::openFile(const QString& path)
{
    // A URI, so that the file can be opened immutable: '?', '#' and '%' in
    // the path are escaped along with everything else but the slashes.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + "?immutable=1";
    Database d;
    d.s_->db = openOrThrow(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                           QStringLiteral("%1 cannot be opened: ").arg(path), 0);
    return d;
}

Database Database::openDescriptor(int fd, const QString& shownPath)
{
    const char* fileSystem = descriptorFileSystem();
    if (!fileSystem)
        throw RegisterError(QStringLiteral("%1 cannot be opened: the engine has no file system for it").arg(shownPath));
    const QByteArray uri = "file:" + descriptorPath(fd).toLatin1() + "?immutable=1&vfs=" + fileSystem;
    Database d;
    d.s_->db = openOrThrow(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                           QStringLiteral("%1 cannot be opened: ").arg(shownPath), 0);
    return d;
}

Database Database::openMemory(bool oneBlock)
{
    Database d;
    // The memdb file system keeps a database in one block; a name without a
    // leading slash is this connection's alone.
    d.s_->db = openOrThrow(oneBlock ? "file:one-block?vfs=memdb" : ":memory:",
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | (oneBlock ? SQLITE_OPEN_URI : 0),
                           QStringLiteral("An in-memory database cannot be created: "), 10);
    return d;
}

Statement Database::prepare(const QString& sql) const
{
    if (!s_->db)
        throw RegisterError(QStringLiteral("Operation is not allowed when the object is closed."));
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    s_->deniedFunction.clear();
    const int rc = sqlite3_prepare_v2(s_->db, text.constData(), int(text.size()), &st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        if (!s_->deniedFunction.isEmpty())
            throw RegisterError(QStringLiteral("The register's views call the function %1(), which the program does "
                                               "not run on a register's data")
                                    .arg(s_->deniedFunction));
        throw failure(s_->db, rc);
    }
    return Statement(st, s_->db);
}

void Database::exec(const QString& sql) const
{
    if (!s_->db)
        throw RegisterError(QStringLiteral("Operation is not allowed when the object is closed."));
    char* err = nullptr;
    const int rc = sqlite3_exec(s_->db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        if ((rc & 0xFF) == SQLITE_INTERRUPT)
            throw RegisterError(tooLongMessage(), true);
        throw RegisterError(message);
    }
}

std::optional<qint64> Database::integerOf(const QString& sql) const
{
    Statement st = prepare(sql);
    if (!st.next() || st.isNull(0))
        return std::nullopt;
    return st.integer(0);
}

QByteArray Database::image() const
{
    sqlite3_int64 size = 0;
    if (unsigned char* own = sqlite3_serialize(s_->db, "main", &size, SQLITE_SERIALIZE_NOCOPY))
        return QByteArray::fromRawData(reinterpret_cast<const char*>(own), qsizetype(size));
    unsigned char* copy = sqlite3_serialize(s_->db, "main", &size, 0);
    if (!copy)
        throw RegisterError(QStringLiteral("The database cannot be written out: %1").arg(engineMessage(s_->db)));
    QByteArray out(reinterpret_cast<const char*>(copy), qsizetype(size));
    sqlite3_free(copy);
    return out;
}

void Database::attachImage(const QString& name, EngineBuffer image)
{
    exec(QStringLiteral("ATTACH DATABASE ':memory:' AS ") + quotedName(name));
    const qint64 size = image.size();
    // The engine frees the image from here on.
    const int rc = sqlite3_deserialize(s_->db, name.toUtf8().constData(), image.release(), size, size,
                                       SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY);
    if (rc != SQLITE_OK)
        throw RegisterError(QString::fromUtf8(sqlite3_errstr(rc)));
}

QStringList Database::schemas() const
{
    QStringList names;
    Statement st = prepare(QStringLiteral("PRAGMA database_list"));
    while (st.next())
        names << st.text(1);
    return names;
}

int Database::attachedLimit() const { return sqlite3_limit(s_->db, SQLITE_LIMIT_ATTACHED, -1); }

void Database::copyFrom(const Database& from)
{
    sqlite3_backup* b = sqlite3_backup_init(s_->db, "main", from.s_->db, "main");
    if (!b)
        throw RegisterError(engineMessage(s_->db));
    // A thousand pages at a time, so that a budget of either side's can stop it.
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(b, 1000)) == SQLITE_OK) {
        if (from.budgetSpent() || budgetSpent()) {
            sqlite3_backup_finish(b);
            throw RegisterError(tooLongMessage(), true);
        }
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw failure(s_->db, rc);
}

qint64 Database::budgetLeft() const
{
    const State& s = *s_;
    if (s.budgetEnd < 0 || !s.clock.isValid())
        return std::numeric_limits<qint64>::max() / 4;
    return s.budgetEnd - (s.pauses > 0 ? s.pausedSince : s.clock.elapsed());
}

bool Database::budgetSpent() const
{
    const State& s = *s_;
    return s.budgetEnd >= 0 && s.pauses == 0 && s.clock.isValid() && s.clock.elapsed() > s.budgetEnd;
}

void Database::allowOnlyFunctions(const QStringList& names)
{
    s_->allowedFunctions = names;
    if (s_->db)
        sqlite3_set_authorizer(s_->db, &Database::onAuthorize, s_.get());
}

int Database::onAuthorize(void* state, int action, const char*, const char* function, const char*, const char*)
{
    if (action != SQLITE_FUNCTION || !function)
        return SQLITE_OK;
    auto* s = static_cast<State*>(state);
    const QString name = QString::fromUtf8(function).toLower();
    if (s->allowedFunctions.contains(name))
        return SQLITE_OK;
    s->deniedFunction = name;
    return SQLITE_DENY;
}

void Database::setWaitingHooks(std::function<void()> during, std::function<void()> after)
{
    s_->waitingDuring = std::move(during);
    s_->waitingAfter = std::move(after);
}

void Database::watchStatements()
{
    s_->clock.start();
    if (s_->db)
        sqlite3_progress_handler(s_->db, 1000, &Database::onProgress, s_.get());
}

void Database::pauseBudgets(bool pause) const
{
    State& s = *s_;
    if (!s.clock.isValid())
        return;
    if (pause) {
        if (s.pauses++ == 0)
            s.pausedSince = s.clock.elapsed();
        return;
    }
    if (s.pauses == 0 || --s.pauses > 0)
        return;
    // The running budgets end as much later as they were paused.
    const qint64 paused = s.clock.elapsed() - s.pausedSince;
    s.pausedTotal += paused;
    if (s.budgetEnd >= 0) {
        s.budgetStart += paused;
        s.budgetEnd += paused;
        s.lastWait += paused;
    }
}

int Database::onProgress(void* state)
{
    auto* s = static_cast<State*>(state);
    if (s->budgetEnd < 0 || s->pauses > 0)
        return 0;
    const qint64 now = s->clock.elapsed();
    if (now > s->budgetEnd)
        return 1;  // the statement fails with SQLITE_INTERRUPT
    if (now - s->budgetStart > 150 && now - s->lastWait >= 100 && s->waitingDuring) {
        s->lastWait = now;
        s->waited = true;
        s->waitingDuring();
    }
    return 0;
}

Budget::Budget(const Database* db, qint64 ms) : s_(db && db->s_->clock.isValid() ? db->s_.get() : nullptr)
{
    if (!s_)
        return;
    savedStart_ = s_->budgetStart;
    savedEnd_ = s_->budgetEnd;
    savedPaused_ = s_->pausedTotal;
    const qint64 now = s_->clock.elapsed();
    if (s_->budgetEnd < 0) {
        s_->budgetStart = now;
        s_->budgetEnd = now + ms;
        s_->lastWait = now;
        s_->waited = false;
    } else {
        s_->budgetEnd = std::min(s_->budgetEnd, now + ms);
    }
}

Budget::~Budget()
{
    if (!s_)
        return;
    // An outer budget ends as much later as the time paused within this one.
    const qint64 shift = savedEnd_ >= 0 ? s_->pausedTotal - savedPaused_ : 0;
    s_->budgetStart = savedStart_ + shift;
    s_->budgetEnd = savedEnd_ + shift;
    if (savedEnd_ < 0 && s_->waited) {
        s_->waited = false;
        if (s_->waitingAfter)
            s_->waitingAfter();
    }
}

}  // namespace reg
