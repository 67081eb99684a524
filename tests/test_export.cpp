// Taking the listing away: the grid as CSV and the sites as GeoJSON, read
// back by independent parsers (Python's csv and json modules); Ctrl+C in
// the grid; a PDF instead of a printer that is not there; files that cannot
// be written, and never half a file.

#include "forms/grid.h"
#include "inspect/export.h"
#include "map/coordinates.h"
#include "registers.h"
#include "support.h"
#include "window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableView>
#include <QtTest>

using testing::TinyRegister;

namespace {

// Licences whose names need quoting in a CSV file, at sites on the map.
void exportRegister(const QString& path)
{
    TinyRegister r(path);
    r.recordAtSites(157.1, 157.1125, 1, 9, {{"Mt Kaukau, Summit", 2658000, 5992000}}, "The \"Best\" Radio, Ltd", 123456);
    r.recordAtSites(157.1, 157.1125, 1, 9, {{"Taup\xC5\x8D Hill", 2659000, 5993000}}, "Kowhai Radio Limited", 123457);
    r.recordAtSites(157.2, 157.225, 5, 9, {{"Line\nBreak", 2660000, 5994000}, {"Mt Kaukau, Summit", 2658000, 5992000}},
                    "Rimu Transport Trust", 2345);
    r.exec("INSERT INTO location VALUES (900, 9, 'No Grid', 1)");
    r.exec("INSERT INTO geographicreference VALUES (900, 900, 6, 1, NULL, NULL)");
    r.exec("INSERT INTO licence VALUES (900, 999999, NULL, 1)");
    r.exec("INSERT INTO transmitconfiguration VALUES (900, 900, 900)");
    r.exec("INSERT INTO spectrum VALUES (900, 900, 157.3, 157.3125, 5, 1, 25, NULL, NULL, NULL)");
}

// Python reads the file: CSV rows, or a JSON document, as JSON.
QJsonDocument readBack(const QString& file, bool csv)
{
    const QString script = csv ? "import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, strict=True))))\n"
                               : "import json, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8') as f:\n"
                                 "    print(json.dumps(json.load(f)))\n";
    const std::optional<QString> out = testing::runTool("python3", {"-c", script, file});
    return out ? QJsonDocument::fromJson(out->toUtf8()) : QJsonDocument();
}

// Lists everything between 157 and 158 MHz, as a right press would.
std::unique_ptr<shell::FrmSpectrum> listedWindow()
{
    auto w = testing::openWindow();
    if (!testing::listRange(*w, 157, 158))
        return nullptr;
    return w;
}

}  // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void csvTexts();
    void gridAsCsv();
    void sitesAsGeoJson();
    void copyingCellsFromTheGrid();
    void pdfWhenThereIsNoPrinter();
    void filesThatCannotBeWritten();
};

void TestExport::initTestCase()
{
    if (QStandardPaths::findExecutable("python3").isEmpty())
        QFAIL("python3 reads the files back; it is on every machine the project builds on");
}

void TestExport::csvTexts()
{
    using inspect::csvField;
    QCOMPARE(csvField("plain"), QStringLiteral("plain"));
    QCOMPARE(csvField("a,b"), QStringLiteral("\"a,b\""));
    QCOMPARE(csvField("say \"hi\""), QStringLiteral("\"say \"\"hi\"\"\""));
    QCOMPARE(csvField("two\nlines"), QStringLiteral("\"two\nlines\""));
    QCOMPARE(csvField(" padded"), QStringLiteral("\" padded\""));
    QCOMPARE(csvField(""), QString());
    QCOMPARE(inspect::csvText({{"a", "b,c"}, {QString::fromUtf8("Taup\xC5\x8D"), ""}}),
             QByteArray("a,\"b,c\"\r\nTaup\xC5\x8D,\r\n"));
    QCOMPARE(forms::tabSeparated({{"a", "b\tc"}, {"d\ne", ""}}), QStringLiteral("a\tb c\nd e\t\n"));
}

