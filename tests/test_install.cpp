// The Debian package as a user gets it: built with cpack from this build,
// unpacked with dpkg-deb into a temporary root, its files where the desktop
// looks for them, and its launcher started under Xvfb with a temporary HOME,
// opening the sample register, or the user's register once there is one.

#include "shell/command_line.h"
#include "support.h"
#include "xvfb.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>
#include <QtTest>

namespace {

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

// What the running launcher showed: its working folder, the registers it held
// open, the windows on the screen before and after F1.
struct Launch {
    QString cwd;
    QString openFiles;
    QString windows;
    QString windowsAfterF1;
};

// Starts the unpacked launcher under Xvfb with `env`, and once its main
// window is up, notes what it holds, gives it the focus and presses F1.
Launch launch(const QString& launcher, const QString& outDir, const QProcessEnvironment& env)
{
    const QString steps = QStringLiteral(
        "readlink /proc/$pid/cwd > cwd.txt; ls -l /proc/$pid/fd > fds.txt; xwininfo -root -tree > windows.txt; "
        "w=$(xdotool search --name '^Orvane Zaru$' | tail -n 1); xdotool windowfocus --sync $w; sleep 0.3; "
        "xdotool key F1; "
        "for i in $(seq 1 50); do xwininfo -root -tree | grep -q '\"Orvane Zaru Help\"' && break; sleep 0.1; done; "
        "xwininfo -root -tree > help.txt");
    testing::runUnderXvfb(launcher, outDir, steps, env, 180000);
    return {readText(outDir + "/cwd.txt"), readText(outDir + "/fds.txt"), readText(outDir + "/windows.txt"),
            readText(outDir + "/help.txt")};
}

// Every file under `dir` with its size and modification time.
QStringList listing(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        out << QStringLiteral("%1 %2 %3").arg(fi.filePath()).arg(fi.size()).arg(fi.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

}  // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void packageHoldsAWholeDesktopApplication();
    void launcherStartsOnTheSampleRegister();
    void launcherStartsOnTheUsersRegister();
    void launcherAnswersAndDoesNotHideARefusal();

private:
    QTemporaryDir work_;
    QString deb_;
    QString root_;
};

void TestInstall::initTestCase()
{
    for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "xvfb-run", "xwininfo", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
    QVERIFY(work_.isValid());
    const QString out = work_.filePath("out");
    QVERIFY(testing::runTool(QStringLiteral(ORVANE_CPACK),
                {"-G", "DEB", "-B", out, "--config", QStringLiteral(ORVANE_BUILD_DIR "/CPackConfig.cmake")}));
    const QStringList debs = QDir(out).entryList({"orvane-zaru_*.deb"}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    deb_ = out + "/" + debs.first();
    root_ = work_.filePath("root");
    QVERIFY(testing::runTool("dpkg-deb", {"-x", deb_, root_}));
}

void TestInstall::packageHoldsAWholeDesktopApplication()
{
    // The package's fields, and dependencies found by dpkg-shlibdeps from the
    // programs' own links (besides the run-time pieces Qt loads).
    QCOMPARE(testing::runTool("dpkg-deb", {"-f", deb_, "Package"}).value_or("").trimmed(), QStringLiteral("orvane-zaru"));
    QCOMPARE(testing::runTool("dpkg-deb", {"-f", deb_, "Version"}).value_or("").trimmed(), QStringLiteral("1.0.5"));
    const QString depends = testing::runTool("dpkg-deb", {"-f", deb_, "Depends"}).value_or("");
    for (const char* dep : {"libqt6widgets6", "libqt6printsupport6", "libmdb3", "libchm1", "libsqlite3-0", "libc6",
                            "qt6-qpa-plugins"})
        QVERIFY2(depends.contains(QLatin1String(dep)), qPrintable(dep + (": " + depends)));
    // The register is read through SQLite alone, not through Qt's database layer.
    QVERIFY2(!depends.contains(QLatin1String("libqt6sql6")), qPrintable(depends));

    const QString usr = root_ + "/usr";
    for (const char* program : {"orvane", "orvane-zaru", "orvane-make-register"}) {
        const QFileInfo fi(usr + "/bin/" + program);
        QVERIFY2(fi.isFile() && fi.isExecutable(), program);
    }
    // The readers of the register and of the help file, started by the program only.
    for (const char* reader : {"orvane-read-access", "orvane-read-help"}) {
        const QFileInfo fi(usr + "/libexec/orvane-zaru/" + reader);
        QVERIFY2(fi.isFile() && fi.isExecutable(), reader);
    }
    QVERIFY(QFileInfo(usr + "/share/orvane-zaru/OrvaneZaru.chm").size() > 10000);
    // The sample register is the regulator's format: a Jet 4 database.
    QFile sample(usr + "/share/orvane-zaru/sample/KORVA.mdb");
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray head = sample.read(0x20);
    QCOMPARE(head.mid(4, 15), QByteArray("Standard Jet DB"));
    QCOMPARE(int(head.at(0x14)), 1);
    QVERIFY(sample.size() > 4 * 1024 * 1024);

    // The icon, drawn at each size of the hicolor theme under the name the
    // desktop entry gives.
    const QString desktop = readText(usr + "/share/applications/nz.orvane.Zaru.desktop");
    QVERIFY(desktop.contains("\nExec=orvane-zaru\n"));
    QVERIFY(desktop.contains("\nIcon=nz.orvane.Zaru\n"));
    QVERIFY(desktop.contains("\nName=Orvane Zaru\n"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        QImageReader icon(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/nz.orvane.Zaru.png").arg(usr).arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
    }
    const QString svg = readText(usr + "/share/icons/hicolor/scalable/apps/nz.orvane.Zaru.svg");
    QVERIFY(svg.startsWith("<?xml") && svg.contains("<svg xmlns=\"http://www.w3.org/2000/svg\"") &&
            svg.endsWith("</svg>"));
    const QString metainfo = readText(usr + "/share/metainfo/nz.orvane.Zaru.metainfo.xml");
    QVERIFY(metainfo.contains("<launchable type=\"desktop-id\">nz.orvane.Zaru.desktop</launchable>"));
    QVERIFY(metainfo.contains("<release version=\"1.0.5\""));
    QVERIFY(metainfo.contains("<screenshot type=\"default\">"));

    // Manual pages, compressed, the launcher's leading to the program's; the
    // package's copyright and changelog.
    for (const char* page : {"orvane.1.gz", "orvane-zaru.1.gz", "orvane-make-register.1.gz"}) {
        const QString text = testing::runTool("gzip", {"-dc", usr + "/share/man/man1/" + page}).value_or("");
        QVERIFY2(text.startsWith(".TH "), page);
    }
    const QString manual = testing::runTool("gzip", {"-dc", usr + "/share/man/man1/orvane.1.gz"}).value_or("");
    for (const char* words : {"KORVA.mdb", "~/.local/share/orvane-zaru", "WHAT IT NEVER WRITES"})
        QVERIFY2(manual.contains(QLatin1String(words)), words);
    QVERIFY(readText(usr + "/share/doc/orvane-zaru/copyright").startsWith("Format: "));
    QVERIFY(testing::runTool("gzip", {"-dc", usr + "/share/doc/orvane-zaru/changelog.gz"}).value_or("").startsWith("orvane-zaru (1.0.5) "));
}

void TestInstall::launcherStartsOnTheSampleRegister()
{
    const QString home = work_.filePath("home-empty");
    QVERIFY(QDir().mkpath(home));
    const QString out = work_.filePath("run-sample");
    QVERIFY(QDir().mkpath(out));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_DATA_HOME");
    env.insert("HOME", home);
    const QString sampleDir = root_ + "/usr/share/orvane-zaru/sample";
    const QStringList before = listing(sampleDir);

    const Launch l = launch(root_ + "/usr/bin/orvane-zaru", out, env);
    QCOMPARE(l.cwd, QFileInfo(sampleDir).canonicalFilePath());
    QVERIFY2(l.windows.contains("\"Orvane Zaru\": (\"orvane\""), qPrintable(l.windows));
    // F1 opens the installed help file (none lies beside the sample register).
    QVERIFY2(l.windowsAfterF1.contains("\"Orvane Zaru Help\""), qPrintable(l.windowsAfterF1));
    // Nothing was written beside the register.
    QCOMPARE(listing(sampleDir), before);
}

void TestInstall::launcherStartsOnTheUsersRegister()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    // In ~/.local/share/orvane-zaru, then in $XDG_DATA_HOME/orvane-zaru.
    for (bool xdg : {false, true}) {
        const QString home = work_.filePath(xdg ? "home-xdg" : "home-user");
        const QString data = xdg ? work_.filePath("data") : home + "/.local/share";
        env.insert("HOME", home);
        if (xdg)
            env.insert("XDG_DATA_HOME", data);
        else
            env.remove("XDG_DATA_HOME");
        const QString mine = data + "/orvane-zaru";
        QVERIFY(QDir().mkpath(mine));
        QCOMPARE(testing::makeRegister(mine + "/KORVA.mdb", 0.05, xdg ? 7 : 11), 0);
        const QStringList before = listing(mine);

        const QString out = work_.filePath(xdg ? "run-xdg" : "run-user");
        QVERIFY(QDir().mkpath(out));
        const Launch l = launch(root_ + "/usr/bin/orvane-zaru", out, env);
        QCOMPARE(l.cwd, QFileInfo(mine).canonicalFilePath());
        // An SQLite register stays open while the program runs.
        QVERIFY2(l.openFiles.contains(QFileInfo(mine + "/KORVA.mdb").canonicalFilePath()), qPrintable(l.openFiles));
        QVERIFY2(l.windows.contains("\"Orvane Zaru\": (\"orvane\""), qPrintable(l.windows));
        QCOMPARE(listing(mine), before);
    }
}

void TestInstall::launcherAnswersAndDoesNotHideARefusal()
{
    const QString launcher = root_ + "/usr/bin/orvane-zaru";
    QProcess p;
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove("DISPLAY");
    bare.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(bare);
    p.start(launcher, {"--version"});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()), shell::versionText() + "\n");
    p.start(launcher, {"--help"});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).startsWith("Usage: orvane "));

    // A KORVA.mdb in the user's folder that is no register (here a folder of
    // that name) is still the one opened: the program refuses it, naming it,
    // instead of the launcher starting on the sample without a word.
    const QString home = work_.filePath("home-refused");
    const QString mine = home + "/.local/share/orvane-zaru";
    QVERIFY(QDir().mkpath(mine + "/KORVA.mdb"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_DATA_HOME");
    env.insert("HOME", home);
    const QString out = work_.filePath("run-refused");
    QVERIFY(QDir().mkpath(out));
    const Launch l = launch(launcher, out, env);
    QCOMPARE(l.cwd, QFileInfo(mine).canonicalFilePath());
    QVERIFY2(!l.openFiles.contains("sample"), qPrintable(l.openFiles));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
