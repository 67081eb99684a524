#pragma once
// Reading an Access (Jet 3, Jet 4 or ACE) file into SQLite.
//
// libmdb reads the file's bytes, which may be damaged or hostile, so it runs
// only in reader processes, never in the caller's: one reader lists the
// tables, and one reader for each table reads its rows into an in-memory
// SQLite database that comes back as an image through a pipe and is
// attached to the caller's database. Up to two tables are read at a time. A
// reader that reports a failure, dies or overruns its time limit becomes a
// RegisterError naming the file and the table.
//
// The work is in three places: running the readers (access_readers.cpp),
// decoding the file's pages in a reader (access_pages.cpp) and attaching
// what they hand back (access_attach.cpp).

#include "register/connection.h"

#include <QStringList>
#include <vector>

namespace reg {

struct AccessTable {
    QString name;
    qint64 rows = 0;  // as the table's definition gives it
    qint64 page = 0;  // the definition's page
    QStringList columns;
};

// The user tables of an Access file. Throws RegisterError. The readers read
// `readFrom` when it is given (a name of the open file's, see RegisterFile),
// else `path`; messages name `path`. Calls `progress` (may be empty) while
// it waits, at least every 50 ms, with no table and no rows yet.
std::vector<AccessTable> accessCatalogue(const QString& path, const QString& readFrom = QString(),
                                         const ProgressFn& progress = {});

struct TableImport {
    QString table;        // as the file names it
    QStringList columns;  // the columns to copy (matched case-insensitively); all of them when empty
    QStringList indexes;  // CREATE INDEX statements for the table
    qint64 rows = 0;      // the rows expected, for the progress
    qint64 page = 0;      // the table definition's page, as the catalogue gives it
};

// Copies the tables into `db`, each into an attached schema of its own, so
// that statements name them without a schema; the copies are read-only.
// Reports progress through `progress` (may be empty) while it waits, at
// least every 50 ms. All the tables together may take `timeLimitMs` (0:
// kAccessImportLimitMs). Throws RegisterError.
void importAccessTables(const QString& path, Database& db, const std::vector<TableImport>& tables,
                        const ProgressFn& progress, qint64 timeLimitMs = 0, const QString& readFrom = QString());
// Copies the named tables (matched case-insensitively; all user tables when
// the list is empty) with all their columns and no indexes.
void importAccess(const QString& path, Database& db, const QStringList& tables, const ProgressFn& progress);

// What the readers this process started have used so far: their CPU time
// in all, and the peak resident memory of each, in the order they ended
// (for the benchmarks).
struct ReaderUsage {
    double cpuSeconds = 0;
    std::vector<double> peakMB;
};
ReaderUsage accessReaderUsage();

// How long reading an Access file may take, whatever its size: the
// catalogue, and all the tables together.
constexpr qint64 kAccessImportLimitMs = 60000;

}  // namespace reg
