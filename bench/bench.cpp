// orvane-bench: figures for the claims of speed, each printed beside a
// baseline measured in the same run.
//
//   orvane-bench [--scale S ...] [--quick] [--access-only] [--growth] [--find]
//
// For each scale a register is generated into a temporary folder and the
// main window is opened on it (offscreen).

#include "base/numbers.h"
#include "inspect/inspection.h"
#include "inspect/listing.h"
#include "map/site_map.h"
#include "register/access_import.h"

#include <sys/resource.h>
#include "register/connection.h"
#include "register/find_index.h"
#include "register/statements.h"
#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

#include <QSysInfo>
#include <QThread>

#include <QApplication>
#include <QImage>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Paints the chart as the screen would, into an image of its size.
// The criteria of a listing overlapping low to high, in every district.
reg::Criteria listingCriteria(double low, double high)
{
    return reg::Criteria::listing({low, reg::Edge::SignSpaced}, {high, reg::Edge::SignSpaced}, true);
}

QStringList accessTableNames(const QString& file)
{
    QStringList names;
    for (const reg::AccessTable& t : reg::accessCatalogue(file))
        names << t.name;
    return names;
}

void paintChart(shell::FrmSpectrum& w)
{
    static QImage image;
    if (image.size() != w.picSpectrum->size())
        image = QImage(w.picSpectrum->size(), QImage::Format_ARGB32_Premultiplied);
    w.picSpectrum->render(&image);
}

