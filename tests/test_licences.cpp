// Record inspection: district and overlap filters, bar presses and their
// details, the licence grid, and the hover readout.

#include "inspect/texts.h"
#include "registers.h"
#include "spectrum/chart_rules.h"
#include "support.h"
#include "window.h"

#include <QtTest>

using namespace shell;
using testing::openWindow;
using testing::TinyRegister;

namespace {


int barOf(FrmSpectrum& w, double low, double high, const char* colour = nullptr)
{
    for (int i = 0; i <= w.chart().lastRecordIndex; ++i)
        if (w.chart().recordLowMHz(i) == low && w.chart().recordHighMHz(i) == high &&
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
    r.recordAtSites(999, 999.0125, 1, 2, {{"Far Away", 2661000, 6471000}});  // alone at 999 MHz
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
    QCOMPARE(criteriaKind(BarKind::Band), reg::Criteria::Kind::Band);
    QCOMPARE(criteriaKind(BarKind::ManagementRight), reg::Criteria::Kind::ManagementRight);
    QCOMPARE(criteriaKind(BarKind::Planned), reg::Criteria::Kind::Planned);
    QCOMPARE(criteriaKind(BarKind::ItuAllocation), reg::Criteria::Kind::ItuAllocation);
    QCOMPARE(criteriaKind(BarKind::Licence), reg::Criteria::Kind::Any);
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
    w->inspection().lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumhigh >  .75 and spectrumlow < 1.250000 and location.districtid =  1"));
    QCOMPARE(w->lblSelect->top(), 1500.0);
    QCOMPARE(w->lblSelect->width(), 5000.0);
    QCOMPARE(w->lblSelect->left(), 0.0);
    QVERIFY(w->lblSelect->isVisible());
    QCOMPARE(w->lblSelect->height(), 200.0);
    QCOMPARE(w->lblDistrict->at(0)->backColorText(), QStringLiteral("#000000"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap ON"));
    QVERIFY(w->lblOverlap->isVisible());
    QCOMPARE(w->inspection().selectedDistrictId, 1.0);
    QCOMPARE(int(w->chart().selectedBarIndex), -1);
    QVERIFY(!w->imgMapContainer->hasPicture());
    // Overlap off, toggled twice and once.
    w->inspection().mnuOverlap_Click();
    QCOMPARE(w->mnuOverlap->caption(), QStringLiteral("Overlap Off"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap ON"));  // no listing yet
    w->inspection().lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumlow >=  .75 and spectrumhigh <= 1.250000 and location.districtid =  1"));
    QCOMPARE(w->lblOverlap->caption(), QStringLiteral("Overlap OFF"));
    // Only the overlapping record is left out when lying wholly inside is asked for.
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 4), QStringLiteral("Whangarei AM"));
    QCOMPARE(int(w->listing().gridRowCount), 2);
    w->inspection().mnuOverlap_Click();
    QVERIFY(w->mnuOverlap->isChecked());
    QCOMPARE(w->mnuOverlap->caption(), QStringLiteral("Overlap On"));
    w->inspection().lblDistrict_MouseDown(0, 1, 0, 0, 0);
    QCOMPARE(int(w->listing().gridRowCount), 3);
    // "NZ" and "CHM".
    w->inspection().lblDistrict_MouseDown(16, 1, 0, 0, 0);
    QVERIFY(w->chart().rangeCriteria.text().endsWith(" and location.districtid =  17"));
    QCOMPARE(w->lblSelect->top(), 4100.0);
    QCOMPARE(w->lblDistrict->at(0)->backColorText(), QStringLiteral("#008000"));
    w->inspection().lblDistrict_MouseDown(14, 1, 0, 0, 0);
    QVERIFY(w->chart().rangeCriteria.text().endsWith(" and location.districtid =  15"));
    QCOMPARE(w->lblSelect->top(), 3900.0);
    // A window reaching below 0.
    w->txtFrequencyDisplay->setText("0.2");
    w->Option1[2]->setValue(true);
    w->inspection().lblDistrict_MouseDown(1, 1, 0, 0, 0);
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumhigh >  0 and spectrumlow < .700000 and location.districtid =  2"));
    // After a scroll the strip starts at the scroll value and the criteria use the scrolled window.
    w->txtFrequencyDisplay->setText("1");
    w->Option1[1]->setValue(true);
    w->hsbFrequency->setValue(500);
    w->inspection().lblDistrict_MouseDown(3, 1, 0, 0, 0);
    QCOMPARE(w->lblSelect->left(), 500.0);
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumhigh >  .7 and spectrumlow < 1.200000 and location.districtid =  4"));
}

void TestLicences::districtClickListsAndPlots()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    w->inspection().lblDistrict_MouseDown(1, 1, 0, 0, 0);  // AK
    QCOMPARE(int(w->listing().gridRowCount), 4);
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
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    const int band = barOf(*w, 157.1, 157.1125, "#80FFFF");
    const int planned = barOf(*w, 157.1, 157.1125, "#FFFF80");
    const int mr = barOf(*w, 157.3, 157.4, "#FF8080");
    const int itu = barOf(*w, 157.0, 157.5);
    QVERIFY(band >= 0 && planned >= 0 && mr >= 0 && itu >= 0);
    w->StatusBar1->setPanelText(1, "unchanged");
    w->inspection().lblSpectrum_MouseDown(band, 1, 0, 0, 0);
    QVERIFY(w->txtSpectrumInfo->isShownFlag());
    QCOMPARE(w->chart().rangeCriteria.text(), QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 1"));
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("Spectrum Band \r\nfrom 157.1 to 157.1125 MHz\r\nVHF land mobile band"));
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("unchanged"));
    w->inspection().lblSpectrum_MouseUp(band, 1, 0, 0, 0);
    QVERIFY(!w->txtSpectrumInfo->isShownFlag());
    QCOMPARE(w->StatusBar1->panelText(1), QString());
    w->inspection().lblSpectrum_MouseDown(planned, 2, 0, 0, 0);
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("Planned Spectrum CH 5\r\nfrom 157.1 to 157.1125 MHz\r\n"));
    w->inspection().lblSpectrum_MouseDown(mr, 1, 0, 0, 0);
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("ManagementRight  42\r\nfrom 157.3 to 157.4 MHz\r\n"));
    w->inspection().lblSpectrum_MouseDown(itu, 1, 0, 0, 0);
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumlow =  157 and spectrumhigh =  157.5 and spectrumtypeid = 8 and serviceid =  26"));
    QCOMPARE(w->txtSpectrumInfo->text(), QStringLiteral("ITU Region 3 Allocation \r\nfrom 157 to 157.5 MHz\r\nBROADCASTING"));
    QVERIFY(rec.messages.empty());
    QVERIFY(!w->lblSelect->isVisible());
    QCOMPARE(int(w->chart().selectedBarIndex), -1);  // a detail press selects nothing
}

