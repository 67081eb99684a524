#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// What the command line asks for. The program itself takes no file name (it
// opens KORVA.mdb in its working folder); it answers --help and --version on
// the terminal without opening a window, and lets Qt's own options (-style,
// -platform, ...) through to Qt.
struct CommandLine
{
    enum class Action { Run, Print, Refuse };
    Action action = Action::Run;
    QString output;   // the text printed: usage or version on standard output, a refusal on standard error
    int exitCode = 0; // 0 for --help and --version, 2 for a refusal
};

// The arguments after the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

// "Orvane Zaru 1.0.5", from the project's one version number.
QString versionText();
QString usageText();

}  // namespace shell
