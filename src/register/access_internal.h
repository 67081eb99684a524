#pragma once
// The parts of reading an Access file, between the files that do them: what
// a reader does with the file's pages, and how its results are attached.

#include "register/access_import.h"
#include "register/reader_process.h"

#include <QByteArray>
#include <stdexcept>

namespace reg::access {

// A failure a reader reports to its parent.
struct ReaderError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a reader hands back while it works.
class ReaderOutput {
public:
    virtual ~ReaderOutput() = default;
    virtual void catalogue(const QByteArray& encoded) = 0;  // the tables, as encodeCatalogue writes them
    virtual void rowsExpected(qint64 rows) = 0;
    virtual void rowsRead(qint64 rows) = 0;
    virtual void database(const QByteArray& image) = 0;
};

// What a reader writes to its pipe: messages of a type byte, an 8-byte
// length and the payload.
class PipeOutput : public ReaderOutput {
public:
    explicit PipeOutput(int fd) : fd_(fd) {}
    void catalogue(const QByteArray& encoded) override;
    void rowsExpected(qint64 rows) override;
    void rowsRead(qint64 rows) override;
    void database(const QByteArray& image) override;
    void error(const QByteArray& text);

private:
    int fd_;
};

// The reader program (orvane-read-access), started by its parent with the
// register open read-only as descriptor 3 and its pipe as descriptor 4, and
// nothing else. It confines itself (see sandbox.h) before it reads a byte,
// then reads the catalogue or one table into its pipe:
//   --parent PID --catalogue
//   --parent PID --table NAME PAGE ROWS FILE_SIZE COLUMN_COUNT COLUMN... INDEX_COUNT INDEX...
//   --sandbox-check        (confines itself, then tries what it must not do)
// Its exit status: 0 when done, 1 when it failed (its message in the pipe),
// 2 for arguments it does not understand.
constexpr int kReaderRegisterFd = readers::kFileFd;
constexpr int kReaderPipeFd = readers::kReplyFd;
constexpr const char* kReaderRegisterPath = readers::kFilePath;
int readerMain(const QStringList& arguments);
// The reader program (see readers::programPath); empty when none is found.
QString readerProgram();
// The arguments of a table's reader, and the request they carry.
QStringList readerArguments(const TableImport& request, qint64 fileSize);

// How a catalogue reader's message begins when the catalogue's own rows are
// damaged (rather than the file not being an Access database at all).
constexpr const char* kDamagedCatalogue = "damaged catalogue: ";

// The catalogue of tables, as a reader sends it and its parent reads it.
QByteArray encodeCatalogue(const std::vector<AccessTable>& tables);
std::vector<AccessTable> decodeCatalogue(const QByteArray& encoded);

// The reader's work (in its own process): listing the file's user tables,
// and reading one table's rows into an SQLite image. Throws ReaderError.
void listTables(const QByteArray& path, qint64 fileSize, ReaderOutput& out);
void readTable(const QByteArray& path, const TableImport& request, qint64 fileSize, ReaderOutput& out);

// Attaches a table's image to `db` as a read-only schema of its own; past
// the number of schemas the engine allows, the table is copied into main.
void attachTable(Database& db, EngineBuffer image, const QString& table);

}  // namespace reg::access
