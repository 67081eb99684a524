// The main window driven as a user would: start-up, the register search, the
// chart layout, the status bar's hover rule, scrolling and the readouts.

#include "registers.h"
#include "spectrum/chart_rules.h"
#include "spectrum/chart_model.h"
#include "base/numbers.h"
#include "register/spectrum_index.h"
#include "register/statements.h"
#include "support.h"
#include "window.h"

#include <QMenu>
#include <QScrollBar>
#include <QtTest>
#include <cmath>

using namespace shell;
using testing::openWindow;
using testing::TinyRegister;

namespace {

QObject* control(QObject* root, const QString& name, int index = -1)
{
    for (QObject* o : root->findChildren<QObject*>(name))
        if (index < 0 || o->property("Index").toInt() == index)
            return o;
    return nullptr;
}


forms::Label* bar(FrmSpectrum& w, int i) { return w.lblSpectrum->at(i); }

QString panel(FrmSpectrum& w, int n) { return w.StatusBar1->panelText(n); }

// Searches the window of a centre and a display-width option.
void searchAt(FrmSpectrum& w, const QString& centre, int widthOption = -1)
{
    w.txtFrequencyDisplay->setText(centre);
    if (widthOption >= 0 && !w.Option1[size_t(widthOption)]->value())
        w.Option1[size_t(widthOption)]->setValue(true);  // runs its Click, which searches
    else
        w.frequency().txtFrequencyDisplay_KeyPress(13);
}

}  // namespace

class TestSpectrum : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startUpOnTheSampleRegister();
    void everyControlInItsPlace();
    void barsAreTheFirstRowsOfTheStatement();
    void barPlacementOnTheChart();
    void indexPicksTheRecordsInRange();
    void layoutRowsColoursAndCaptions();
    void status5WithoutADistrictKeepsItsCount();
    void indexTakesWhatTheStatementTakes();
    void plannedSubRowsAndStackedAllocations();
    void recordCountsAndTheLimit();
    void emptyResultAfterBars();
    void notANumber();
    void failingSearchReportsError();
    void missingRegisterEndsStartUp();
    void hoverRuleClearsPanelOne();
    void scrollingTheWindow();
    void pointerReadout();
    void optionsAndTheFrequencyBox();

private:
    QTemporaryDir store_;
    QString sample_;
};

void TestSpectrum::initTestCase()
{
    sample_ = store_.filePath("KORVA.mdb");
    QCOMPARE(testing::makeRegister(sample_, 0.05), 0);
}

void TestSpectrum::startUpOnTheSampleRegister()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    testing::Recorder rec;
    auto w = openWindow();
    QVERIFY(rec.messages.empty());
    QCOMPARE(w->caption(), QStringLiteral("Orvane Zaru"));
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("1.000000"));
    QCOMPARE(w->lblLowFrequency->caption(), QStringLiteral(".750000"));
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral("1.250000"));
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 1"));
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Unscrolled"));
    QCOMPARE(panel(*w, 2), QStringLiteral("Fine Tuning Unused"));
    QCOMPARE(w->chart().rangeCriteria.text(), QStringLiteral("spectrumhigh >  .75 and SpectrumLow <=  1.25"));
    QCOMPARE(w->cmdMapGrid->caption(), QStringLiteral("Display Map"));
    QCOMPARE(w->frequency().displayWidthMHz, 0.5);
    QVERIFY(w->isVisible());
    QVERIFY(!w->cmdITU->isEnabledFlag());  // out of use for a second after the search
    // Panel 1 gives the number of groups the full statement has.
    const int groups = int(reg::countSearchGroups(w->registerConnection(), 0.75, 1.25));
    QVERIFY(groups > 0 && groups < 500);
    QCOMPARE(panel(*w, 1), base::signSpacedText(groups) + " Records found");
    QCOMPARE(int(w->chart().lastRecordIndex), groups - 1);
    QCOMPARE(w->siteMap().mapSheetCount > 100, true);
    QCOMPARE(int(w->siteMap().mapSheetNames.size()), w->siteMap().mapSheetCount + 1);
    QVERIFY(w->siteMap().mapSheetNames.back().isEmpty());
    // The ITU button comes back a second later.
    QTRY_VERIFY_WITH_TIMEOUT(w->cmdITU->isEnabledFlag(), 3000);
    QVERIFY(!w->tmrITU->isEnabled());
}

