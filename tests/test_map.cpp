// The map: the view rectangle and markers, the readout with map sheets,
// plotting and stepping, dragging, the map/grid switch and the blink.

#include "map/coordinates.h"
#include "map/geometry.h"
#include "registers.h"
#include "support.h"
#include "window.h"

#include <QtTest>

using namespace shell;
using testing::openWindow;
using testing::TinyRegister;

namespace {

// The map point of a column and row, as NZMG metres.
double eastingAt(int column) { return nzmap::eastingOf(column); }
double northingAt(int row) { return nzmap::northingOf(row); }


// Five licences near 100 MHz: sites in district 2 at known map pixels.
void mapRegister(const QString& path)
{
    TinyRegister r(path);
    r.recordAtSites(100.0, 100.0125, 1, 2, {{"North Site", eastingAt(600), northingAt(400)}});
    r.recordAtSites(100.0, 100.0125, 1, 2, {{"Middle Site", eastingAt(620), northingAt(500)}});
    r.recordAtSites(100.0, 100.0125, 1, 2, {{"South Site", eastingAt(640), northingAt(700)}});
    r.recordAtSites(100.0, 100.0125, 1, 2, {{"  Padded Site ", eastingAt(660), northingAt(800)}});
    r.recordAtSites(100.0, 100.0125, 1, 2, {{"Deep South", eastingAt(680), northingAt(900)}});
    r.recordAtSites(200.0, 200.0125, 1, 3, {{"West A", eastingAt(300), northingAt(600)}});
    r.recordAtSites(200.0, 200.0125, 1, 3, {{"West B", eastingAt(301), northingAt(601)}});
    r.recordAtSites(300.0, 300.0125, 1, 4, {{"Edge", eastingAt(150), northingAt(100)}});
    r.exec("INSERT INTO location VALUES (900, 2, 'No Grid', 1)");
    r.exec("INSERT INTO geographicreference VALUES (900, 900, 6, 1, NULL, NULL)");
    r.exec("INSERT INTO licence VALUES (900, 999999, NULL, 1)");
    r.exec("INSERT INTO transmitconfiguration VALUES (900, 900, 900)");
    r.exec("INSERT INTO spectrum VALUES (900, 900, 100.0, 100.0125, 5, 1, 25, NULL, NULL, NULL)");
    r.exec("INSERT INTO mapdistrict VALUES (NULL, 'Nowhere')");
    r.exec("INSERT INTO mapdistrict VALUES ('O12', 'Second Taranaki')");
    r.recordAtSites(500.0, 500.0125, 1, 2, {{"Unreadable", 1234567, northingAt(500)}});
    r.close();
    // The easting of that site cannot be read.
    TinyRegister::failWhenRead(path, "geographicreference", "easting", "easting = 1234567");
}

// Lists the licences overlapping low to high (restricted to a district above
// 0), as a press lists them; false when the register cannot give them.
bool plot(FrmSpectrum& w, double low, double high, double district)
{
    reg::Criteria c = reg::Criteria::listing({low, reg::Edge::SignSpaced}, {high, reg::Edge::SignSpaced}, true);
    if (district > 0)
        c = c.inDistrict(district);
    inspect::ListingRows rows;
    if (!w.listing().readListing(c, rows))
        return false;
    w.listing().showListing(std::move(rows), district);
    return true;
}

}  // namespace

class TestMap : public QObject {
    Q_OBJECT

private slots:
    void clipRectangle();
    void markerPlaces();
    void readoutArithmetic();
    void plottingCreatesAndRemovesMarkers();
    void steppingWrapsAround();
    void centroidAndEdges();
    void readoutOnTheWindow();
    void draggingIsARateControl();
    void mapAndGridSwitch();
    void blinking();
};

