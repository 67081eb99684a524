// orvane-read-access: reads one table of an Access register, or its
// catalogue, for the program, in a sandbox (see access_internal.h).

#include "register/access_internal.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);
    return reg::access::readerMain(arguments);
}
