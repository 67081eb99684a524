// Bad input in the frequency box by every way of starting a search, bad
// register files at start-up, and a whole session that must write nothing.

#include "registers.h"
#include "window.h"
#include "shell/start.h"
#include "support.h"

#include <QCryptographicHash>
#include <QtTest>
#include <sys/wait.h>
#include <grp.h>
#include <cmath>
#include <unistd.h>

using namespace shell;
using testing::TinyRegister;

namespace {

void smallRegister(const QString& path)
{
    TinyRegister r(path);
    r.record(0.5, 0.76, 5, 1, 26, 2);
    r.recordAtSites(1.0, 1.01, 1, 2, {{"Auckland Hill", 2667000, 6482000}});
    r.recordAtSites(1.0, 1.01, 1, 9, {{"Mt Kaukau", 2658000, 5992000}});
    r.record(1.1, 1.2, 1, 1, 31, 0, 1, QString(), "A band");
    r.record(1.0, 1.025, 4, 4, 25, 0, 1, "CH 1");
    r.record(0.5265, 1.6065, 8, 1, 26, 0, 1, QString(), "BROADCASTING");
}

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT

private slots:
    void badTextInTheFrequencyBox();
    void badRegistersEndStartUp();
    void aWholeSessionWritesNothing();
};

void TestRobustness::badTextInTheFrequencyBox()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = std::make_unique<FrmSpectrum>();
    w->formLoad();
    w->tmrSearch->setInterval(24 * 3600 * 1000);
    const int bars = w->chart().lastRecordIndex;
    const QStringList bad{"abc", "", "   ", "1e3", "1,5", "--1", "1e400", "nan", "inf", "-inf", QString(400, '9'),
                          "0x1F", "1.2.3", "+-2", "\t", "1 000"};
    for (const QString& text : bad) {
        const QString what = QStringLiteral("'%1'").arg(text.left(12));
        // Enter and a click start nothing.
        rec.clear();
        w->txtFrequencyDisplay->setText(text);
        w->frequency().txtFrequencyDisplay_KeyPress(13);
        w->frequency().txtFrequencyDisplay_Click();
        QVERIFY2(rec.messages.empty(), qPrintable(what));
        // An option click, a tuning press and release, and the zoom failure each say so.
        w->Option1[9]->setValue(true);
        w->Option1[15]->setValue(true);
        w->frequency().cmdPlus_MouseDown(1, 0, 1, 1);
        QVERIFY2(!w->tmrSearch->isEnabled(), qPrintable(what));
        w->frequency().cmdPlus_MouseUp(1, 0, 1, 1);
        for (int z = 0; z < 12 && !rec.texts().join("|").contains("Exceeded"); ++z)
            w->frequency().cmdZoomIn_Click();
        QVERIFY2(rec.texts().count("You didn't enter a number") == 4, qPrintable(what + rec.texts().join("|")));
        QCOMPARE(w->frequency().zoomFactor, 1.0);
        QCOMPARE(int(w->chart().lastRecordIndex), bars);  // the chart stays
        QCOMPARE(w->txtFrequencyDisplay->text(), text);
    }
    // Numbers that are odd but numbers: each gives a chart or an empty one.
    const QStringList odd{"+.5", "  2  ", "-5", "0", "0.0000001", "999999999999", QString(300, '9'), "3."};
    for (const QString& text : odd) {
        rec.clear();
        w->txtFrequencyDisplay->setText(text);
        w->frequency().txtFrequencyDisplay_KeyPress(13);
        QVERIFY2(rec.messages.empty(), qPrintable(text.left(12) + rec.texts().join("|")));
        QVERIFY(w->lblHighFrequency->caption().size() > 0);
        w->frequency().cmdPlus_MouseDown(1, 0, 1, 1);
        w->tmrSearch->fire();
        w->frequency().cmdPlus_MouseUp(1, 0, 1, 1);
        w->frequency().cmdZoomIn_Click();
        w->frequency().cmdZoomOut_Click();
        w->hsbFrequency->setValue(100);
        // Far from the loaded records the zoom may give up on them, and says so.
        for (const QString& m : rec.texts())
            QVERIFY2(m.startsWith("Exceeded maximum zoom for this set of records") ||
                         m.startsWith("Unable to zoom this set of records"),
                     qPrintable(text.left(12) + m));
        QCOMPARE(std::log2(w->frequency().zoomFactor), std::round(std::log2(w->frequency().zoomFactor)));
    }
    w->txtFrequencyDisplay->setText("-5");
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    QCOMPARE(w->lblLowFrequency->caption(), QString());
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral("-4.750000"));
    QCOMPARE(w->StatusBar1->panelText(1), QStringLiteral("Searching"));
}

