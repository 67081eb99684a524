// orvane-read-help: reads the help file for the help window, in a sandbox
// (see chm_file.h).

#include "help/chm_file.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);
    return help::helpReaderMain(arguments);
}
