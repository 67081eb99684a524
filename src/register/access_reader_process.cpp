// The reader program's side of reading an Access file: its arguments, its
// confinement, and the work it does into its pipe; and where the program
// finds it.

#include "register/access_internal.h"
#include "register/sandbox.h"


#include <exception>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reg::access {

namespace {

// How long a reader waits, after its last message, for the program to collect it.
constexpr int kLingerMs = 2000;

}  // namespace

QStringList readerArguments(const TableImport& request, qint64 fileSize)
{
    QStringList a{QStringLiteral("--table"), request.table, QString::number(request.page), QString::number(request.rows), QString::number(fileSize),
                  QString::number(request.columns.size())};
    a += request.columns;
    a << QString::number(request.indexes.size());
    a += request.indexes;
    return a;
}

namespace {

// The request a table's arguments carry; false when they do not make one.
bool parseTable(const QStringList& a, qsizetype at, TableImport& request, qint64& fileSize)
{
    if (at + 5 > a.size())
        return false;
    bool ok0 = false, ok1 = false, ok2 = false, ok3 = false;
    request.table = a[at];
    request.page = a[at + 1].toLongLong(&ok0);
    ++at;
    request.rows = a[at + 1].toLongLong(&ok1);
    fileSize = a[at + 2].toLongLong(&ok2);
    const qsizetype columns = a[at + 3].toLongLong(&ok3);
    if (!ok0 || !ok1 || !ok2 || !ok3 || columns < 0 || at + 4 + columns >= a.size())
        return false;
    request.columns = a.mid(at + 4, columns);
    bool ok4 = false;
    const qsizetype indexes = a[at + 4 + columns].toLongLong(&ok4);
    if (!ok4 || indexes < 0 || at + 5 + columns + indexes != a.size())
        return false;
    request.indexes = a.mid(at + 5 + columns, indexes);
    return true;
}

}  // namespace

int readerMain(const QStringList& a)
{
    // Only its pipe and the register are kept.
    ::close_range(kReaderPipeFd + 1, ~0U, 0);
    if (a.size() == 1 && a[0] == QLatin1String("--sandbox-check"))
        return sandbox::runSelfCheck();
    if (a.size() < 3 || a[0] != QLatin1String("--parent"))
        return 2;
    bool ok = false;
    const long parent = a[1].toLong(&ok);
    if (!ok)
        return 2;
    TableImport request;
    qint64 fileSize = 0;
    const bool catalogue = a.size() == 3 && a[2] == QLatin1String("--catalogue");
    if (!catalogue && !(a[2] == QLatin1String("--table") && parseTable(a, 3, request, fileSize)))
        return 2;
    PipeOutput out(kReaderPipeFd);
    const QString why = sandbox::confine({}, parent);
    if (!why.isEmpty()) {
        out.error(QByteArrayLiteral("its reader cannot be confined: ") + why.toUtf8());
        return 1;
    }
    int status = 0;
    try {
        struct stat file{};
        if (catalogue && ::fstat(kReaderRegisterFd, &file) != 0)
            throw ReaderError("the register cannot be read");
        if (catalogue)
            listTables(kReaderRegisterPath, qint64(file.st_size), out);
        else
            readTable(kReaderRegisterPath, request, fileSize, out);
    } catch (const std::exception& e) {
        out.error(QByteArray(e.what()));
        status = 1;
    }
    // Its last message sent, it stays until the program has read its peak
    // memory and closed the pipe (a pipe's writer sees that as an error).
    pollfd collected{kReaderPipeFd, 0, 0};
    ::poll(&collected, 1, kLingerMs);
    return status;
}

QString readerProgram() { return readers::programPath(QStringLiteral("orvane-read-access")); }

}  // namespace reg::access