void TestSpectrum::everyControlInItsPlace()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    FrmSpectrum w;  // the design-time state, before loading
    struct C {
        const char* name;
        int index;
        double l, t, wd, h;
        const char* caption;  // Caption or Text; nullptr when none
        bool visible;
    };
    static const C table[] = {
        {"picSpectrum", -1, 120, 165, 4995, 4950, nullptr, true},
        {"Shape2", -1, -15, -15, 4965, 600, nullptr, true},
        {"lblSpectrum", 0, 750, 1860, 885, 197, "Label1", false},
        {"lblSpectrum", 1, 1335, 2190, 885, 197, "Label1", false},
        {"lblUnsearchedLow", -1, -2468, 1, 2468, 4243, "", true},
        {"lblUnsearchedHigh", -1, 4935, 1, 2468, 4243, "", true},
        {"lblSelect", -1, -30, 870, 1275, 3390, "", false},
        {"txtSpectrumInfo", -1, 870, 1530, 3315, 1305, nullptr, false},
        {"lblScroll", -1, 315, 4302, 1290, 255, nullptr, true},
        {"lblZoom", -1, 3751, 4302, 1290, 255, nullptr, true},
        {"picDistricts", -1, 5085, 165, 600, 4950, nullptr, true},
        {"cmdITU", -1, 38, 60, 465, 450, "ITU ", true},
        {"lblMR", -1, -15, 585, 555, 210, "M/R", true},
        {"lblPlan", -1, -15, 795, 555, 210, "Plan", true},
        {"lblBand", -1, -15, 1110, 555, 210, "Band", true},
        {"lblUnspec", -1, 0, 1290, 555, 210, "Unspec", true},
        {"lblDistrict", 0, -30, 1485, 555, 210, "WR", true},
        {"lblDistrict", 4, -15, 2265, 555, 210, "RO", true},
        {"lblDistrict", 5, -15, 2265, 555, 210, "NU", false},
        {"lblDistrict", 9, 0, 3060, 555, 210, "NN", true},
        {"lblDistrict", 12, -15, 3645, 555, 210, "IN", true},
        {"lblDistrict", 13, -15, 3660, 555, 210, "HO", false},
        {"lblDistrict", 14, -15, 3855, 555, 210, "CHM", true},
        {"lblDistrict", 15, -15, 3855, 555, 210, "CHM", false},
        {"lblDistrict", 16, -15, 4050, 555, 210, "NZ", true},
        {"txtFrequencyDisplay", -1, 1740, 4450, 1830, 375, nullptr, true},
        {"hsbFrequency", -1, 120, 4815, 4995, 270, nullptr, true},
        {"txtMinusLabel2", -1, 105, 4815, 255, 270, "-", true},
        {"txtPlusLabel2", -1, 4860, 4815, 255, 255, "+", true},
        {"lblLowFrequency", -1, 135, 5100, 1200, 255, nullptr, true},
        {"lblHighFrequency", -1, 3930, 5115, 1200, 255, nullptr, true},
        {"fraWidth", -1, 120, 5490, 1680, 1440, "Display Width (Hz)", true},
        {"Option1", 0, 60, 240, 765, 210, "100 k", true},
        {"Option1", 1, 840, 240, 780, 195, "500 k", true},
        {"Option1", 13, 840, 1110, 720, 195, "1 G", true},
        {"Picture1", -1, 1875, 5160, 1500, 1500, nullptr, true},
        {"shpSpinner", -1, 1125, 630, 270, 255, nullptr, true},
        {"cmdMinus", -1, 1920, 6705, 705, 240, "-", true},
        {"cmdPlus", -1, 2625, 6705, 720, 240, "+", true},
        {"fraTuning", -1, 3465, 5490, 1680, 1440, "Tuning Step (Hz)", true},
        {"Option1", 14, 825, 240, 825, 210, "12.5k", true},
        {"Option1", 15, 45, 525, 675, 210, "25 k", true},
        {"Option1", 10, 825, 1110, 810, 195, "500 M", true},
        {"cmdZoomIn", -1, 5535, 5550, 1035, 255, "Zoom In", true},
        {"cmdZoomOut", -1, 5535, 5925, 1035, 255, "Zoom Out", true},
        {"lblSpectrumZoom", -1, 5475, 6300, 1215, 285, "Spectrum Zoom", true},
        {"imgMapContainer", -1, 5790, 135, 5940, 4635, nullptr, true},
        {"picMap", -1, 6120, 390, 4000, 4000, nullptr, false},
        {"lblLocationRef", 0, 540, 375, 60, 60, nullptr, false},
        {"lblLocationRef", 1, 525, 210, 60, 60, nullptr, false},
        {"hsbEasting", -1, 6120, 4395, 4020, 100, nullptr, false},
        {"vsbNorthing", -1, 10140, 405, 100, 3960, nullptr, false},
        {"lblEasting", -1, 10500, 330, 885, 465, "NZMG Easting", false},
        {"lblNorthing", -1, 10380, 1225, 1140, 240, "Northing", false},
        {"vsbMapZoom", -1, 10770, 2070, 255, 1365, nullptr, false},
        {"lblMapZoom", -1, 10515, 3600, 855, 315, "Map Zoom", false},
        {"txtMap", -1, 10380, 4080, 435, 330, nullptr, false},
        {"txtReference", -1, 10890, 4080, 660, 330, nullptr, false},
        {"lblOverlap", -1, 7680, 4515, 2025, 240, nullptr, false},
        {"Shape1", -1, 5805, 4800, 5940, 300, nullptr, true},
        {"cmdMapGrid", -1, 6195, 4830, 1035, 255, "Map On/Off", false},
        {"cmdSiteStepNorth", -1, 7665, 4830, 1035, 255, "N          Site", false},
        {"cmdSiteStepSouth", -1, 8715, 4830, 1035, 255, "Step          S", false},
        {"cmdPrintGrid", -1, 10245, 4830, 1035, 255, "Print Grid", false},
        {"MSHFlexGrid1", -1, 5820, 165, 5880, 4380, nullptr, false},
        {"lblDAV", -1, 7110, 5190, 3150, 360, "DAV Spectrum Analyser", true},
        {"picKEL", -1, 8820, 5730, 2850, 1050, nullptr, true},
    };
    for (const C& c : table) {
        QObject* o = control(&w, c.name, c.index);
        QVERIFY2(o, c.name);
        const QString what = QStringLiteral("%1(%2)").arg(c.name).arg(c.index);
        QVERIFY2(o->property("Left").toDouble() == c.l, qPrintable(what));
        QVERIFY2(o->property("Top").toDouble() == c.t, qPrintable(what));
        QVERIFY2(o->property("Width").toDouble() == c.wd, qPrintable(what));
        QVERIFY2(o->property("Height").toDouble() == c.h, qPrintable(what));
        QVERIFY2(o->property("Visible").toBool() == c.visible, qPrintable(what));
        if (c.caption) {
            const QVariant cap = o->property("Caption").isValid() ? o->property("Caption") : o->property("Text");
            QVERIFY2(cap.toString() == QString::fromUtf8(c.caption), qPrintable(what + " " + cap.toString()));
        }
    }
    // Lines by their end points and colours.
    QObject* line1 = control(&w, "Line1");
    QCOMPARE(line1->property("X1").toDouble(), 2475.0);
    QCOMPARE(line1->property("Y2").toDouble(), 4890.0);
    QCOMPARE(line1->property("BorderColor").toString(), QStringLiteral("#FF8080"));
    QCOMPARE(control(&w, "Line21")->property("Y1").toDouble(), 4243.0);
    QCOMPARE(control(&w, "Line3")->property("BorderColor").toString(), QStringLiteral("#C0FFFF"));
    // Colours and tooltips.
    QCOMPARE(control(&w, "picSpectrum")->property("BackColor").toString(), QStringLiteral("#008000"));
    QCOMPARE(control(&w, "lblUnsearchedLow")->property("BackColor").toString(), QStringLiteral("#004000"));
    QCOMPARE(control(&w, "lblDistrict", 1)->property("ToolTipText").toString(), QStringLiteral("Auckland"));
    QCOMPARE(control(&w, "lblDistrict", 1)->property("ForeColor").toString(), QStringLiteral("#80FF80"));
    QCOMPARE(control(&w, "lblDistrict", 15)->property("ToolTipText").toString(), QStringLiteral("Overseas"));
    QCOMPARE(control(&w, "cmdITU")->property("ToolTipText").toString(), QStringLiteral("ITU Allocation Colour Codes"));
    QCOMPARE(control(&w, "txtFrequencyDisplay")->property("ForeColor").toString(), QStringLiteral("#FFFF80"));
    QCOMPARE(control(&w, "lblSpectrum", 1)->property("BackColor").toString(), QStringLiteral("#80FF80"));
    QCOMPARE(control(&w, "fraWidth")->property("ForeColor").toString(), QStringLiteral("#FF0000"));
    QCOMPARE(control(&w, "hsbFrequency")->property("Min").toInt(), -2500);
    QCOMPARE(control(&w, "hsbFrequency")->property("LargeChange").toInt(), 100);
    QCOMPARE(control(&w, "vsbNorthing")->property("Value").toInt(), 1350);
    QCOMPARE(control(&w, "vsbMapZoom")->property("Max").toInt(), 300);
    QVERIFY(!control(&w, "txtMinusLabel2")->property("Enabled").toBool());
    QVERIFY(control(&w, "Option1", 1)->property("Value").toBool());
    QVERIFY(control(&w, "Option1", 15)->property("Value").toBool());
    QVERIFY(!control(&w, "Option1", 0)->property("Value").toBool());
    // Timers and menus.
    QCOMPARE(control(&w, "tmrSearch")->property("Interval").toInt(), 100);
    QVERIFY(!control(&w, "tmrSearch")->property("Enabled").toBool());
    QVERIFY(control(&w, "tmrFlash")->property("Enabled").toBool());
    QCOMPARE(control(&w, "tmrITU")->property("Interval").toInt(), 1000);
    QStringList captions;
    for (QAction* a : w.mnuFile->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? "*" : ""));
    // The items of the design in their order, Find above them.
    QCOMPARE(captions, (QStringList{"Find...", "-", "Print Grid", "Export Grid...", "Export Sites...", "-",
                                    "Overlap On*", "-", "Label Flash On*", "Map District On*", "NZMS260 On*",
                                    "Map Labels Opaque*", "-", "Exit"}));
    QCOMPARE(control(&w, "mnuAbout")->property("Caption").toString(), QStringLiteral("About"));
    // The client area and the status bar.
    QCOMPARE(w.scaleWidth(), 11820.0);
    QCOMPARE(w.scaleHeight(), 7335.0);
    QCOMPARE(w.surface()->property("BackColor").toString(), QStringLiteral("#C0C0C0"));
    QVERIFY(control(&w, "StatusBar1"));
    QVERIFY(!w.StatusBar1->panelText(4).isEmpty());
    QVERIFY(!w.StatusBar1->panelText(5).isEmpty());
    QCOMPARE(control(&w, "PictureClip1")->property("Width").toInt(), 1327);
}

