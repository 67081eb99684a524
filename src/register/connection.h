#pragma once
// The one connection to the register database, opened read-only from the
// connection string. An SQLite register is opened in place (immutable); an
// Access register is read with libmdb into an in-memory SQLite database.

#include "register/recordset.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <stdexcept>

struct sqlite3;

namespace reg {

extern const QString connectionString;

class RegisterError : public std::runtime_error {
public:
    explicit RegisterError(const QString& message, bool tooLong = false)
        : std::runtime_error(message.toStdString()), message_(message), tooLong_(tooLong)
    {
    }
    QString message() const { return message_; }
    // The statement ran past the time its action may take.
    bool tooLong() const { return tooLong_; }

private:
    QString message_;
    bool tooLong_;
};

// The message of a statement that ran past its action's time.
QString tooLongMessage();
// The error of an engine failure: the engine's own message, or the message
// above when the statement was stopped for taking too long.
RegisterError errorOf(const class QSqlError& e);

// How long the statements of one action may take, in milliseconds: start-up
// (the map sheets and the first search) and anything the user does.
constexpr qint64 kStartUpBudgetMs = 20000;
constexpr qint64 kActionBudgetMs = 10000;

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
    // "adUseClient" in the classic API; kept for fidelity, it changes nothing here.
    void setCursorLocationClient() { clientCursor_ = true; }
    bool cursorLocationClient() const { return clientCursor_; }

    // Runs one SELECT; throws RegisterError with the engine's message.
    Recordset execute(const QString& sql);
    QSqlDatabase database() const;
    sqlite3* handle() const;
    QString filePath() const { return path_; }
    bool isAccess() const { return access_; }
    // True when the register was read into memory to be given the indexes
    // its queries need (a file without them).
    bool isIndexedCopy() const { return copied_; }

    void setProgress(ProgressFn fn) { progress_ = std::move(fn); }

    // A time budget for the statements of one action: a statement still
    // running when it is spent is stopped and throws RegisterError
    // (tooLong()). Nested budgets keep the earliest end. Once an action has
    // run 150 ms, `during` is called about every 100 ms while its statements
    // run (the window keeps painting, the pointer shows it is busy), and
    // `after` once the outermost budget ends.
    class Budget {
    public:
        Budget(Connection* c, qint64 ms);
        ~Budget();
        Budget(const Budget&) = delete;
        Budget& operator=(const Budget&) = delete;

    private:
        Connection* c_;
        qint64 savedStart_, savedEnd_;
    };
    void setWaitingHooks(std::function<void()> during, std::function<void()> after)
    {
        waitingDuring_ = std::move(during);
        waitingAfter_ = std::move(after);
    }

private:
    void openSqlite(const QString& path);
    void openAccess(const QString& path);
    void checkSchema(const QString& fileName);
    void indexInMemoryIfNeeded();
    void watchStatements();
    static int onProgress(void* self);
    QString name_;
    QString path_;
    bool open_ = false;
    bool access_ = false;
    bool clientCursor_ = false;
    bool copied_ = false;
    ProgressFn progress_;
    std::function<void()> waitingDuring_, waitingAfter_;
    QElapsedTimer clock_;
    qint64 budgetStart_ = -1, budgetEnd_ = -1;  // ms on clock_; -1 when no budget runs
    qint64 lastWait_ = 0;
    bool waited_ = false;
};

}  // namespace reg
