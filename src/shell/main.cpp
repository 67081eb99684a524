#include "shell/command_line.h"
#include "shell/start.h"

#include <QApplication>
#include <QFont>
#include <cstdio>

int main(int argc, char** argv)
{
    // --help, --version and a refusal are answered on the terminal before
    // any window (or display connection) exists.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const shell::CommandLine commandLine = shell::parseCommandLine(arguments);
    if (commandLine.action != shell::CommandLine::Action::Run) {
        const QByteArray text = commandLine.output.toLocal8Bit();
        std::fputs(text.constData(), commandLine.exitCode == 0 ? stdout : stderr);
        return commandLine.exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane Zaru"));
    QApplication::setApplicationVersion(shell::versionText().section(QLatin1Char(' '), 2));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    return shell::modStart();
}
