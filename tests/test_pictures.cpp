// The pictures: sizes, and the relief map's grid against real places.

#include "map/geometry.h"
#include "shell/pictures.h"

#include <QImage>
#include <QMovie>
#include <QtTest>
#include <cmath>

namespace {

enum class Ground { Sea, Lake, Land };

const QColor kSea(58, 104, 168);
const QColor kLake(112, 164, 214);

Ground groundAt(const QImage& map, double easting, double northing)
{
    const int c = int(std::nearbyint(nzmap::columnOf(easting)));
    const int r = int(std::nearbyint(nzmap::rowOf(northing)));
    const QColor px = map.pixelColor(c, r);
    if (px == kSea)
        return Ground::Sea;
    if (px == kLake)
        return Ground::Lake;
    return Ground::Land;
}

}  // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void sizes();
    void reliefMapGrid();
    void gridFormulas();
};

void TestPictures::sizes()
{
    // Each picture comes from the resources, not from a stand-in.
    const struct {
        const char* path;
        QSize size;
    } pictures[] = {{":/pictures/relief-map.png", {1327, 1797}}, {":/pictures/sky.png", {640, 480}},
                    {":/pictures/knob.png", {100, 100}},         {":/pictures/logo.png", {190, 70}},
                    {":/pictures/icon.png", {32, 32}},           {":/pictures/hand.png", {32, 32}}};
    QCOMPARE(shell::reliefMapPicture().size(), QSize(1327, 1797));  // registers the resources
    for (const auto& p : pictures) {
        QImage img(QString::fromLatin1(p.path));
        QVERIFY2(!img.isNull(), p.path);
        QCOMPARE(img.size(), p.size);
    }
    QCOMPARE(QImage(":/pictures/relief-map.png").depth() >= 24, true);
    QCOMPARE(shell::skyPicture().size(), QSize(640, 480));
    QCOMPARE(shell::knobPicture().size(), QSize(100, 100));
    QCOMPARE(shell::logoPicture().size(), QSize(190, 70));
    QMovie movie(shell::splashAnimationPath());
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 10);
    QVERIFY(movie.jumpToFrame(0));
    QCOMPARE(movie.currentImage().size(), QSize(118, 91));  // 1770 x 1365 twips
}

void TestPictures::reliefMapGrid()
{
    const QImage m = shell::reliefMapPicture();
    // NZMG (EPSG:27200) of real places, converted from latitude and
    // longitude with PROJ's cs2cs.
    const struct {
        const char* place;
        double e, n;
        Ground ground;
    } places[] = {
        {"Auckland", 2667644.7, 6482180.6, Ground::Land},
        {"Wellington", 2658757.4, 5989628.6, Ground::Land},
        {"Christchurch", 2480604.8, 5741641.1, Ground::Land},
        {"Dunedin", 2316006.2, 5478034.7, Ground::Land},
        {"Invercargill", 2152698.3, 5411539.7, Ground::Land},
        {"Nelson", 2533781.7, 5992867.8, Ground::Land},
        {"Napier", 2846396.3, 6182845.5, Ground::Land},
        {"New Plymouth", 2603118.2, 6238257.2, Ground::Land},
        {"Gisborne", 2946536.4, 6270173.7, Ground::Land},
        {"Whangarei", 2630429.5, 6607544.5, Ground::Land},
        {"Mount Cook", 2279265.9, 5730761.9, Ground::Land},
        {"Lake Taupo", 2761926.6, 6263035.3, Ground::Lake},
        {"30 km east of Gisborne", 2976553.1, 6268445.1, Ground::Sea},
        {"30 km west of Hokitika", 2313439.6, 5829435.4, Ground::Sea},
        {"30 km west of New Plymouth", 2573241.0, 6238576.7, Ground::Sea},
    };
    for (const auto& p : places)
        QVERIFY2(groundAt(m, p.e, p.n) == p.ground, p.place);
    // Mount Cook stands high: darker and browner than the lowland round Christchurch.
    const QColor cook = m.pixelColor(int(std::nearbyint(nzmap::columnOf(2279265.9))), int(std::nearbyint(nzmap::rowOf(5730761.9))));
    QVERIFY(cook.red() > cook.green());
    // The corners are open sea.
    QCOMPARE(m.pixelColor(0, 0), kSea);
    QCOMPARE(m.pixelColor(1326, 1796), kSea);

    // The copy for high-density screens: the same grid at 500 m a pixel,
    // each map pixel two by two of its own. The same places lie on the
    // same ground, and sea, lake and land agree with the map's almost
    // everywhere (they part only along coasts and shores, drawn finer).
    const QImage twice(QStringLiteral(":/pictures/relief-map@2x.png"));
    QCOMPARE(twice.size(), QSize(2654, 3594));
    auto groundOfTwice = [&twice](int x, int y) {
        const QColor px = twice.pixelColor(x, y);
        return px == kSea ? Ground::Sea : px == kLake ? Ground::Lake : Ground::Land;
    };
    for (const auto& p : places) {
        const double c = nzmap::columnOf(p.e), r = nzmap::rowOf(p.n);
        QVERIFY2(groundOfTwice(int(std::floor((c + 0.5) * 2)), int(std::floor((r + 0.5) * 2))) == p.ground, p.place);
    }
    int compared = 0, differing = 0;
    for (int y = 0; y < m.height(); y += 3)
        for (int x = 0; x < m.width(); x += 3) {
            const QColor px = m.pixelColor(x, y);
            const Ground g = px == kSea ? Ground::Sea : px == kLake ? Ground::Lake : Ground::Land;
            ++compared;
            differing += groundOfTwice(2 * x, 2 * y) != g && groundOfTwice(2 * x + 1, 2 * y + 1) != g;
        }
    QVERIFY2(differing < compared / 100, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(compared)));
}

void TestPictures::gridFormulas()
{
    QCOMPARE(nzmap::columnOf(1951923), 110.0);
    QCOMPARE(nzmap::rowOf(6791805), 150.0);
    QCOMPARE(nzmap::eastingOf(697), 2538923.0);
    QCOMPARE(nzmap::northingOf(497), 6444805.0);
    QCOMPARE(nzmap::eastingOf(nzmap::columnOf(2667800)), 2667800.0);
}

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
