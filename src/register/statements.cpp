#include "register/statements.h"

#include "base/numbers.h"
#include "register/connection.h"
#include "register/schema.h"
#include "register/spectrum_index.h"

#include <cmath>

namespace reg {

namespace {

// "(1,5)" or "(1, 4, 5)": a list of code values as a statement writes it.
QString codeList(std::initializer_list<int> codes, const char* separator)
{
    QStringList parts;
    for (int c : codes)
        parts << QString::number(c);
    return QLatin1Char('(') + parts.join(QLatin1String(separator)) + QLatin1Char(')');
}

// The licences' statuses, as the listing and site statements write them.
QString listedStatusFilter()
{
    return QStringLiteral("spectrum.spectrumstatusid in ") + codeList({kStatusLicensed, kStatusLicensed5}, ",");
}

QString notManagementRight() { return QStringLiteral("spectrumtypeid <> ") + QString::number(kTypeManagementRight); }

}  // namespace

// ---------------------------------------------------------------------------
// The chart's search

QString shownStatusFilter()
{
    return QStringLiteral("spectrum.spectrumstatusid in ") +
           codeList({kStatusLicensed, kStatusPlanned, kStatusLicensed5}, ", ");
}

namespace {

// The search statement; a restriction (" and ...") narrows the records it
// groups, and `from` names the spectrum table as its FROM clause takes it.
QString searchStatementFrom(double low, double high, const QString& restriction, const QString& from)
{
    return QStringLiteral(
               "select spectrum.serviceid, spectrum.spectrumstatusid, spectrum.spectrumtypeid, spectrum.spectrumlow, "
               "spectrum.spectrumhigh, location.districtid, count(*)as distnum from (") +
           from +
           QStringLiteral(" LEFT JOIN transmitconfiguration ON spectrum.licenceid = transmitconfiguration.licenceid) "
                          "LEFT JOIN location ON transmitconfiguration.locationid = location.locationid where ") +
           Criteria::searched(low, high).text() + QStringLiteral(" and spectrumlow > 0") + restriction +
           QStringLiteral(" and ") + shownStatusFilter() +
           QStringLiteral(" group by spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, "
                          "spectrum.spectrumtypeid, spectrum.spectrumstatusid, spectrum.serviceid");
}

}  // namespace

QString searchStatement(double low, double high)
{
    return searchStatementFrom(low, high, QString(), QStringLiteral("spectrum"));
}

QString searchOrderClause()
{
    return QStringLiteral(" order by spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, "
                          "spectrum.spectrumtypeid, spectrum.spectrumstatusid, spectrum.serviceid");
}

namespace {

// Up to `limit` rows of a search statement with finite edges.
std::vector<SearchRow> readSearchRows(Statement st, int limit)
{
    const int service = st.column(QStringLiteral("serviceid"));
    const int low = st.column(QStringLiteral("spectrumlow"));
    const int high = st.column(QStringLiteral("spectrumhigh"));
    const int type = st.column(QStringLiteral("spectrumtypeid"));
    const int status = st.column(QStringLiteral("spectrumstatusid"));
    const int district = st.column(QStringLiteral("districtid"));
    const int distnum = st.column(QStringLiteral("distnum"));
    std::vector<SearchRow> rows;
    while (int(rows.size()) < limit && st.next()) {
        SearchRow r;
        r.lowMHz = st.number(low);
        r.highMHz = st.number(high);
        if ((r.lowMHz && !std::isfinite(*r.lowMHz)) || (r.highMHz && !std::isfinite(*r.highMHz)))
            continue;
        r.serviceId = st.number(service);
        r.typeId = st.code(type);
        r.statusId = st.code(status);
        r.districtId = st.number(district);
        r.count = st.integer(distnum);
        rows.push_back(r);
    }
    return rows;
}

}  // namespace

std::vector<SearchRow> searchRows(const Connection& c, const SpectrumIndex* index, double low, double high, int limit)
{
    const Database& db = c.database();
    if (!index)
        return readSearchRows(db.prepare(searchStatement(low, high) + searchOrderClause()), limit);
    // The statement compares with the edges as its text gives them: the index
    // must pick by the same numbers, or it would drop a record the text takes.
    const double textLow = base::signSpacedValue(low), textHigh = base::signSpacedValue(high);
    for (size_t wanted = size_t(limit);; wanted *= 4) {
        const SpectrumIndex::Candidates picked = index->candidates(textLow, textHigh, wanted);
        QString ids;
        ids.reserve(qsizetype(picked.rowids.size() * 8));
        for (qint64 id : picked.rowids) {
            if (!ids.isEmpty())
                ids += QLatin1Char(',');
            ids += QString::number(id);
        }
        if (ids.isEmpty())
            ids = QStringLiteral("-1");
        // The records are fetched by their row numbers: left to itself the
        // engine would walk an edge index from the lowest edge up to `high`,
        // through every record below the window (5 to 10 times slower for
        // windows above a few hundred MHz).
        std::vector<SearchRow> rows =
            readSearchRows(db.prepare(searchStatementFrom(low, high,
                                                          QStringLiteral(" and spectrum.rowid in (") + ids + QLatin1Char(')'),
                                                          QStringLiteral("spectrum NOT INDEXED")) +
                                      searchOrderClause()),
                           limit);
        if (picked.all || int(rows.size()) >= limit)
            return rows;
    }
}

qint64 countSearchGroups(const Connection& c, double low, double high)
{
    Statement st = c.database().prepare(searchStatement(low, high) + searchOrderClause());
    qint64 n = 0;
    while (st.next())
        ++n;
    return n;
}

// ---------------------------------------------------------------------------
// Details and labels

QString detailStatement(const Criteria& criteria)
{
    return QStringLiteral("select * from spectrum where ") + criteria.text() +
           QStringLiteral(" and spectrumlow > 0 order by spectrum.spectrumlow");
}

QString plannedLabelStatement(const Criteria& criteria)
{
    return QStringLiteral("select * from spectrum where ") + criteria.text() +
           QStringLiteral(" and spectrumlow > 0 and spectrumtypeid = ") + QString::number(kTypeLicence4) +
           QStringLiteral(" order by spectrum.spectrumlow");
}

namespace {

std::optional<QString> textOf(const Statement& st, int column)
{
    if (st.isNull(column))
        return std::nullopt;
    return st.shownText(column);
}

}  // namespace

RecordDetails recordDetails(const Connection& c, const Criteria& criteria)
{
    RecordDetails d;
    Statement st = c.database().prepare(detailStatement(criteria));
    if (!st.next())
        return d;
    d.found = true;
    d.managementRightId = st.code(st.column(QStringLiteral("managementrightid")));
    d.label = textOf(st, st.column(QStringLiteral("SpectrumLabel")));
    d.remarks = textOf(st, st.column(QStringLiteral("SpectrumRemarks")));
    return d;
}

std::optional<QString> plannedLabel(const Connection& c, const Criteria& criteria)
{
    Statement st = c.database().prepare(plannedLabelStatement(criteria));
    if (!st.next())
        return std::nullopt;
    return textOf(st, st.column(QStringLiteral("SpectrumLabel")));
}

// ---------------------------------------------------------------------------
// Listings

QString licenceStatement(const Criteria& criteria)
{
    return QStringLiteral("select spectrum.spectrumlow, spectrum.spectrumhigh, spectrum.spectrumlabel, "
                          "location.locationname, issuingoffice.officecode, "
                          "licence.licencenumber, licence.managementrightid, "
                          "clientname.name, licence.licenceid from "
                          "spectrum, transmitconfiguration, location, issuingoffice, "
                          "licence, clientname where "
                          "spectrum.licenceid = transmitconfiguration.licenceid and "
                          "transmitconfiguration.locationid = location.locationid and "
                          "location.districtid = issuingoffice.officeid and "
                          "licence.clientid = clientname.clientid and clientname.legal_order = ") +
           QString::number(kLegalName) + QStringLiteral(" and spectrum.licenceid = licence.licenceid and ") +
           criteria.text() + QStringLiteral(" and spectrumlow > 0 and ") + notManagementRight() +
           QStringLiteral(" and ") + listedStatusFilter() +
           QStringLiteral(" order by spectrum.spectrumlow ASC, spectrum.spectrumhigh ASC, location.districtid, "
                          "licence.licencenumber");
}

LicenceRows licenceRows(const Connection& c, const Criteria& criteria, int maxRows)
{
    LicenceRows out;
    Statement st = c.database().prepare(licenceStatement(criteria));
    const int fields = st.columnCount();
    for (int f = 0; f < fields; ++f)
        out.fieldNames << st.columnName(f);
    while (st.next()) {
        if (int(out.rows.size()) == maxRows) {
            out.more = true;
            break;
        }
        QStringList row;
        for (int f = 0; f < fields; ++f)
            row << st.shownText(f);
        out.rows.push_back(row);
    }
    return out;
}

QString siteStatement(const Criteria& criteria)
{
    return QStringLiteral(
               "select location.locationname, location.locationtypeid, geographicreference.referenceorder, "
               "geographicreference.georeferencetypeid, geographicreference.easting, geographicreference.northing "
               "from spectrum, transmitconfiguration, location, geographicreference, licence where "
               "spectrum.licenceid = transmitconfiguration.licenceid and transmitconfiguration.locationid = "
               "location.locationid and spectrum.licenceid = licence.licenceid and location.locationid = "
               "geographicreference.locationid and ") +
           criteria.text() + QStringLiteral(" and spectrumlow > 0 and ") + notManagementRight() +
           QStringLiteral(" and geographicreference.georeferencetypeid = ") + QString::number(kGeoRefNzmg) +
           QStringLiteral(" and geographicreference.referenceorder = ") + QString::number(kReferenceOrderUsed) +
           QStringLiteral(" and ") + listedStatusFilter() + QStringLiteral(" ORDER BY geographicreference.northing DESC");
}

std::vector<SiteRow> siteRows(const Connection& c, const Criteria& criteria, int maxRows, bool& more)
{
    Statement st = c.database().prepare(siteStatement(criteria));
    const int name = st.column(QStringLiteral("locationname"));
    const int easting = st.column(QStringLiteral("easting"));
    const int northing = st.column(QStringLiteral("northing"));
    std::vector<SiteRow> sites;
    more = false;
    while (st.next()) {
        const std::optional<double> e = st.number(easting), n = st.number(northing);
        if (!e || !n || !std::isfinite(*e) || !std::isfinite(*n))
            continue;
        if (int(sites.size()) == maxRows) {
            more = true;
            break;
        }
        sites.push_back({st.shownText(name), *e, *n});
    }
    return sites;
}

// ---------------------------------------------------------------------------
// A listing taken away

namespace {

// The grid reference the program uses, as the site statement writes it.
QString usedGridReference()
{
    return QStringLiteral("geographicreference.georeferencetypeid = ") + QString::number(kGeoRefNzmg) +
           QStringLiteral(" and geographicreference.referenceorder = ") + QString::number(kReferenceOrderUsed);
}

// A position that can be placed: both coordinates finite numbers.
bool placeable(const Statement& st, int easting, int northing, SiteRow& into)
{
    const std::optional<double> e = st.number(easting), n = st.number(northing);
    if (!e || !n || !std::isfinite(*e) || !std::isfinite(*n))
        return false;
    into.easting = *e;
    into.northing = *n;
    return true;
}

}  // namespace

std::vector<SiteRow> licenceSitePositions(const Connection& c, qint64 licenceId)
{
    Statement st = c.database().prepare(
        QStringLiteral("select location.locationname, geographicreference.easting, geographicreference.northing "
                       "from transmitconfiguration, location, geographicreference where "
                       "transmitconfiguration.licenceid = ?1 and transmitconfiguration.locationid = "
                       "location.locationid and location.locationid = geographicreference.locationid and ") +
        usedGridReference() + QStringLiteral(" order by transmitconfiguration.rowid"));
    st.bind(1, licenceId);
    std::vector<SiteRow> sites;
    while (st.next()) {
        SiteRow s;
        s.name = st.shownText(0);
        if (placeable(st, 1, 2, s))
            sites.push_back(s);
    }
    return sites;
}

std::vector<SiteLicence> siteLicences(const Connection& c, const Criteria& criteria, int maxRows)
{
    Statement st = c.database().prepare(
        QStringLiteral("select location.locationname, geographicreference.easting, geographicreference.northing, "
                       "issuingoffice.officecode, licence.licencenumber from spectrum, transmitconfiguration, "
                       "location, geographicreference, licence left join issuingoffice on location.districtid = "
                       "issuingoffice.officeid where spectrum.licenceid = transmitconfiguration.licenceid and "
                       "transmitconfiguration.locationid = location.locationid and spectrum.licenceid = "
                       "licence.licenceid and location.locationid = geographicreference.locationid and ") +
        criteria.text() + QStringLiteral(" and spectrumlow > 0 and ") + notManagementRight() + QStringLiteral(" and ") +
        usedGridReference() + QStringLiteral(" and ") + listedStatusFilter() +
        QStringLiteral(" ORDER BY geographicreference.northing DESC"));
    std::vector<SiteLicence> rows;
    while (int(rows.size()) < maxRows && st.next()) {
        SiteLicence r;
        r.site.name = st.shownText(0);
        if (!placeable(st, 1, 2, r.site))
            continue;
        r.district = st.shownText(3);
        r.licenceNumber = st.shownText(4);
        rows.push_back(r);
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Map sheets

std::vector<MapSheet> mapSheets(const Connection& c, int maxRows)
{
    Statement st = c.database().prepare(QStringLiteral("select map, district from mapdistrict"));
    const int sheet = st.column(QStringLiteral("map"));
    const int district = st.column(QStringLiteral("district"));
    std::vector<MapSheet> out;
    while (int(out.size()) < maxRows && st.next())
        if (!st.isNull(sheet) && !st.isNull(district))
            out.push_back({st.shownText(sheet), st.shownText(district)});
    return out;
}

}  // namespace reg