void TestSpectrum::barsAreTheFirstRowsOfTheStatement()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    testing::Recorder rec;
    auto w = openWindow();
    // A window with far more than 500 groups, and one with fewer.
    for (const auto& [centre, option] : {std::pair{"450.000000", 12}, std::pair{"157.250000", 1}}) {
        rec.clear();
        searchAt(*w, centre, option);
        QVERIFY(rec.texts().isEmpty());
        const double low = w->frequency().searchLowMHz, high = w->frequency().searchHighMHz;
        const int total = int(reg::countSearchGroups(w->registerConnection(), low, high));
        const int shown = std::min(total, 500);
        QCOMPARE(int(w->chart().lastRecordIndex) + 1, shown);
        // The whole statement, run by the engine to the end, as an independent reading.
        reg::Statement all =
            w->registerConnection().database().prepare(reg::searchStatement(low, high) + reg::searchOrderClause());
        for (int i = 0; i < shown; ++i) {
            QVERIFY(all.next());
            const double rowLow = all.real(all.column("spectrumlow")), rowHigh = all.real(all.column("spectrumhigh"));
            QCOMPARE(w->chart().recordLowMHz(i), rowLow);
            QCOMPARE(w->chart().recordHighMHz(i), rowHigh);
            const int d = all.column("districtid");
            QCOMPARE(w->chart().recordDistrictId(i), all.isNull(d) ? 0.0 : all.real(d));
            const spectrum::BarGeometry g =
                spectrum::ChartScale(low, high).place(rowLow, base::roundSix(rowHigh - rowLow));
            QCOMPARE(bar(*w, i)->left(), g.left);
            QCOMPARE(bar(*w, i)->width(), g.width);
            QVERIFY(bar(*w, i)->isVisible());
        }
        QVERIFY(!w->lblSpectrum->exists(shown));
        if (total >= 500) {
            QCOMPARE(panel(*w, 1), QStringLiteral("Too many records to be displayed - reset criteria"));
            QCOMPARE(rec.beeps, 5);
        } else {
            QCOMPARE(panel(*w, 1), base::signSpacedText(total) + " Records found");
        }
    }
}

