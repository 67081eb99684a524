#pragma once
// The one layer over the database engine, SQLite's C API: a connection that
// closes itself, prepared statements with typed reads, and the time budget
// of an action. Nothing outside the register's folder sees the engine.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace reg {

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
// The name of an open descriptor's file that reopens that very file.
QString descriptorPath(int fd);
// A name written as an SQL identifier ("name", inner quotes doubled).
QString quotedName(const QString& name);

// How long the statements of one action may take, in milliseconds: start-up
// (the map sheets and the first search) and anything the user does.
constexpr qint64 kStartUpBudgetMs = 20000;
constexpr qint64 kActionBudgetMs = 10000;

// One prepared statement. Values are read from the current row by column
// (0-based); binds are 1-based, as the engine counts them.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(Statement&& o) noexcept;
    Statement& operator=(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Steps to the next row: true on a row, false past the last. An engine
    // failure throws RegisterError (tooLong() when the budget stopped it);
    // a result is never cut short silently.
    bool next();
    // Back to before the first row, binds kept.
    void reset();

    void bind(int i, double v);
    void bind(int i, qint64 v);
    void bind(int i, const QString& text);
    void bind(int i, const QByteArray& blob);
    void bindNull(int i);
    // UTF-8 text bound in place: the bytes must stay until the next step or reset.
    void bindUtf8View(int i, const char* utf8, size_t bytes);

    int columnCount() const;
    QString columnName(int i) const;
    // The column of a name, case-insensitively; -1 when there is none.
    int columnIndex(const QString& name) const;
    // The same, throwing RegisterError when the result has no such column.
    int column(const QString& name) const;

    // How the engine holds a value.
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type(int i) const;
    bool isNull(int i) const;
    double real(int i) const;
    qint64 integer(int i) const;
    QString text(int i) const;
    QByteArray bytes(int i) const;
    // The value read as a number: none for a null, or for a text or blob
    // that is not a plain decimal number.
    std::optional<double> number(int i) const;
    // A code value: none for a null; a real number rounded to the nearest
    // whole one; a text read as a whole number, 0 when it is none.
    std::optional<qint64> code(int i) const;
    // The value as the program shows it: empty for a null, whole numbers as
    // they are, other numbers in their shortest decimal form (157.1125).
    QString shownText(int i) const;

private:
    friend class Database;
    Statement(sqlite3_stmt* st, sqlite3* db) : st_(st), db_(db) {}
    void check(int rc) const;
    sqlite3_stmt* st_ = nullptr;
    sqlite3* db_ = nullptr;
    bool done_ = false;  // past the last row (until reset)
};

// Memory taken from the engine's allocator, to be handed to the engine
// (a database image read straight into it); freed with its object.
class EngineBuffer {
public:
    EngineBuffer() = default;
    explicit EngineBuffer(qint64 size);  // throws RegisterError when there is not so much memory
    ~EngineBuffer();
    EngineBuffer(EngineBuffer&& o) noexcept;
    EngineBuffer& operator=(EngineBuffer&& o) noexcept;
    unsigned char* data() const { return data_; }
    qint64 size() const { return size_; }
    // Gives the memory up to the caller (who hands it to the engine).
    unsigned char* release();

private:
    unsigned char* data_ = nullptr;
    qint64 size_ = 0;
};

// One connection to the engine, closed with its object.
class Database {
public:
    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens a file read-only. Immutable: no lock, no journal, nothing
    // written beside the file, whatever the folder allows. Throws RegisterError.
    static Database openFile(const QString& path);
    // The same for the file an open descriptor holds, reopened through it
    // (never by a name, which another file may have taken since); messages
    // name `shownPath`. The descriptor stays the caller's.
    static Database openDescriptor(int fd, const QString& shownPath);
    // A new, empty database in memory. One kept in a single block of memory
    // gives its image without a copy (image()). Throws RegisterError.
    static Database openMemory(bool oneBlock = false);
    // Every connection is opened as the engine's authors advise for files
    // from untrusted sources (see hardening() in the source): a value longer
    // than this is refused, and so is a statement longer than kMaxSqlBytes.
    static constexpr int kMaxValueBytes = 1 << 20;
    static constexpr int kMaxSqlBytes = 16 << 20;

    // From here on, statements may call only the named functions (lower
    // case): a view of the file's that calls any other (a costly one such
    // as instr() over a long text, which no time limit can stop once it
    // runs) makes the statement fail as it is prepared, naming the function.
    void allowOnlyFunctions(const QStringList& names);

    bool isOpen() const;
    sqlite3* handle() const;
    void close();

    // Throws RegisterError with the engine's message.
    Statement prepare(const QString& sql) const;
    // Runs every statement of `sql` to its end. Throws RegisterError.
    void exec(const QString& sql) const;
    // The first column of the first row of a statement; none without a row.
    std::optional<qint64> integerOf(const QString& sql) const;

    // The database's image: its own bytes when it is kept in one block (valid
    // while it lives unchanged), a copy otherwise. Throws RegisterError.
    QByteArray image() const;
    // Attaches a database image as a read-only schema `name`. Throws RegisterError.
    void attachImage(const QString& name, EngineBuffer image);
    // The attached schemas, and the most there may be.
    QStringList schemas() const;
    int attachedLimit() const;
    // Copies the whole of another database into this one. Throws RegisterError.
    void copyFrom(const Database& from);

    // Statements of an action run under a budget (see Budget). Once an
    // action has run 150 ms, `during` is called about every 100 ms while
    // its statements run, and `after` once the outermost budget ends.
    void setWaitingHooks(std::function<void()> during, std::function<void()> after);
    // Starts watching statements for budgets (after the database is ready).
    void watchStatements();
    // While paused (the user reading a message box or choosing a file, say),
    // the time of the running budget stands still. Pauses nest.
    void pauseBudgets(bool pause) const;
    // True once the running budget is spent (for work that is not a statement).
    bool budgetSpent() const;
    // The milliseconds left of the running budget (very many without one).
    qint64 budgetLeft() const;

private:
    friend class Budget;
    struct State;
    static int onProgress(void* state);
    static int onAuthorize(void* state, int action, const char*, const char* function, const char*, const char*);
    std::unique_ptr<State> s_;
};

// A time budget for the statements of one action: a statement still running
// when it is spent is stopped and throws RegisterError (tooLong()). Nested
// budgets keep the earliest end. A budget on no database does nothing.
class Budget {
public:
    Budget(const Database* db, qint64 ms);
    ~Budget();
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

private:
    Database::State* s_;
    qint64 savedStart_ = -1, savedEnd_ = -1, savedPaused_ = 0;
};

}  // namespace reg