void TestLicences::licencePressesLeftAndRight()
{
    testing::WorkDir wd;
    inspectRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("157.25");
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    const int ak = barOf(*w, 157.1, 157.1125, "#80FF80");
    QVERIFY(ak >= 0);
    QCOMPARE(w->chart().recordDistrictId(ak), 2.0);
    QCOMPARE(w->lblSpectrum->at(ak)->caption(), QStringLiteral("2"));
    w->inspection().lblSpectrum_MouseDown(ak, 1, 0, 0, 0);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.1 - 157.1125 (BW 12.5kHz)"));
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumhigh >  157.1 and spectrumlow <  157.1125 and location.districtid =  2"));
    QCOMPARE(w->inspection().selectedDistrictId, 2.0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#E0E0E0"));
    QCOMPARE(int(w->chart().selectedBarIndex), ak);
    QCOMPARE(int(w->listing().gridRowCount), 3);
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 8), QStringLiteral("Kowhai Radio Limited"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 7), QStringLiteral("7"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 5), QStringLiteral("AK"));
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral(" 2 Licences plotted on map "));
    QVERIFY(!w->lblSelect->isVisible());
    QCOMPARE(forms::screenPointer(), int(forms::vbDefault));
    // The same bar with the right button: every district.
    w->inspection().lblSpectrum_MouseDown(ak, 2, 0, 0, 0);
    QCOMPARE(w->chart().rangeCriteria.text(), QStringLiteral("spectrumhigh >  157.1 and spectrumlow <  157.1125"));
    QCOMPARE(w->inspection().selectedDistrictId, 0.0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#E0E0E0"));
    QCOMPARE(int(w->listing().gridRowCount), 4);
    QVERIFY(w->lblSelect->isVisible());
    QCOMPARE(w->lblSelect->top(), 1500.0);
    QCOMPARE(w->lblSelect->height(), 2800.0);
    QCOMPARE(w->lblSelect->left(), w->lblSpectrum->at(ak)->left());
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  1 of  3 licences plotted on map "));
    // A status 5 bar is listed but keeps its colour; the first bar gets its colour back.
    const int wn = barOf(*w, 157.1, 157.1125, "#FFC080");
    QVERIFY(wn >= 0);
    w->inspection().lblSpectrum_MouseDown(wn, 1, 0, 0, 0);
    QCOMPARE(w->lblSpectrum->at(wn)->backColorText(), QStringLiteral("#FFC080"));
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#80FF80"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 6), QStringLiteral("1234567"));
    // The middle button lists as the left does.
    w->inspection().lblSpectrum_MouseDown(ak, 4, 0, 0, 0);
    QVERIFY(w->chart().rangeCriteria.text().endsWith(" and location.districtid =  2"));
    // A district click gives the selected bar its colour back.
    w->inspection().lblDistrict_MouseDown(8, 1, 0, 0, 0);
    QCOMPARE(w->lblSpectrum->at(ak)->backColorText(), QStringLiteral("#80FF80"));
    QCOMPARE(int(w->chart().selectedBarIndex), -1);
}

