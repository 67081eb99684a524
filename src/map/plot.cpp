// Plotting the sites of the listed licences, and stepping from site to site.

#include "base/numbers.h"
#include "base/shown_text.h"
#include "forms/widgets.h"
#include "map/coordinates.h"
#include "map/geometry.h"
#include "map/site_map.h"

#include <algorithm>
#include <cmath>

namespace nzmap {

using base::signSpacedText;

QString SiteMap::steppingText(int position, int total)
{
    return QStringLiteral("Licence ") + signSpacedText(position) + QStringLiteral(" of ") + signSpacedText(total) +
           QStringLiteral(" licences plotted on map ");
}

void SiteMap::hideSites()
{
    c_.cmdSiteStepSouth->setShownFlag(false);
    c_.cmdSiteStepNorth->setShownFlag(false);
    lastSiteIndex = 0;
    siteNames.clear();
    siteMapX.clear();
    siteMapY.clear();
    siteEasting.clear();
    siteNorthing.clear();
    (*c_.lblLocationRef)(0)->setVisible(false);
    (*c_.lblLocationRef)(1)->setVisible(false);
    if (extraSiteMarkers > 0) {
        c_.lblLocationRef->unloadFrom(2);
        extraSiteMarkers = 0;
    }
    c_.cmdMapGrid->setShownFlag(false);
    hideMapView();
}

void SiteMap::showLicenceSites(const std::vector<reg::SiteRow>& sites, double selectedDistrictId)
{
    hideSites();
    plottedDistrictId = selectedDistrictId;
    if (sites.empty()) {
        c_.StatusBar1->setPanelText(3, QString());
        return;
    }
    const int n = int(sites.size());
    lastSiteIndex = qint16(n - 1);
    siteNames.assign(size_t(n), QString());
    siteMapX.assign(size_t(n), 0);
    siteMapY.assign(size_t(n), 0);
    if (n >= 3) {
        for (int i = 2; i <= n - 1; ++i)
            c_.lblLocationRef->load(i);
        extraSiteMarkers = qint16(n - 2);
    }
    auto pixel = [](double v) { return qint16(std::clamp(std::nearbyint(v), -32768.0, 32767.0)); };
    for (int i = 0; i < n; ++i) {
        siteNames[size_t(i)] = base::boundedText(base::trimBlanks(sites[size_t(i)].name), base::kShownTextMax);
        siteMapX[size_t(i)] = pixel(columnOf(sites[size_t(i)].easting));
        siteMapY[size_t(i)] = pixel(rowOf(sites[size_t(i)].northing));
        siteEasting.push_back(sites[size_t(i)].easting);
        siteNorthing.push_back(sites[size_t(i)].northing);
    }
    chooseSiteView();
    centreMapView();
    c_.vsbMapZoom->setValue(1);
    c_.grid->setShownFlag(false);
    c_.cmdMapGrid->setShownFlag(true);
    if (mapShown) {
        c_.cmdMapGrid->setCaption("Display Grid");
        toggleMapView();
    }
    if (plottedDistrictId > 0)
        c_.StatusBar1->setPanelText(3, signSpacedText(n) + (n > 1 ? QStringLiteral(" Licences plotted on map ")
                                                             : QStringLiteral(" Licence plotted on map ")));
}

void SiteMap::chooseSiteView()
{
    const int n = lastSiteIndex + 1;
    if (plottedDistrictId <= 0) {
        viewOriginX = qint16(siteMapX[0] - 197);
        viewOriginY = qint16(std::max(0, siteMapY[0] - 197));
        c_.cmdSiteStepSouth->setShownFlag(true);
        c_.cmdSiteStepNorth->setShownFlag(true);
        currentSiteIndex = 0;
        c_.StatusBar1->setPanelText(3, steppingText(1, n));
    } else {
        double mx = 0, my = 0;
        for (int i = 0; i < n; ++i) {
            mx += siteMapX[size_t(i)];
            my += siteMapY[size_t(i)];
        }
        mx /= n;
        my /= n;
        viewOriginX = qint16(std::nearbyint(mx - 197));
        viewOriginY = qint16(std::nearbyint(my - 197));
    }
}

void SiteMap::stepSite(bool north)
{
    if (siteMapX.empty())
        return;  // nothing plotted (the step buttons are hidden then)
    if (north) {
        if (--currentSiteIndex < 0)
            currentSiteIndex = lastSiteIndex;
    } else {
        if (++currentSiteIndex > lastSiteIndex)
            currentSiteIndex = 0;
    }
    const size_t i = size_t(currentSiteIndex);
    viewOriginX = qint16(std::clamp(siteMapX[i] - 197, 0, 900));
    viewOriginY = qint16(std::clamp(siteMapY[i] - 197, 0, 1350));
    centreMapView();
    showSiteName(currentSiteIndex);
    c_.StatusBar1->setPanelText(3, steppingText(currentSiteIndex + 1, lastSiteIndex + 1));
}

void SiteMap::cmdSiteStepNorth_Click() { stepSite(true); }
void SiteMap::cmdSiteStepSouth_Click() { stepSite(false); }

void SiteMap::lblLocationRef_MouseMove(int index, int, int, double, double)
{
    if (index < 0 || size_t(index) >= siteNames.size())
        return;
    c_.picMap->setPointer(QCursor(Qt::CrossCursor));
    showSiteName(index);
    c_.lblMapDistrict->setVisible(false);
    // The site's position as today's maps give it, in the tooltips of the map and the marker.
    const QString where = siteNames[size_t(index)] + QLatin1Char('\n') +
                          positionText(positionOfNzmg(siteEasting[size_t(index)], siteNorthing[size_t(index)]));
    c_.picMap->setToolTipText(where);
    (*c_.lblLocationRef)(index)->setToolTipText(where);
}

}  // namespace nzmap
