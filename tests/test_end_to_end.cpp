// The real program under Xvfb on a sample register: the window comes up
// titled "Orvane Zaru" with the chart drawn. Skips where Xvfb is missing.

#include "support.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void startsAndDrawsTheChart();
};

void TestEndToEnd::startsAndDrawsTheChart()
{
    for (const char* tool : {"xvfb-run", "import", "xwininfo"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.1), 0);
    const QString shot = wd.file("screen.png");
    const QString script = QStringLiteral(
                               "\"%1\" & pid=$!; "
                               "for i in $(seq 1 100); do xwininfo -root -tree | grep -q '\"Orvane Zaru\"' && break; sleep 0.1; done; "
                               "sleep 1; xwininfo -root -tree > windows.txt; import -window root \"%2\"; "
                               "kill $pid; wait $pid; true")
                               .arg(QStringLiteral(ORVANE_BINARY), shot);
    QProcess run;
    run.setWorkingDirectory(wd.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    run.setProcessEnvironment(env);
    run.start("xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", "sh", "-c", script});
    QVERIFY(run.waitForFinished(120000));
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

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
