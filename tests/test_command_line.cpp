// The command line: --help and --version answered on the terminal without a
// window, Qt's own options let through, anything else refused with exit 2.

#include "shell/command_line.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using shell::CommandLine;
using shell::parseCommandLine;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program with no display at all: anything that tried to open a
// window would fail instead of answering.
Run runProgram(const QStringList& arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVANE_BINARY), arguments);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parsing();
    void versionIsThePackagesVersion();
    void programAnswersWithoutAWindow();
};

void TestCommandLine::parsing()
{
    QCOMPARE(parseCommandLine({}).action, CommandLine::Action::Run);
    for (const char* help : {"--help", "-h", "-help"}) {
        const CommandLine c = parseCommandLine({QString::fromLatin1(help)});
        QCOMPARE(c.action, CommandLine::Action::Print);
        QCOMPARE(c.exitCode, 0);
        QVERIFY(c.output.startsWith("Usage: orvane "));
    }
    // The usage says what the program reads, where it looks, and the environment it heeds.
    const QString usage = shell::usageText();
    for (const char* words : {"KORVA.mdb", "OrvaneZaru.chm", "/usr/share/orvane-zaru", "orvane-zaru", "XDG_DATA_HOME",
                              "QT_SCALE_FACTOR", "QT_LOGGING_RULES", "--version"})
        QVERIFY2(usage.contains(words), words);
    for (const QString& line : usage.split('\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    // --help wins wherever it stands, even after an option Qt takes or one that is unknown.
    QCOMPARE(parseCommandLine({"--bogus", "--help"}).action, CommandLine::Action::Print);
    QCOMPARE(parseCommandLine({"-style", "fusion", "--version"}).output, shell::versionText() + "\n");

    // Qt's own options, in each of the spellings Qt takes.
    for (const QStringList& qt : QList<QStringList>{{"-style", "fusion"},
                                                    {"--style", "fusion"},
                                                    {"-style=fusion"},
                                                    {"-platform", "offscreen", "-reverse"},
                                                    {"-qwindowgeometry", "800x600+0+0", "-sync"}})
        QVERIFY2(parseCommandLine(qt).action == CommandLine::Action::Run, qPrintable(qt.join(' ')));

    // Everything else: a one-line message on standard error, exit status 2.
    struct Refused {
        QStringList arguments;
        const char* says;
    };
    for (const Refused& r : {Refused{{"--bogus"}, "unknown option '--bogus'"},
                             Refused{{"-x"}, "unknown option '-x'"},
                             Refused{{"-reverse=1"}, "unknown option '-reverse=1'"},
                             Refused{{"-style"}, "the option '-style' needs a value"},
                             Refused{{"KORVA.mdb"}, "it takes no file name"},
                             Refused{{"-"}, "it takes no file name"},
                             Refused{{"-style", "fusion", "other.mdb"}, "'other.mdb'"}}) {
        const CommandLine c = parseCommandLine(r.arguments);
        QCOMPARE(c.action, CommandLine::Action::Refuse);
        QCOMPARE(c.exitCode, 2);
        QVERIFY2(c.output.contains(r.says), qPrintable(c.output));
        QVERIFY(c.output.startsWith("orvane: "));
        QVERIFY(c.output.endsWith("(try 'orvane --help')\n"));
        QCOMPARE(c.output.count('\n'), 1);
    }
}

void TestCommandLine::versionIsThePackagesVersion()
{
    // The changelog's newest entry, "orvane-zaru (1.0.5) unstable; ...", and
    // the program's version come from the same number.
    QFile changelog(QStringLiteral(ORVANE_SOURCE_DIR "/packaging/changelog"));
    QVERIFY(changelog.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch m =
        QRegularExpression(R"(^orvane-zaru \(([0-9.]+)\))").match(QString::fromUtf8(changelog.readLine()));
    QVERIFY(m.hasMatch());
    QCOMPARE(shell::versionText(), "Orvane Zaru " + m.captured(1));
}

void TestCommandLine::programAnswersWithoutAWindow()
{
    const Run help = runProgram({"--help"});
    QCOMPARE(help.exitCode, 0);
    QCOMPARE(help.out, shell::usageText());
    QCOMPARE(help.err, QString());

    const Run version = runProgram({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, shell::versionText() + "\n");

    const Run unknown = runProgram({"--frobnicate"});
    QCOMPARE(unknown.exitCode, 2);
    QCOMPARE(unknown.out, QString());
    QCOMPARE(unknown.err, "orvane: unknown option '--frobnicate' (try 'orvane --help')\n");
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
