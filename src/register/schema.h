#pragma once
// The register's tables, the columns the program reads, its code values, and
// the table definitions and indexes of a register built by this program (the
// sample register and the in-memory copy of an Access register).

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace reg {

// spectrumtypeid
constexpr int kTypeBand = 1;
constexpr int kTypeLicence4 = 4;
constexpr int kTypeLicence5 = 5;
constexpr int kTypeManagementRight = 7;
constexpr int kTypeItuAllocation = 8;
// spectrumstatusid
constexpr int kStatusLicensed = 1;
constexpr int kStatusPlanned = 4;
constexpr int kStatusLicensed5 = 5;
// georeferencetypeid of the NZMG grid reference, and the reference order used
constexpr int kGeoRefNzmg = 6;
constexpr int kReferenceOrderUsed = 1;
// legal_order of the licensee's legal name
constexpr int kLegalName = 1;

struct TableColumns {
    QString table;
    QStringList columns;  // the columns the program reads
};

// The eight tables and the columns read from each.
const std::vector<TableColumns>& registerTables();

// CREATE TABLE statements of the eight tables, in registerTables() order.
QStringList createTableStatements();
// CREATE INDEX statements for the queries the program runs; of one table's
// indexes when `table` is given.
QStringList createIndexStatements(const QString& table = QString());

}  // namespace reg