void TestExport::gridAsCsv()
{
    testing::WorkDir wd;
    exportRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = listedWindow();
    QVERIFY(w);
    QCOMPARE(int(w->listing().gridRowCount), 6);
    rec.saveAs = wd.file("listing.csv");
    w->mnuExportGrid->trigger();
    QVERIFY2(rec.messages.empty(), qPrintable(rec.texts().join("|")));
    QCOMPARE(rec.saveTitles, QStringList{"Export Grid"});
    const QJsonArray rows = readBack(rec.saveAs, true).array();
    QCOMPARE(rows.size(), 6);  // the header and five rows
    QStringList header;
    for (const QJsonValue& v : rows[0].toArray())
        header << v.toString();
    QCOMPARE(header, inspect::Listing::exportGridHeader());
    // Each row: the grid's cells as shown, then the site's coordinates of today.
    for (int r = 1; r < rows.size(); ++r) {
        const QJsonArray row = rows[r].toArray();
        QCOMPARE(row.size(), 14);
        for (int c = 1; c <= 9; ++c)
            QCOMPARE(row[c - 1].toString(), w->MSHFlexGrid1->textMatrix(r, c));
    }
    // The site "Mt Kaukau, Summit": its positions, from the same conversion the map uses.
    int kaukau = -1;
    for (int r = 1; r < rows.size(); ++r)
        if (rows[r].toArray()[3].toString() == "Mt Kaukau, Summit")
            kaukau = r;
    QVERIFY(kaukau > 0);
    const nzmap::Position p = nzmap::positionOfNzmg(2658000, 5992000);
    const QJsonArray k = rows[kaukau].toArray();
    QCOMPARE(k[9].toString(), QString::number(p.latitude, 'f', 6));
    QCOMPARE(k[10].toString(), QString::number(p.longitude, 'f', 6));
    QCOMPARE(k[11].toString().toLongLong(), qint64(std::llround(p.nztmEasting)));
    QCOMPARE(k[13].toString(), p.topo50Reference);
    QVERIFY(k[13].toString().startsWith("BQ31 "));
    // Quotes, commas, line breaks and macrons come back as they were.
    bool best = false, taupo = false, linebreak = false;
    for (int r = 1; r < rows.size(); ++r) {
        const QJsonArray row = rows[r].toArray();
        best = best || row[7].toString() == "The \"Best\" Radio, Ltd";
        taupo = taupo || row[3].toString() == QString::fromUtf8("Taup\xC5\x8D Hill");
        linebreak = linebreak || row[3].toString() == "Line\nBreak";
        // A site without a grid position has no coordinates.
        if (row[3].toString() == "No Grid")
            QVERIFY(row[9].toString().isEmpty() && row[13].toString().isEmpty());
    }
    QVERIFY(best && taupo && linebreak);
    // Nothing but the file was written.
    QCOMPARE(QDir(wd.path()).entryList(QDir::Files), (QStringList{"KORVA.mdb", "listing.csv"}));
}

void TestExport::sitesAsGeoJson()
{
    testing::WorkDir wd;
    exportRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = listedWindow();
    QVERIFY(w);
    rec.saveAs = wd.file("sites.geojson");
    w->mnuExportSites->trigger();
    QVERIFY2(rec.messages.empty(), qPrintable(rec.texts().join("|")));
    const QJsonObject doc = readBack(rec.saveAs, false).object();
    QCOMPARE(doc["type"].toString(), QStringLiteral("FeatureCollection"));
    const QJsonArray features = doc["features"].toArray();
    // One feature a site that can be placed: three sites (the one without a grid position left out).
    QCOMPARE(features.size(), 3);
    QStringList names;
    for (const QJsonValue& v : features) {
        const QJsonObject f = v.toObject();
        QCOMPARE(f["type"].toString(), QStringLiteral("Feature"));
        const QJsonObject g = f["geometry"].toObject();
        QCOMPARE(g["type"].toString(), QStringLiteral("Point"));
        const double lon = g["coordinates"][0].toDouble(), lat = g["coordinates"][1].toDouble();
        QVERIFY(lon > 174 && lon < 175.5 && lat < -40.5 && lat > -42);  // longitude first: Wellington
        names << f["properties"]["name"].toString();
        QCOMPARE(f["properties"]["district"].toString(), QStringLiteral("WN"));
    }
    QCOMPARE(names.size(), 3);
    // Northernmost first; a site of two licences names both.
    QCOMPARE(names, (QStringList{"Line\nBreak", QString::fromUtf8("Taup\xC5\x8D Hill"), "Mt Kaukau, Summit"}));
    const QJsonObject kaukau = features[2].toObject()["properties"].toObject();
    QStringList licences;
    for (const QJsonValue& v : kaukau["licences"].toArray())
        licences << v.toString();
    licences.sort();
    QCOMPARE(licences, (QStringList{"123456", "2345"}));
    QVERIFY(kaukau["topo50"].toString().startsWith("BQ31 "));
    // Nothing plotted: told so, nothing written.
    rec.clear();
    auto empty = testing::openWindow();
    rec.saveAs = wd.file("none.geojson");
    empty->mnuExportSites->trigger();
    QCOMPARE(rec.texts(), QStringList{"There are no sites plotted to export."});
    QVERIFY(!QFile::exists(rec.saveAs));
}

