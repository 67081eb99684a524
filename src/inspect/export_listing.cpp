// Taking the listing away: the grid as CSV, with each site's coordinates of
// today, and the plotted sites as GeoJSON, to files the user chooses.

#include "base/log.h"
#include "base/shown_text.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "inspect/export.h"
#include "inspect/listing.h"
#include "map/coordinates.h"
#include "map/site_map.h"
#include "register/connection.h"

#include <QHash>
#include <cmath>

namespace inspect {

namespace {

// A site's coordinates of today as the files give them: latitude and
// longitude to six decimals, NZTM2000 to the metre, the Topo50 reference.
QStringList coordinateFields(const nzmap::Position& p)
{
    if (!p.valid)
        return {QString(), QString(), QString(), QString(), QString()};
    return {QString::number(p.latitude, 'f', 6), QString::number(p.longitude, 'f', 6),
            QString::number(qint64(std::llround(p.nztmEasting))), QString::number(qint64(std::llround(p.nztmNorthing))),
            p.topo50Reference};
}

}  // namespace

void Listing::reportWriteFailure(const QString& path, const QString& reason)
{
    qCInfo(base::lcListing).noquote() << "the listing was not written to" << path << ":" << reason;
    forms::msgBox(QStringLiteral("The listing could not be written to %1.\r\n%2").arg(path, reason),
                  forms::vbOKOnly | forms::vbExclamation);
}

QStringList Listing::exportGridHeader()
{
    return {"Low (MHz)",           "High (MHz)",           "Channel",          "Site Name",
            "Dist",                "Licence",              "M/R",              "Licensee",
            "ID",                  "Latitude (NZGD2000)", "Longitude (NZGD2000)", "NZTM2000 Easting",
            "NZTM2000 Northing",   "Topo50"};
}

bool Listing::exportGrid(const QString& path, QString& reason)
{
    forms::FlexGrid* grid = c_.MSHFlexGrid1;
    std::vector<QStringList> rows{exportGridHeader()};
    QHash<qint64, std::vector<reg::SiteRow>> positions;  // a licence's sites, read once
    try {
        for (int r = 1; r < grid->rows(); ++r) {
            QStringList row;
            for (int c = 1; c <= 9 && c < grid->cols(); ++c)
                row << grid->textMatrix(r, c);
            // The row's site among its licence's, by the name the grid shows.
            nzmap::Position where;
            const qint64 licence = size_t(r - 1) < gridLicences_.size() ? gridLicences_[size_t(r - 1)] : 0;
            if (!positions.contains(licence))
                positions.insert(licence, reg::licenceSitePositions(register_, licence));
            for (const reg::SiteRow& s : positions[licence])
                if (base::boundedText(s.name, base::kShownTextMax) == grid->textMatrix(r, 4)) {
                    where = nzmap::positionOfNzmg(s.easting, s.northing);
                    break;
                }
            rows.push_back(row + coordinateFields(where));
        }
    } catch (const reg::RegisterError& e) {
        reason = e.message();
        return false;
    }
    return writeWhole(path, csvText(rows), reason);
}

bool Listing::exportSites(const QString& path, QString& reason)
{
    std::vector<SiteFeature> features;
    if (siteCriteria_) {
        try {
            // One feature a site: its districts and licences gathered.
            QHash<QString, size_t> at;
            for (const reg::SiteLicence& s : reg::siteLicences(register_, *siteCriteria_, 1000000)) {
                const QString key = s.site.name + QLatin1Char('\x1f') + QString::number(s.site.easting, 'g', 17) +
                                    QLatin1Char('\x1f') + QString::number(s.site.northing, 'g', 17);
                if (!at.contains(key)) {
                    const nzmap::Position p = nzmap::positionOfNzmg(s.site.easting, s.site.northing);
                    if (!p.valid)
                        continue;
                    at.insert(key, features.size());
                    features.push_back({s.site.name, p.latitude, p.longitude, p.nztmEasting, p.nztmNorthing,
                                        p.topo50Reference, {}, {}});
                }
                SiteFeature& f = features[at.value(key)];
                if (!s.district.isEmpty() && !f.districts.contains(s.district))
                    f.districts << s.district;
                if (!f.licences.contains(s.licenceNumber))
                    f.licences << s.licenceNumber;
            }
        } catch (const reg::RegisterError& e) {
            reason = e.message();
            return false;
        }
    }
    return writeWhole(path, geoJsonText(features), reason);
}

void Listing::exportToChosenFile(const QString& title, const QString& suggested, const QString& filter,
                                 bool (Listing::*write)(const QString&, QString&))
{
    const QString path = forms::chooseSaveFile(title, suggested, filter);
    if (path.isEmpty())
        return;
    QString reason;
    bool written = false;
    {
        const forms::BusyPointer busy;
        written = (this->*write)(path, reason);
    }
    if (!written)
        reportWriteFailure(path, reason);
}

void Listing::mnuExportGrid_Click()
{
    if (gridLicences_.empty()) {
        forms::msgBox(QStringLiteral("There is no listing in the grid to export."), forms::vbOKOnly | forms::vbInformation);
        return;
    }
    exportToChosenFile(QStringLiteral("Export Grid"), QStringLiteral("listing.csv"),
                       QStringLiteral("CSV files (*.csv);;All files (*)"), &Listing::exportGrid);
}

void Listing::mnuExportSites_Click()
{
    if (!siteCriteria_) {
        forms::msgBox(QStringLiteral("There are no sites plotted to export."), forms::vbOKOnly | forms::vbInformation);
        return;
    }
    exportToChosenFile(QStringLiteral("Export Sites"), QStringLiteral("sites.geojson"),
                       QStringLiteral("GeoJSON files (*.geojson *.json);;All files (*)"), &Listing::exportSites);
}

}  // namespace inspect
