// Printing the listing through a real CUPS queue (cups-pdf) set as the
// default printer, on a private cupsd of the test's own. Skips where cupsd
// or cups-pdf is missing or cannot be started (it needs root).

#include "registers.h"
#include "support.h"
#include "window.h"

#include <QDateTime>
#include <QImage>
#include <QRegularExpression>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

namespace {

QString tool(const char* name) { return QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin"}); }

void write(const QString& path, const QString& text)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toUtf8());
}

}  // namespace

class TestCups : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void printsOnTheDefaultPrinter();
    void cleanupTestCase();

private:
    QTemporaryDir dir_;
    QProcess cupsd_;
    QString socket_;
    QString made_;
};

void TestCups::initTestCase()
{
    if (tool("cupsd").isEmpty() || tool("lpadmin").isEmpty())
        QSKIP("cupsd and lpadmin are not installed (Debian cups)");
    if (!QFile::exists("/usr/lib/cups/backend/cups-pdf") || !QFile::exists("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"))
        QSKIP("cups-pdf is not installed (Debian printer-driver-cups-pdf)");
    if (geteuid() != 0)
        QSKIP("the cups-pdf backend and a private cupsd need root");
    const QString d = dir_.path();
    QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                 QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    for (const char* sub : {"root", "spool", "tmp", "cache", "state"}) {
        QDir(d).mkpath(sub);
        QFile::setPermissions(d + "/" + sub, QFileDevice::Permissions(0x7777));
    }
    socket_ = d + "/cups.sock";
    write(d + "/cupsd.conf", QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\n<Location />\n  Order allow,deny\n"
                                            "  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n    Order "
                                            "deny,allow\n    Allow all\n  </Limit>\n</Policy>\n")
                                 .arg(socket_));
    write(d + "/cups-files.conf",
          QStringLiteral("ServerRoot %1/root\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\nStateDir "
                         "%1/state\nAccessLog %1/access_log\nErrorLog %1/error_log\nPageLog %1/page_log\nServerBin "
                         "/usr/lib/cups\nDataDir /usr/share/cups\nSandboxing Relaxed\n")
              .arg(d));
    cupsd_.start(tool("cupsd"), {"-f", "-c", d + "/cupsd.conf", "-s", d + "/cups-files.conf"});
    if (!cupsd_.waitForStarted(5000))
        QSKIP("cupsd would not start");
    for (int i = 0; i < 50 && !QFile::exists(socket_); ++i)
        QTest::qWait(100);
    if (!QFile::exists(socket_))
        QSKIP("cupsd did not open its socket");
    const int added = QProcess::execute(tool("lpadmin"), {"-h", socket_, "-p", "orvanetest", "-E", "-v", "cups-pdf:/",
                                                          "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"});
    const int made = QProcess::execute(tool("lpadmin"), {"-h", socket_, "-d", "orvanetest"});
    if (added != 0 || made != 0)
        QSKIP("the cups-pdf queue could not be set up");
}

void TestCups::printsOnTheDefaultPrinter()
{
    qputenv("CUPS_SERVER", socket_.toLocal8Bit());
    testing::WorkDir wd;
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        for (int i = 0; i < 60; ++i)
            r.recordAtSites(157.1 + i * 0.0125, 157.1125 + i * 0.0125, 1, 2, {{"Printed Site", 2667000, 6482000}},
                            "Kowhai Radio Limited");
    }
    testing::Recorder rec;
    auto w = testing::openWindow();
    QVERIFY(testing::listRange(*w, 157, 158));
    QCOMPARE(int(w->listing().gridRowCount), 61);
    // cups-pdf writes each job into PDF in the job owner's home.
    const QDir out(QString::fromLocal8Bit(getpwuid(geteuid())->pw_dir) + "/PDF");
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    auto newest = [&]() -> QString {
        for (const QFileInfo& f : out.entryInfoList({"*.pdf"}, QDir::Files, QDir::Time))
            if (f.lastModified() >= start && f.size() > 0)
                return f.filePath();
        return QString();
    };
    w->listing().cmdPrintGrid_Click();  // the default printer, as a user would
    QVERIFY2(rec.messages.empty(), qPrintable(rec.texts().join("|")));
    QTRY_VERIFY_WITH_TIMEOUT(!newest().isEmpty(), 60000);
    QTest::qWait(1000);  // let the backend finish the file
    made_ = newest();
    // The job went through CUPS's filters and ghostscript, which keep the
    // drawing but not the text's characters: check the pages and the ink.
    QProcess info;
    info.start("pdfinfo", {made_});
    QVERIFY(info.waitForFinished());
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(meta.contains(QRegularExpression("Pages:\\s+2")), qPrintable(meta));  // 60 rows: two pages
    QProcess raster;
    raster.setStandardErrorFile(QProcess::nullDevice());
    raster.start("pdftoppm", {"-r", "30", "-f", "1", "-l", "1", "-png", made_, dir_.filePath("page")});
    QVERIFY(raster.waitForFinished(60000));
    const QImage page(dir_.filePath("page-1.png"));
    QVERIFY(!page.isNull());
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    QVERIFY(!ink.isEmpty());
    // A landscape listing on a portrait sheet: the lines run down the sheet.
    const bool sheetPortrait = page.height() > page.width();
    QVERIFY2(sheetPortrait ? ink.height() > ink.width() : ink.width() > ink.height(),
             qPrintable(QStringLiteral("%1x%2 on %3x%4").arg(ink.width()).arg(ink.height()).arg(page.width()).arg(page.height())));
}

void TestCups::cleanupTestCase()
{
    if (!made_.isEmpty() && !qEnvironmentVariableIsSet("ORVANE_KEEP_PDF"))
        QFile::remove(made_);
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        cupsd_.waitForFinished(5000);
    }
}

QTEST_MAIN(TestCups)
#include "test_cups.moc"
