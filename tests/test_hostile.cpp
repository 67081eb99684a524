// Registers that are valid but unusual or hostile, driven through the real
// window's events (as a user would, so each action runs under its time
// budget): every action finishes, or is refused with its message, within
// its budget; the window stays as it was when an action is refused; memory
// stays bounded.

#include "inspect/texts.h"
#include "shell/start.h"
#include "base/numbers.h"
#include "base/shown_text.h"
#include "hostile.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QtTest>
#include <sys/stat.h>

using namespace shell;
using testing::barAt;
using testing::hostileRegister;
using testing::licenceAt095;
using testing::timed;

namespace {

double residentMB(const char* field = "VmRSS:")
{
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Starts measuring the peak resident memory (VmHWM) afresh.
void resetPeakMemory()
{
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The memory a test may take: its peak above what the process held when it
// began, and (outside the sanitizers, whose own bookkeeping is resident
// too) the peak itself.
void checkMemory(double startMB)
{
    const double peak = residentMB("VmHWM:");
    qInfo("peak resident %.0f MB, %.0f MB above the start", peak, peak - startMB);
    QVERIFY2(peak - startMB < 250, qPrintable(QString::number(peak - startMB)));
#if !defined(__SANITIZE_ADDRESS__)
    QVERIFY2(peak < 300, qPrintable(QString::number(peak)));
#endif
}

}  // namespace

class TestHostile : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetPeakMemory();
        startMB_ = residentMB();
    }
    void manySitesAreListedUpToTheCounters();
    void manyRecordsOnOneEdge();
    void hugeTextsAreShownBounded();
    void unbrokenRemarkShowsQuickly();
    void endlessViewsAreBounded();
    void aPipeIsRefusedAtOnce();
    void infiniteEdgeIsLeftOut();

private:
    double startMB_ = 0;
};

// 40 000 sites behind one licence: the listing holds the first 32766 rows
// and the map the first 32767 sites, and says so; pressed again, the old
// markers go as fast as they came.
void TestHostile::manySitesAreListedUpToTheCounters()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"), licenceAt095(40000));
    testing::Recorder rec;
    auto w = testing::openWindow();
    const int bar = barAt(*w, 0.95);
    QVERIFY(bar >= 0);
    for (int round = 0; round < 2; ++round) {
        rec.clear();
        const qint64 ms = timed([&] { emit w->lblSpectrum->at(bar)->mouseDown(2, 0, 0, 0); });
        QVERIFY2(ms < reg::kActionBudgetMs, qPrintable(QString::number(ms)));
        QCOMPARE(int(w->listing().gridRowCount), inspect::Listing::kMaxGridRows);
        QCOMPARE(w->siteMap().lastSiteIndex + 1, nzmap::SiteMap::kMaxSites);
        QCOMPARE(rec.texts(), QStringList{"The listing has more rows than can be shown.\r\nThe first 32766 licences "
                                          "are listed.\r\nThe first 32767 sites are plotted on the map."});
        QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  1 of  32767 licences plotted on map "));
    }
    // Stepping round the sites wraps at the last one.
    emit w->cmdSiteStepNorth->clicked();
    QCOMPARE(w->StatusBar1->panelText(3), QStringLiteral("Licence  32767 of  32767 licences plotted on map "));
    checkMemory(startMB_);
}

// 100 000 records sharing one low edge: the search groups them all (the
// chart's first 500 groups lie among them) within its budget.
void TestHostile::manyRecordsOnOneEdge()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"),
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                    "INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, "
                    "serviceid) SELECT 2000000 + i, 1.0, 1.0 + (i % 1000) / 100000.0, 5, 1, 25 FROM n;");
    testing::Recorder rec;
    auto w = testing::openWindow();
    QCOMPARE(int(w->chart().lastRecordIndex), 499);
    w->txtFrequencyDisplay->setText("1.002");
    const qint64 ms = timed([&] { emit w->txtFrequencyDisplay->keyPress(13); });
    QVERIFY2(ms < reg::kActionBudgetMs, qPrintable(QString::number(ms)));
    QCOMPARE(int(w->chart().lastRecordIndex), 499);
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("Too many records to be displayed - reset criteria"));
    // A press on one of them, its details, and zooms.
    const int bar = barAt(*w, 1.0);
    QVERIFY(bar >= 0);
    QVERIFY(timed([&] { emit w->lblSpectrum->at(bar)->mouseDown(1, 0, 0, 0); }) < reg::kActionBudgetMs);
    QVERIFY(timed([&] { emit w->cmdZoomIn->clicked(); }) < reg::kActionBudgetMs);
    QVERIFY(timed([&] { emit w->cmdZoomOut->clicked(); }) < reg::kActionBudgetMs);
    QVERIFY2(rec.texts().isEmpty(), qPrintable(rec.texts().join('/')));
}