void TestMap::clipRectangle()
{
    nzmap::ClipRect c = nzmap::clipRect(900, 1350, 0);
    QCOMPARE(c.x, 900);
    QCOMPARE(c.y, 1350);
    QCOMPARE(c.x + c.width - 1, 1293);
    QCOMPARE(c.y + c.height - 1, 1743);
    c = nzmap::clipRect(100, 0, 1);
    QCOMPARE(c.x, 100);  // 100.5 goes to the even 100
    QCOMPARE(c.width, 393);
    c = nzmap::clipRect(101, 0, 1);
    QCOMPARE(c.x, 102);  // 101.5 goes to 102
    c = nzmap::clipRect(0, 0, 300);
    QCOMPARE(c.width, 94);
    QCOMPARE(c.height, 94);
    for (int z : {0, 1, 50, 150, 197, 300}) {
        const nzmap::ClipRect r = nzmap::clipRect(400, 400, z);
        QCOMPARE(nzmap::markerLeft(r.x + r.width / 2, r) + (r.width % 2 ? 10.0 * 394 / r.width / 2 : 0), 1970.0);
    }
}

void TestMap::markerPlaces()
{
    nzmap::ClipRect c = nzmap::clipRect(200, 300, 0);
    QCOMPARE(nzmap::markerLeft(205, c), 50.0);
    QCOMPARE(nzmap::markerTop(300, c), 0.0);
    c = nzmap::clipRect(200, 300, 197);
    QCOMPARE(c.width, 197);
    QCOMPARE(nzmap::markerLeft(c.x + 5, c), 100.0);
    // A site left of the view has a negative place and is simply not seen.
    QVERIFY(nzmap::markerLeft(100, nzmap::clipRect(200, 300, 0)) < 0);
}

void TestMap::readoutArithmetic()
{
    const nzmap::ClipRect c = nzmap::clipRect(500, 300, 0);
    const double mx = nzmap::pointerColumn(1970, c), my = nzmap::pointerRow(1970, c);
    QCOMPARE(mx, 697.0);
    QCOMPARE(my, 497.0);
    const QString e = nzmap::gridText(nzmap::eastingOf(mx)), n = nzmap::gridText(nzmap::northingOf(my));
    QCOMPARE(e, QStringLiteral("2538900"));
    QCOMPARE(n, QStringLiteral("6444800"));
    QCOMPARE(nzmap::sheetLetter(nzmap::eastingOf(mx)) + nzmap::sheetRowText(n.toDouble()), QStringLiteral("O12"));
    QCOMPARE(nzmap::gridReference(e, n), QStringLiteral("389448"));
    QCOMPARE(nzmap::sheetLetter(2667800) + nzmap::sheetRowText(6481200), QStringLiteral("R11"));
    QCOMPARE(nzmap::gridReference("2667800", "6481200"), QStringLiteral("678812"));
    // Column 100 (west of the anchor column) in the same row: code 64.
    QCOMPARE(nzmap::gridText(nzmap::eastingOf(100)), QStringLiteral("1941900"));
    QCOMPARE(nzmap::sheetLetter(nzmap::eastingOf(100)), QStringLiteral("@"));
    // Row 140, north of row 150: sheet row 00.
    QCOMPARE(nzmap::gridText(nzmap::northingOf(140)), QStringLiteral("6801800"));
    QCOMPARE(nzmap::sheetRowText(6801800), QStringLiteral("00"));
    QCOMPARE(nzmap::sheetRowText(6900000), QStringLiteral("-03"));
}

