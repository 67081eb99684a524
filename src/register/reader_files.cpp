// The files of a reader program (orvane-read-access, orvane-read-help),
// linked into each: the libraries it uses open the file they read by a name
// (libmdb with fopen and stat, chmlib with open); these functions give them
// the descriptor the program handed over instead, so that no file is ever
// opened by a name (the sandbox refuses that anyway). Never linked into the
// program itself.

#include "register/reader_process.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool isTheFile(const char* path) { return path && std::strcmp(path, reg::readers::kFilePath) == 0; }

int openByName(const char* path, int flags, va_list args)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE))
        mode = mode_t(va_arg(args, int));
    if (isTheFile(path)) {
        if ((flags & O_ACCMODE) != O_RDONLY) {
            errno = EACCES;
            return -1;
        }
        return ::fcntl(reg::readers::kFileFd, F_DUPFD_CLOEXEC, 0);
    }
    return int(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

int statByName(const char* path, struct stat* st)
{
    if (isTheFile(path))
        return ::fstat(reg::readers::kFileFd, st);
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
    if (!isTheFile(path) || !mode || mode[0] != 'r' || std::strchr(mode, '+') || std::strchr(mode, 'w')) {
        errno = EACCES;
        return nullptr;
    }
    const int fd = ::fcntl(reg::readers::kFileFd, F_DUPFD_CLOEXEC, 0);
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

