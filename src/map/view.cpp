// The map view: the piece of the relief map shown for the pan and zoom bars,
// the markers on it, dragging, and the switch between map and grid.

#include "map/geometry.h"
#include "shell/frmspectrum.h"
#include "shell/pictures.h"

#include <QCursor>
#include <algorithm>
#include <cmath>

namespace shell {

void FrmSpectrum::drawMapView()
{
    if (map.baseClipWidth == 0)
        return;  // no view has been set yet
    lblLocationName->setVisible(false);
    const nzmap::ClipRect c =
        nzmap::clipRect(hsbEasting->value(), vsbNorthing->value(), vsbMapZoom->value(), map.baseClipWidth);
    map.clipX = qint16(c.x);
    map.clipY = qint16(c.y);
    map.clipWidth = qint16(c.width);
    map.clipHeight = qint16(c.height);
    const QSize target = picMap->clientPixelSize();
    const QImage piece = reliefMap.copy(c.x, c.y, c.width, c.height);
    picMap->setPicture(piece.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    for (int i = 0; i <= map.lastSiteIndex && i < int(map.siteMapX.size()); ++i) {
        forms::Label* m = (*lblLocationRef)(i);
        m->setTop(nzmap::markerTop(map.siteMapY[size_t(i)], c, map.baseClipHeight));
        m->setLeft(nzmap::markerLeft(map.siteMapX[size_t(i)], c, map.baseClipWidth));
        m->setVisible(true);
    }
    if (!map.siteNames.empty())
        showSiteName(0);
}

void FrmSpectrum::showSiteName(int i)
{
    forms::Label* m = (*lblLocationRef)(i);
    lblLocationName->setLeft(m->left() + 50);
    lblLocationName->setTop(m->top() + 50);
    lblLocationName->setCaption(map.siteNames[size_t(i)]);
    lblLocationName->setVisible(true);
    lblLocationName->zOrder(0);
}

void FrmSpectrum::centreMapView()
{
    map.baseClipWidth = nzmap::kBaseClip;
    map.baseClipHeight = nzmap::kBaseClip;
    hsbEasting->setValue(std::clamp<int>(map.viewOriginX, 0, 900));
    vsbNorthing->setValue(std::clamp<int>(map.viewOriginY, 0, 1350));
    drawMapView();
}

QList<forms::Control*> FrmSpectrum::mapGroup() const
{
    return {picMap,        hsbEasting,     vsbNorthing, vsbMapZoom,  txtEasting,
            txtNorthing,   txtPlusLabel1,  txtMinusLabel1, txtMap,   txtReference};
}

void FrmSpectrum::showMapGroup(bool shown)
{
    // The sheet boxes show only while the pointer is over a listed sheet.
    for (forms::Control* c : mapGroup())
        c->setShownFlag(shown && c != txtMap && c != txtReference);
    for (forms::Label* l : {lblEasting, lblNorthing, lblMapZoom})
        l->setVisible(shown);
}

void FrmSpectrum::hideMapView()
{
    showMapGroup(false);
    MSHFlexGrid1->setShownFlag(true);
}

void FrmSpectrum::toggleMapView()
{
    if (picMap->isShownFlag()) {
        showMapGroup(false);
        MSHFlexGrid1->setShownFlag(true);
    } else {
        showMapGroup(true);
        MSHFlexGrid1->setShownFlag(false);
    }
}

void FrmSpectrum::cmdMapGrid_Click()
{
    if (map.mapShown) {
        map.mapShown = false;
        cmdMapGrid->setCaption("Display Map");
        hideMapView();
    } else {
        map.mapShown = true;
        cmdMapGrid->setCaption("Display Grid");
        toggleMapView();
    }
}

void FrmSpectrum::picMap_MouseDown(int, int, double x, double y)
{
    map.dragStartX = qint16(std::nearbyint(x));
    map.dragStartY = qint16(std::nearbyint(y));
}

void FrmSpectrum::dragMap(int button, double x, double y)
{
    if (button == forms::vbLeftButton) {
        picMap->setPointer(grabbingHandCursor());
        const float e = float(hsbEasting->value()) - float(x - map.dragStartX) / 200.0f;
        if (e >= 0 && e <= 900)
            hsbEasting->setValue(int(std::nearbyint(e)));
        const float n = float(vsbNorthing->value()) - float(y - map.dragStartY) / 200.0f;
        if (n >= 0 && n <= 1350)
            vsbNorthing->setValue(int(std::nearbyint(n)));
    }
    picMap->setPointer(QCursor(Qt::ArrowCursor));
}

}  // namespace shell
