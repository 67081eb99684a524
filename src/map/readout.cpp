// The map readout's table of sheets and their districts.

#include "map/geometry.h"
#include "shell/frmspectrum.h"

#include <QCursor>

namespace shell {

void FrmSpectrum::loadMapSheetDistricts()
{
    reg::Recordset rs = registerConnection_->execute(QStringLiteral("select map, district from mapdistrict"));
    map.mapSheetNames.clear();
    map.mapSheetDistricts.clear();
    // Rows with an empty sheet or district name say nothing and are skipped.
    // The table holds at most 32767 sheets (its count is 16-bit), and texts
    // no longer than a name can be: the rest of the table is not read.
    for (; !rs.eof() && map.mapSheetNames.size() < 32767; rs.moveNext()) {
        const QVariant sheet = rs.value("map");
        const QVariant district = rs.value("district");
        if (!sheet.isNull() && !district.isNull()) {
            map.mapSheetNames.push_back(reg::boundedText(sheet.toString(), reg::kShownTextMax));
            map.mapSheetDistricts.push_back(reg::boundedText(district.toString(), reg::kShownTextMax));
        }
    }
    rs.close();
    map.mapSheetCount = qint16(map.mapSheetNames.size());
    map.mapSheetNames.emplace_back();
    map.mapSheetDistricts.emplace_back();
}

}  // namespace shell

namespace shell {

void FrmSpectrum::picMap_MouseMove(int button, int, double x, double y)
{
    picMap->setPointer(QCursor(Qt::ArrowCursor));
    lblLocationName->setVisible(false);
    const nzmap::ClipRect c{map.clipX, map.clipY, map.clipWidth, map.clipHeight};
    const double base = map.baseClipWidth > 0 ? map.baseClipWidth : nzmap::kBaseClip;
    const double mapX = nzmap::pointerColumn(x, c, int(base));
    const double mapY = nzmap::pointerRow(y, c, int(base));
    const double e = nzmap::eastingOf(mapX);
    const double n = nzmap::northingOf(mapY);
    txtEasting->setText(nzmap::gridText(e));
    txtNorthing->setText(nzmap::gridText(n));
    const QString sheet = nzmap::sheetLetter(e) + nzmap::sheetRowText(txtNorthing->text().toDouble());
    txtMap->setText(sheet);
    txtReference->setText(nzmap::gridReference(txtEasting->text(), txtNorthing->text()));
    int i = 0;
    while (i < map.mapSheetCount && map.mapSheetNames[size_t(i)] != sheet)
        ++i;
    if (i < map.mapSheetCount) {
        if (mnuNZMS260->isChecked()) {
            txtMap->setShownFlag(true);
            txtReference->setShownFlag(true);
        }
        if (mnuMapDistrict->isChecked()) {
            lblMapDistrict->setCaption(map.mapSheetDistricts[size_t(i)]);
            lblMapDistrict->setLeft(x + 200);
            lblMapDistrict->setTop(y + 200);
            lblMapDistrict->setVisible(true);
        }
    } else {
        lblMapDistrict->setVisible(false);
        txtReference->setShownFlag(false);
        txtMap->setShownFlag(false);
    }
    dragMap(button, x, y);
}

void FrmSpectrum::imgMapContainer_MouseMove(int, int, double, double)
{
    lblMapDistrict->setVisible(false);
    setMousePointer(forms::vbDefault);
    txtEasting->setText(QString());
    txtNorthing->setText(QString());
    txtMap->setShownFlag(false);
    txtReference->setShownFlag(false);
}

void FrmSpectrum::mnuMapDistrict_Click()
{
    const bool on = !mnuMapDistrict->isChecked();
    mnuMapDistrict->setChecked(on);
    mnuMapDistrict->setCaption(on ? "Map District On" : "Map District Off");
}

void FrmSpectrum::mnuNZMS260_Click()
{
    const bool on = !mnuNZMS260->isChecked();
    mnuNZMS260->setChecked(on);
    mnuNZMS260->setCaption(on ? "NZMS260 On" : "NZMS260 Off");
}

void FrmSpectrum::mnuMapLabels_Click()
{
    const bool opaque = !mnuMapLabels->isChecked();
    mnuMapLabels->setChecked(opaque);
    mnuMapLabels->setCaption(opaque ? "Map Labels Opaque" : "Map Labels Transparent");
    lblLocationName->setBackStyle(opaque ? 1 : 0);
    lblMapDistrict->setBackStyle(opaque ? 1 : 0);
}

// The markers blink between black and green.
void FrmSpectrum::tmrFlash_Timer()
{
    const QColor green(0x00, 0xFF, 0x00), black(0, 0, 0);
    for (int i = 0; i <= map.lastSiteIndex; ++i) {
        forms::Label* m = lblLocationRef->at(i);
        if (m)
            m->setBackColor(m->backColor() == green ? black : green);
    }
}

void FrmSpectrum::mnuFlash_Click()
{
    if (mnuFlash->isChecked()) {
        mnuFlash->setChecked(false);
        mnuFlash->setCaption("Label Flash Off");
        tmrFlash->setEnabled(false);
        for (int i = 0; i <= map.lastSiteIndex; ++i)
            if (forms::Label* m = lblLocationRef->at(i))
                m->setBackColor(QColor(0, 0, 0));
    } else {
        mnuFlash->setChecked(true);
        mnuFlash->setCaption("Label Flash On");
        tmrFlash->setEnabled(true);
    }
}

}  // namespace shell
