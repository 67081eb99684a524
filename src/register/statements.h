#pragma once
// The register's statements: every SQL text the program runs on the
// register, each behind a function that returns plain values. The texts
// are the register's contract and stay as they are, character for
// character; the criteria come in as a value (criteria.h).

#include "register/criteria.h"
#include "register/database.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace reg {

class Connection;
class SpectrumIndex;

// --- the chart's search ---

// The search statement for a range.
QString searchStatement(double lowMHz, double highMHz);
// The ordering the search appends to the statement it runs.
QString searchOrderClause();
// The statuses the chart shows, as the statements write them.
QString shownStatusFilter();

// One row of the search statement: a group of records.
struct SearchRow {
    std::optional<double> serviceId;
    std::optional<qint64> typeId;  // a null code is no value
    std::optional<qint64> statusId;
    std::optional<double> lowMHz;
    std::optional<double> highMHz;
    std::optional<double> districtId;
    qint64 count = 0;  // distnum: the joined rows in the group
};
// The first `limit` rows of the search statement for the range, in the
// chart's order. With the index of the records' edges the engine groups
// only the records of those rows; without it, the whole statement runs.
// Rows whose edges are not finite are left out (no bar can be placed for
// them, nor can their edges be written into later criteria).
std::vector<SearchRow> searchRows(const Connection& c, const SpectrumIndex* index, double lowMHz, double highMHz,
                                  int limit);
// Every group of the range, counted to the end (what the search saves the
// engine from doing).
qint64 countSearchGroups(const Connection& c, double lowMHz, double highMHz);

// --- a record's details and the hover's channel label ---

struct RecordDetails {
    bool found = false;
    std::optional<qint64> managementRightId;
    std::optional<QString> label;
    std::optional<QString> remarks;
};
// The first record of the detail statement for the criteria.
RecordDetails recordDetails(const Connection& c, const Criteria& criteria);
// The label of the first planned channel (type 4) of the criteria; none
// when there is none or its label is null.
std::optional<QString> plannedLabel(const Connection& c, const Criteria& criteria);
QString detailStatement(const Criteria& criteria);
QString plannedLabelStatement(const Criteria& criteria);

// --- a listing: its licences and their sites ---

struct LicenceRows {
    QStringList fieldNames;
    // Each row's values as the program shows them (empty for a null).
    std::vector<QStringList> rows;
    bool more = false;  // there are rows past `maxRows`
};
LicenceRows licenceRows(const Connection& c, const Criteria& criteria, int maxRows);
QString licenceStatement(const Criteria& criteria);

struct SiteRow {
    QString name;  // as the register holds it
    double easting = 0, northing = 0;
};
// The sites in the order of the statement (northernmost first). Rows
// without both coordinates as numbers cannot be placed and are left out.
std::vector<SiteRow> siteRows(const Connection& c, const Criteria& criteria, int maxRows, bool& more);
QString siteStatement(const Criteria& criteria);

// --- a listing taken away: each site's position, its district and licences ---

// The NZMG positions of a licence's locations (the grid reference used).
std::vector<SiteRow> licenceSitePositions(const Connection& c, qint64 licenceId);

// The sites of a listing with a licence each: one row a site and licence
// (the site's district's code beside it), northernmost first.
struct SiteLicence {
    SiteRow site;
    QString district;
    QString licenceNumber;
};
std::vector<SiteLicence> siteLicences(const Connection& c, const Criteria& criteria, int maxRows);

// --- the map sheets ---

struct MapSheet {
    QString sheet, district;
};
// The sheets with their districts; rows with either missing are left out.
std::vector<MapSheet> mapSheets(const Connection& c, int maxRows);

}  // namespace reg
