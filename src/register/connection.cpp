#include "register/connection.h"

#include "register/access_import.h"
#include "register/schema.h"

#include "base/log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The format of an open file by its first bytes.
FileFormat formatOf(int fd)
{
    char head[32];
    ssize_t n;
    while ((n = ::pread(fd, head, sizeof head, 0)) < 0 && errno == EINTR) {
    }
    if (n < 0)
        return FileFormat::Unreadable;
    const QByteArray bytes(head, int(n));
    if (bytes.isEmpty())
        return FileFormat::Empty;
    if (bytes.startsWith(QByteArray("SQLite format 3\0", 16)))
        return FileFormat::SQLite;
    if (bytes.size() >= 19 && (bytes.mid(4, 15) == "Standard Jet DB" || bytes.mid(4, 15) == "Standard ACE DB"))
        return FileFormat::Access;
    return FileFormat::Unknown;
}

}  // namespace

namespace {

// The functions a register's statements may call: those of the program's
// own statements, and the plain ones a view of the register's might use,
// each taking time in proportion to its arguments.
QStringList allowedFunctions()
{
    return {QStringLiteral("count"),  QStringLiteral("abs"),     QStringLiteral("avg"),    QStringLiteral("coalesce"),
            QStringLiteral("ifnull"), QStringLiteral("iif"),     QStringLiteral("length"), QStringLiteral("lower"),
            QStringLiteral("max"),    QStringLiteral("min"),     QStringLiteral("nullif"), QStringLiteral("round"),
            QStringLiteral("substr"), QStringLiteral("substring"), QStringLiteral("sum"),  QStringLiteral("total"),
            QStringLiteral("typeof"), QStringLiteral("upper"),   QStringLiteral("likely"), QStringLiteral("unlikely")};
}

}  // namespace

RegisterFile::RegisterFile(const QString& path)
{
    // Opened without waiting (a pipe with no writer would otherwise hold the
    // program for ever) and checked through the descriptor itself.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP: format_ = FileFormat::Missing; break;
        case EISDIR: format_ = FileFormat::Directory; break;
        case ENXIO:
        case ENODEV:
        case EOPNOTSUPP: format_ = FileFormat::NotAFile; break;
        default: format_ = FileFormat::Unreadable; break;
        }
        return;
    }
    fd_ = fd;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        format_ = FileFormat::Unreadable;
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        format_ = FileFormat::Directory;
        return;
    }
    // A pipe, a device or a socket is never read: reading one could block for ever.
    if (!S_ISREG(st.st_mode)) {
        format_ = FileFormat::NotAFile;
        return;
    }
    size_ = qint64(st.st_size);
    format_ = formatOf(fd_);
}

RegisterFile::~RegisterFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString RegisterFile::readFrom() const { return descriptorPath(fd_); }

FileFormat detectFormat(const QString& path) { return RegisterFile(path).format(); }

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::open(const QString& cs, const QString&, const QString&)
{
    const ConnectionInfo info = parseConnectionString(cs);
    // Every message about the register names it by its full path, so that
    // one started from the applications menu can tell which file is meant.
    const QString path = QDir::current().absoluteFilePath(info.dataSource);
    path_ = path;
    file_ = std::make_unique<RegisterFile>(path);
    try {
        switch (file_->format()) {
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
            throw RegisterError(QStringLiteral("%1 is not a register database: the file is empty.").arg(path));
        case FileFormat::Unknown:
            throw RegisterError(
                QStringLiteral("%1 is not a register database: it is neither an Access nor an SQLite database file.")
                    .arg(path));
        case FileFormat::SQLite:
            openSqlite(path);
            break;
        case FileFormat::Access:
            openAccess(path);
            break;
        }
        // The checks and any copying and indexing run under the start-up budget.
        db_.watchStatements();
        Database copy;
        {
            const Budget startUp(&db_, kStartUpBudgetMs);
            checkSchema(path);
            if (!access_)
                copy = indexedCopyIfNeeded(path);
        }
        // The copy takes the file's place only once the budget that watches
        // the file's connection has ended.
        if (copy.isOpen()) {
            db_ = std::move(copy);
            copied_ = true;
            qCInfo(base::lcRegister) << "the register lacks the indexes its statements use: it was copied into"
                                     << "memory and indexed there";
        }
        db_.allowOnlyFunctions(allowedFunctions());
    } catch (const ImportCancelled&) {
        qCInfo(base::lcRegister).noquote() << "the reading of" << path << "was cancelled";
        db_.close();
        file_.reset();
        throw ImportCancelled(QStringLiteral("Reading %1 was cancelled").arg(path));
    } catch (const RegisterError& e) {
        qCInfo(base::lcRegister).noquote() << "refused" << path << ":" << e.message();
        db_.close();
        file_.reset();
        throw;
    }
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
                             .arg(path));
}

}  // namespace