void TestSpectrum::indexPicksTheRecordsInRange()
{
    testing::WorkDir wd;
    quint32 seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    std::vector<double> highs;  // of the records shown
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        // More records than one stretch of 4096 the index passes at once.
        for (int i = 0; i < 9000; ++i) {
            const double low = (next() % 20000) / 10.0;                  // 0 to 2000 MHz
            const double width = (i % 50 == 0) ? (next() % 5000) / 10.0  // some very wide records
                                               : (next() % 100) / 1000.0;
            const int status = int(next() % 6);                           // statuses 0 to 5, some never shown
            r.record(i % 7 == 0 ? std::floor(low) : low, low + width, 5, status, 25);
            if (low > 0 && (status == 1 || status == 4 || status == 5))
                highs.push_back(low + width);
        }
        r.exec("INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, serviceid) "
               "VALUES (90001, 10, NULL, 1, 1, 1)");
    }
    reg::Connection c;
    c.open(reg::connectionString);
    const auto index = reg::SpectrumIndex::build(c);
    std::vector<std::pair<double, double>> windows = {{0.0, 2000.0}, {100.0, 100.5}, {999.75, 1000.25}, {1500.0, 1600.0},
                                                      {-5.0, 0.5},   {1990.0, 2500.0}, {3000.0, 4000.0}};
    // and windows anywhere, of any width, their edges on and between the records' own
    for (int k = 0; k < 150; ++k) {
        const double low = (next() % 200000) / 100.0;
        const double width = double(next() % (k % 2 ? 100u : 50000u)) / 100.0;
        windows.emplace_back(k % 3 ? low : std::floor(low), low + width);
    }
    // and windows a hair below a record's high edge, the widest records'
    // first: each is the last record of its stretch still reaching them
    std::sort(highs.begin(), highs.end());
    for (size_t k = 0; k < highs.size(); k += highs.size() / 150)
        windows.emplace_back(highs[k] - 1e-4, highs[k] + 1);
    for (size_t k = highs.size() - 1; k >= highs.size() - 20; --k)
        windows.emplace_back(highs[k] - 1e-4, highs[k] + 1);
    for (const auto& [low, high] : windows) {
        reg::Statement all = c.database().prepare(
            QStringLiteral("select spectrum.rowid, spectrumlow from spectrum where spectrumhigh > %1 "
                           "and spectrumlow <= %2 and spectrumlow > 0 and spectrumstatusid in "
                           "(1, 4, 5) order by spectrumlow, spectrum.rowid")
                .arg(low, 0, 'g', 17)
                .arg(high, 0, 'g', 17));
        std::vector<qint64> ids;
        std::vector<double> lows;
        while (all.next()) {
            ids.push_back(all.integer(0));
            lows.push_back(all.real(1));
        }
        for (size_t wanted : {size_t(1), size_t(50), size_t(500), size_t(100000)}) {
            const auto picked = index->candidates(low, high, wanted);
            // The first `wanted` records, then those sharing the last one's low edge.
            size_t n = std::min(wanted, ids.size());
            while (n > 0 && n < ids.size() && lows[n] == lows[n - 1])
                ++n;
            QCOMPARE(picked.rowids, std::vector<qint64>(ids.begin(), ids.begin() + qsizetype(n)));
            QCOMPARE(picked.all, n == ids.size());
        }
    }
}

