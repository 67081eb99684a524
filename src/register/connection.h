#pragma once
// The one connection to the register database, opened read-only from the
// connection string. An SQLite register is opened in place (immutable); an
// Access register is read with libmdb into an in-memory SQLite database.

#include "register/database.h"

#include <QString>
#include <functional>

namespace reg {

extern const QString connectionString;

struct ConnectionInfo {
    QString provider;
    QString dataSource;
    bool readOnly = false;
};
// The parts of a connection string ("key=value;..."; keys case-insensitive).
ConnectionInfo parseConnectionString(const QString& cs);

enum class FileFormat { Missing, Directory, NotAFile, Unreadable, Empty, SQLite, Access, Unknown };
// Decides the format of a file by its first bytes.
FileFormat detectFormat(const QString& path);

struct ImportProgress {
    QString table;
    qint64 rowsRead = 0;   // rows read so far, all tables
    qint64 rowsTotal = 0;  // rows in all the tables being read
};
using ProgressFn = std::function<void(const ImportProgress&)>;

class Connection {
public:
    enum State { adStateClosed = 0, adStateOpen = 1 };
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the data source of the connection string, relative to the working
    // directory. Throws RegisterError with a message naming the file and what is
    // wrong with it.
    void open(const QString& connection, const QString& user = QString(), const QString& password = QString());
    int state() const { return open_ ? adStateOpen : adStateClosed; }
    bool isOpen() const { return open_; }

    // The register's database, read-only: every statement of the program
    // runs on it (through the register's statements).
    const Database& database() const { return db_; }
    QString filePath() const { return path_; }
    bool isAccess() const { return access_; }
    // True when the register was read into memory to be given the indexes
    // its queries need (a file without them).
    bool isIndexedCopy() const { return copied_; }

    void setProgress(ProgressFn fn) { progress_ = std::move(fn); }
    // See Database::setWaitingHooks.
    void setWaitingHooks(std::function<void()> during, std::function<void()> after)
    {
        db_.setWaitingHooks(std::move(during), std::move(after));
    }

private:
    void openSqlite(const QString& path);
    void openAccess(const QString& path);
    void checkSchema(const QString& fileName);
    void indexInMemoryIfNeeded();
    Database db_;
    QString path_;
    bool open_ = false;
    bool access_ = false;
    bool copied_ = false;
    ProgressFn progress_;
};

}  // namespace reg
