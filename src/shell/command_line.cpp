#include "shell/command_line.h"

#include <QSet>

namespace shell {

namespace {

// The generic options QApplication and its platform plugins take for
// themselves, with or without a value.
const QSet<QString>& qtOptionsWithValue()
{
    static const QSet<QString> options{
        QStringLiteral("platform"),     QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),       QStringLiteral("qmljsdebugger"),      QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),  QStringLiteral("qwindowtitle"),       QStringLiteral("session"),
        QStringLiteral("style"),        QStringLiteral("stylesheet"),         QStringLiteral("display"),
        QStringLiteral("geometry"),     QStringLiteral("title"),              QStringLiteral("name"),
    };
    return options;
}

const QSet<QString>& qtFlags()
{
    static const QSet<QString> flags{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                     QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};
    return flags;
}

CommandLine refuse(const QString& why)
{
    return {CommandLine::Action::Refuse, QStringLiteral("orvane: %1 (try 'orvane --help')\n").arg(why), 2};
}

}  // namespace

QString versionText()
{
    return QStringLiteral("Orvane Zaru %1.%2.%3")
        .arg(ORVANE_VERSION_MAJOR)
        .arg(ORVANE_VERSION_MINOR)
        .arg(ORVANE_VERSION_PATCH);
}

QString usageText()
{
    return QStringLiteral(
        "Usage: orvane [--help] [--version]\n"
        "       orvane-zaru [--help] [--version]\n"
        "\n"
        "Orvane Zaru browses New Zealand's radio-spectrum register as a chart of\n"
        "coloured bars around a centre frequency, like a spectrum analyser.\n"
        "\n"
        "orvane opens the register KORVA.mdb in the folder it is started in: an\n"
        "Access database as the regulator publishes it, or an SQLite copy with the\n"
        "same tables. It reads the file and never writes it, and keeps no settings.\n"
        "The help file OrvaneZaru.chm is looked for in the same folder, then where\n"
        "the program is installed (/usr/share/orvane-zaru).\n"
        "\n"
        "orvane-zaru, the launcher the applications menu starts, runs orvane in the\n"
        "user's register folder, $XDG_DATA_HOME/orvane-zaru (~/.local/share/orvane-zaru),\n"
        "when it holds a KORVA.mdb, and in the sample register's folder otherwise.\n"
        "\n"
        "Options:\n"
        "  -h, --help     print this text and exit\n"
        "  -v, --version  print the version and exit\n"
        "Qt's own options (-style, -platform, -reverse, ...) are passed to Qt.\n"
        "\n"
        "Environment:\n"
        "  XDG_DATA_HOME     where orvane-zaru looks for the user's register folder\n"
        "  QT_SCALE_FACTOR   scales the window for high-density screens (2, 1.5, ...)\n"
        "  QT_LOGGING_RULES  turns on the program's log, e.g. \"orvane.*=true\"\n"
        "                    (orvane.register, orvane.access, orvane.search, ...)\n"
        "\n"
        "Exit status: 0 after Exit, 1 when the register cannot be opened,\n"
        "2 for a command line it does not understand.\n");
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("-help"))
            return {CommandLine::Action::Print, usageText(), 0};
        if (a == QLatin1String("--version") || a == QLatin1String("-v") || a == QLatin1String("-version"))
            return {CommandLine::Action::Print, versionText() + QLatin1Char('\n'), 0};
    }
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-"))
            return refuse(QStringLiteral("it takes no file name; it opens KORVA.mdb in the folder it is started "
                                         "in: '%1'")
                              .arg(a));
        // Qt takes -name, --name and -name=value alike.
        QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const bool hasValue = equals >= 0;
        if (hasValue)
            name.truncate(equals);
        if (qtFlags().contains(name) && !hasValue)
            continue;
        if (qtOptionsWithValue().contains(name)) {
            if (!hasValue && ++i >= arguments.size())
                return refuse(QStringLiteral("the option '%1' needs a value").arg(a));
            continue;
        }
        return refuse(QStringLiteral("unknown option '%1'").arg(a));
    }
    return {};
}

}  // namespace shell