// Licensee names and district texts of 0.8 MB (near the most the engine
// reads of a value): shown truncated, listed and printed quickly; the sheet
// table keeps no more than it shows.
void TestHostile::hugeTextsAreShownBounded()
{
    testing::WorkDir wd;
    const QString mb = "replace(hex(zeroblob(262144)), '00', 'Kō')";
    hostileRegister(wd.file("KORVA.mdb"), licenceAt095(3, mb) +
                                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                              "WHERE i < 48) INSERT INTO mapdistrict (map, district) "
                                              "SELECT 'Z' || i, " + mb + " FROM n;");
    const double before = residentMB();
    testing::Recorder rec;
    auto w = testing::openWindow();
    // The sheet table keeps 48 short texts, not 48 MB.
    QVERIFY2(residentMB() - before < 60, qPrintable(QString::number(residentMB() - before)));
    for (const QString& d : w->siteMap().mapSheetDistricts)
        QVERIFY(d.size() <= base::kShownTextMax);
    const int bar = barAt(*w, 0.95);
    QVERIFY(bar >= 0);
    const qint64 ms = timed([&] { emit w->lblSpectrum->at(bar)->mouseDown(2, 0, 0, 0); });
    QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
    QCOMPARE(int(w->listing().gridRowCount), 4);
    const QString name = w->MSHFlexGrid1->textMatrix(1, 8);
    QCOMPARE(name.size(), base::kShownTextMax);
    QVERIFY(name.startsWith(QStringLiteral("KōKō")) && name.endsWith(QChar(0x2026)));
    QVERIFY2(rec.texts().isEmpty(), qPrintable(rec.texts().join('/')));
}

// A band whose remarks are one unbroken word of 256 KB: its details show
// quickly, the text cut and given places to break.
void TestHostile::unbrokenRemarkShowsQuickly()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"),
                    "INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, "
                    "serviceid, SpectrumRemarks) VALUES (900002, 0.91, 0.92, 1, 1, 31, "
                    "replace(hex(zeroblob(131072)), '00', 'wx'));");
    auto w = testing::openWindow();
    w->show();
    const int bar = barAt(*w, 0.91);
    QVERIFY(bar >= 0);
    const qint64 ms = timed([&] {
        emit w->lblSpectrum->at(bar)->mouseDown(1, 0, 0, 0);
        QImage img(w->size(), QImage::Format_ARGB32);
        w->render(&img);
    });
    QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
    const QString shown = w->txtSpectrumInfo->text();
    QVERIFY(shown.startsWith("Spectrum Band "));
    QVERIFY(shown.size() < inspect::kShownRemarksMax + inspect::kShownRemarksMax / 70 + 100);
    QVERIFY(shown.contains(QChar(0x200B)));
    QVERIFY(shown.endsWith(QChar(0x2026)));
}

