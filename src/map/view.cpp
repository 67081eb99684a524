// The map view: the piece of the relief map shown for the pan and zoom bars,
// the markers on it, dragging, and the switch between map and grid.

#include "forms/widgets.h"
#include "map/geometry.h"
#include "map/site_map.h"

#include <QCursor>
#include <algorithm>
#include <cmath>

namespace nzmap {

SiteMap::SiteMap(const Controls& controls, const QImage& reliefMap, const QCursor& grabbingHand)
    : c_(controls), reliefMap_(reliefMap), grabbingHand_(grabbingHand)
{
}

void SiteMap::drawMapView()
{
    if (baseClipWidth == 0)
        return;  // no view has been set yet
    c_.lblLocationName->setVisible(false);
    const ClipRect c =
        clipRect(c_.hsbEasting->value(), c_.vsbNorthing->value(), c_.vsbMapZoom->value(), baseClipWidth);
    clipX = qint16(c.x);
    clipY = qint16(c.y);
    clipWidth = qint16(c.width);
    clipHeight = qint16(c.height);
    // The piece in the map's own pixels; from the copy of twice the
    // resolution, and as many device pixels as the box has, on a
    // high-density screen.
    const double density = reliefMap_.devicePixelRatio();
    const QSize target = c_.picMap->clientPixelSize() * density;
    const QImage piece = reliefMap_.copy(qRound(c.x * density), qRound(c.y * density), qRound(c.width * density),
                                         qRound(c.height * density));
    QImage shown = piece.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(density);
    c_.picMap->setPicture(shown);
    for (int i = 0; i <= lastSiteIndex && i < int(siteMapX.size()); ++i) {
        forms::Label* m = (*c_.lblLocationRef)(i);
        m->setTop(markerTop(siteMapY[size_t(i)], c, baseClipHeight));
        m->setLeft(markerLeft(siteMapX[size_t(i)], c, baseClipWidth));
        m->setVisible(true);
    }
    if (!siteNames.empty())
        showSiteName(0);
}

void SiteMap::showSiteName(int i)
{
    forms::Label* m = (*c_.lblLocationRef)(i);
    c_.lblLocationName->setLeft(m->left() + 50);
    c_.lblLocationName->setTop(m->top() + 50);
    c_.lblLocationName->setCaption(siteNames[size_t(i)]);
    c_.lblLocationName->setVisible(true);
    c_.lblLocationName->zOrder(0);
}

void SiteMap::centreMapView()
{
    baseClipWidth = kBaseClip;
    baseClipHeight = kBaseClip;
    c_.hsbEasting->setValue(std::clamp<int>(viewOriginX, 0, 900));
    c_.vsbNorthing->setValue(std::clamp<int>(viewOriginY, 0, 1350));
    drawMapView();
}

QList<forms::Control*> SiteMap::mapGroup() const
{
    return {c_.picMap,        c_.hsbEasting,     c_.vsbNorthing, c_.vsbMapZoom,  c_.txtEasting,
            c_.txtNorthing,   c_.txtPlusLabel1,  c_.txtMinusLabel1, c_.txtMap,   c_.txtReference};
}

void SiteMap::showMapGroup(bool shown)
{
    // The sheet boxes show only while the pointer is over a listed sheet.
    for (forms::Control* c : mapGroup())
        c->setShownFlag(shown && c != c_.txtMap && c != c_.txtReference);
    for (forms::Label* l : {c_.lblEasting, c_.lblNorthing, c_.lblMapZoom})
        l->setVisible(shown);
}

void SiteMap::hideMapView()
{
    showMapGroup(false);
    c_.grid->setShownFlag(true);
}

void SiteMap::toggleMapView()
{
    if (c_.picMap->isShownFlag()) {
        showMapGroup(false);
        c_.grid->setShownFlag(true);
    } else {
        showMapGroup(true);
        c_.grid->setShownFlag(false);
    }
}

void SiteMap::cmdMapGrid_Click()
{
    if (mapShown) {
        mapShown = false;
        c_.cmdMapGrid->setCaption("Display Map");
        hideMapView();
    } else {
        mapShown = true;
        c_.cmdMapGrid->setCaption("Display Grid");
        toggleMapView();
    }
}

void SiteMap::picMap_MouseDown(int, int, double x, double y)
{
    dragStartX = qint16(std::nearbyint(x));
    dragStartY = qint16(std::nearbyint(y));
}

void SiteMap::dragMap(int button, double x, double y)
{
    if (button == forms::vbLeftButton) {
        c_.picMap->setPointer(grabbingHand_);
        const float e = float(c_.hsbEasting->value()) - float(x - dragStartX) / 200.0f;
        if (e >= 0 && e <= 900)
            c_.hsbEasting->setValue(int(std::nearbyint(e)));
        const float n = float(c_.vsbNorthing->value()) - float(y - dragStartY) / 200.0f;
        if (n >= 0 && n <= 1350)
            c_.vsbNorthing->setValue(int(std::nearbyint(n)));
    }
    c_.picMap->setPointer(QCursor(Qt::ArrowCursor));
}

}  // namespace nzmap