void TestSpectrum::barPlacementOnTheChart()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(0.5, 2.0, 1, 1, 31);
        r.record(999, 1030, 1, 1, 31);
        r.record(900, 1100, 7, 1, 30);
        r.record(1000.0, 1000.1, 4, 1, 25, 9);
    }
    auto w = openWindow();
    QCOMPARE(int(w->chart().lastRecordIndex), 0);
    QCOMPARE(bar(*w, 0)->left(), -2500.0);
    QCOMPARE(bar(*w, 0)->width(), 15000.0);
    QCOMPARE(w->chart().recordLeftTwips(0), -2500.0);
    searchAt(*w, "1000");
    QCOMPARE(int(w->chart().lastRecordIndex), 2);
    // Rows in low-edge order: 900, 999, 1000.
    QCOMPARE(bar(*w, 0)->left(), -240000.0);
    QCOMPARE(bar(*w, 0)->width(), 1242500.0);
    QCOMPARE(bar(*w, 1)->left(), -7500.0);
    QCOMPARE(bar(*w, 1)->width(), 240000.0);
    QCOMPARE(bar(*w, 2)->left(), 2500.0);
    QCOMPARE(bar(*w, 2)->width(), 1000.0);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("1000.000000"));
    // Later bars lie over earlier ones.
    const auto& g = w->picSpectrum->graphics();
    const auto pos = [&](forms::GraphicControl* c) { return std::find(g.begin(), g.end(), c) - g.begin(); };
    QVERIFY(pos(bar(*w, 0)) < pos(bar(*w, 1)));
    QVERIFY(pos(bar(*w, 1)) < pos(bar(*w, 2)));
    QVERIFY(pos(w->Line1) < pos(bar(*w, 0)));
    QVERIFY(pos(w->lblUnsearchedLow) < pos(w->Line1));
}

void TestSpectrum::layoutRowsColoursAndCaptions()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 1, 25, 9, 3);    // 0: status 1, district 9, three sites
        r.record(1.02, 1.03, 5, 5, 25, 9);      // 1: status 5, district 9
        r.record(1.04, 1.05, 5, 1, 25, 6);      // 2: district 6 -> row 0
        r.record(1.06, 1.07, 5, 1, 25, 14);     // 3
        r.record(1.08, 1.09, 5, 1, 25, 16);     // 4
        r.record(1.10, 1.11, 5, 1, 25, 0);      // 5: no transmit configuration
        r.record(1.12, 1.13, 8, 1, 22);         // 6: ITU, unknown service
        r.record(1.14, 1.15, 8, 1, 26);         // 7: ITU broadcasting
        r.record(1.16, 1.17, 1, 1, 31);         // 8: band
        r.record(1.18, 1.19, 7, 1, 30);         // 9: management right
        r.record(1.20, 1.21, 5, 1, 25, 17);     // 10: NZ
        r.record(1.22, 1.23, 5, 1, 25, 15);     // 11: CHM
    }
    auto w = openWindow();
    QCOMPARE(int(w->chart().lastRecordIndex), 11);
    struct E {
        int top, height;
        const char* colour;
        const char* caption;
    };
    const E expected[] = {
        {2900, 200, "#80FF80", "3"}, {2950, 100, "#FFC080", ""},  {1300, 200, "#80FF80", "1"},
        {1300, 200, "#80FF80", "1"}, {1300, 200, "#80FF80", "1"}, {1300, 200, "#80FF80", "1"},
        {0, 100, "#C0C0C0", ""},     {0, 100, "#FFFF00", ""},     {1150, 150, "#80FFFF", ""},
        {600, 150, "#FF8080", ""},   {4100, 200, "#80FF80", "1"}, {3900, 200, "#80FF80", "1"},
    };
    for (int i = 0; i < 12; ++i) {
        const QString what = QString::number(i);
        QVERIFY2(bar(*w, i)->top() == expected[i].top, qPrintable(what + ": " + QString::number(bar(*w, i)->top())));
        QVERIFY2(bar(*w, i)->height() == expected[i].height, qPrintable(what));
        QVERIFY2(bar(*w, i)->backColorText() == expected[i].colour, qPrintable(what + bar(*w, i)->backColorText()));
        QVERIFY2(bar(*w, i)->caption() == expected[i].caption, qPrintable(what + bar(*w, i)->caption()));
    }
    QCOMPARE(w->chart().recordDistrictId(0), 9.0);
    QCOMPARE(w->chart().recordDistrictId(5), 0.0);
    QCOMPARE(int(w->chart().recordServiceId(7)), 26);
    QCOMPARE(w->chart().recordBandwidthMHz(0), 0.01);
}

// The caption is the count for every bar; only a status 5 record with a
// district shows none.
void TestSpectrum::status5WithoutADistrictKeepsItsCount()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 5, 25, 0);     // status 5, no transmit configuration
        r.record(1.02, 1.03, 4, 5, 25, 3, 2);  // status 5 in district 3, two sites
    }
    auto w = openWindow();
    QCOMPARE(int(w->chart().lastRecordIndex), 1);
    QCOMPARE(bar(*w, 0)->caption(), QStringLiteral("1"));
    QCOMPARE(bar(*w, 0)->top(), 1300.0);
    QCOMPARE(bar(*w, 0)->backColorText(), QStringLiteral("#FFC080"));
    QCOMPARE(bar(*w, 1)->caption(), QString());
    QCOMPARE(bar(*w, 1)->top(), 1950.0);
}

