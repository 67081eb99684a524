#include "register/reader_process.h"

#include "register/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace reg::readers {

QByteArray header(char type, uint64_t length)
{
    QByteArray h(kHeaderSize, '\0');
    h[0] = type;
    for (int k = 0; k < 8; ++k)
        h[1 + k] = char(uint8_t(length >> (8 * k)));
    return h;
}

uint64_t lengthOf(const unsigned char* header)
{
    uint64_t length = 0;
    for (int k = 0; k < 8; ++k)
        length |= uint64_t(header[1 + k]) << (8 * k);
    return length;
}

namespace {

void writeAll(int fd, const void* data, size_t n)
{
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            _exit(3);  // the other end has gone
        p += w;
        n -= size_t(w);
    }
}

RegisterError cannotStart(const QString& why)
{
    return RegisterError(QStringLiteral("A process to read the file cannot be started: %1").arg(why));
}

RegisterError cannotStart() { return cannotStart(QString::fromLocal8Bit(std::strerror(errno))); }

// A descriptor at 10 or above, closed on exec; the original closed.
int lifted(int fd)
{
    if (fd < 0)
        return -1;
    const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return high;
}

void closeAll(std::initializer_list<int> fds)
{
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
}

}  // namespace

void send(int fd, char type, const void* data, uint64_t length)
{
    const QByteArray h = header(type, length);
    writeAll(fd, h.constData(), size_t(h.size()));
    writeAll(fd, data, size_t(length));
}

QString programPath(const QString& name)
{
    QStringList places;
    if (QCoreApplication::instance()) {
        const QString here = QCoreApplication::applicationDirPath();
        places << here + QLatin1Char('/') + name << here + QStringLiteral("/../libexec/orvane-zaru/") + name;
    }
#ifdef ORVANE_READERS_IN_BUILD
    places << QStringLiteral(ORVANE_READERS_IN_BUILD) + QLatin1Char('/') + name;
#endif
    for (const QString& p : places) {
        const QFileInfo f(p);
        if (f.isFile() && f.isExecutable())
            return f.canonicalFilePath();
    }
    return QString();
}

Started start(const QString& program, const QString& file, const QStringList& arguments, bool withRequests)
{
    int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        throw cannotStart();
    int replies[2] = {-1, -1}, requests[2] = {-1, -1};
    if (::pipe2(replies, O_CLOEXEC) != 0 || (withRequests && ::pipe2(requests, O_CLOEXEC) != 0)) {
        closeAll({fd, replies[0], replies[1]});
        throw cannotStart();
    }
    // The child's ends are moved out of the way of the numbers they take there.
    fd = lifted(fd);
    const int replyEnd = lifted(replies[1]);
    const int requestEnd = lifted(requests[0]);
    if (fd < 0 || replyEnd < 0 || (withRequests && requestEnd < 0)) {
        closeAll({fd, replyEnd, requestEnd, replies[0], requests[1]});
        throw cannotStart();
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fd, kFileFd);
    posix_spawn_file_actions_adddup2(&actions, replyEnd, kReplyFd);
    if (withRequests)
        posix_spawn_file_actions_adddup2(&actions, requestEnd, kRequestFd);
    posix_spawn_file_actions_addclosefrom_np(&actions, withRequests ? kRequestFd + 1 : kReplyFd + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<QByteArray> args{QFile::encodeName(program), QByteArrayLiteral("--parent"),
                                 QByteArray::number(qint64(::getpid()))};
    for (const QString& a : arguments)
        args.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // The environment: only the language, and the sanitizer's options in a
    // sanitizer build (leak checks cannot run in the sandbox).
    std::vector<QByteArray> env{QByteArrayLiteral("LC_ALL=C.UTF-8")};
#if defined(__SANITIZE_ADDRESS__)
    env.push_back(QByteArrayLiteral("ASAN_OPTIONS=detect_leaks=0"));
#endif
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    Started s;
    const int rc = ::posix_spawn(&s.pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeAll({fd, replyEnd, requestEnd});
    if (rc != 0) {
        closeAll({replies[0], requests[1]});
        throw cannotStart(QString::fromLocal8Bit(std::strerror(rc)));
    }
    s.replies = replies[0];
    ::fcntl(s.replies, F_SETFL, ::fcntl(s.replies, F_GETFL) | O_NONBLOCK);
    s.requests = requests[1];
    return s;
}

void kill(pid_t pid, rusage* usage)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    rusage ignored{};
    while (::wait4(pid, nullptr, 0, usage ? usage : &ignored) < 0 && errno == EINTR) {
    }
}

double peakResidentMB(pid_t pid)
{
    if (pid <= 0)
        return 0;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", int(pid));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[4096];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = 0;
    const char* at = std::strstr(text, "\nVmHWM:");
    return at ? std::strtod(at + 7, nullptr) / 1024.0 : 0;  // kB
}

namespace {

// One message through `readFully` (which reads exactly n bytes, or fails):
// its header, then a payload of at most `maxBytes`; `length` is the length
// the header gave, over `maxBytes` when that is why it failed.
template <class ReadFully>
bool readMessage(ReadFully&& readFully, qint64 maxBytes, char& type, QByteArray& payload, uint64_t& length)
{
    char h[kHeaderSize];
    length = 0;
    if (!readFully(h, kHeaderSize))
        return false;
    type = h[0];
    length = lengthOf(reinterpret_cast<const unsigned char*>(h));
    if (length > uint64_t(maxBytes))
        return false;
    payload.resize(qsizetype(length));
    return readFully(payload.data(), qint64(length));
}

}  // namespace

bool receive(int fd, int timeoutMs, qint64 maxBytes, char& type, QByteArray& payload, QString& why)
{
    QElapsedTimer clock;
    clock.start();
    // Reads exactly `n` bytes into `to`, waiting within the time left.
    auto readFully = [&](char* to, qint64 n) {
        qint64 got = 0;
        while (got < n) {
            const ssize_t r = ::read(fd, to + got, size_t(n - got));
            if (r > 0) {
                got += r;
                continue;
            }
            if (r == 0) {
                why = QStringLiteral("its reader ended");
                return false;
            }
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN) {
                why = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) {
                why = QStringLiteral("its reader took longer than %1 s").arg(double(timeoutMs) / 1000.0);
                return false;
            }
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, int(std::min<qint64>(left, 100)));
        }
        return true;
    };
    uint64_t length = 0;
    if (!readMessage(readFully, maxBytes, type, payload, length)) {
        if (length > uint64_t(maxBytes))
            why = QStringLiteral("its reader sent %1 bytes, more than the %2 allowed").arg(length).arg(maxBytes);
        return false;
    }
    return true;
}

bool receiveRequest(int fd, qint64 maxBytes, char& type, QByteArray& payload)
{
    auto readFully = [fd](char* to, qint64 n) {
        qint64 got = 0;
        while (got < n) {
            const ssize_t r = ::read(fd, to + got, size_t(n - got));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false;
            got += r;
        }
        return true;
    };
    uint64_t length = 0;
    return readMessage(readFully, maxBytes, type, payload, length);
}

}  // namespace reg::readers