void TestRobustness::badRegistersEndStartUp()
{
    struct Case {
        const char* name;
        std::function<void(const QString& dir)> make;
        const char* says;
    };
    const QString dateTest = testing::sharedTestData("DateTestDatabase.mdb");
    const std::vector<Case> cases = {
        {"missing", [](const QString&) {}, "Could not find file"},
        {"zero bytes", [](const QString& d) { QFile f(d + "/KORVA.mdb"); f.open(QIODevice::WriteOnly); }, "empty"},
        {"directory", [](const QString& d) { QDir(d).mkdir("KORVA.mdb"); }, "directory"},
        {"truncated",
         [](const QString& d) {
             smallRegister(d + "/full.mdb");
             QFile in(d + "/full.mdb");
             in.open(QIODevice::ReadOnly);
             QFile out(d + "/KORVA.mdb");
             out.open(QIODevice::WriteOnly);
             out.write(in.read(in.size() / 2));
         },
         "damaged|malformed"},
        {"a table missing",
         [](const QString& d) {
             smallRegister(d + "/KORVA.mdb");
             TinyRegister::dropTable(d + "/KORVA.mdb", "licence");
         },
         "table licence is missing"},
        {"not a database", [](const QString& d) {
             QFile f(d + "/KORVA.mdb");
             f.open(QIODevice::WriteOnly);
             f.write(QByteArray(8192, 'z'));
         }, "not a register database"},
        {"Access file that is not a register",
         [dateTest](const QString& d) { QFile::copy(dateTest, d + "/KORVA.mdb"); },
         "table spectrum is missing"},
    };
    for (const Case& c : cases) {
        if (QString(c.name).startsWith("Access") && !QFile::exists(dateTest))
            continue;  // the Access test file lives beside the checkout
        testing::WorkDir wd;
        c.make(wd.path());
        testing::Recorder rec;
        const int status = modStart();
        QVERIFY2(status != 0, c.name);
        QVERIFY2(rec.messages.size() == 1, c.name);
        QVERIFY2(rec.messages[0].text.contains(QRegularExpression(QString::fromLatin1(c.says))),
                 qPrintable(rec.messages[0].text));
        QVERIFY2(rec.messages[0].text.contains("KORVA.mdb"), qPrintable(rec.messages[0].text));
        QCOMPARE(rec.messages[0].title, QStringLiteral("Orvane"));
    }
    // A file that cannot be read. Root reads every file, so as root (how CI
    // runs) the program is run in a child process that has given up root.
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    QFile::setPermissions(wd.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(wd.file("KORVA.mdb"), QFileDevice::Permissions());
    const pid_t pid = ::fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        ::alarm(60);  // a program that opened the file would wait in its event loop
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            _exit(20);
        testing::Recorder rec;
        const int status = modStart();
        const bool said = rec.messages.size() == 1 && rec.messages[0].text.contains("permission denied") &&
                          rec.messages[0].text.contains("KORVA.mdb");
        _exit(status == 1 && said ? 0 : 10 + status);
    }
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(status)));
    QFile::setPermissions(wd.file("KORVA.mdb"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestRobustness::aWholeSessionWritesNothing()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    QVERIFY(QFile::copy(QStringLiteral(ORVANE_HELP_FILE), wd.file("OrvaneZaru.chm")));
    const QByteArray before = digest(wd.file("KORVA.mdb"));
    const QByteArray help = digest(wd.file("OrvaneZaru.chm"));
    const QStringList files = entries(wd.path());
    testing::Recorder rec;
    const forms::ModalHandler old = forms::setModalHandler([](forms::Form&) {});
    {
        auto w = std::make_unique<FrmSpectrum>();
        w->formLoad();
        w->listing().printerFactory = [] { return std::make_unique<inspect::RecordingPrinter>(); };
        w->hsbFrequency->setValue(300);
        w->frequency().cmdZoomIn_Click();
        w->frequency().cmdZoomOut_Click();
        w->frequency().cmdPlus_MouseDown(1, 0, 0, 0);
        w->tmrSearch->fire();
        w->frequency().cmdPlus_MouseUp(1, 0, 0, 0);
        w->txtFrequencyDisplay->setText("1");
        w->frequency().txtFrequencyDisplay_KeyPress(13);
        for (int i = 0; i <= w->chart().lastRecordIndex; ++i) {
            w->inspection().lblSpectrum_MouseMove(i, 0, 0, 1, 1);
            w->inspection().lblSpectrum_MouseDown(i, 1 + (i % 2), 0, 0, 0);
            w->inspection().lblSpectrum_MouseUp(i, 1, 0, 0, 0);
        }
        w->inspection().lblDistrict_MouseDown(1, 1, 0, 0, 0);
        w->siteMap().cmdMapGrid_Click();
        emit w->picMap->mouseMove(0, 0, 1500, 1500);
        w->siteMap().picMap_MouseDown(1, 0, 100, 100);
        emit w->picMap->mouseMove(1, 0, 600, 600);
        w->tmrFlash->fire();
        w->siteMap().mnuFlash_Click();
        w->inspection().mnuOverlap_Click();
        w->siteMap().mnuMapDistrict_Click();
        w->siteMap().mnuNZMS260_Click();
        w->siteMap().mnuMapLabels_Click();
        w->listing().mnuPrint_Click();
        w->mnuAbout_Click();
        w->cmdITU_Click();
        w->help().mnuHelp_Click();
    }
    forms::setModalHandler(old);
    QCOMPARE(digest(wd.file("KORVA.mdb")), before);
    QCOMPARE(digest(wd.file("OrvaneZaru.chm")), help);
    QCOMPARE(entries(wd.path()), files);
}

QTEST_MAIN(TestRobustness)
#include "test_robustness.moc"