// The statement compares the edges' 15-digit texts; the index of edges must
// not drop a record the statement takes. With the window's low edge
// 0.55 - 0.25 (0.30000000000000004) and a record ending at exactly that
// value, the text " .3" takes the record.
void TestSpectrum::indexTakesWhatTheStatementTakes()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(0.2, 0.55 - 0.25, 5, 1, 25, 2);
        r.record(0.5, 0.6, 5, 1, 25, 2);
    }
    auto w = openWindow();
    searchAt(*w, "0.55");
    QCOMPARE(w->frequency().searchLowMHz, 0.55 - 0.25);
    QCOMPARE(reg::countSearchGroups(w->registerConnection(), w->frequency().searchLowMHz, w->frequency().searchHighMHz),
             qint64(2));
    QCOMPARE(int(w->chart().lastRecordIndex), 1);
    QCOMPARE(w->chart().recordLowMHz(0), 0.2);
    QCOMPARE(panel(*w, 1), QStringLiteral(" 2 Records found"));
    QCOMPARE(base::signSpacedValue(0.55 - 0.25), 0.3);
    QCOMPARE(base::signSpacedValue(-0.3), -0.3);
}

void TestSpectrum::plannedSubRowsAndStackedAllocations()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.025, 4, 4, 25, 0, 1, "CH 1");    // 0: 25 kHz planned, type 4: keeps its count
        r.record(1.0, 1.0125, 5, 4, 25, 0, 1, "CH 2");   // 1: 12.5 kHz planned, type 5: no caption
        r.record(1.1, 1.10625, 4, 4, 25, 2, 1, "N 1");   // 2: 6.25 kHz planned with a district
        r.record(1.2, 1.2125, 4, 1, 25, 9);              // 3: type 4 status 1 in district 9
        r.record(1.3, 1.31, 8, 1, 18);
        r.record(1.3, 1.31, 8, 1, 19);
        r.record(1.3, 1.31, 8, 1, 30);
        r.record(1.308, 1.31, 8, 1, 27);
        r.record(1.308, 1.32, 8, 1, 29);
    }
    auto w = openWindow();
    searchAt(*w, "1.2", 2);  // 1 MHz wide: 0.7 to 1.7
    QCOMPARE(int(w->chart().lastRecordIndex), 8);
    QCOMPARE(int(w->chart().plannedBandwidthCount()), 3);
    QCOMPARE(w->chart().plannedBandwidthsMHz(), (std::vector<double>{0, 0.025, 0.0125, 0.00625}));
    // Rows in low-edge order: 1.0-1.0125 (CH 2), 1.0-1.025 (CH 1), 1.1 (N 1), 1.2, then the allocations.
    QCOMPARE(bar(*w, 0)->top(), 883.0);  // 12.5 kHz: sub-row 2
    QCOMPARE(bar(*w, 0)->height(), 133.0);
    QCOMPARE(bar(*w, 0)->caption(), QString());
    QCOMPARE(bar(*w, 1)->top(), 750.0);  // 25 kHz: sub-row 1
    QCOMPARE(bar(*w, 1)->caption(), QStringLiteral("1"));
    QCOMPARE(bar(*w, 2)->top(), 1016.0);  // district 2, still in the planned row
    QCOMPARE(bar(*w, 2)->backColorText(), QStringLiteral("#FFFF80"));
    QCOMPARE(bar(*w, 3)->top(), 2900.0);
    QCOMPARE(bar(*w, 3)->height(), 200.0);
    QCOMPARE(bar(*w, 3)->caption(), QStringLiteral("1"));
    QCOMPARE(int(w->chart().ituRecordCount()), 5);
    const int tops[5] = {0, 100, 200, 0, 100};
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(bar(*w, 4 + k)->top(), double(tops[k]));
        QCOMPARE(bar(*w, 4 + k)->height(), 100.0);
    }
    QCOMPARE(bar(*w, 4)->backColorText(), QStringLiteral("#FF0000"));
    QCOMPARE(bar(*w, 5)->backColorText(), QStringLiteral("#0000FF"));
    QCOMPARE(bar(*w, 8)->backColorText(), QStringLiteral("#FF00FF"));
}

void TestSpectrum::recordCountsAndTheLimit()
{
    for (int rows : {37, 500, 600}) {
        testing::WorkDir wd;
        {
            TinyRegister r(wd.file("KORVA.mdb"));
            for (int i = 0; i < rows; ++i)
                r.record(0.8 + i * 0.0001, 0.8 + i * 0.0001 + 0.00005, 5, 1, 25, 1 + i % 17);
        }
        testing::Recorder rec;
        auto w = openWindow();
        if (rows == 37) {
            QCOMPARE(panel(*w, 1), QStringLiteral(" 37 Records found"));
            QCOMPARE(rec.beeps, 0);
        } else {
            QCOMPARE(panel(*w, 1), QStringLiteral("Too many records to be displayed - reset criteria"));
            QCOMPARE(rec.beeps, 5);
        }
        QCOMPARE(int(w->chart().lastRecordIndex), std::min(rows, 500) - 1);
        QVERIFY(w->lblSpectrum->exists(std::min(rows, 500) - 1));
        QVERIFY(!w->lblSpectrum->exists(std::min(rows, 500)));
        QCOMPARE(w->chart().recordLowMHz(std::min(rows, 500) - 1), 0.8 + (std::min(rows, 500) - 1) * 0.0001);
    }
}

