// Record inspection: district and overlap filters, bar presses and their
// details, the licence grid, and the hover readout.

#include "inspect/texts.h"
#include "registers.h"
#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "support.h"
#include "window.h"

#include <QtTest>

using namespace shell;
using testing::openWindow;
using testing::TinyRegister;

namespace {


int barOf(FrmSpectrum& w, double low, double high, const char* colour = nullptr)
{
    for (int i = 0; i <= w.search.lastRecordIndex; ++i)
        if (w.search.recordLowMHz[size_t(i)] == low && w.search.recordHighMHz[size_t(i)] == high &&
            (!colour || w.lblSpectrum->at(i)->backColorText() == colour))
            return i;
    return -1;
}

// Records around 157.1 MHz and in the start-up window.
void inspectRegister(const QString& path)
{
    TinyRegister r(path);
    r.record(157.1, 157.1125, 1, 1, 31, 0, 1, QString(), "VHF land mobile band");        // band with remarks
    r.record(157.1, 157.1125, 4, 4, 25, 0, 1, "  CH 5 ");                                 // planned, label, no remarks
    r.record(157.2, 157.225, 4, 4, 25, 0, 1, "X");                                       // one-character label
    r.record(157.3, 157.4, 7, 1, 30, 0, 1, QString(), QString(), 42);                     // management right 42
    r.record(157.0, 157.5, 8, 1, 26, 0, 1, QString(), "BROADCASTING");                    // ITU allocation
    r.recordAtSites(157.1, 157.1125, 1, 2, {{"Auckland Hill", 2667000, 6482000}}, "Kowhai Radio Limited", 123456, 7);
    r.recordAtSites(157.1, 157.1125, 1, 2, {{"Waiatarua", 2650000, 6478000}}, "Totara Taxis Limited", 123457);
    r.recordAtSites(157.1, 157.1125, 5, 9, {{"Mt Kaukau", 2658000, 5992000}}, "Rimu Transport Trust", 1234567, 0);
    r.recordAtSites(157.25, 157.275, 1, 2, {{"Far Site", 2660000, 6470000}});
    r.recordAtSites(0.5265, 0.5355, 1, 4, {{"Tauranga AM", 2790000, 6380000}});
    r.recordAtSites(0.9, 0.91, 1, 1, {{"Whangarei AM", 2630000, 6607000}});
    r.recordAtSites(1.2, 1.3, 1, 1, {{"Straddling", 2630500, 6607500}});  // overlaps 0.75-1.25 only
    r.record(157.45, 157.4505, 5, 1, 25, 17);                             // 500 Hz wide
    r.record(157.48, 157.48, 5, 1, 25, 17);                               // zero wide
    r.record(158.0, 160.0, 1, 1, 31, 0);                                  // a 2 MHz band
}

}  // namespace

class TestLicences : public QObject {
    Q_OBJECT

private slots:
    void textsOfInspection();
    void districtClickCriteria();
    void districtClickListsAndPlots();
    void detailPresses();
    void licencePressesLeftAndRight();
    void gridFillsAndKeeps();
    void hoverReadout();
};

