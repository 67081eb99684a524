// The coordinates of today beside NZ Map Grid: NZGD2000 and NZTM2000 from
// PROJ with LINZ's distortion grid, checked against places whose positions
// and Topo50 sheets are public, and against an independent converter (the
// npm package proj4 with the same grid) to 0.2 m across the country; the
// Topo50 sheet layout, and points outside every sheet.

#include "map/coordinates.h"
#include "support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <cmath>

using namespace nzmap;

namespace {

// The distortion grid Debian's proj-data ships.
const QString kGrid = QStringLiteral("/usr/share/proj/nzgd2kgrid0005.gsb");

QJsonObject independent(const QJsonObject& request)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    file.write(QJsonDocument(request).toJson());
    file.flush();
    const std::optional<QString> out =
        testing::runTool("node", {QStringLiteral(ORVANE_NODE_DIR) + "/nzmg.mjs", kGrid, file.fileName()});
    if (!out)
        return {};
    QJsonParseError error;
    const QJsonObject answer = QJsonDocument::fromJson(out->toUtf8(), &error).object();
    if (error.error != QJsonParseError::NoError)
        qWarning() << "the independent converter's answer cannot be read:" << error.errorString() << out->left(200);
    return answer;
}

// Metres between two NZGD2000 positions near each other.
double metresApart(double lat1, double lon1, double lat2, double lon2)
{
    const double r = 6378137, rad = M_PI / 180;
    const double dy = (lat2 - lat1) * rad * r, dx = (lon2 - lon1) * rad * r * std::cos(lat1 * rad);
    return std::hypot(dx, dy);
}

struct Place {
    const char* name;
    double latitude, longitude;  // NZGD2000, as published
    const char* sheet;           // its Topo50 sheet
    bool onTheGrid = true;       // within LINZ's distortion grid (the mainland)
};

// Landmarks whose positions are public, on the sheets of LINZ's Topo50 layout.
const Place kPlaces[] = {
    {"Parliament Buildings, Wellington", -41.2784, 174.7767, "BQ31"},
    {"Sky Tower, Auckland", -36.8485, 174.7622, "BA32"},
    {"Cathedral Square, Christchurch", -43.5310, 172.6366, "BX24"},
    {"The Octagon, Dunedin", -45.8742, 170.5036, "CE17"},
    {"Waitangi, Chatham Islands", -43.9535, -176.5597, "CI04", false},
};

}  // namespace

class TestCoordinates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sheetLayout();
    void publicPlaces();
    void agreesWithAnIndependentConverter();
    void outsideEverySheet();
};

void TestCoordinates::initTestCase()
{
    if (!QFile::exists(kGrid))
        QFAIL("LINZ's distortion grid is missing: make test installs proj-data");
    if (!QFile::exists(QStringLiteral(ORVANE_NODE_DIR) + "/node_modules/proj4/package.json"))
        QFAIL("proj4 is not installed beside the tests: make test installs it (npm ci in the build's node folder)");
}

void TestCoordinates::sheetLayout()
{
    // Sheets of 24 km by 36 km on NZTM2000, rows lettered from the north
    // without I and O, columns numbered from the west.
    QCOMPARE(topo50SheetOfNztm(1084000, 6234000), QStringLiteral("AS04"));
    QCOMPARE(topo50SheetOfNztm(1107999, 6198001), QStringLiteral("AS04"));
    QCOMPARE(topo50SheetOfNztm(1108000, 6198000), QStringLiteral("AT05"));
    QCOMPARE(topo50SheetOfNztm(1748700, 5427900), QStringLiteral("BQ31"));
    QCOMPARE(topo50SheetOfNztm(1748700, 5676000), QStringLiteral("BH31"));
    QCOMPARE(topo50SheetOfNztm(1748700, 5640000), QStringLiteral("BJ31"));  // no BI
    QCOMPARE(topo50SheetOfNztm(1748700, 5496000), QStringLiteral("BN31"));
    QCOMPARE(topo50SheetOfNztm(1748700, 5460000), QStringLiteral("BP31"));  // no BO
    QCOMPARE(topo50SheetOfNztm(1100000, 4730000), QStringLiteral("CK04"));  // the last row
    QCOMPARE(topo50SheetOfNztm(2100000, 5460000), QStringLiteral("BP46"));  // the last column
    QCOMPARE(topo50Reference("BQ31", 1748738, 5427899), QStringLiteral("BQ31 487 279"));
    QCOMPARE(topo50Reference("AS04", 1100049, 6200951), QStringLiteral("AS04 000 010"));
    QCOMPARE(topo50Reference(QString(), 1, 2), QString());
    // The Chatham Islands' sheets on their own projection.
    QCOMPARE(topo50SheetOfChatham(3495208, 5131343), QStringLiteral("CI04"));
    QCOMPARE(topo50SheetOfChatham(3470000, 5150000), QStringLiteral("CI01"));
    QCOMPARE(topo50SheetOfChatham(3470000, 5080000), QString());  // sea, no sheet
}

