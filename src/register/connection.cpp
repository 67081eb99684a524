#include "register/connection.h"

#include "register/access_import.h"
#include "register/schema.h"

#include "base/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::open(const QString& cs, const QString&, const QString&)
{
    const ConnectionInfo info = parseConnectionString(cs);
    const QString fileName = info.dataSource;
    const QString path = QDir::current().absoluteFilePath(fileName);
    path_ = path;
    try {
        switch (detectFormat(path)) {
        case FileFormat::Missing:
            throw RegisterError(QStringLiteral("Could not find file '%1'.").arg(path));
        case FileFormat::Directory:
            throw RegisterError(QStringLiteral("%1 is a directory, not a register database file.").arg(path));
        case FileFormat::NotAFile:
            throw RegisterError(QStringLiteral("%1 is not a register database file: it is a pipe, a device or a "
                                               "socket, not a regular file.")
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
        checkSchema(fileName);
        if (!access_)
            indexInMemoryIfNeeded();
    } catch (const RegisterError& e) {
        qCInfo(base::lcRegister).noquote() << "refused" << path << ":" << e.message();
        db_.close();
        throw;
    }
    db_.watchStatements();
    open_ = true;
    qCInfo(base::lcRegister).noquote() << "opened" << path << (access_ ? "(Access, read into memory)"
                                                           : copied_ ? "(SQLite, copied into memory and indexed)"
                                                                     : "(SQLite, in place)");
}

namespace {

// A register file shorter than the database it holds.
RegisterError truncatedCopy(const QString& path)
{
    return RegisterError(QStringLiteral("%1 is damaged: the file is shorter than the database it holds "
                                        "(a truncated copy?)")
                             .arg(QFileInfo(path).fileName()));
}

}  // namespace

void Connection::openSqlite(const QString& path)
{
    db_ = Database::openFile(path);
    access_ = false;
    // A file shorter than its header says is a truncated copy. (A file the
    // engine cannot read at all is refused by the schema check that follows.)
    auto pragma = [this](const char* name) {
        try {
            return db_.integerOf(QString::fromLatin1(name)).value_or(0);
        } catch (const RegisterError&) {
            return qint64(0);
        }
    };
    const qint64 pageSize = pragma("PRAGMA page_size");
    const qint64 pageCount = pragma("PRAGMA page_count");
    if (pageSize > 0 && QFileInfo(path).size() < pageSize * pageCount)
        throw truncatedCopy(path);
    // A page cache of up to 32 MiB (taken only as pages are read): a listing
    // of a register several times national size jumps about the file's
    // b-trees, and SQLite's default of 2 MiB would read most pages again and
    // again from the file.
    try {
        db_.exec(QStringLiteral("PRAGMA cache_size = -32768"));
    } catch (const RegisterError& e) {
        qCInfo(base::lcRegister).noquote() << "the page cache keeps its default size:" << e.message();
    }
}

namespace {

// True when `table` has an index whose first column is `column`.
bool hasLeadingIndex(const Database& db, const QString& table, const QString& column)
{
    QStringList names;
    {
        Statement list = db.prepare(QStringLiteral("PRAGMA index_list(\"%1\")").arg(table));
        while (list.next())
            names << list.text(1);
    }
    for (const QString& name : names) {
        Statement info = db.prepare(QStringLiteral("PRAGMA index_info(\"%1\")").arg(name));
        if (info.next() && info.text(2).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    // An INTEGER PRIMARY KEY is the table's own order.
    Statement cols = db.prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (cols.next())
        if (cols.text(1).compare(column, Qt::CaseInsensitive) == 0 && cols.integer(5) == 1 &&
            cols.text(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace

void Connection::indexInMemoryIfNeeded()
{
    const bool indexed = hasLeadingIndex(db_, QStringLiteral("spectrum"), QStringLiteral("spectrumlow")) &&
                         hasLeadingIndex(db_, QStringLiteral("transmitconfiguration"), QStringLiteral("licenceid")) &&
                         hasLeadingIndex(db_, QStringLiteral("location"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(db_, QStringLiteral("geographicreference"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(db_, QStringLiteral("licence"), QStringLiteral("licenceid"));
    if (indexed)
        return;
    // The file cannot be given indexes (it is never written): a copy in memory can.
    Database memory;
    try {
        memory = Database::openMemory();
        memory.copyFrom(db_);
    } catch (const RegisterError& e) {
        qCInfo(base::lcRegister).noquote() << "the register lacks the indexes its statements use and cannot be"
                                           << "copied into memory to be given them; it is read as it is:"
                                           << e.message();
        return;  // slower, but the file serves as it is
    }
    for (const QString& st : createIndexStatements()) {
        try {
            memory.exec(st);
        } catch (const RegisterError& e) {
            qCInfo(base::lcRegister).noquote() << "an index of the in-memory copy cannot be made:" << e.message();
        }
    }
    try {
        memory.exec(QStringLiteral("ANALYZE"));
    } catch (const RegisterError& e) {
        qCInfo(base::lcRegister).noquote() << "the in-memory copy cannot be analysed:" << e.message();
    }
    db_ = std::move(memory);
    copied_ = true;
    qCInfo(base::lcRegister) << "the register lacks the indexes its statements use: it was copied into memory and"
                             << "indexed there";
}

void Connection::openAccess(const QString& path)
{
    db_ = Database::openMemory();
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
    importAccessTables(path, db_, jobs, progress_);
}

void Connection::checkSchema(const QString& fileName)
{
    auto notARegister = [&](const QString& why) {
        return RegisterError(QStringLiteral("%1 is not a register database: %2").arg(fileName, why));
    };
    // Every schema: an Access register's tables are attached ones.
    QStringList tables;
    try {
        Statement q = db_.prepare(QStringLiteral("SELECT name FROM pragma_table_list WHERE type IN ('table','view')"));
        while (q.next())
            tables << q.text(0).toLower();
    } catch (const RegisterError& e) {
        throw notARegister(e.message());
    }
    for (const TableColumns& t : registerTables()) {
        if (!tables.contains(t.table))
            throw notARegister(QStringLiteral("table %1 is missing").arg(t.table));
        QStringList have;
        try {
            Statement cols = db_.prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.table));
            while (cols.next())
                have << cols.text(1).toLower();
        } catch (const RegisterError& e) {
            throw notARegister(e.message());
        }
        for (const QString& c : t.columns)
            if (!have.contains(c.toLower()))
                throw notARegister(QStringLiteral("column %1.%2 is missing").arg(t.table, c));
    }
}

}  // namespace reg