template <class F>
double timeMs(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void row(const char* what, double value, const char* unit, double baseline, const char* baseName)
{
    std::printf("  %-44s %10.2f %-3s  baseline %-22s %10.2f %-3s  ratio %6.3f\n", what, value, unit, baseName, baseline,
                unit, baseline > 0 ? value / baseline : 0.0);
}

void searchFigures(shell::FrmSpectrum& w, bool quick)
{
    struct Case {
        const char* name;
        double centre;
        int option;
        double width;
    };
    const Case cases[] = {{"search 100 kHz at 157.25 MHz", 157.25, 0, 0.1},
                          {"search 1 MHz at 157.25 MHz", 157.25, 2, 1},
                          {"search 10 MHz at 455 MHz", 455, 4, 10},
                          {"search 100 MHz at 450 MHz", 450, 11, 100},
                          {"search 500 MHz at 700 MHz", 700, 12, 500},
                          {"search 1 GHz at 1000 MHz", 1000, 13, 1000}};
    const int reps = quick ? 3 : 9;
    for (const Case& c : cases) {
        w.Option1[size_t(c.option)]->setValue(true);
        std::vector<double> ours, bare;
        for (int r = 0; r < reps; ++r) {
            w.txtFrequencyDisplay->setText(base::sixDecimalText(c.centre));
            ours.push_back(timeMs([&] {
                w.frequency().rerunSearch();
                paintChart(w);
            }));
            const double low = c.centre - c.width / 2;
            bare.push_back(timeMs([&] { reg::countSearchGroups(w.registerConnection(), low, low + c.width); }));
        }
        row(c.name, median(ours), "ms", median(bare), "full statement");
        std::printf("      (%d bars shown)\n", w.chart().lastRecordIndex + 1);
    }
}

void zoomFigures(shell::FrmSpectrum& w)
{
    w.Option1[11]->setValue(true);
    w.txtFrequencyDisplay->setText("450");
    w.frequency().rerunSearch();
    std::vector<double> in, out;
    for (int r = 0; r < 20; ++r) {
        in.push_back(timeMs([&] {
            w.frequency().cmdZoomIn_Click();
            paintChart(w);
        }));
        out.push_back(timeMs([&] {
            w.frequency().cmdZoomOut_Click();
            paintChart(w);
        }));
    }
    row("zoom in, 500 bars, repainted", median(in), "ms", 5.0, "target");
    row("zoom out, 500 bars, repainted", median(out), "ms", 5.0, "target");
}

void steppingFigures(shell::FrmSpectrum& w, double seconds)
{
    struct Case {
        const char* name;
        int option;
    };
    const Case cases[] = {{"stepping 100 kHz window, ticks/s", 0}, {"stepping 1 MHz window, ticks/s", 2},
                          {"stepping 10 MHz window, ticks/s", 4},  {"stepping 100 MHz window, ticks/s", 11},
                          {"stepping 1 GHz window, ticks/s", 13}};
    for (const Case& c : cases) {
        w.Option1[size_t(c.option)]->setValue(true);
        w.Option1[8]->setValue(true);  // 100 k steps
        w.txtFrequencyDisplay->setText("150");
        int ticks = 0;
        auto conn = QObject::connect(w.tmrSearch, &forms::Timer::timer, [&] { ++ticks; });
        w.frequency().cmdPlus_MouseDown(1, 0, 0, 0);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < seconds * 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        w.frequency().cmdPlus_MouseUp(1, 0, 0, 0);
        QObject::disconnect(conn);
        row(c.name, ticks / seconds, "/s", 10.0, "target (100 ms clock)");
    }
}

void hoverFigures(shell::FrmSpectrum& w)
{
    w.Option1[2]->setValue(true);
    w.txtFrequencyDisplay->setText("157.25");
    w.frequency().rerunSearch();
    std::vector<double> ours, bare;
    const int bars = w.chart().lastRecordIndex + 1;
    for (int k = 0; k < 1000; ++k) {
        const int i = (k * 7919) % bars;
        ours.push_back(timeMs([&] { w.inspection().lblSpectrum_MouseMove(i, 0, 0, 1, 1); }));
        const reg::Criteria exact = reg::Criteria::exact(w.chart().recordLowMHz(i), w.chart().recordHighMHz(i));
        bare.push_back(timeMs([&] { reg::plannedLabel(w.registerConnection(), exact); }));
    }
    row("hover readout, median of 1000 moves", median(ours), "ms", median(bare), "bare label query");
    row("hover readout, 99th percentile", percentile(ours, 0.99), "ms", percentile(bare, 0.99), "bare label query");
}

// Lists the licences overlapping low to high in every district, as a press
// with the right button does (its reading, then its showing).
void listRange(shell::FrmSpectrum& w, double low, double high)
{
    inspect::ListingRows rows;
    if (w.listing().readListing(listingCriteria(low, high), rows))
        w.listing().showListing(std::move(rows), 0);
}

void mapFigures(shell::FrmSpectrum& w)
{
    listRange(w, 160, 160.75);
    const int markers = w.siteMap().lastSiteIndex + 1;
    for (int zoom : {0, 150, 300}) {
        w.vsbMapZoom->setValue(zoom);
        std::vector<double> t;
        for (int r = 0; r < 30; ++r)
            t.push_back(timeMs([&] {
                w.siteMap().drawMapView();
                QImage img(w.picMap->size(), QImage::Format_ARGB32_Premultiplied);
                w.picMap->render(&img);
            }));
        const QString name = QStringLiteral("map redraw at zoom %1, %2 markers").arg(zoom).arg(markers);
        row(qPrintable(name), median(t), "ms", 5.0, "target");
    }
}

void pressFigures(shell::FrmSpectrum& w)
{
    std::vector<double> t;
    int rows = 0;
    for (int r = 0; r < 5; ++r) {
        t.push_back(timeMs([&] { listRange(w, 160, 163); }));
        rows = w.listing().gridRowCount - 1;
    }
    std::vector<double> bare;
    for (int r = 0; r < 5; ++r)
        bare.push_back(timeMs([&] {
            reg::Statement a = w.registerConnection().database().prepare(reg::licenceStatement(listingCriteria(160, 163)));
            while (a.next()) {
            }
        }));
    const QString name = QStringLiteral("licence press, %1 rows listed and plotted").arg(rows);
    row(qPrintable(name), median(t), "ms", 200.0, "target");
    row("  (the bare licence statement)", median(bare), "ms", median(t), "the press");
}

// Queries a user might type, drawn from the register's own names, places and
// licence numbers: whole words, two words, beginnings of words and numbers.
QStringList findQueries(const reg::Connection& c, int count)
{
    QStringList names, numbers;
    for (const char* sql : {"select name from clientname where legal_order = 1", "select locationname from location"}) {
        reg::Statement st = c.database().prepare(QString::fromLatin1(sql));
        while (st.next())
            names << st.text(0);
    }
    reg::Statement st = c.database().prepare(QStringLiteral("select licencenumber from licence"));
    while (st.next())
        numbers << st.shownText(0);
    std::mt19937 rng(20261210);
    auto pick = [&](const QStringList& from) { return from[int(rng() % quint32(from.size()))]; };
    auto wordOf = [&](const QString& name) {
        const QStringList words = reg::findWords(name);
        return words.isEmpty() ? QString() : words[int(rng() % quint32(words.size()))];
    };
    QStringList queries;
    while (queries.size() < count) {
        QString q;
        switch (rng() % 5) {
        case 0:
        case 1: q = wordOf(pick(names)); break;
        case 2: q = wordOf(pick(names)) + QLatin1Char(' ') + wordOf(pick(names)); break;
        case 3: {
            const QString w = wordOf(pick(names));
            q = w.left(2 + int(rng() % quint32(qMax(1, int(w.size()) - 1))));
            break;
        }
        default: {
            const QString n = pick(numbers);
            q = n.left(3 + int(rng() % quint32(qMax(1, int(n.size()) - 2))));
        }
        }
        if (!q.trimmed().isEmpty())
            queries << q;
    }
    return queries;
}

// Find: the index made from the register, and queries typed into it.
void findFigures(shell::FrmSpectrum& w, double scale)
{
    const reg::Connection& c = w.registerConnection();
    std::vector<double> builds;
    std::unique_ptr<reg::FindIndex> index;
    for (int r = 0; r < 3; ++r) {
        index.reset();
        builds.push_back(timeMs([&] { index = reg::FindIndex::build(c); }));
    }
    const double target = scale <= 1 ? 500.0 : 2000.0;
    const QString built = QStringLiteral("find index of %1 licence ranges made").arg(index->size());
    row(qPrintable(built), median(builds), "ms", target, "target");
    const QStringList queries = findQueries(c, 1000);
    std::vector<double> times;
    qint64 found = 0;
    for (const QString& q : queries)
        times.push_back(timeMs([&] { found += index->find(q, reg::FindField::Everything).total; }));
    row("find query, median of 1000 typed", median(times), "ms", 20.0, "target");
    row("find query, 99th percentile", percentile(times, 0.99), "ms", 50.0, "target");
    std::printf("      (%.1f found a query on average)\n", double(found) / double(queries.size()));
}

// The Access import against mdb-export of the same table, on the small real
// Access file beside the checkout (when it is there).
void accessFigures()
{
    const QString file = QDir(QStringLiteral(ORVANE_SOURCE_DIR)).absoluteFilePath("../shared/testdata/DateTestDatabase.mdb");
    if (!QFile::exists(file)) {
        std::printf("  (Access import: DateTestDatabase.mdb not found beside the checkout, skipped)\n");
        return;
    }
    const QStringList tables = accessTableNames(file);
    std::vector<double> ours, theirs;
    for (int r = 0; r < 20; ++r) {
        ours.push_back(timeMs([&] {
            reg::Database db = reg::Database::openMemory();
            reg::importAccess(file, db, tables, {});
        }));
        theirs.push_back(timeMs([&] {
            for (const QString& t : tables) {
                QProcess p;
                p.setStandardOutputFile(QProcess::nullDevice());
                p.start("mdb-export", {file, t});
                p.waitForFinished();
            }
        }));
    }
    row("Access import of DateTestDatabase.mdb", median(ours), "ms", median(theirs), "mdb-export, same tables");
}

double peakResidentMB()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

}  // namespace

