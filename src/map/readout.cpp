// The map readout: the table of sheets and their districts, the NZMG
// position, sheet and district under the pointer, the readout menus and the
// markers' blink.

#include "base/log.h"
#include "base/shown_text.h"
#include "forms/widgets.h"
#include "map/coordinates.h"
#include "map/geometry.h"
#include "map/site_map.h"
#include "register/connection.h"

#include <QCursor>

namespace nzmap {

void SiteMap::loadMapSheetDistricts(const reg::Connection& c)
{
    mapSheetNames.clear();
    mapSheetDistricts.clear();
    // Rows with an empty sheet or district name say nothing and are left
    // out. The table holds at most 32767 sheets (its count is 16-bit), and
    // texts no longer than a name can be: the rest of the table is not read.
    for (const reg::MapSheet& m : reg::mapSheets(c, 32767)) {
        mapSheetNames.push_back(base::boundedText(m.sheet, base::kShownTextMax));
        mapSheetDistricts.push_back(base::boundedText(m.district, base::kShownTextMax));
    }
    mapSheetCount = qint16(mapSheetNames.size());
    mapSheetNames.emplace_back();
    mapSheetDistricts.emplace_back();
    qCInfo(base::lcMap) << mapSheetCount << "map sheets read";
}

void SiteMap::picMap_MouseMove(int button, int, double x, double y)
{
    c_.picMap->setPointer(QCursor(Qt::ArrowCursor));
    c_.lblLocationName->setVisible(false);
    const ClipRect c{clipX, clipY, clipWidth, clipHeight};
    const int baseClip = baseClipWidth > 0 ? baseClipWidth : kBaseClip;
    const double mapX = pointerColumn(x, c, baseClip);
    const double mapY = pointerRow(y, c, baseClip);
    const double e = eastingOf(mapX);
    const double n = northingOf(mapY);
    c_.txtEasting->setText(gridText(e));
    c_.txtNorthing->setText(gridText(n));
    const QString sheet = sheetLetter(e) + sheetRowText(c_.txtNorthing->text().toDouble());
    c_.txtMap->setText(sheet);
    c_.txtReference->setText(gridReference(c_.txtEasting->text(), c_.txtNorthing->text()));
    // Beside the NZMG readout, the position as today's maps give it.
    c_.picMap->setToolTipText(positionText(positionOfNzmg(e, n)));
    int i = 0;
    while (i < mapSheetCount && mapSheetNames[size_t(i)] != sheet)
        ++i;
    if (i < mapSheetCount) {
        if (c_.mnuNZMS260->isChecked()) {
            c_.txtMap->setShownFlag(true);
            c_.txtReference->setShownFlag(true);
        }
        if (c_.mnuMapDistrict->isChecked()) {
            c_.lblMapDistrict->setCaption(mapSheetDistricts[size_t(i)]);
            c_.lblMapDistrict->setLeft(x + 200);
            c_.lblMapDistrict->setTop(y + 200);
            c_.lblMapDistrict->setVisible(true);
        }
    } else {
        c_.lblMapDistrict->setVisible(false);
        c_.txtReference->setShownFlag(false);
        c_.txtMap->setShownFlag(false);
    }
    dragMap(button, x, y);
}

void SiteMap::imgMapContainer_MouseMove(int, int, double, double)
{
    c_.lblMapDistrict->setVisible(false);
    c_.form->setMousePointer(forms::vbDefault);
    clearReadout();
}

void SiteMap::clearReadout()
{
    c_.txtEasting->setText(QString());
    c_.txtNorthing->setText(QString());
    c_.txtMap->setShownFlag(false);
    c_.txtReference->setShownFlag(false);
}

void SiteMap::mnuMapDistrict_Click()
{
    const bool on = !c_.mnuMapDistrict->isChecked();
    c_.mnuMapDistrict->setChecked(on);
    c_.mnuMapDistrict->setCaption(on ? "Map District On" : "Map District Off");
}

void SiteMap::mnuNZMS260_Click()
{
    const bool on = !c_.mnuNZMS260->isChecked();
    c_.mnuNZMS260->setChecked(on);
    c_.mnuNZMS260->setCaption(on ? "NZMS260 On" : "NZMS260 Off");
}

void SiteMap::mnuMapLabels_Click()
{
    const bool opaque = !c_.mnuMapLabels->isChecked();
    c_.mnuMapLabels->setChecked(opaque);
    c_.mnuMapLabels->setCaption(opaque ? "Map Labels Opaque" : "Map Labels Transparent");
    c_.lblLocationName->setBackStyle(opaque ? 1 : 0);
    c_.lblMapDistrict->setBackStyle(opaque ? 1 : 0);
}

// The markers blink between black and green.
void SiteMap::tmrFlash_Timer()
{
    const QColor green(0x00, 0xFF, 0x00), black(0, 0, 0);
    for (int i = 0; i <= lastSiteIndex; ++i) {
        forms::Label* m = c_.lblLocationRef->at(i);
        if (m)
            m->setBackColor(m->backColor() == green ? black : green);
    }
}

void SiteMap::mnuFlash_Click()
{
    if (c_.mnuFlash->isChecked()) {
        c_.mnuFlash->setChecked(false);
        c_.mnuFlash->setCaption("Label Flash Off");
        c_.tmrFlash->setEnabled(false);
        for (int i = 0; i <= lastSiteIndex; ++i)
            if (forms::Label* m = c_.lblLocationRef->at(i))
                m->setBackColor(QColor(0, 0, 0));
    } else {
        c_.mnuFlash->setChecked(true);
        c_.mnuFlash->setCaption("Label Flash On");
        c_.tmrFlash->setEnabled(true);
    }
}

}  // namespace nzmap
