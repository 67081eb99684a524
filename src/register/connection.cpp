#include "register/connection.h"

#include "register/access_import.h"
#include "register/schema.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace reg {

const QString connectionString =
    QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=KORVA.mdb;Mode=Read;Persist Security Info=False");

ConnectionInfo parseConnectionString(const QString& cs)
{
    ConnectionInfo info;
    for (const QString& part : cs.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == QLatin1String("provider"))
            info.provider = value;
        else if (key == QLatin1String("data source"))
            info.dataSource = value;
        else if (key == QLatin1String("mode"))
            info.readOnly = value.compare(QLatin1String("read"), Qt::CaseInsensitive) == 0 ||
                            value.startsWith(QLatin1String("read "), Qt::CaseInsensitive);
    }
    return info;
}

FileFormat detectFormat(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        return FileFormat::Missing;
    if (fi.isDir())
        return FileFormat::Directory;
    // A pipe, a device or a socket is never opened: reading one could block for ever.
    if (!fi.isFile())
        return FileFormat::NotAFile;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileFormat::Unreadable;
    const QByteArray head = f.read(32);
    if (head.isEmpty())
        return FileFormat::Empty;
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return FileFormat::SQLite;
    if (head.size() >= 19 && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        return FileFormat::Access;
    return FileFormat::Unknown;
}

Connection::Connection() : name_(QStringLiteral("register-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(name_, false); }

sqlite3* Connection::handle() const
{
    const QVariant v = database().driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.data());
    return nullptr;
}

void Connection::open(const QString& cs, const QString&, const QString&)
{
    const ConnectionInfo info = parseConnectionString(cs);
    const QString fileName = info.dataSource;
    const QString path = QDir::current().absoluteFilePath(fileName);
    path_ = path;
    switch (detectFormat(path)) {
    case FileFormat::Missing:
        throw RegisterError(QStringLiteral("Could not find file '%1'.").arg(path));
    case FileFormat::Directory:
        throw RegisterError(QStringLiteral("%1 is a directory, not a register database file.").arg(path));
    case FileFormat::NotAFile:
        throw RegisterError(QStringLiteral("%1 is not a register database file: it is a pipe, a device or a socket, "
                                           "not a regular file.")
                                .arg(path));
    case FileFormat::Unreadable:
        throw RegisterError(QStringLiteral("%1 cannot be read: permission denied.").arg(path));
    case FileFormat::Empty:
        throw RegisterError(QStringLiteral("%1 is not a register database: the file is empty.").arg(fileName));
    case FileFormat::Unknown:
        throw RegisterError(
            QStringLiteral("%1 is not a register database: it is neither an Access nor an SQLite database file.")
                .arg(fileName));
    case FileFormat::SQLite:
        openSqlite(path);
        break;
    case FileFormat::Access:
        openAccess(path);
        break;
    }
    try {
        checkSchema(fileName);
    } catch (...) {
        database().close();
        throw;
    }
    if (!access_)
        indexInMemoryIfNeeded();
    watchStatements();
    open_ = true;
}

QString tooLongMessage() { return QStringLiteral("The register took too long to answer"); }

namespace {

// A register file shorter than the database it holds.
RegisterError truncatedCopy(const QString& path)
{
    return RegisterError(QStringLiteral("%1 is damaged: the file is shorter than the database it holds "
                                        "(a truncated copy?)")
                             .arg(QFileInfo(path).fileName()));
}

}  // namespace

RegisterError errorOf(const QSqlError& e)
{
    // SQLITE_INTERRUPT: stopped by the time budget.
    if (e.nativeErrorCode() == QLatin1String("9"))
        return RegisterError(tooLongMessage(), true);
    return RegisterError(e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

void Connection::watchStatements()
{
    clock_.start();
    if (sqlite3* db = handle())
        sqlite3_progress_handler(db, 1000, &Connection::onProgress, this);
}

int Connection::onProgress(void* self)
{
    auto* c = static_cast<Connection*>(self);
    if (c->budgetEnd_ < 0)
        return 0;
    const qint64 now = c->clock_.elapsed();
    if (now > c->budgetEnd_)
        return 1;  // the statement fails with SQLITE_INTERRUPT
    if (now - c->budgetStart_ > 150 && now - c->lastWait_ >= 100 && c->waitingDuring_) {
        c->lastWait_ = now;
        c->waited_ = true;
        c->waitingDuring_();
    }
    return 0;
}

Connection::Budget::Budget(Connection* c, qint64 ms) : c_(c), savedStart_(-1), savedEnd_(-1)
{
    if (!c_ || !c_->clock_.isValid())
        return;
    savedStart_ = c_->budgetStart_;
    savedEnd_ = c_->budgetEnd_;
    const qint64 now = c_->clock_.elapsed();
    if (c_->budgetEnd_ < 0) {
        c_->budgetStart_ = now;
        c_->budgetEnd_ = now + ms;
        c_->lastWait_ = now;
        c_->waited_ = false;
    } else {
        c_->budgetEnd_ = std::min(c_->budgetEnd_, now + ms);
    }
}

Connection::Budget::~Budget()
{
    if (!c_ || !c_->clock_.isValid())
        return;
    c_->budgetStart_ = savedStart_;
    c_->budgetEnd_ = savedEnd_;
    if (savedEnd_ < 0 && c_->waited_) {
        c_->waited_ = false;
        if (c_->waitingAfter_)
            c_->waitingAfter_();
    }
}

void Connection::openSqlite(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // immutable=1: no locks, no journal, nothing written beside the file.
    QUrl url = QUrl::fromLocalFile(path);
    db.setDatabaseName(QStringLiteral("file:") + QString::fromUtf8(url.toEncoded(QUrl::RemoveScheme)) +
                       QStringLiteral("?immutable=1"));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
    if (!db.open())
        throw RegisterError(QStringLiteral("%1 cannot be opened: %2").arg(path, db.lastError().text()));
    access_ = false;
    // A file shorter than its header says is a truncated copy.
    QSqlQuery q(db);
    qint64 pageSize = 0, pageCount = 0;
    if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
        pageSize = q.value(0).toLongLong();
    if (q.exec(QStringLiteral("PRAGMA page_count")) && q.next())
        pageCount = q.value(0).toLongLong();
    q.finish();
    if (pageSize > 0 && QFileInfo(path).size() < pageSize * pageCount) {
        db.close();
        throw truncatedCopy(path);
    }
    // A page cache of up to 32 MiB (taken only as pages are read): a listing
    // of a register several times national size jumps about the file's
    // b-trees, and SQLite's default of 2 MiB would read most pages again and
    // again from the file.
    q.exec(QStringLiteral("PRAGMA cache_size = -32768"));
    q.finish();
}

namespace {

// True when `table` has an index whose first column is `column`.
bool hasLeadingIndex(QSqlDatabase db, const QString& table, const QString& column)
{
    QSqlQuery list(db);
    if (!list.exec(QStringLiteral("PRAGMA index_list(\"%1\")").arg(table)))
        return false;
    QStringList names;
    while (list.next())
        names << list.value(1).toString();
    for (const QString& name : names) {
        QSqlQuery info(db);
        if (info.exec(QStringLiteral("PRAGMA index_info(\"%1\")").arg(name)) && info.next() &&
            info.value(2).toString().compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    // An INTEGER PRIMARY KEY is the table's own order.
    QSqlQuery cols(db);
    if (cols.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        while (cols.next())
            if (cols.value(1).toString().compare(column, Qt::CaseInsensitive) == 0 && cols.value(5).toInt() == 1 &&
                cols.value(2).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

}  // namespace

void Connection::indexInMemoryIfNeeded()
{
    QSqlDatabase file = database();
    const bool indexed = hasLeadingIndex(file, QStringLiteral("spectrum"), QStringLiteral("spectrumlow")) &&
                         hasLeadingIndex(file, QStringLiteral("transmitconfiguration"), QStringLiteral("licenceid")) &&
                         hasLeadingIndex(file, QStringLiteral("location"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(file, QStringLiteral("geographicreference"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(file, QStringLiteral("licence"), QStringLiteral("licenceid"));
    if (indexed)
        return;
    // The file cannot be given indexes (it is never written): a copy in memory can.
    const QString memoryName = name_ + QStringLiteral("-memory");
    QSqlDatabase memory = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), memoryName);
    memory.setDatabaseName(QStringLiteral(":memory:"));
    bool copied = memory.open();
    if (copied) {
        const QVariant mh = memory.driver()->handle();
        sqlite3* to = *static_cast<sqlite3* const*>(mh.data());
        sqlite3_backup* b = sqlite3_backup_init(to, "main", handle(), "main");
        copied = b && sqlite3_backup_step(b, -1) == SQLITE_DONE;
        if (b)
            sqlite3_backup_finish(b);
    }
    if (!copied) {
        memory.close();
        memory = QSqlDatabase();
        QSqlDatabase::removeDatabase(memoryName);
        return;  // slower, but the file serves as it is
    }
    QSqlQuery q(memory);
    for (const QString& st : createIndexStatements())
        q.exec(st);
    q.exec(QStringLiteral("ANALYZE"));
    q.finish();
    file.close();
    file = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    name_ = memoryName;
    copied_ = true;
}

void Connection::openAccess(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        throw RegisterError(QStringLiteral("An in-memory database cannot be created: %1").arg(db.lastError().text()));
    access_ = true;
    // Access files are whole pages (2 KB for Jet 3, 4 KB after): anything else is a truncated copy.
    QFile f(path);
    QByteArray head;
    if (f.open(QIODevice::ReadOnly))
        head = f.read(0x15);
    const qint64 page = head.size() > 0x14 && head[0x14] == 0 ? 2048 : 4096;
    if (QFileInfo(path).size() % page != 0)
        throw truncatedCopy(path);
    const std::vector<AccessTable> present = accessCatalogue(path);
    // Only the columns the program reads, with the indexes its statements use.
    std::vector<TableImport> jobs;
    for (const TableColumns& t : registerTables()) {
        const AccessTable* found = nullptr;
        for (const AccessTable& p : present)
            if (p.name.compare(t.table, Qt::CaseInsensitive) == 0)
                found = &p;
        if (!found)
            throw RegisterError(QStringLiteral("%1 is not a register database: table %2 is missing")
                                    .arg(QFileInfo(path).fileName(), t.table));
        jobs.push_back({found->name, t.columns, createIndexStatements(t.table), found->rows});
    }
    importAccessTables(path, handle(), jobs, progress_);
}

void Connection::checkSchema(const QString& fileName)
{
    QSqlQuery q(database());
    // Every schema: an Access register's tables are attached ones.
    if (!q.exec(QStringLiteral("SELECT name FROM pragma_table_list WHERE type IN ('table','view')")))
        throw RegisterError(QStringLiteral("%1 is not a register database: %2")
                                .arg(fileName, q.lastError().databaseText()));
    QStringList tables;
    while (q.next())
        tables << q.value(0).toString().toLower();
    for (const TableColumns& t : registerTables()) {
        if (!tables.contains(t.table))
            throw RegisterError(
                QStringLiteral("%1 is not a register database: table %2 is missing").arg(fileName, t.table));
        QSqlQuery cols(database());
        if (!cols.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.table)))
            throw RegisterError(QStringLiteral("%1 is not a register database: %2")
                                    .arg(fileName, cols.lastError().databaseText()));
        QStringList have;
        while (cols.next())
            have << cols.value(1).toString().toLower();
        for (const QString& c : t.columns)
            if (!have.contains(c.toLower()))
                throw RegisterError(QStringLiteral("%1 is not a register database: column %2.%3 is missing")
                                        .arg(fileName, t.table, c));
    }
}

Recordset Connection::execute(const QString& sql)
{
    if (!open_)
        throw RegisterError(QStringLiteral("Operation is not allowed when the object is closed."));
    auto q = std::make_unique<QSqlQuery>(database());
    q->setForwardOnly(true);
    if (!q->exec(sql))
        throw errorOf(q->lastError());
    return Recordset(std::move(q));
}

}  // namespace reg