// Start-up in a process of its own, so that its peak memory is its own:
// prints the milliseconds to the first chart and the peak resident MB.
// CPU seconds of this process and of the children it has reaped.
double cpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        ::getrusage(who, &u);
        total += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

// Start-up to the first chart in a process of its own: prints the
// milliseconds, the peak resident MB of the program, the CPU seconds of the
// program and its readers, and the readers' share of the peak memory (the
// two largest readers' peaks: two run at a time).
int startupOnly(const QString& dir)
{
    QDir::setCurrent(dir);
    const double ms = timeMs([&] {
        shell::FrmSpectrum w;
        w.formLoad();
        paintChart(w);
    });
    std::vector<double> readers = reg::accessReaderUsage().peakMB;
    std::sort(readers.rbegin(), readers.rend());
    const double readersMB = (readers.size() > 0 ? readers[0] : 0) + (readers.size() > 1 ? readers[1] : 0);
    std::printf("%.3f %.3f %.3f %.3f\n", ms, peakResidentMB(), cpuSeconds(), readersMB);
    return 0;
}

// A district listing with its plot, in a process of its own: prints the
// milliseconds, the rows listed, the sites plotted, the resident MB before
// the press and the peak after it.
// The district listing of the growth figures, in a process of its own: the
// window tuned to 10 MHz around 155 MHz (the VHF land-mobile band), then the
// Auckland label pressed and the map shown. With `parts`, the listing's two
// steps are timed apart instead, from the same state: reading its rows (the
// register's two statements run to their end) and showing them (markers,
// grid, the map painted), the program's own work.
int listingOnly(const QString& dir, bool parts)
{
    QDir::setCurrent(dir);
    shell::FrmSpectrum w;
    w.formLoad();
    w.Option1[4]->setValue(true);
    w.txtFrequencyDisplay->setText("155");
    w.frequency().rerunSearch();
    QFile status("/proc/self/status");
    double before = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                before = line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    const int auckland = 1;  // the district column's second label, AK (district 2)
    // The criteria the press gives: the window as its edge readouts show it.
    const reg::Criteria criteria =
        reg::Criteria::listing({w.frequency().lowEdgeShownMHz().value_or(0.0), reg::Edge::SignSpaced},
                               {w.frequency().highEdgeShownMHz(), reg::Edge::SixDecimal}, w.inspection().overlapOn())
            .inDistrict(auckland + 1);
    const auto showMap = [&] {
        w.siteMap().cmdMapGrid_Click();
        QImage img(w.picMap->size(), QImage::Format_ARGB32_Premultiplied);
        w.picMap->render(&img);
    };
    if (parts) {
        inspect::ListingRows rows;
        const double readMs = timeMs([&] { w.listing().readListing(criteria, rows); });
        const double showMs = timeMs([&] {
            w.listing().showListing(std::move(rows), auckland + 1);
            showMap();
        });
        std::printf("%.3f %.3f\n", readMs, showMs);
        return 0;
    }
    const double ms = timeMs([&] {
        w.inspection().lblDistrict_MouseDown(auckland, 1, 0, 0, 0);
        showMap();
    });
    if (!(w.chart().rangeCriteria == criteria))
        std::fprintf(stderr, "the listing's criteria differ from the ones its parts were timed with: %s\n",
                     qPrintable(w.chart().rangeCriteria.text()));
    std::printf("%.3f %d %d %.1f %.1f\n", ms, w.listing().gridRowCount - 1, w.siteMap().lastSiteIndex + 1, before,
                peakResidentMB());
    return 0;
}