void TestCoordinates::publicPlaces()
{
    // Each place's NZMG position from the independent converter (where the
    // grid reaches; the Chatham Islands' from our own inverse); ours must
    // give back its published position, within 0.2 m, and its sheet.
    QJsonArray toNzmg;
    for (const Place& p : kPlaces)
        toNzmg.append(QJsonArray{p.latitude, p.longitude});
    const QJsonArray nzmg = independent({{"toNzmg", toNzmg}})["nzmg"].toArray();
    QCOMPARE(nzmg.size(), qsizetype(std::size(kPlaces)));
    for (size_t i = 0; i < std::size(kPlaces); ++i) {
        const Place& place = kPlaces[i];
        double e = nzmg[qsizetype(i)][0].toDouble(), n = nzmg[qsizetype(i)][1].toDouble();
        if (!place.onTheGrid)
            QVERIFY(nzmgOfPosition(place.latitude, place.longitude, e, n));
        const Position p = positionOfNzmg(e, n);
        QVERIFY2(p.valid, place.name);
        QVERIFY2(metresApart(p.latitude, p.longitude, place.latitude, place.longitude) < 0.2, place.name);
        QCOMPARE(p.topo50Sheet, QString::fromLatin1(place.sheet));
        QVERIFY2(p.topo50Reference.startsWith(place.sheet + QStringLiteral(" ")), qPrintable(p.topo50Reference));
        QCOMPARE(topo50Sheet(place.latitude, place.longitude), QString::fromLatin1(place.sheet));
        // And back: the inverse gives the NZMG point.
        double e2 = 0, n2 = 0;
        QVERIFY(nzmgOfPosition(p.latitude, p.longitude, e2, n2));
        QVERIFY2(std::hypot(e2 - e, n2 - n) < 0.01, place.name);
    }
    // Wellington's readout as the tooltip gives it.
    const Position wellington = positionOfNzmg(nzmg[0][0].toDouble(), nzmg[0][1].toDouble());
    const QStringList lines = positionText(wellington).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith("NZGD2000 -41.2784"));
    QVERIFY(lines[1].startsWith("NZTM2000 17487"));
    QVERIFY(lines[2].startsWith("Topo50 BQ31 "));
}

void TestCoordinates::agreesWithAnIndependentConverter()
{
    // Points across the country, every 50 km or so (those the grid reaches).
    QJsonArray points;
    std::vector<std::pair<double, double>> grid;
    for (double e = 2100000; e <= 3100000; e += 47000)
        for (double n = 5300000; n <= 6700000; n += 61000) {
            grid.push_back({e, n});
            points.append(QJsonArray{e, n});
        }
    const QJsonObject answer = independent({{"fromNzmg", points}});
    const QJsonArray ll = answer["nzgd2000"].toArray(), tm = answer["nztm"].toArray();
    QCOMPARE(ll.size(), qsizetype(grid.size()));
    int compared = 0;
    double worst = 0;
    for (size_t i = 0; i < grid.size(); ++i) {
        if (ll[qsizetype(i)].isNull())
            continue;
        const Position p = positionOfNzmg(grid[i].first, grid[i].second);
        QVERIFY(p.valid);
        const double lat = ll[qsizetype(i)][0].toDouble(), lon = ll[qsizetype(i)][1].toDouble();
        worst = std::max(worst, metresApart(p.latitude, p.longitude, lat, lon));
        worst = std::max(worst, std::hypot(p.nztmEasting - tm[qsizetype(i)][0].toDouble(),
                                           p.nztmNorthing - tm[qsizetype(i)][1].toDouble()));
        ++compared;
    }
    qInfo("%d points compared, at most %.4f m apart", compared, worst);
    QVERIFY2(compared > 150, qPrintable(QString::number(compared)));
    QVERIFY2(worst < 0.2, qPrintable(QString::number(worst)));
}

void TestCoordinates::outsideEverySheet()
{
    // Far south (the Auckland Islands), far north (the Kermadecs), out in
    // the Tasman Sea, and east of the Chatham sheets: no sheet, not a wrong one.
    QCOMPARE(topo50Sheet(-50.70, 166.10), QString());
    QCOMPARE(topo50Sheet(-29.25, -177.92), QString());
    QCOMPARE(topo50Sheet(-40.00, 160.00), QString());
    QCOMPARE(topo50Sheet(-44.30, -175.30), QString());
    QCOMPARE(topo50SheetOfNztm(1083999, 5500000), QString());
    QCOMPARE(topo50SheetOfNztm(1500000, 4721999), QString());
    QCOMPARE(topo50SheetOfNztm(1500000, 6234001), QString());
    // A position so far from the grid that nothing converts it.
    const Position none = positionOfNzmg(std::nan(""), 6000000);
    QVERIFY(!none.valid);
    QCOMPARE(positionText(none), QString());
}

QTEST_GUILESS_MAIN(TestCoordinates)
#include "test_coordinates.moc"
