// orvane-read-access: reads one table of an Access register, or its
// catalogue, for the program, in a sandbox (see access_internal.h).
//
// The libraries it uses open the register by a name (libmdb with fopen and
// stat); these functions give them the descriptor the program handed over
// instead, so that no file is ever opened by a name (the sandbox refuses
// that anyway).

#include "register/access_internal.h"

#include <QStringList>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool isRegister(const char* path) { return path && std::strcmp(path, reg::access::kReaderRegisterPath) == 0; }

int openByName(const char* path, int flags, va_list args)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE))
        mode = mode_t(va_arg(args, int));
    if (isRegister(path)) {
        if ((flags & O_ACCMODE) != O_RDONLY) {
            errno = EACCES;
            return -1;
        }
        return ::fcntl(reg::access::kReaderRegisterFd, F_DUPFD_CLOEXEC, 0);
    }
    return int(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

int statByName(const char* path, struct stat* st)
{
    if (isRegister(path))
        return ::fstat(reg::access::kReaderRegisterFd, st);
    errno = EACCES;
    return -1;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = openByName(path, flags, args);
    va_end(args);
    return fd;
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = openByName(path, flags, args);
    va_end(args);
    return fd;
}

FILE* fopen(const char* path, const char* mode)
{
    if (!isRegister(path) || !mode || mode[0] != 'r' || std::strchr(mode, '+') || std::strchr(mode, 'w')) {
        errno = EACCES;
        return nullptr;
    }
    const int fd = ::fcntl(reg::access::kReaderRegisterFd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    FILE* f = ::fdopen(fd, "r");
    if (!f)
        ::close(fd);
    return f;
}

FILE* fopen64(const char* path, const char* mode) { return fopen(path, mode); }

int stat(const char* path, struct stat* st) { return statByName(path, st); }
int stat64(const char* path, struct stat64* st) { return statByName(path, reinterpret_cast<struct stat*>(st)); }

}  // extern "C"

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);
    return reg::access::readerMain(arguments);
}