void TestLicences::textsOfInspection()
{
    using namespace inspect;
    QCOMPARE(bandwidthText(0.025), QStringLiteral("25kHz)"));
    QCOMPARE(bandwidthText(2), QStringLiteral("2MHz)"));
    QCOMPARE(bandwidthText(0.0005), QStringLiteral("500Hz)"));
    QCOMPARE(bandwidthText(0), QStringLiteral("0Hz)"));
    QCOMPARE(bandwidthText(0.0125), QStringLiteral("12.5kHz)"));
    QCOMPARE(bandwidthText(1), QStringLiteral("1MHz)"));
    QCOMPARE(bandwidthText(0.001), QStringLiteral("1kHz)"));
    QCOMPARE(rangeReadout(157.1, 157.1125, 0.0125), QStringLiteral("157.1 - 157.1125 (BW 12.5kHz)"));
    QCOMPARE(overlapCriteria(" .75", "1.250000", true), QStringLiteral("spectrumhigh >  .75 and spectrumlow < 1.250000"));
    QCOMPARE(overlapCriteria(" .75", "1.250000", false),
             QStringLiteral("spectrumlow >=  .75 and spectrumhigh <= 1.250000"));
    QCOMPARE(districtRestriction(2), QStringLiteral(" and location.districtid =  2"));
    QCOMPARE(exactRangeCriteria(157.1, 157.1125) + typeClause(BarKind::Band, 0),
             QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 1"));
    QCOMPARE(typeClause(BarKind::Planned, 0), QStringLiteral(" and spectrumtypeid in (4, 5) and spectrumstatusid = 4"));
    QCOMPARE(typeClause(BarKind::ItuAllocation, 26), QStringLiteral(" and spectrumtypeid = 8 and serviceid =  26"));
    QCOMPARE(labelPrefix("  CH 5 "), QStringLiteral("(CH 5) "));
    QCOMPARE(labelPrefix(" X "), QStringLiteral(" X "));
    QCOMPARE(labelPrefix(""), QString());
    QCOMPARE(kindOfColour(QColor(0xE0, 0xE0, 0xE0)), BarKind::Licence);
    QCOMPARE(kindOfColour(QColor(0x80, 0x40, 0x40)), BarKind::ItuAllocation);
    QCOMPARE(kindOfColour(QColor(0xFF, 0xC0, 0x80)), BarKind::Licence);
    QCOMPARE(detailText(BarKind::ManagementRight, 1, 2, QString(), QString(), 0),
             QStringLiteral("ManagementRight  0\r\nfrom 1 to 2 MHz\r\n"));
}

void TestLicences::districtClickCriteria()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumhigh >  .75 and spectrumlow < 1.250000 and location.districtid =  1"));
    QCOMPARE(w->lblSelect->top(), 1500.0);
    QCOMPARE(w->lblSelect->width(), 5000.0);
    QCOMPARE(w->lblSelect->left(), 0.0);
    QVERIFY(w->lblSelect->isVisible());
    QCOMPARE(w->lblSelect->height(), 200.0);
    QCOMPARE(w->lblDistrict->at(0)->backColorText(), QStringLiteral("#000000"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap ON"));
    QVERIFY(w->lblOverlap->isVisible());
    QCOMPARE(w->filter.selectedDistrictId, 1.0);
    QCOMPARE(int(w->search.selectedBarIndex), -1);
    QVERIFY(!w->imgMapContainer->hasPicture());
    // Overlap off, toggled twice and once.
    w->mnuOverlap_Click();
    QCOMPARE(w->mnuOverlap->caption(), QStringLiteral("Overlap Off"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap ON"));  // no listing yet
    w->lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumlow >=  .75 and spectrumhigh <= 1.250000 and location.districtid =  1"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap OFF"));
    // Only the overlapping record is left out when lying wholly inside is asked for.
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 4), QStringLiteral("Whangarei AM"));
    QCOMPARE(int(w->grid.gridRowCount), 2);
    w->mnuOverlap_Click();
    QVERIFY(w->mnuOverlap->isChecked());
    QCOMPARE(w->mnuOverlap->caption(), QStringLiteral("Overlap On"));
    w->lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(int(w->grid.gridRowCount), 3);
    // "NZ" and "CHM".
    w->lblDistrict_MouseDown(16, 1, 0, 0, 0);
    QVERIFY(w->search.rangeCriteria.endsWith(" and location.districtid =  17"));
    QCOMPARE(w->lblSelect->top(), 4100.0);
    QCOMPARE(w->lblDistrict->at(0)->backColorText(), QStringLiteral("#008000"));
    w->lblDistrict_MouseDown(14, 1, 0, 0, 0);
    QVERIFY(w->search.rangeCriteria.endsWith(" and location.districtid =  15"));
    QCOMPARE(w->lblSelect->top(), 3900.0);
    // A window reaching below 0.
    w->txtFrequencyDisplay->setText("0.2");
    w->Option1[2]->setValue(true);
    w->lblDistrict_MouseDown(1, 1, 0, 0, 0);
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumhigh >  0 and spectrumlow < .700000 and location.districtid =  2"));
    // After a scroll the strip starts at the scroll value and the criteria use the scrolled window.
    w->txtFrequencyDisplay->setText("1");
    w->Option1[1]->setValue(true);
    w->hsbFrequency->setValue(500);
    w->lblDistrict_MouseDown(3, 1, 0, 0, 0);
    QCOMPARE(w->lblSelect->left(), 500.0);
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumhigh >  .7 and spectrumlow < 1.200000 and location.districtid =  4"));
}

void TestLicences::districtClickListsAndPlots()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->txtFrequencyDisplay_KeyPress(13);
    w->lblDistrict_MouseDown(1, 1, 0, 0, 0);  // AK
    QCOMPARE(int(w->grid.gridRowCount), 4);
    QVERIFY(w->MSHFlexGrid1->isShownFlag());
    QVERIFY(w->cmdPrintGrid->isShownFlag());
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral(" 3 Licences plotted on map "));
    QVERIFY(!w->cmdSiteStepNorth->isShownFlag());  // one district: centroid mode
}