// The district listing at 1, 4 and 16 times national scale: its time and
// memory against the rows it lists, and its two steps timed apart: reading
// (the register's statements) and showing (the program's own work).
// The baseline of each is the scale-1 figure grown in proportion to the rows:
// a ratio near 1 is linear growth.
void growthFigures()
{
    std::printf("growth of a district listing and its plot (Auckland, 150 to 160 MHz)\n");
    double ms1 = 0, rows1 = 0, mb1 = 0, read1 = 0, show1 = 0;
    for (double scale : {1.0, 4.0, 16.0}) {
        QTemporaryDir dir;
        QProcess gen;
        gen.start(QStringLiteral(ORVANE_MAKE_REGISTER),
                  {"--scale", QString::number(scale), "--out", dir.filePath("KORVA.mdb")});
        gen.waitForFinished(-1);
        std::vector<double> times, readTimes, showTimes;
        double rows = 0, sites = 0, before = 0, peak = 0;
        for (int r = 0; r < 3; ++r) {
            for (const char* mode : {"--listing", "--listing-parts"}) {
                QProcess p;
                p.start(QCoreApplication::applicationFilePath(), {mode, dir.path()});
                p.waitForFinished(-1);
                const QStringList f = QString::fromLocal8Bit(p.readAllStandardOutput()).split(' ');
                if (f.size() == 2) {
                    readTimes.push_back(f[0].toDouble());
                    showTimes.push_back(f[1].toDouble());
                    continue;
                }
                if (f.size() < 5)
                    continue;
                times.push_back(f[0].toDouble());
                rows = f[1].toDouble();
                sites = f[2].toDouble();
                before = f[3].toDouble();
                peak = std::max(peak, f[4].toDouble());
            }
        }
        const double ms = median(times);
        const double read = median(readTimes), show = median(showTimes);
        const double grown = peak - before;
        if (scale == 1.0) {
            ms1 = ms;
            rows1 = rows;
            mb1 = grown;
            read1 = read;
            show1 = show;
        }
        const double perRow = rows1 > 0 ? rows / rows1 : 0;
        const QString what = QStringLiteral("scale %1: %2 rows, %3 sites listed").arg(scale).arg(rows).arg(sites);
        row(qPrintable(what), ms, "ms", ms1 * perRow, "scale 1, per row");
        row("  (reading: the register's statements)", read, "ms", read1 * perRow, "scale 1, per row");
        row("  (showing: the program's own work)", show, "ms", show1 * perRow, "scale 1, per row");
        row("  (memory taken by the listing)", grown, "MB", rows1 > 0 ? mb1 * rows / rows1 : 0, "scale 1, per row");
    }
}

