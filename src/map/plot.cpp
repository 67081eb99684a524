// Plotting the sites of the listed licences, and stepping from site to site.

#include "map/geometry.h"
#include "shell/frmspectrum.h"
#include "spectrum/numbers.h"

#include <algorithm>
#include <cmath>

namespace shell {

using spectrum::signSpacedText;

QString FrmSpectrum::steppingText(int position, int total)
{
    return QStringLiteral("Licence ") + signSpacedText(position) + QStringLiteral(" of ") + signSpacedText(total) +
           QStringLiteral(" licences plotted on map ");
}

std::vector<SiteRow> FrmSpectrum::readLicenceSites(const QString& criteria, bool& more)
{
    reg::Recordset rs = registerConnection_->execute(nzmap::siteStatement(criteria));
    // Rows without both coordinates cannot be placed and are left out. The
    // map's counters are 16-bit: at most 32767 sites are plotted.
    std::vector<SiteRow> sites;
    more = false;
    for (; !rs.eof(); rs.moveNext()) {
        bool okE = false, okN = false;
        const QVariant e = rs.value("easting"), n = rs.value("northing");
        const double easting = e.toDouble(&okE), northing = n.toDouble(&okN);
        if (e.isNull() || n.isNull() || !okE || !okN || !std::isfinite(easting) || !std::isfinite(northing))
            continue;
        if (sites.size() == size_t(kMaxSites)) {
            more = true;
            break;
        }
        sites.push_back({reg::boundedText(spectrum::trimBlanks(rs.value("locationname").toString()),
                                          reg::kShownTextMax),
                         easting, northing});
    }
    rs.close();
    return sites;
}

void FrmSpectrum::plotLicenceSites()
{
    bool more = false;
    std::vector<SiteRow> sites;
    try {
        sites = readLicenceSites(search.rangeCriteria, more);
    } catch (const reg::RegisterError& e) {
        hideSites();
        reportListingFailure(e);
        return;
    }
    showLicenceSites(sites);
}

void FrmSpectrum::hideSites()
{
    cmdSiteStepSouth->setShownFlag(false);
    cmdSiteStepNorth->setShownFlag(false);
    map.lastSiteIndex = 0;
    map.siteNames.clear();
    map.siteMapX.clear();
    map.siteMapY.clear();
    (*lblLocationRef)(0)->setVisible(false);
    (*lblLocationRef)(1)->setVisible(false);
    if (map.extraSiteMarkers > 0) {
        lblLocationRef->unloadFrom(2);
        map.extraSiteMarkers = 0;
    }
    cmdMapGrid->setShownFlag(false);
    hideMapView();
}

void FrmSpectrum::showLicenceSites(const std::vector<SiteRow>& sites)
{
    hideSites();
    if (sites.empty()) {
        StatusBar1->setPanelText(3, QString());
        return;
    }
    const int n = int(sites.size());
    map.lastSiteIndex = qint16(n - 1);
    map.siteNames.assign(size_t(n), QString());
    map.siteMapX.assign(size_t(n), 0);
    map.siteMapY.assign(size_t(n), 0);
    if (n >= 3) {
        for (int i = 2; i <= n - 1; ++i)
            lblLocationRef->load(i);
        map.extraSiteMarkers = qint16(n - 2);
    }
    auto pixel = [](double v) { return qint16(std::clamp(std::nearbyint(v), -32768.0, 32767.0)); };
    for (int i = 0; i < n; ++i) {
        map.siteNames[size_t(i)] = sites[size_t(i)].name;
        map.siteMapX[size_t(i)] = pixel(nzmap::columnOf(sites[size_t(i)].easting));
        map.siteMapY[size_t(i)] = pixel(nzmap::rowOf(sites[size_t(i)].northing));
    }
    chooseSiteView();
    centreMapView();
    vsbMapZoom->setValue(1);
    MSHFlexGrid1->setShownFlag(false);
    cmdMapGrid->setShownFlag(true);
    if (map.mapShown) {
        cmdMapGrid->setCaption("Display Grid");
        toggleMapView();
    }
    if (filter.selectedDistrictId > 0)
        StatusBar1->setPanelText(3, signSpacedText(n) + (n > 1 ? QStringLiteral(" Licences plotted on map ")
                                                             : QStringLiteral(" Licence plotted on map ")));
}

void FrmSpectrum::chooseSiteView()
{
    const int n = map.lastSiteIndex + 1;
    if (filter.selectedDistrictId <= 0) {
        map.viewOriginX = qint16(map.siteMapX[0] - 197);
        map.viewOriginY = qint16(std::max(0, map.siteMapY[0] - 197));
        cmdSiteStepSouth->setShownFlag(true);
        cmdSiteStepNorth->setShownFlag(true);
        map.currentSiteIndex = 0;
        StatusBar1->setPanelText(3, steppingText(1, n));
    } else {
        double mx = 0, my = 0;
        for (int i = 0; i < n; ++i) {
            mx += map.siteMapX[size_t(i)];
            my += map.siteMapY[size_t(i)];
        }
        mx /= n;
        my /= n;
        map.viewOriginX = qint16(std::nearbyint(mx - 197));
        map.viewOriginY = qint16(std::nearbyint(my - 197));
    }
}

void FrmSpectrum::stepSite(bool north)
{
    if (map.siteMapX.empty())
        return;  // nothing plotted (the step buttons are hidden then)
    if (north) {
        if (--map.currentSiteIndex < 0)
            map.currentSiteIndex = map.lastSiteIndex;
    } else {
        if (++map.currentSiteIndex > map.lastSiteIndex)
            map.currentSiteIndex = 0;
    }
    const size_t i = size_t(map.currentSiteIndex);
    map.viewOriginX = qint16(std::clamp(map.siteMapX[i] - 197, 0, 900));
    map.viewOriginY = qint16(std::clamp(map.siteMapY[i] - 197, 0, 1350));
    centreMapView();
    showSiteName(map.currentSiteIndex);
    StatusBar1->setPanelText(3, steppingText(map.currentSiteIndex + 1, map.lastSiteIndex + 1));
}

void FrmSpectrum::cmdSiteStepNorth_Click() { stepSite(true); }
void FrmSpectrum::cmdSiteStepSouth_Click() { stepSite(false); }

void FrmSpectrum::lblLocationRef_MouseMove(int index, int, int, double, double)
{
    if (index < 0 || size_t(index) >= map.siteNames.size())
        return;
    picMap->setPointer(QCursor(Qt::CrossCursor));
    showSiteName(index);
    lblMapDistrict->setVisible(false);
}

void FrmSpectrum::reportListingFailure(const reg::RegisterError& e)
{
    // A listing the register took too long to answer says just that.
    forms::msgBox(e.tooLong() ? e.message()
                              : QStringLiteral("The register could not be read for this listing.\r\n") + e.message(),
                  forms::vbOKOnly | forms::vbExclamation);
}

bool FrmSpectrum::readListing(const QString& criteria, ListingRows& rows)
{
    const forms::BusyPointer busy;
    try {
        rows.sites = readLicenceSites(criteria, rows.moreSites);
        rows.grid = readLicenceGrid(criteria);
    } catch (const reg::RegisterError& e) {
        reportListingFailure(e);
        return false;
    }
    return true;
}

void FrmSpectrum::showListing(ListingRows&& rows)
{
    showLicenceSites(rows.sites);
    showLicenceGrid(std::move(rows.grid));
    if (!rows.moreSites && !rows.grid.more)
        return;
    QString text = QStringLiteral("The listing has more rows than can be shown.");
    if (rows.grid.more)
        text += QStringLiteral("\r\nThe first %1 licences are listed.").arg(kMaxGridRows - 1);
    if (rows.moreSites)
        text += QStringLiteral("\r\nThe first %1 sites are plotted on the map.").arg(kMaxSites);
    forms::msgBox(text, forms::vbOKOnly | forms::vbInformation);
}

}  // namespace shell