void TestLicences::detailPresses()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->txtFrequencyDisplay_KeyPress(13);
    const int band = barOf(*w, 157.1, 157.1125, "#80FFFF");
    const int planned = barOf(*w, 157.1, 157.1125, "#FFFF80");
    const int mr = barOf(*w, 157.3, 157.4, "#FF8080");
    const int itu = barOf(*w, 157.0, 157.5);
    QVERIFY(band >= 0 && planned >= 0 && mr >= 0 && itu >= 0);
    w->StatusBar1->setPanelText(1, "unchanged");
    w->lblSpectrum_MouseDown(band, 1, 0, 0, 0);
    QVERIFY(w->txtSpectrumInfo->isShownFlag());
    QCOMPARE(w->search.rangeCriteria, QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 1"));
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("Spectrum Band \r\nfrom 157.1 to 157.1125 MHz\r\nVHF land mobile band"));
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("unchanged"));
    w->lblSpectrum_MouseUp(band, 1, 0, 0, 0);
    QVERIFY(!w->txtSpectrumInfo->isShownFlag());
    QCOMPARE(w->StatusBar1->panelText(1), QString());
    w->lblSpectrum_MouseDown(planned, 2, 0, 0, 0);
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("Planned Spectrum CH 5\r\nfrom 157.1 to 157.1125 MHz\r\n"));
    w->lblSpectrum_MouseDown(mr, 1, 0, 0, 0);
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("ManagementRight  42\r\nfrom 157.3 to 157.4 MHz\r\n"));
    w->lblSpectrum_MouseDown(itu, 1, 0, 0, 0);
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumlow =  157 and spectrumhigh =  157.5 and spectrumtypeid = 8 and serviceid =  26"));
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("ITU Region 3 Allocation \r\nfrom 157 to 157.5 MHz\r\nBROADCASTING"));
    QVERIFY(rec.messages.empty());
    QVERIFY(!w->lblSelect->isVisible());
    QCOMPARE(int(w->search.selectedBarIndex), -1);  // a detail press selects nothing
}