struct Startup {
    double ms = 0, peakMB = 0, cpuS = 0, readersMB = 0;
};

// One start-up in a fresh process.
Startup startupInProcess(const QString& dir)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {"--startup", dir});
    p.waitForFinished(-1);
    const QStringList parts = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed().split(' ');
    if (parts.size() < 4)
        return {};
    return {parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble(), parts[3].toDouble()};
}

// A figure against its target ratio.
void targetRow(const char* what, double ratio, double target)
{
    std::printf("  %-44s %10.3f     target at most %-11.2f %s\n", what, ratio, target,
                ratio <= target ? "met" : "NOT MET");
}

// An Access copy of the register against the SQLite one, runs interleaved so
// that the machine's load falls on both alike: the import against
// mdb-export of the same tables, and start-up to the first chart against
// start-up on SQLite, in wall and CPU time (the program and its readers),
// with the peak memory of the program and its readers summed.
void accessRegisterFigures(double scale, const QString& sqliteDir, bool quick)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("KORVA.mdb");
    QProcess p;
    p.start(QStringLiteral(ORVANE_MAKE_REGISTER),
            {"--scale", QString::number(scale), "--format", "access", "--out", file});
    p.waitForFinished(-1);
    if (p.exitCode() != 0) {
        std::printf("  (cannot make the Access register)\n");
        return;
    }
    std::printf("  Access copy of the register: %.1f MB\n", QFileInfo(file).size() / 1e6);
    const int reps = quick ? 1 : 5;
    std::vector<double> ours, theirs, oursCpu, theirsCpu;
    const QStringList tables = accessTableNames(file);
    for (int r = 0; r < reps; ++r) {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        double cpu = cpuSeconds();
        ours.push_back(timeMs([&] {
            reg::Connection c;
            c.open(reg::connectionString);
        }));
        oursCpu.push_back((cpuSeconds() - cpu) * 1000.0);
        QDir::setCurrent(old);
        cpu = cpuSeconds();
        theirs.push_back(timeMs([&] {
            for (const QString& t : tables) {
                QProcess e;
                e.setStandardOutputFile(QProcess::nullDevice());
                e.start("mdb-export", {file, t});
                e.waitForFinished(-1);
            }
        }));
        theirsCpu.push_back((cpuSeconds() - cpu) * 1000.0);
    }
    row("Access import, wall", median(ours), "ms", median(theirs), "mdb-export, same tables");
    row("Access import, CPU (program and readers)", median(oursCpu), "ms", median(theirsCpu), "mdb-export CPU");
    std::vector<double> accessMs, sqliteMs, accessCpu, sqliteCpu;
    double accessPeak = 0, readersPeak = 0, sqlitePeak = 0;
    for (int r = 0; r < reps; ++r) {
        const Startup a = startupInProcess(dir.path());
        const Startup q = startupInProcess(sqliteDir);
        accessMs.push_back(a.ms);
        accessCpu.push_back(a.cpuS * 1000.0);
        sqliteMs.push_back(q.ms);
        sqliteCpu.push_back(q.cpuS * 1000.0);
        if (a.peakMB + a.readersMB > accessPeak + readersPeak) {
            accessPeak = a.peakMB;
            readersPeak = a.readersMB;
        }
        sqlitePeak = std::max(sqlitePeak, q.peakMB);
    }
    row("start-up on Access, wall", median(accessMs), "ms", median(sqliteMs), "start-up on SQLite");
    row("start-up on Access, CPU (program, readers)", median(accessCpu), "ms", median(sqliteCpu), "SQLite start-up CPU");
    row("  (peak memory: program + readers)", accessPeak + readersPeak, "MB", sqlitePeak, "SQLite start-up");
    std::printf("  %-44s %10.2f MB  and the two largest readers %.2f MB\n", "  (of which the program)", accessPeak,
                readersPeak);
    targetRow("import wall / mdb-export wall", median(ours) / std::max(1.0, median(theirs)), 0.6);
    targetRow("import CPU / mdb-export CPU", median(oursCpu) / std::max(1.0, median(theirsCpu)), 1.0);
    targetRow("Access / SQLite start-up, wall", median(accessMs) / std::max(1.0, median(sqliteMs)), 2.5);
    targetRow("Access / SQLite start-up, CPU", median(accessCpu) / std::max(1.0, median(sqliteCpu)), 2.5);
    targetRow("peak memory summed / 200 MB", (accessPeak + readersPeak) / 200.0, 1.0);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--startup")
        return startupOnly(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && QByteArray(argv[1]) == "--listing")
        return listingOnly(QString::fromLocal8Bit(argv[2]), false);
    if (argc == 3 && QByteArray(argv[1]) == "--listing-parts")
        return listingOnly(QString::fromLocal8Bit(argv[2]), true);
    std::vector<double> scales;
    bool quick = false;
    bool accessOnly = false;
    bool growthOnly = false;
    bool findOnly = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--scale" && i + 1 < argc)
            scales.push_back(QString::fromLocal8Bit(argv[++i]).toDouble());
        else if (a == "--quick")
            quick = true;
        else if (a == "--access-only")
            accessOnly = true;
        else if (a == "--growth")
            growthOnly = true;
        else if (a == "--find")
            findOnly = true;
    }
    if (scales.empty())
        scales = {1, 4};
    std::printf("machine: %d cores, %s\n", QThread::idealThreadCount(), qPrintable(QSysInfo::prettyProductName()));
    if (growthOnly) {
        growthFigures();
        return 0;
    }
    accessFigures();
    for (double scale : scales) {
        QTemporaryDir dir;
        const QString file = dir.filePath("KORVA.mdb");
        QElapsedTimer gen;
        gen.start();
        QProcess p;
        p.start(QStringLiteral(ORVANE_MAKE_REGISTER), {"--scale", QString::number(scale), "--out", file});
        p.waitForFinished(-1);
        if (p.exitCode() != 0) {
            std::fprintf(stderr, "cannot make the register\n");
            return 1;
        }
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        std::printf("scale %g (register made in %.1f s, %.1f MB)\n", scale, gen.elapsed() / 1000.0,
                    QFileInfo(file).size() / 1e6);
        if (findOnly) {
            shell::FrmSpectrum w;
            w.formLoad();
            findFigures(w, scale);
            QDir::setCurrent(old);
            continue;
        }
        {
            double openMs = 0;
            const double startMs = timeMs([&] {
                shell::FrmSpectrum probe;
                probe.formLoad();
                paintChart(probe);
            });
            openMs = timeMs([&] {
                reg::Connection c;
                c.open(reg::connectionString);
                reg::countSearchGroups(c, 0.75, 1.25);
            });
            row("start-up to the first chart", startMs, "ms", openMs, "open and bare search");
            row("  (start-up against the target)", startMs, "ms", 1000.0, "target");
            accessRegisterFigures(scale, dir.path(), quick);
            if (accessOnly) {
                QDir::setCurrent(old);
                continue;
            }
            shell::FrmSpectrum w;
            w.formLoad();
            searchFigures(w, quick);
            zoomFigures(w);
            hoverFigures(w);
            mapFigures(w);
            pressFigures(w);
            findFigures(w, scale);
            steppingFigures(w, quick ? 2.0 : 10.0);
            row("peak resident memory", peakResidentMB(), "MB", 200.0, "target");
        }
        QDir::setCurrent(old);
    }
    if (!quick && !accessOnly && !findOnly)
        growthFigures();
    return 0;
}
