// The real program under Xvfb on a sample register: the window comes up
// titled "Orvane Zaru" with the chart drawn. Skips where Xvfb is missing.

#include "support.h"
#include "xvfb.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

bool runUnderXvfb(const QString& dir, const QString& steps)
{
    return testing::runUnderXvfb(QStringLiteral(ORVANE_BINARY), dir, steps);
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void startsAndDrawsTheChart();
    void autoscanWithRealMouseEvents();
};

void TestEndToEnd::startsAndDrawsTheChart()
{
    for (const char* tool : {"xvfb-run", "import", "xwininfo"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.1), 0);
    const QString shot = wd.file("screen.png");
    QVERIFY(runUnderXvfb(wd.path(),
                         QStringLiteral("xwininfo -root -tree > windows.txt; import -window root \"%1\"").arg(shot)));
    QFile windows(wd.file("windows.txt"));
    QVERIFY(windows.open(QIODevice::ReadOnly));
    QVERIFY(windows.readAll().contains("\"Orvane Zaru\""));
    QImage img(shot);
    QVERIFY(!img.isNull());
    // Find the chart: the green picture box near the window's top left; it is
    // not one colour (bars, lines and shades are drawn on it).
    QSet<QRgb> colours;
    for (int y = 40; y < 340; y += 3)
        for (int x = 10; x < 340; x += 3)
            colours.insert(img.pixel(x, y));
    QVERIFY2(colours.size() > 8, qPrintable(QString::number(colours.size())));
    int green = 0;
    for (int y = 40; y < 340; y += 5)
        for (int x = 10; x < 340; x += 5)
            green += img.pixelColor(x, y) == QColor(0, 0x80, 0);
    QVERIFY2(green > 200, qPrintable(QString::number(green)));
    if (qEnvironmentVariableIsSet("ORVANE_SCREENSHOT"))
        img.save(qEnvironmentVariable("ORVANE_SCREENSHOT"));
}

// Holding + and sliding onto the knob starts autoscan; a press on - stops it.
// The frequency box is cut out of screenshots: it changes while scanning and
// stands still after the stop. Real X events, so the focus moves as on a desktop.
void TestEndToEnd::autoscanWithRealMouseEvents()
{
    for (const char* tool : {"xvfb-run", "import", "xwininfo", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.1), 0);
    // Places in the window's client area, in pixels (twips / 15): the + and -
    // buttons, the knob, and the frequency box.
    const QString steps = QStringLiteral(
        "T=$((Y + H - 489)); "
        "box=\"122x25+$((X + 116))+$((T + 297))\"; "
        "xdotool mousemove $((X + 199)) $((T + 455)) mousedown 1; sleep 0.6; "
        "xdotool mousemove $((X + 175)) $((T + 394)); sleep 0.3; xdotool mouseup 1; sleep 1; "
        "import -window root -crop $box s1.png; sleep 1; import -window root -crop $box s2.png; "
        "xdotool mousemove $((X + 151)) $((T + 455)) mousedown 1; sleep 0.05; xdotool mouseup 1; sleep 2; "
        "import -window root -crop $box s3.png; sleep 1; import -window root -crop $box s4.png");
    QVERIFY(runUnderXvfb(wd.path(), steps));
    const QImage s1(wd.file("s1.png")), s2(wd.file("s2.png")), s3(wd.file("s3.png")), s4(wd.file("s4.png"));
    QVERIFY(!s1.isNull() && !s2.isNull() && !s3.isNull() && !s4.isNull());
    QVERIFY2(s1 != s2, "the frequency box should change while autoscan runs");
    QVERIFY2(s3 == s4, "the frequency box should stand still once - was pressed");
    // The box shows yellow digits on green.
    int yellow = 0;
    for (int y = 0; y < s4.height(); ++y)
        for (int x = 0; x < s4.width(); ++x)
            yellow += s4.pixelColor(x, y).red() > 200 && s4.pixelColor(x, y).green() > 200 && s4.pixelColor(x, y).blue() < 160;
    QVERIFY(yellow > 20);
}

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