void TestSpectrum::emptyResultAfterBars()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        for (int i = 0; i < 20; ++i)
            r.record(0.9 + i * 0.01, 0.905 + i * 0.01, 5, 1, 25, 2);
        r.record(50.0, 50.1, 5, 1, 25, 2);
        r.record(50.2, 50.3, 5, 1, 25, 2);
        r.record(50.3, 50.4, 5, 1, 25, 2);
    }
    auto w = openWindow();
    QCOMPARE(int(w->chart().lastRecordIndex), 19);
    searchAt(*w, "20.5");
    QCOMPARE(panel(*w, 1), QStringLiteral("Searching"));
    for (int i = 0; i < 20; ++i)
        QVERIFY(!bar(*w, i)->isVisible());
    QCOMPARE(int(w->chart().lastRecordIndex), 19);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("20.5"));  // kept as typed
    QCOMPARE(w->lblLowFrequency->caption(), QStringLiteral("20.250000"));
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral("20.750000"));
    searchAt(*w, "50.2");
    QCOMPARE(int(w->chart().lastRecordIndex), 2);
    QVERIFY(!w->lblSpectrum->exists(3));
    QVERIFY(!w->lblSpectrum->exists(19));
    QCOMPARE(w->lblSpectrum->count(), 3);
    QCOMPARE(panel(*w, 1), QStringLiteral(" 3 Records found"));
}

void TestSpectrum::notANumber()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    testing::Recorder rec;
    auto w = openWindow();
    const int before = w->chart().lastRecordIndex;
    w->hsbFrequency->setValue(300);
    w->txtFrequencyDisplay->setText("abc");
    // Enter with letters in the box: nothing at all.
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    QVERIFY(rec.messages.empty());
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Scrolled"));
    // A display-width click searches and reports.
    w->Option1[2]->setValue(true);
    QCOMPARE(rec.texts(), QStringList{"You didn't enter a number"});
    QCOMPARE(rec.messages[0].title, QStringLiteral("Orvane"));
    QCOMPARE(w->frequency().zoomFactor, 1.0);
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 1"));
    QCOMPARE(w->lblUnsearchedLow->left(), -2500.0);
    QCOMPARE(w->lblUnsearchedHigh->left(), 5000.0);
    QCOMPARE(w->hsbFrequency->value(), 0);
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Unscrolled"));
    QCOMPARE(panel(*w, 1), QStringLiteral("Searching"));
    QCOMPARE(int(w->chart().lastRecordIndex), before);
    QVERIFY(bar(*w, 0)->isVisible());
    QCOMPARE(w->chart().rangeCriteria.text(), QStringLiteral("spectrumhigh >  .75 and SpectrumLow <=  1.25"));
}

void TestSpectrum::failingSearchReportsError()
{
    testing::WorkDir wd;
    {
        TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 1, 25, 2);
        r.exec("INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid) "
               "VALUES (99, 30.0, 30.1, 1, 1)");  // a null service cannot be laid out
    }
    testing::Recorder rec;
    auto w = openWindow();
    QVERIFY(rec.messages.empty());
    searchAt(*w, "30.05");
    QCOMPARE(rec.texts(), QStringList{"Error in Orvane"});
    QCOMPARE(rec.messages[0].style, int(forms::vbExclamation));
    QCOMPARE(panel(*w, 1), QStringLiteral("Searching"));
}

void TestSpectrum::missingRegisterEndsStartUp()
{
    testing::WorkDir wd;
    testing::Recorder rec;
    FrmSpectrum w;
    try {
        w.formLoad();
        QFAIL("the load went on without a register");
    } catch (const reg::RegisterError& e) {
        QVERIFY(e.message().contains("KORVA.mdb"));
    }
    QVERIFY(!w.isVisible());
}

void TestSpectrum::hoverRuleClearsPanelOne()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    auto w = openWindow();
    const QString found = panel(*w, 1);
    QVERIFY(found.endsWith("Records found"));
    w->StatusBar1->setPanelText(3, "kept");
    for (forms::GraphicControl* g : std::initializer_list<forms::GraphicControl*>{w->lblBand, w->lblMR, w->lblPlan,
                                                                                  w->lblUnspec, w->lblScroll, w->lblZoom}) {
        w->StatusBar1->setPanelText(1, found);
        emit g->mouseMove(0, 0, 10, 10);
        QCOMPARE(panel(*w, 1), QString());
    }
    for (forms::Control* c : std::initializer_list<forms::Control*>{w->picDistricts, w->txtFrequencyDisplay}) {
        w->StatusBar1->setPanelText(1, found);
        emit c->mouseMove(0, 0, 10, 10);
        QCOMPARE(panel(*w, 1), QString());
    }
    QCOMPARE(panel(*w, 2), QStringLiteral("Fine Tuning Unused"));
    QCOMPARE(panel(*w, 3), QStringLiteral("kept"));
    // Over a district label: the cross-hair and an empty panel.
    w->StatusBar1->setPanelText(1, found);
    emit (*w->lblDistrict)(3)->mouseMove(0, 0, 5, 5);
    QCOMPARE(panel(*w, 1), QString());
    QCOMPARE(w->mousePointer(), int(forms::vbCrosshair));
}