void TestLicences::gridFillsAndKeeps()
{
    testing::WorkDir wd;
    {
        inspectRegister(wd.file("KORVA.mdb"));
        // A licence at 999 MHz whose label the register cannot give: its listing fails.
        testing::TinyRegister::failWhenRead(wd.file("KORVA.mdb"), "spectrum", "spectrumlabel", "spectrumlow >= 999");
    }
    auto w = openWindow();
    auto list = [&](double low, double high) { return testing::listRange(*w, low, high); };
    QCOMPARE(int(w->listing().gridRowCount), 0);
    // The first listing of all finds nothing: the grid's row count at start.
    QVERIFY(list(990, 990.1));
    QCOMPARE(int(w->listing().gridRowCount), 2);
    QVERIFY(!w->cmdPrintGrid->isShownFlag());
    QVERIFY(list(157, 157.2));
    QCOMPARE(int(w->listing().gridRowCount), 4);
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
    // A listing of nothing keeps the grid as it was.
    QVERIFY(list(990, 990.1));
    QCOMPARE(int(w->listing().gridRowCount), 4);
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 1), QStringLiteral("157.100000"));
    // Below 1 MHz no digit before the point.
    QVERIFY(list(0.5, 0.6));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 1), QStringLiteral(".526500"));
    // With the map chosen the grid is filled but not shown.
    w->siteMap().mapShown = true;
    w->MSHFlexGrid1->setShownFlag(false);
    QVERIFY(list(157, 157.2));
    QVERIFY(!w->MSHFlexGrid1->isShownFlag());
    QCOMPARE(int(w->listing().gridRowCount), 4);
    // A listing the register cannot give is reported once and changes nothing,
    // pressed as a user presses its bar.
    testing::Recorder rec;
    w->txtFrequencyDisplay->setText("999");
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    const int failing = barOf(*w, 999, 999.0125);
    QVERIFY(failing >= 0);
    const reg::Criteria before = w->chart().rangeCriteria;
    emit w->lblSpectrum->at(failing)->mouseDown(2, 0, 0, 0);
    QCOMPARE(int(rec.messages.size()), 1);
    QVERIFY2(rec.messages[0].text.startsWith("The register could not be read for this listing."),
             qPrintable(rec.messages[0].text));
    QCOMPARE(int(w->listing().gridRowCount), 4);
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 1), QStringLiteral("157.100000"));
    QCOMPARE(w->chart().rangeCriteria, before);
    QCOMPARE(int(w->chart().selectedBarIndex), -1);
    QCOMPARE(w->lblSpectrum->at(failing)->backColorText(), QStringLiteral("#80FF80"));
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
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    const int licence = barOf(*w, 157.1, 157.1125, "#80FF80");
    w->chart().rangeCriteria = reg::Criteria::exact(1, 2);
    w->inspection().lblSpectrum_MouseMove(licence, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("(CH 5) 157.1 - 157.1125 (BW 12.5kHz)"));
    QVERIFY(w->chart().rangeCriteria.isEmpty());
    QCOMPARE(w->chart().rangeCriteria.text(), QString());
    QCOMPARE(w->mousePointer(), int(forms::vbCrosshair));
    const int nolabel = barOf(*w, 157.25, 157.275);
    w->inspection().lblSpectrum_MouseMove(nolabel, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.25 - 157.275 (BW 25kHz)"));
    const int x = barOf(*w, 157.2, 157.225);
    w->inspection().lblSpectrum_MouseMove(x, 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("X157.2 - 157.225 (BW 25kHz)"));
    w->inspection().lblSpectrum_MouseMove(barOf(*w, 157.45, 157.4505), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.45 - 157.4505 (BW 500Hz)"));
    w->inspection().lblSpectrum_MouseMove(barOf(*w, 157.48, 157.48), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("157.48 - 157.48 (BW 0Hz)"));
    w->txtFrequencyDisplay->setText("159");
    w->Option1[3]->setValue(true);
    w->inspection().lblSpectrum_MouseMove(barOf(*w, 158.0, 160.0), 0, 0, 1, 1);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("158 - 160 (BW 2MHz)"));
}

QTEST_MAIN(TestLicences)
#include "test_licences.moc"
