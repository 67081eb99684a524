// The listing: reading a listing's licences and sites, and showing them in
// the grid and on the map.

#include "base/log.h"
#include "base/numbers.h"
#include "base/shown_text.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "inspect/listing.h"
#include "inspect/printing.h"
#include "map/site_map.h"
#include "register/connection.h"

namespace inspect {

Listing::Listing(const Controls& controls, const reg::Connection& c, nzmap::SiteMap& map)
    : c_(controls), register_(c), map_(map)
{
}

Listing::~Listing() = default;

void Listing::reportListingFailure(const reg::RegisterError& e)
{
    qCInfo(base::lcListing).noquote() << "a listing failed:" << e.message();
    // A listing the register took too long to answer says just that.
    forms::msgBox(e.tooLong() ? e.message()
                              : QStringLiteral("The register could not be read for this listing.\r\n") + e.message(),
                  forms::vbOKOnly | forms::vbExclamation);
}

bool Listing::readListing(const reg::Criteria& criteria, ListingRows& rows)
{
    const forms::BusyPointer busy;
    rows.criteria = criteria;
    try {
        rows.sites = reg::siteRows(register_, criteria, nzmap::SiteMap::kMaxSites, rows.moreSites);
        rows.grid = reg::licenceRows(register_, criteria, kMaxGridRows - 1);
    } catch (const reg::RegisterError& e) {
        reportListingFailure(e);
        return false;
    }
    return true;
}

void Listing::showListing(ListingRows&& rows, double selectedDistrictId)
{
    map_.showLicenceSites(rows.sites, selectedDistrictId);
    siteCriteria_ = rows.sites.empty() ? std::nullopt : std::optional<reg::Criteria>(rows.criteria);
    const bool moreLicences = rows.grid.more;
    showLicenceGrid(std::move(rows.grid));
    if (!rows.moreSites && !moreLicences)
        return;
    QString text = QStringLiteral("The listing has more rows than can be shown.");
    if (moreLicences)
        text += QStringLiteral("\r\nThe first %1 licences are listed.").arg(kMaxGridRows - 1);
    if (rows.moreSites)
        text += QStringLiteral("\r\nThe first %1 sites are plotted on the map.").arg(nzmap::SiteMap::kMaxSites);
    qCInfo(base::lcListing).noquote() << "a listing was cut:" << text;
    forms::msgBox(text, forms::vbOKOnly | forms::vbInformation);
}

void Listing::showLicenceGrid(reg::LicenceRows&& rows)
{
    forms::FlexGrid* grid = c_.MSHFlexGrid1;
    if (!rows.rows.empty()) {
        const int fields = int(rows.fieldNames.size());
        // Each row's licence, for the sites' positions when the listing is taken away.
        const int licence = int(rows.fieldNames.indexOf(QStringLiteral("licenceid")));
        gridLicences_.clear();
        for (const QStringList& r : rows.rows)
            gridLicences_.push_back(licence >= 0 ? r.value(licence).toLongLong() : 0);
        // Column 0 is the grid's fixed column, row 0 its heading row.
        std::vector<QStringList> cells;
        cells.reserve(rows.rows.size() + 1);
        cells.emplace_back();
        for (int i = 0; i <= fields; ++i)
            cells.back() << QString();
        for (const QStringList& r : rows.rows) {
            QStringList row{QString()};
            for (const QString& v : r)
                row << base::boundedText(v, base::kShownTextMax);
            cells.push_back(row);
        }
        rows.rows.clear();
        grid->setMatrix(std::move(cells), fields + 1);
        grid->setMergeCol(1, true);
        grid->setMergeCol(2, true);
        static const double widths[10] = {0, 1200, 1200, 850, 4000, 450, 700, 450, 4000, 500};
        for (int c = 0; c < 10 && c < fields + 1; ++c)
            grid->setColWidth(c, widths[c]);
        static const char* headings[10] = {nullptr, "Low (MHz)", "High (MHz)", "Channel", "Site Name",
                                           "Dist",  "Licence",   "M/R",        "Licensee", "ID"};
        const int n = grid->rows();
        for (int c = 1; c <= 9 && c < fields + 1; ++c) {
            grid->setTextMatrix(0, c, QString::fromLatin1(headings[c]));
            if (c == 1 || c == 2) {
                for (int r = 1; r < n; ++r)
                    grid->setTextMatrix(r, c, base::sixDecimalText(grid->textMatrix(r, c).toDouble()));
            } else if (c == 9) {
                for (int r = 1; r < n; ++r)
                    grid->setTextMatrix(r, c, QString::number(r));
            }
        }
        grid->refresh();
        if (!map_.mapShown)
            grid->setShownFlag(true);
        c_.cmdPrintGrid->setShownFlag(true);
    }
    gridRowCount = qint16(grid->rows());
}

void Listing::MSHFlexGrid1_MouseMove(int, int, double, double) { c_.form->setMousePointer(forms::vbDefault); }

}  // namespace inspect