// `spectrum` as a view that never ends and `mapdistrict` as a view of two
// billion rows: the window comes up with the message that the register took
// too long, within the start-up budget, and memory stays bounded.
void TestHostile::endlessViewsAreBounded()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"),
                    "DROP TABLE spectrum; CREATE VIEW spectrum AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                    "SELECT i + 1 FROM n) SELECT i AS spectrumid, NULL AS licenceid, 1.0 AS spectrumlow, "
                    "1.0 + i / 1e9 AS spectrumhigh, 5 AS spectrumtypeid, 1 AS spectrumstatusid, 25 AS serviceid, "
                    "NULL AS spectrumlabel, NULL AS SpectrumRemarks, NULL AS managementrightid FROM n;"
                    "DROP TABLE mapdistrict; CREATE VIEW mapdistrict AS WITH RECURSIVE n(i) AS (SELECT 1 UNION "
                    "ALL SELECT i + 1 FROM n WHERE i < 2000000000) SELECT 'R' || (i % 50) AS map, "
                    "'District ' || i AS district FROM n;");
    testing::Recorder rec;
    std::unique_ptr<FrmSpectrum> w;
    const qint64 ms = timed([&] { w = testing::openWindow(); });
    QVERIFY2(ms < reg::kStartUpBudgetMs + 5000, qPrintable(QString::number(ms)));
    QCOMPARE(rec.texts(), QStringList{reg::tooLongMessage()});
    QVERIFY(w->isVisible());
    QCOMPARE(int(w->siteMap().mapSheetCount), 32767);
    // A search the register cannot finish leaves the window as it was; while
    // it runs the window keeps painting under the hourglass.
    const QString panel = w->StatusBar1->panelText(1);
    const QString low = w->lblLowFrequency->caption();
    rec.clear();
    int paints = 0, pointerBack = 0;
    w->registerConnection().setWaitingHooks(
        [&] {
            ++paints;
            forms::setScreenPointer(forms::vbHourglass);
            forms::keepPainting();
        },
        [&] {
            ++pointerBack;
            forms::setScreenPointer(forms::vbDefault);
        });
    w->txtFrequencyDisplay->setText("2");
    const qint64 search = timed([&] { emit w->txtFrequencyDisplay->keyPress(13); });
    QVERIFY2(paints > 40, qPrintable(QString::number(paints)));  // about ten a second
    QCOMPARE(pointerBack, 1);
    QCOMPARE(forms::screenPointer(), int(forms::vbDefault));
    QVERIFY2(search < reg::kActionBudgetMs + 5000, qPrintable(QString::number(search)));
    QCOMPARE(rec.texts(), QStringList{reg::tooLongMessage()});
    QCOMPARE(w->StatusBar1->panelText(1), panel);
    QCOMPARE(w->lblLowFrequency->caption(), low);
    checkMemory(startMB_);
}

// A named pipe as the register: refused at once, without blocking on it. A
// link to a register file opens like the file.
void TestHostile::aPipeIsRefusedAtOnce()
{
    {
        testing::WorkDir wd;
        QCOMPARE(testing::makeRegister(wd.file("register.sqlite"), 0.02), 0);
        QVERIFY(QFile::link(wd.file("register.sqlite"), wd.file("KORVA.mdb")));
        auto w = testing::openWindow();
        QVERIFY(w->chart().lastRecordIndex > 0);
    }
    testing::WorkDir wd;
    QCOMPARE(::mkfifo(wd.file("KORVA.mdb").toLocal8Bit().constData(), 0644), 0);
    testing::Recorder rec;
    QElapsedTimer t;
    t.start();
    QCOMPARE(modStart(), 1);
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(rec.messages.size(), size_t(1));
    QVERIFY2(rec.messages[0].text.contains("KORVA.mdb is not a register database file: it is a pipe"),
             qPrintable(rec.messages[0].text));
}

// A record whose high edge is infinite is the register's fault: it is left
// out of the chart, and the presses around it work.
void TestHostile::infiniteEdgeIsLeftOut()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"), licenceAt095(2) +
                                              "INSERT INTO spectrum (spectrumid, licenceid, spectrumlow, "
                                              "spectrumhigh, spectrumtypeid, spectrumstatusid, serviceid) VALUES "
                                              "(900003, 900001, 0.9, 9e999, 5, 1, 25);");
    testing::Recorder rec;
    auto w = testing::openWindow();
    QCOMPARE(barAt(*w, 0.9), -1);
    const int bar = barAt(*w, 0.95);
    QVERIFY(bar >= 0);
    emit w->lblSpectrum->at(bar)->mouseDown(2, 0, 0, 0);
    QVERIFY2(rec.texts().isEmpty(), qPrintable(rec.texts().join('/')));
    QVERIFY(w->listing().gridRowCount >= 3);  // the listing overlaps the infinite record too
    emit w->lblDistrict->at(1)->mouseDown(1, 0, 0, 0);
    QVERIFY2(rec.texts().isEmpty(), qPrintable(rec.texts().join('/')));
    QCOMPARE(base::signSpacedText(std::numeric_limits<double>::infinity()), QStringLiteral(" 9e999"));
}

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