void Connection::openSqlite(const QString& path)
{
    db_ = Database::openDescriptor(file_->descriptor(), path);
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
    if (pageSize > 0 && file_->size() < pageSize * pageCount)
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

Database Connection::indexedCopyIfNeeded(const QString& fileName)
{
    const bool indexed = hasLeadingIndex(db_, QStringLiteral("spectrum"), QStringLiteral("spectrumlow")) &&
                         hasLeadingIndex(db_, QStringLiteral("transmitconfiguration"), QStringLiteral("licenceid")) &&
                         hasLeadingIndex(db_, QStringLiteral("location"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(db_, QStringLiteral("geographicreference"), QStringLiteral("locationid")) &&
                         hasLeadingIndex(db_, QStringLiteral("licence"), QStringLiteral("licenceid"));
    if (indexed)
        return {};
    // The file cannot be given indexes (it is never written): a copy in
    // memory can, up to a size.
    if (file_->size() > kMaxIndexedCopyBytes)
        throw RegisterError(QStringLiteral("%1 cannot be read: it lacks the indexes a register's statements use, "
                                           "and at %2 MB it is larger than the %3 MB the program copies into "
                                           "memory to give them")
                                .arg(fileName)
                                .arg(double(file_->size()) / 1e6, 0, 'f', 1)
                                .arg(kMaxIndexedCopyBytes / 1000000));
    Database memory;
    try {
        memory = Database::openMemory();
        memory.copyFrom(db_);
    } catch (const RegisterError& e) {
        if (e.tooLong())
            throw;
        qCInfo(base::lcRegister).noquote() << "the register lacks the indexes its statements use and cannot be"
                                           << "copied into memory to be given them; it is read as it is:"
                                           << e.message();
        return {};  // slower, but the file serves as it is
    }
    // The copy's statements run under what is left of the start-up budget.
    memory.watchStatements();
    const Budget startUp(&memory, std::max<qint64>(0, db_.budgetLeft()));
    for (const QString& st : createIndexStatements()) {
        try {
            memory.exec(st);
        } catch (const RegisterError& e) {
            if (e.tooLong())
                throw;
            qCInfo(base::lcRegister).noquote() << "an index of the in-memory copy cannot be made:" << e.message();
        }
    }
    try {
        memory.exec(QStringLiteral("ANALYZE"));
    } catch (const RegisterError& e) {
        if (e.tooLong())
            throw;
        qCInfo(base::lcRegister).noquote() << "the in-memory copy cannot be analysed:" << e.message();
    }
    return memory;
}

void Connection::openAccess(const QString& path)
{
    db_ = Database::openMemory();
    access_ = true;
    // Access files are whole pages (2 KB for Jet 3, 4 KB after): anything else is a truncated copy.
    char version = 1;
    if (::pread(file_->descriptor(), &version, 1, 0x14) != 1)
        version = 1;
    const qint64 page = version == 0 ? 2048 : 4096;
    if (file_->size() % page != 0)
        throw truncatedCopy(path);
    // The readers read the file through the descriptor too.
    const QString readFrom = file_->readFrom();
    // One limit covers the whole import: the tables have what the catalogue left.
    QElapsedTimer importClock;
    importClock.start();
    const std::vector<AccessTable> present = accessCatalogue(path, readFrom, progress_);
    // Only the columns the program reads, with the indexes its statements use.
    std::vector<TableImport> jobs;
    for (const TableColumns& t : registerTables()) {
        const AccessTable* found = nullptr;
        for (const AccessTable& p : present)
            if (p.name.compare(t.table, Qt::CaseInsensitive) == 0)
                found = &p;
        if (!found)
            throw RegisterError(QStringLiteral("%1 is not a register database: table %2 is missing")
                                    .arg(path, t.table));
        jobs.push_back({found->name, t.columns, createIndexStatements(t.table), found->rows, found->page});
    }
    importAccessTables(path, db_, jobs, progress_, std::max<qint64>(1, kAccessImportLimitMs - importClock.elapsed()),
                       readFrom);
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
