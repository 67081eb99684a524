#pragma once
// The one connection to the register database, opened read-only from the
// connection string. An SQLite register is opened in place (immutable); an
// Access register is read with libmdb into an in-memory SQLite database.

#include "register/database.h"

#include <QString>
#include <functional>
#include <memory>

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

// The register file, opened once and never by its name again: checked, read
// and handed to the engine and the readers through this one descriptor, so
// that no file put in its place after the check can be read instead.
class RegisterFile {
public:
    explicit RegisterFile(const QString& path);
    ~RegisterFile();
    RegisterFile(const RegisterFile&) = delete;
    RegisterFile& operator=(const RegisterFile&) = delete;
    FileFormat format() const { return format_; }
    int descriptor() const { return fd_; }
    qint64 size() const { return size_; }
    // A name that reopens this very file (while it is open).
    QString readFrom() const;

private:
    int fd_ = -1;
    qint64 size_ = 0;
    FileFormat format_ = FileFormat::Unreadable;
};

// The largest file without the indexes a register's statements use that is
// copied into memory to be given them; a larger one is refused.
constexpr qint64 kMaxIndexedCopyBytes = 250000000;

struct ImportProgress {
    QString table;
    qint64 rowsRead = 0;   // rows read so far, all tables
    qint64 rowsTotal = 0;  // rows in all the tables being read
};
// Called while a register is read, at least every 50 ms; it may throw
// ImportCancelled to end the reading at once.
using ProgressFn = std::function<void(const ImportProgress&)>;

// The user ended the reading of the register. Connection::open throws it
// with the message "Reading PATH was cancelled".
class ImportCancelled : public RegisterError {
public:
    explicit ImportCancelled(const QString& message = QString()) : RegisterError(message) {}
};

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
    // An indexed copy in memory of a file that lacks the statements'
    // indexes; a closed database when the file has them or cannot be copied.
    Database indexedCopyIfNeeded(const QString& fileName);
    std::unique_ptr<RegisterFile> file_;
    Database db_;
    QString path_;
    bool open_ = false;
    bool access_ = false;
    bool copied_ = false;
    ProgressFn progress_;
};

}  // namespace reg
