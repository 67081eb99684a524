#include "register/database.h"

#include <sqlite3.h>

#include <QHash>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
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

sqlite3* openOrThrow(const QByteArray& name, int flags, const QString& what)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? engineMessage(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw RegisterError(what + message);
    }
    sqlite3_extended_result_codes(db, 0);
    return db;
}

}  // namespace

Database Database::openFile(const QString& path)
{
    // A URI, so that the file can be opened immutable: '?', '#' and '%' in
    // the path are escaped along with everything else but the slashes.
    const QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/") + "?immutable=1";
    Database d;
    d.s_->db = openOrThrow(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                           QStringLiteral("%1 cannot be opened: ").arg(path));
    return d;
}

Database Database::openMemory(bool oneBlock)
{
    Database d;
    // The memdb file system keeps a database in one block; a name without a
    // leading slash is this connection's alone.
    d.s_->db = openOrThrow(oneBlock ? "file:one-block?vfs=memdb" : ":memory:",
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | (oneBlock ? SQLITE_OPEN_URI : 0),
                           QStringLiteral("An in-memory database cannot be created: "));
    return d;
}

Statement Database::prepare(const QString& sql) const
{
    if (!s_->db)
        throw RegisterError(QStringLiteral("Operation is not allowed when the object is closed."));
    sqlite3_stmt* st = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(s_->db, text.constData(), int(text.size()), &st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
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
    const int rc = sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw failure(s_->db, rc);
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

int Database::onProgress(void* state)
{
    auto* s = static_cast<State*>(state);
    if (s->budgetEnd < 0)
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
    s_->budgetStart = savedStart_;
    s_->budgetEnd = savedEnd_;
    if (savedEnd_ < 0 && s_->waited) {
        s_->waited = false;
        if (s_->waitingAfter)
            s_->waitingAfter();
    }
}

}  // namespace reg