void TestSpectrum::scrollingTheWindow()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    testing::Recorder rec;
    auto w = openWindow();
    const double left0 = bar(*w, 0)->left();
    w->hsbFrequency->setValue(2500);
    QCOMPARE(bar(*w, 0)->left(), left0 + 2500);
    QCOMPARE(w->frequency().windowLowMHz, 0.5);
    QCOMPARE(w->frequency().windowHighMHz, 1.0);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral(".750000"));
    QCOMPARE(w->lblLowFrequency->caption(), QStringLiteral(".500000"));
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral("1.000000"));
    QCOMPARE(w->lblUnsearchedLow->left(), 0.0);
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Scrolled"));
    QCOMPARE(panel(*w, 2), QStringLiteral("Fine Tuning Used"));
    w->hsbFrequency->setValue(-2500);
    QCOMPARE(w->lblUnsearchedHigh->left(), 2500.0);
    QCOMPARE(w->frequency().windowLowMHz, 1.0);
    QCOMPARE(w->frequency().windowHighMHz, 1.5);
    w->hsbFrequency->setValue(0);
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Scrolled"));  // a scroll back to 0 is a scroll
    QCOMPARE(bar(*w, 0)->left(), left0);
    // A search resets the scroll and says so.
    w->hsbFrequency->setValue(100);
    w->frequency().txtFrequencyDisplay_Click();
    QCOMPARE(w->hsbFrequency->value(), 0);
    QCOMPARE(w->lblScroll->caption(), QStringLiteral("Unscrolled"));
    QCOMPARE(panel(*w, 2), QStringLiteral("Fine Tuning Unused"));
    // Centre 0.2, width 1: the low edge is below 0.
    searchAt(*w, "0.2", 2);
    QCOMPARE(w->frequency().searchLowMHz, 0.2 - 0.5);
    QCOMPARE(w->lblLowFrequency->caption(), QString());
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral(".700000"));
    QCOMPARE(w->chart().rangeCriteria.text(), QStringLiteral("spectrumhigh > -.3 and SpectrumLow <=  .7"));
    // Centre 0.1, width 0.5, scrolled to +2500.
    searchAt(*w, "0.1", 1);
    w->hsbFrequency->setValue(2500);
    QCOMPARE(w->frequency().windowHighMHz, 0.1);
    QCOMPARE(w->frequency().windowLowMHz, -0.4);
    QCOMPARE(w->lblLowFrequency->caption(), QString());
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("-.150000"));
    // An arrow step shifts the window by a 500th of its span.
    searchAt(*w, "1", 1);
    w->hsbFrequency->bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(w->frequency().windowLowMHz, 0.749);
    // While zoomed the scroll handler refuses.
    w->frequency().zoomFactor = 2;
    w->hsbFrequency->setValue(50);
    QCOMPARE(rec.texts().last(), QStringLiteral("Sorry.  Please return Zoom to 1 before scrolling"));
    QCOMPARE(w->frequency().windowLowMHz, 0.749);
}

void TestSpectrum::pointerReadout()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    auto w = openWindow();
    w->setMousePointer(forms::vbCrosshair);
    emit w->picSpectrum->mouseMove(0, 0, 2500, 100);
    QCOMPARE(panel(*w, 1), QStringLiteral("1"));
    QCOMPARE(w->mousePointer(), int(forms::vbDefault));
    emit w->picSpectrum->mouseMove(1, 0, 0, 100);
    QCOMPARE(panel(*w, 1), QStringLiteral("0.75"));
    emit w->picSpectrum->mouseMove(0, 0, 1234, 100);
    QCOMPARE(panel(*w, 1), QStringLiteral("0.8734"));
    w->lblSelect->setLeft(1000);
    w->frequency().lblSelect_MouseMove(0, 0, 250, 10);
    QCOMPARE(panel(*w, 1), QStringLiteral("0.875"));
    w->hsbFrequency->setValue(2500);
    emit w->picSpectrum->mouseMove(0, 0, 2500, 100);
    QCOMPARE(panel(*w, 1), QStringLiteral("0.75"));
}

void TestSpectrum::optionsAndTheFrequencyBox()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    auto w = openWindow();
    // Each width option searches the same centre with its width.
    const std::pair<int, double> widths[] = {{0, 0.1}, {2, 1}, {3, 5}, {4, 10}, {11, 100}, {12, 500}, {13, 1000}, {1, 0.5}};
    for (const auto& [index, mhz] : widths) {
        w->Option1[size_t(index)]->setValue(true);
        QCOMPARE(w->frequency().displayWidthMHz, mhz);
        QCOMPARE(w->frequency().searchHighMHz - w->frequency().searchLowMHz, mhz);
    }
    // A tuning option searches the same window again.
    const double low = w->frequency().searchLowMHz;
    w->Option1[9]->setValue(true);
    QCOMPARE(w->frequency().searchLowMHz, low);
    QCOMPARE(w->frequency().displayWidthMHz, 0.5);
    // A typed centre with blanks around it, taken on Enter.
    w->txtFrequencyDisplay->setText("  157.25 ");
    w->frequency().txtFrequencyDisplay_KeyPress(int('x'));
    QCOMPARE(w->frequency().searchLowMHz, low);
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    QCOMPARE(w->frequency().searchLowMHz, 157.0);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("157.250000"));
}

QTEST_MAIN(TestSpectrum)
#include "test_spectrum.moc"