void TestMap::plottingCreatesAndRemovesMarkers()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    // Two rows, centroid mode.
    plot(*w, 200, 200.0125, 3);
    QCOMPARE(int(w->siteMap().lastSiteIndex), 1);
    QCOMPARE(w->lblLocationRef->count(), 2);
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral(" 2 Licences plotted on map "));
    QVERIFY(!w->cmdSiteStepNorth->isShownFlag());
    QVERIFY(w->cmdMapGrid->isShownFlag());
    QCOMPARE(w->vsbMapZoom->value(), 1);
    // Five rows with a site (the sixth has no grid position), stepping mode.
    plot(*w, 100, 100.0125, 0);
    QCOMPARE(int(w->siteMap().lastSiteIndex), 4);
    QCOMPARE(w->lblLocationRef->count(), 5);
    QCOMPARE(int(w->siteMap().extraSiteMarkers), 3);
    QCOMPARE(w->siteMap().siteNames[0], QStringLiteral("North Site"));
    QCOMPARE(w->siteMap().siteNames[3], QStringLiteral("Padded Site"));
    QCOMPARE(w->siteMap().siteMapX[0], qint16(600));
    QCOMPARE(w->siteMap().siteMapY[4], qint16(900));
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  1 of  5 licences plotted on map "));
    QVERIFY(w->cmdSiteStepNorth->isShownFlag());
    QVERIFY(w->cmdSiteStepSouth->isShownFlag());
    for (int i = 0; i < 5; ++i)
        QVERIFY(w->lblLocationRef->at(i)->isVisible());
    QCOMPARE(w->lblLocationName->caption(), QStringLiteral("North Site"));
    // The new markers copy marker 0.
    QCOMPARE(w->lblLocationRef->at(4)->width(), 60.0);
    // One row: the extra markers go.
    plot(*w, 300, 300.0125, 4);
    QCOMPARE(w->lblLocationRef->count(), 2);
    QCOMPARE(int(w->siteMap().extraSiteMarkers), 0);
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral(" 1 Licence plotted on map "));
    QVERIFY(!w->lblLocationRef->at(1)->isVisible());
    // No rows: panel 3 empty, the map and its button hidden.
    plot(*w, 400, 401, 0);
    QCOMPARE(w->StatusBar1->panelText(3), QString());
    QVERIFY(!w->cmdMapGrid->isShownFlag());
    QCOMPARE(int(w->siteMap().lastSiteIndex), 0);
    // A listing the register cannot give: told once, the map stays as it was (hidden).
    QVERIFY(!plot(*w, 500, 500.0125, 0));
    QCOMPARE(int(rec.messages.size()), 1);
    QVERIFY(!w->picMap->isShownFlag());
    QVERIFY(!w->cmdMapGrid->isShownFlag());
}

void TestMap::steppingWrapsAround()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 100, 100.0125, 0);
    QCOMPARE(w->hsbEasting->value(), 600 - 197);
    QCOMPARE(w->vsbNorthing->value(), 400 - 197);
    w->siteMap().cmdSiteStepNorth_Click();  // from the northernmost to the southernmost
    QCOMPARE(int(w->siteMap().currentSiteIndex), 4);
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  5 of  5 licences plotted on map "));
    QCOMPARE(w->hsbEasting->value(), 680 - 197);
    QCOMPARE(w->vsbNorthing->value(), 900 - 197);
    QCOMPARE(w->lblLocationName->caption(), QStringLiteral("Deep South"));
    QCOMPARE(w->lblLocationName->left(), w->lblLocationRef->at(4)->left() + 50);
    w->siteMap().cmdSiteStepSouth_Click();  // and back round to the first
    QCOMPARE(int(w->siteMap().currentSiteIndex), 0);
    w->siteMap().cmdSiteStepSouth_Click();
    QCOMPARE(int(w->siteMap().currentSiteIndex), 1);
    QCOMPARE(w->lblLocationName->caption(), QStringLiteral("Middle Site"));
    QCOMPARE(w->vsbMapZoom->value(), 1);
}

void TestMap::centroidAndEdges()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 200, 200.0125, 3);
    QCOMPARE(int(w->siteMap().viewOriginX), 104);  // 300.5 - 197 = 103.5 goes to 104
    QCOMPARE(w->hsbEasting->value(), 104);
    // A site at column 150 gives an origin of -47, held at 0; its row 100 an origin held at 0.
    plot(*w, 300, 300.0125, 0);
    QCOMPARE(w->hsbEasting->value(), 0);
    QCOMPARE(w->vsbNorthing->value(), 0);
    QCOMPARE(w->lblLocationRef->at(0)->left(), double(float(nzmap::markerLeft(150, nzmap::clipRect(0, 0, 1)))));
}