void TestExport::copyingCellsFromTheGrid()
{
    testing::WorkDir wd;
    exportRegister(wd.file("KORVA.mdb"));
    auto w = listedWindow();
    QVERIFY(w);
    QTableView* view = w->MSHFlexGrid1->view();
    QVERIFY(testing::activate(w.get()));
    w->MSHFlexGrid1->setShownFlag(true);
    view->setFocus();
    // Rows 1 and 2, the columns Low to Site Name.
    view->selectionModel()->select(QItemSelection(view->model()->index(0, 1), view->model()->index(1, 4)),
                                   QItemSelectionModel::Select);
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(view, QKeySequence::Copy);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    for (int r = 0; r < 2; ++r) {
        const QStringList cells = lines[r].split('\t');
        QCOMPARE(cells.size(), 4);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(cells[c], QString(w->MSHFlexGrid1->textMatrix(r + 1, c + 1)).replace('\n', ' '));
    }
}

void TestExport::pdfWhenThereIsNoPrinter()
{
    testing::WorkDir wd;
    exportRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = listedWindow();
    QVERIFY(w);
    w->listing().printerFactory = [] {
        auto p = std::make_unique<inspect::RecordingPrinter>();
        p->failToBegin = true;
        return p;
    };
    // Declined: the message as before, and nothing written.
    w->listing().cmdPrintGrid_Click();
    QCOMPARE(rec.texts(), (QStringList{"No printer is available", "Save the listing as a PDF file instead?"}));
    QVERIFY(rec.saveTitles.isEmpty());
    // Accepted: the same pages, in the file chosen.
    rec.clear();
    rec.answer = forms::vbYes;
    rec.saveAs = wd.file("listing.pdf");
    w->listing().cmdPrintGrid_Click();
    QCOMPARE(rec.texts(), (QStringList{"No printer is available", "Save the listing as a PDF file instead?"}));
    QVERIFY(QFile::exists(rec.saveAs));
    const std::optional<QString> text = testing::runTool("pdftotext", {"-layout", rec.saveAs, "-"});
    QVERIFY(text);
    QVERIFY2(text->contains("Low(MHz)"), qPrintable(text->left(3000)));
    QVERIFY(text->contains("Kowhai Radio Limited"));
    QVERIFY(text->contains("157.100000"));
    const std::optional<QString> info = testing::runTool("pdfinfo", {rec.saveAs});
    QVERIFY(info);
    QVERIFY(QRegularExpression("Pages:\\s+1\\n").match(*info).hasMatch());
    const QRegularExpressionMatch size = QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+)").match(*info);
    QVERIFY(size.hasMatch() && size.captured(1).toDouble() > size.captured(2).toDouble());  // landscape
    // No pages of a half-made file are left beside it.
    QCOMPARE(QDir(wd.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"KORVA.mdb", "listing.pdf"}));
}

void TestExport::filesThatCannotBeWritten()
{
    testing::WorkDir wd;
    exportRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = listedWindow();
    QVERIFY(w);
    // A folder that is not there: the message names the file.
    rec.saveAs = wd.file("missing/listing.csv");
    w->mnuExportGrid->trigger();
    QCOMPARE(int(rec.messages.size()), 1);
    QVERIFY2(rec.messages[0].text.startsWith("The listing could not be written to " + rec.saveAs + ".\r\n"),
             qPrintable(rec.messages[0].text));
    // A file that is a folder: told, and the folder as it was.
    rec.clear();
    QDir(wd.path()).mkdir("taken.csv");
    rec.saveAs = wd.file("taken.csv");
    w->mnuExportGrid->trigger();
    QCOMPARE(int(rec.messages.size()), 1);
    QVERIFY(QFileInfo(rec.saveAs).isDir());
    // A file replaced is replaced whole: the old contents are gone, the new all there.
    rec.clear();
    rec.saveAs = wd.file("old.csv");
    {
        QFile old(rec.saveAs);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    w->mnuExportGrid->trigger();
    QVERIFY(rec.messages.empty());
    QFile replaced(rec.saveAs);
    QVERIFY(replaced.open(QIODevice::ReadOnly));
    const QByteArray now = replaced.readAll();
    QVERIFY(now.startsWith("Low (MHz),"));
    QVERIFY(!now.contains("xxx"));
    // Nothing half-written anywhere, and the register as it was.
    QCOMPARE(QDir(wd.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"KORVA.mdb", "old.csv"}));
    // No listing in the grid: told so.
    rec.clear();
    auto empty = testing::openWindow();
    empty->mnuExportGrid->trigger();
    QCOMPARE(rec.texts(), QStringList{"There is no listing in the grid to export."});
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
