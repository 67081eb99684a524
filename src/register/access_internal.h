#pragma once
// The parts of reading an Access file, between the files that do them: what
// a reader does with the file's pages, and how its results are attached.

#include "register/access_import.h"

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

// The catalogue of tables, as a reader sends it and its parent reads it.
QByteArray encodeCatalogue(const std::vector<AccessTable>& tables);
std::vector<AccessTable> decodeCatalogue(const QByteArray& encoded);

// The reader's work (in its own process): listing the file's user tables,
// and reading one table's rows into an SQLite image. Throws ReaderError.
void listTables(const QByteArray& path, ReaderOutput& out);
void readTable(const QByteArray& path, const TableImport& request, qint64 fileSize, ReaderOutput& out);

// Attaches a table's image to `db` as a read-only schema of its own; past
// the number of schemas the engine allows, the table is copied into main.
void attachTable(Database& db, EngineBuffer image, const QString& table);

}  // namespace reg::access