void TestMap::readoutOnTheWindow()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 100, 100.0125, 0);
    w->vsbMapZoom->setValue(0);
    w->hsbEasting->setValue(500);
    w->vsbNorthing->setValue(300);
    w->siteMap().cmdMapGrid_Click();  // show the map
    QVERIFY(w->picMap->isShownFlag());
    QVERIFY(!w->txtMap->isShownFlag());
    emit w->picMap->mouseMove(0, 0, 1970, 1970);
    QCOMPARE(w->txtEasting->text(), QStringLiteral("2538900"));
    QCOMPARE(w->txtNorthing->text(), QStringLiteral("6444800"));
    QCOMPARE(w->txtMap->text(), QStringLiteral("O12"));
    QCOMPARE(w->txtReference->text(), QStringLiteral("389448"));
    // Beside the NZMG boxes, the map's tooltip gives today's coordinates of the same point.
    const nzmap::Position here = nzmap::positionOfNzmg(nzmap::eastingOf(nzmap::pointerColumn(1970, {500, 300, 394, 394})),
                                                       nzmap::northingOf(nzmap::pointerRow(1970, {500, 300, 394, 394})));
    QCOMPARE(w->picMap->toolTipText(), nzmap::positionText(here));
    QCOMPARE(w->picMap->toolTip(), w->picMap->toolTipText());  // no markup in it
    QVERIFY(w->picMap->toolTip().contains(QStringLiteral("NZTM2000 ")));
    QVERIFY(w->picMap->toolTip().contains(QStringLiteral("Topo50 ")));
    QVERIFY(w->txtMap->isShownFlag());
    QVERIFY(w->lblMapDistrict->isVisible());
    QCOMPARE(w->lblMapDistrict->caption(), QStringLiteral("Taranaki"));  // the first row for the sheet
    QCOMPARE(w->lblMapDistrict->left(), 2170.0);
    // An unlisted sheet hides the sheet boxes and the district.
    emit w->picMap->mouseMove(0, 0, 10, 10);
    QVERIFY(!w->txtMap->isShownFlag());
    QVERIFY(!w->lblMapDistrict->isVisible());
    // With the district entry off, a listed sheet does not show it.
    w->siteMap().mnuMapDistrict_Click();
    QCOMPARE(w->mnuMapDistrict->caption(), QStringLiteral("Map District Off"));
    emit w->picMap->mouseMove(0, 0, 1970, 1970);
    QVERIFY(!w->lblMapDistrict->isVisible());
    QVERIFY(w->txtMap->isShownFlag());
    w->siteMap().mnuNZMS260_Click();
    QCOMPARE(w->mnuNZMS260->caption(), QStringLiteral("NZMS260 Off"));
    w->siteMap().mnuMapLabels_Click();
    QCOMPARE(w->mnuMapLabels->caption(), QStringLiteral("Map Labels Transparent"));
    QCOMPARE(w->lblLocationName->backStyle(), 0);
    w->siteMap().mnuMapLabels_Click();
    QCOMPARE(w->mnuMapLabels->caption(), QStringLiteral("Map Labels Opaque"));
    QCOMPARE(w->lblMapDistrict->backStyle(), 1);
    // Leaving the map for its frame clears the readouts.
    emit w->imgMapContainer->mouseMove(0, 0, 5, 5);
    QCOMPARE(w->txtEasting->text(), QString());
    QVERIFY(!w->txtMap->isShownFlag());
    // The pointer on a marker names its site, and the tooltips give the site's coordinates.
    emit w->lblLocationRef->at(2)->mouseMove(0, 0, 1, 1);
    QCOMPARE(w->lblLocationName->caption(), QStringLiteral("South Site"));
    QVERIFY(w->lblLocationName->isVisible());
    const QString site = QStringLiteral("South Site\n") +
                         nzmap::positionText(nzmap::positionOfNzmg(eastingAt(640), northingAt(700)));
    QCOMPARE(w->picMap->toolTipText(), site);
    QCOMPARE(w->lblLocationRef->at(2)->toolTipText(), site);
    QVERIFY(site.contains(QStringLiteral("NZGD2000 -")));
}