void TestLicences::licencePressesLeftAndRight()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->txtFrequencyDisplay_KeyPress(13);
    const int ak = barOf(*w, 157.1, 157.1125, "#80FF80");
    QVERIFY(ak >= 0);
    QCOMPARE(w->search.recordDistrictId[size_t(ak)], 2.0);
    QCOMPARE(w->lblSpectrum->at(ak)->caption(), QStringLiteral("2"));
    w->lblSpectrum_MouseDown(ak, 1, 0, 0, 0);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.1 - 157.1125 (BW 12.5kHz)"));
    QCOMPARE(w->search.rangeCriteria,
             QStringLiteral("spectrumhigh >  157.1 and spectrumlow <  157.1125 and location.districtid =  2"));
    QCOMPARE(w->filter.selectedDistrictId, 2.0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#E0E0E0"));
    QCOMPARE(int(w->search.selectedBarIndex), ak);
    QCOMPARE(int(w->grid.gridRowCount), 3);
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 8), QStringLiteral("Kowhai Radio Limited"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 7), QStringLiteral("7"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 5), QStringLiteral("AK"));
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral(" 2 Licences plotted on map "));
    QVERIFY(!w->lblSelect->isVisible());
    QCOMPARE(forms::screenPointer(), int(forms::vbDefault));
    // The same bar with the right button: every district.
    w->lblSpectrum_MouseDown(ak, 2, 0, 0, 0);
    QCOMPARE(w->search.rangeCriteria, QStringLiteral("spectrumhigh >  157.1 and spectrumlow <  157.1125"));
    QCOMPARE(w->filter.selectedDistrictId, 0.0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#E0E0E0"));
    QCOMPARE(int(w->grid.gridRowCount), 4);
    QVERIFY(w->lblSelect->isVisible());
    QCOMPARE(w->lblSelect->top(), 1500.0);
    QCOMPARE(w->lblSelect->height(), 2800.0);
    QCOMPARE(w->lblSelect->left(), w->lblSpectrum->at(ak)->left());
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  1 of  3 licences plotted on map "));
    // A status 5 bar is listed but keeps its colour; the first bar gets its colour back.
    const int wn = barOf(*w, 157.1, 157.1125, "#FFC080");
    QVERIFY(wn >= 0);
    w->lblSpectrum_MouseDown(wn, 1, 0, 0, 0);
    QCOMPARE(w->lblSpectrum->at(wn)->backColorText(), QStringLiteral("#FFC080"));
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#80FF80"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 6), QStringLiteral("1234567"));
    // The middle button lists as the left does.
    w->lblSpectrum_MouseDown(ak, 4, 0, 0, 0);
    QVERIFY(w->search.rangeCriteria.endsWith(" and location.districtid =  2"));
    // A district click gives the selected bar its colour back.
    w->lblDistrict_MouseDown(8, 1, 0, 0, 0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#80FF80"));
    QCOMPARE(int(w->search.selectedBarIndex), -1);
}

void TestLicences::gridFillsAndKeeps()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    QCOMPARE(int(w->grid.gridRowCount), 0);
    // The first fill of all finds nothing: the grid's row count at start.
    w->search.rangeCriteria = "spectrumhigh >  999 and spectrumlow <  999.1";
    w->fillLicenceGrid();
    QCOMPARE(int(w->grid.gridRowCount), 2);
    QVERIFY(!w->cmdPrintGrid->isShownFlag());
    w->search.rangeCriteria = "spectrumhigh >  157 and spectrumlow <  157.2";
    w->fillLicenceGrid();
    QCOMPARE(int(w->grid.gridRowCount), 4);
    QCOMPARE(w->MSHFlexGrid1->cols(), 10);
    const QStringList headings{"", "Low (MHz)", "High (MHz)", "Channel", "Site Name", "Dist", "Licence", "M/R", "Licensee", "ID"};
    for (int c = 0; c < 10; ++c)
        QCOMPARE(w->MSHFlexGrid1->textMatrix(0, c), headings[c]);
    const double widths[10] = {0, 1200, 1200, 850, 4000, 450, 700, 450, 4000, 500};
    for (int c = 0; c < 10; ++c)
        QCOMPARE(w->MSHFlexGrid1->colWidth(c), widths[c]);
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(w->MSHFlexGrid1->textMatrix(r, 9), QString::number(r));
        QCOMPARE(w->MSHFlexGrid1->textMatrix(r, 1), QStringLiteral("157.100000"));
        QCOMPARE(w->MSHFlexGrid1->textMatrix(r, 2), QStringLiteral("157.112500"));
    }
    QVERIFY(w->MSHFlexGrid1->mergeCol(1));
    QVERIFY(w->MSHFlexGrid1->mergeCol(2));
    QVERIFY(!w->MSHFlexGrid1->mergeCol(3));
    // Ordered by district, then licence number: AK's two, then WN.
    QCOMPARE(w->MSHFlexGrid1->textMatrix(3, 5), QStringLiteral("WN"));
    QVERIFY(w->MSHFlexGrid1->isShownFlag());
    QVERIFY(w->cmdPrintGrid->isShownFlag());
    // A fill with nothing keeps the listing.
    w->search.rangeCriteria = "spectrumhigh >  999 and spectrumlow <  999.1";
    w->fillLicenceGrid();
    QCOMPARE(int(w->grid.gridRowCount), 4);
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 1), QStringLiteral("157.100000"));
    // Below 1 MHz no digit before the point.
    w->search.rangeCriteria = "spectrumhigh >  .5 and spectrumlow <  .6";
    w->fillLicenceGrid();
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 1), QStringLiteral(".526500"));
    // With the map chosen the grid is filled but not shown.
    w->map.mapShown = true;
    w->MSHFlexGrid1->setShownFlag(false);
    w->search.rangeCriteria = "spectrumhigh >  157 and spectrumlow <  157.2";
    w->fillLicenceGrid();
    QVERIFY(!w->MSHFlexGrid1->isShownFlag());
    QCOMPARE(int(w->grid.gridRowCount), 4);
    // A failing statement is reported and changes nothing.
    testing::Recorder rec;
    w->search.rangeCriteria = "nonsense >";
    w->fillLicenceGrid();
    QCOMPARE(int(rec.messages.size()), 1);
    QCOMPARE(int(w->grid.gridRowCount), 4);
    // The pointer over the grid is the arrow.
    w->setMousePointer(forms::vbCrosshair);
    emit w->MSHFlexGrid1->mouseMove(0, 0, 10, 10);
    QCOMPARE(w->mousePointer(), int(forms::vbDefault));
}

void TestLicences::hoverReadout()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->txtFrequencyDisplay_KeyPress(13);
    const int licence = barOf(*w, 157.1, 157.1125, "#80FF80");
    w->search.rangeCriteria = "kept?";
    w->lblSpectrum_MouseMove(licence, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("(CH 5) 157.1 - 157.1125 (BW 12.5kHz)"));
    QCOMPARE(w->search.rangeCriteria, QString());
    QCOMPARE(w->mousePointer(), int(forms::vbCrosshair));
    const int nolabel = barOf(*w, 157.25, 157.275);
    w->lblSpectrum_MouseMove(nolabel, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.25 - 157.275 (BW 25kHz)"));
    const int x = barOf(*w, 157.2, 157.225);
    w->lblSpectrum_MouseMove(x, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("X157.2 - 157.225 (BW 25kHz)"));
    w->lblSpectrum_MouseMove(barOf(*w, 157.45, 157.4505), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.45 - 157.4505 (BW 500Hz)"));
    w->lblSpectrum_MouseMove(barOf(*w, 157.48, 157.48), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.48 - 157.48 (BW 0Hz)"));
    w->txtFrequencyDisplay->setText("159");
    w->Option1[3]->setValue(true);
    w->lblSpectrum_MouseMove(barOf(*w, 158.0, 160.0), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("158 - 160 (BW 2MHz)"));
}

QTEST_MAIN(TestLicences)
#include "test_licences.moc"
