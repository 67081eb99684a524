#pragma once
// Reading an Access (Jet 3, Jet 4 or ACE) file with libmdb into SQLite.

#include "register/connection.h"

#include <QStringList>

struct sqlite3;

namespace reg {

// The user tables of an Access file. Throws RegisterError.
QStringList accessTableNames(const QString& path);

// Copies the named tables (matched case-insensitively; all user tables when
// the list is empty) of an Access file into an open SQLite database, one
// SQLite table per Access table with the same column names. Reports progress
// through `progress` (may be empty). Throws RegisterError.
void importAccess(const QString& path, sqlite3* db, const QStringList& tables, const ProgressFn& progress);

}  // namespace reg