void TestMap::draggingIsARateControl()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 100, 100.0125, 0);
    w->hsbEasting->setValue(300);
    w->vsbNorthing->setValue(300);
    w->siteMap().picMap_MouseDown(1, 0, 1000.4, 1000.6);
    QCOMPARE(int(w->siteMap().dragStartX), 1000);
    QCOMPARE(int(w->siteMap().dragStartY), 1001);
    for (int k = 1; k <= 3; ++k) {
        emit w->picMap->mouseMove(1, 0, 2000.4, 1000.6);
        QCOMPARE(w->hsbEasting->value(), 300 - 5 * k);
    }
    QCOMPARE(w->vsbNorthing->value(), 300);
    // Another button, or none, does not drag.
    emit w->picMap->mouseMove(2, 0, 2000, 1000);
    emit w->picMap->mouseMove(0, 0, 2000, 1000);
    QCOMPARE(w->hsbEasting->value(), 285);
    // A step that would leave the bar's range is skipped.
    w->hsbEasting->setValue(3);
    emit w->picMap->mouseMove(1, 0, 2000, 1001);
    QCOMPARE(w->hsbEasting->value(), 3);
    w->vsbNorthing->setValue(1350);
    emit w->picMap->mouseMove(1, 0, 1000, 801);
    QCOMPARE(w->vsbNorthing->value(), 1350);
    emit w->picMap->mouseMove(1, 0, 1000, 1201);
    QCOMPARE(w->vsbNorthing->value(), 1349);
}

void TestMap::mapAndGridSwitch()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 100, 100.0125, 0);
    QVERIFY(!w->picMap->isShownFlag());  // the grid is chosen at start
    QCOMPARE(w->cmdMapGrid->caption(), QStringLiteral("Display Map"));
    w->siteMap().cmdMapGrid_Click();
    QVERIFY(w->siteMap().mapShown);
    QCOMPARE(w->cmdMapGrid->caption(), QStringLiteral("Display Grid"));
    QVERIFY(w->picMap->isShownFlag());
    QVERIFY(w->hsbEasting->isShownFlag());
    QVERIFY(w->lblEasting->isVisible());
    QVERIFY(!w->MSHFlexGrid1->isShownFlag());
    const int e = w->hsbEasting->value();
    w->siteMap().cmdMapGrid_Click();
    QVERIFY(!w->picMap->isShownFlag());
    QVERIFY(w->MSHFlexGrid1->isShownFlag());
    w->siteMap().cmdMapGrid_Click();
    QCOMPARE(w->hsbEasting->value(), e);
    // A plot while the map is chosen shows it, centred on the new sites.
    plot(*w, 200, 200.0125, 3);
    QVERIFY(w->picMap->isShownFlag());
    QCOMPARE(w->hsbEasting->value(), 104);
    // The picture is the relief map cut and stretched to the box.
    QCOMPARE(w->picMap->picture().size(), w->picMap->clientPixelSize());
}

void TestMap::blinking()
{
    testing::WorkDir wd;
    mapRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    plot(*w, 100, 100.0125, 0);
    const QColor green(0, 0xFF, 0), black(0, 0, 0);
    w->tmrFlash->fire();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(w->lblLocationRef->at(i)->backColor(), green);
    w->tmrFlash->fire();
    QCOMPARE(w->lblLocationRef->at(3)->backColor(), black);
    w->tmrFlash->fire();
    w->lblLocationRef->at(2)->setBackColor(QColor(1, 2, 3));
    w->tmrFlash->fire();
    QCOMPARE(w->lblLocationRef->at(2)->backColor(), green);  // anything not green turns green
    QCOMPARE(w->lblLocationRef->at(0)->backColor(), black);
    w->tmrFlash->fire();
    w->siteMap().mnuFlash_Click();
    QCOMPARE(w->mnuFlash->caption(), QStringLiteral("Label Flash Off"));
    QVERIFY(!w->tmrFlash->isEnabled());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(w->lblLocationRef->at(i)->backColor(), black);
    w->siteMap().mnuFlash_Click();
    QCOMPARE(w->mnuFlash->caption(), QStringLiteral("Label Flash On"));
    QVERIFY(w->mnuFlash->isChecked());
    QVERIFY(w->tmrFlash->isEnabled());
    QCOMPARE(w->lblLocationRef->at(0)->backColor(), black);
}

QTEST_MAIN(TestMap)
#include "test_map.moc"
