// Running the readers of an Access file: each in a process of its own, its
// messages read from a pipe while the caller's progress is reported, its
// time limited, its failure turned into a message naming the file and table.

#include "register/access_internal.h"
#include "register/reader_process.h"

#include "base/log.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reg {

namespace {

// Messages from a child: a type byte, an 8-byte length, the payload.
constexpr char kMsgCatalogue = 'C';
constexpr char kMsgRowsExpected = 'N';
constexpr char kMsgRowsRead = 'P';
constexpr char kMsgDatabase = 'D';
constexpr char kMsgError = 'E';
using readers::kHeaderSize;

// Starts a reader of `registerFile` with `arguments`; returns it and the
// read end of its pipe.
std::pair<pid_t, int> spawnReader(const QString& registerFile, const QStringList& arguments)
{
    const QString program = access::readerProgram();
    if (program.isEmpty())
        throw RegisterError(QStringLiteral("A process to read the register cannot be started: the reader "
                                           "orvane-read-access is not installed beside the program"));
    const readers::Started s = readers::start(program, registerFile, arguments, false);
    return {s.pid, s.replies};
}

}  // namespace

void access::PipeOutput::catalogue(const QByteArray& encoded) { readers::send(fd_, kMsgCatalogue, encoded); }
void access::PipeOutput::rowsExpected(qint64 rows) { readers::send(fd_, kMsgRowsExpected, &rows, sizeof rows); }
void access::PipeOutput::rowsRead(qint64 rows) { readers::send(fd_, kMsgRowsRead, &rows, sizeof rows); }
void access::PipeOutput::database(const QByteArray& image) { readers::send(fd_, kMsgDatabase, image); }
void access::PipeOutput::error(const QByteArray& text) { readers::send(fd_, kMsgError, text); }

namespace {

// ---------------------------------------------------------------------------
// The parent's end.

// What the readers of this process have used, as they are reaped.
ReaderUsage usage;

// Adds a reaped reader's use to `usage`: its CPU seconds, and its peak
// memory as last seen while it ran (its own resource usage counts this
// process's memory as well: see readers::peakResidentMB).
double account(const rusage& used, double seenPeakMB)
{
    const double cpu = double(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                       double(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    usage.cpuSeconds += cpu;
    usage.peakMB.push_back(seenPeakMB > 0 ? seenPeakMB : double(used.ru_maxrss) / 1024.0);
    return cpu;
}

// A child and what has come from it so far.
struct Child {
    pid_t pid = -1;
    int fd = -1;
    size_t job = 0;
    QElapsedTimer clock;
    unsigned char header[kHeaderSize];
    int headerGot = 0;
    char type = 0;
    uint64_t length = 0, got = 0;
    QByteArray small;                   // the payload of a short message
    EngineBuffer image;                 // a database image, read straight into the engine's memory
    bool haveImage = false;
    QByteArray catalogue;
    QString error;
    qint64 rowsRead = 0;
    double cpuSeconds = 0, peakMB = 0;  // what it used, once reaped
    double seenPeakMB = 0;              // its peak memory, read while it runs

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { stop(); }

    void stop()
    {
        if (pid > 0)
            seenPeakMB = std::max(seenPeakMB, readers::peakResidentMB(pid));
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        rusage used{};
        readers::kill(pid, &used);
        if (pid > 0)
            account(used, seenPeakMB);
        pid = -1;
    }

    // Reads what the pipe holds; false once the child has closed it or sent
    // its last message.
    bool pump(const std::function<void(Child&)>& onMessage)
    {
        unsigned char buf[65536];
        while (true) {
            if (headerGot < kHeaderSize) {
                const ssize_t r = ::read(fd, header + headerGot, size_t(kHeaderSize - headerGot));
                if (r == 0)
                    return false;
                if (r < 0)
                    return errno == EAGAIN || errno == EINTR;
                headerGot += int(r);
                if (headerGot < kHeaderSize)
                    continue;
                type = char(header[0]);
                length = readers::lengthOf(header);
                got = 0;
                small.clear();
                if (type == kMsgDatabase) {
                    try {
                        image = EngineBuffer(qint64(length));
                    } catch (const RegisterError& e) {
                        error = e.message();
                        return false;
                    }
                } else if (length > (64u << 20)) {
                    error = QStringLiteral("its reader sent a message too long");
                    return false;
                }
            }
            while (got < length) {
                unsigned char* to = type == kMsgDatabase ? image.data() + got : buf;
                const size_t want = type == kMsgDatabase ? size_t(length - got)
                                                         : size_t(std::min<uint64_t>(sizeof buf, length - got));
                const ssize_t r = ::read(fd, to, want);
                if (r == 0)
                    return false;
                if (r < 0)
                    return errno == EAGAIN || errno == EINTR;
                if (type != kMsgDatabase)
                    small.append(reinterpret_cast<const char*>(buf), int(r));
                got += uint64_t(r);
            }
            headerGot = 0;
            if (type == kMsgDatabase)
                haveImage = true;
            onMessage(*this);
            // A reader's last message ends it: it waits to be collected.
            if (type == kMsgDatabase || type == kMsgCatalogue || type == kMsgError)
                return false;
        }
    }

    qint64 number() const
    {
        qint64 v = 0;
        if (small.size() == sizeof v)
            std::memcpy(&v, small.constData(), sizeof v);
        return v;
    }

    // Reaps the child once its pipe has closed; a description of how it
    // ended when that was not well. A reader that has not ended by then
    // (it stalls after an error, say) is killed, never waited on.
    QString reap()
    {
        if (pid <= 0)
            return QString();  // stopped already
        seenPeakMB = std::max(seenPeakMB, readers::peakResidentMB(pid));
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        int status = 0;
        pid_t r;
        rusage used{};
        // A reader that has sent its last message, or closed its pipe, ends
        // within moments of its pipe closing here.
        for (int tries = 0; tries < 500; ++tries) {
            while ((r = ::wait4(pid, &status, WNOHANG, &used)) < 0 && errno == EINTR) {
            }
            if (r != 0)
                break;
            ::usleep(200);  // 100 ms in all
        }
        bool killed = false;
        if (r == 0) {
            ::kill(pid, SIGKILL);
            killed = true;
            while ((r = ::wait4(pid, &status, 0, &used)) < 0 && errno == EINTR) {
            }
        }
        pid = -1;
        if (r < 0)
            return QString();
        cpuSeconds = account(used, seenPeakMB);
        peakMB = usage.peakMB.back();
        if (killed)
            return haveImage || !catalogue.isEmpty() ? QString() : QStringLiteral("its reader stalled and was stopped");
        if (WIFSIGNALED(status))
            return QStringLiteral("its reader stopped with signal %1").arg(WTERMSIG(status));
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0 && error.isEmpty())
            return QStringLiteral("its reader failed");
        return QString();
    }
};


RegisterError damaged(const QString& path, const QString& table, const QString& why)
{
    return RegisterError(QStringLiteral("%1 is damaged: table %2 could not be read%3")
                             .arg(path, table, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
}

qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }

// Waits on the children until each has ended, `onMessage` taking their
// messages and `onEnd` their ends; calls `tick` at least every 50 ms and
// stops waiting when it returns false. A child past `limitMs` is stopped.
void waitForChildren(std::vector<std::unique_ptr<Child>>& running, qint64 limitMs,
                     const std::function<void(Child&)>& onMessage, const std::function<void(Child&)>& onEnd,
                     const std::function<bool()>& tick)
{
    while (!running.empty()) {
        std::vector<pollfd> fds;
        for (auto& c : running)
            fds.push_back({c->fd, POLLIN, 0});
        const int r = ::poll(fds.data(), nfds_t(fds.size()), 50);
        if (r < 0 && errno != EINTR)
            throw RegisterError(QStringLiteral("The register cannot be read: %1")
                                    .arg(QString::fromLocal8Bit(std::strerror(errno))));
        std::vector<std::unique_ptr<Child>> still;
        for (size_t i = 0; i < running.size(); ++i) {
            Child& c = *running[i];
            bool open = true;
            if (fds[i].revents)
                open = c.pump(onMessage) && c.error.isEmpty();
            if (open && c.clock.elapsed() > limitMs) {
                c.stop();
                c.error = QStringLiteral("it took longer than %1 s").arg(double(limitMs) / 1000.0);
                open = false;
            }
            if (open)
                still.push_back(std::move(running[i]));
            else
                onEnd(c);
        }
        // Children that ended and were not taken by `onEnd` go here.
        running.swap(still);
        if (tick && !tick())
            return;
    }
}

// How many tables are read at once: one for each core of a usual machine.
constexpr int kReadersAtOnce = 2;

}  // namespace

std::vector<AccessTable> accessCatalogue(const QString& path, const QString& readFrom, const ProgressFn& progress)
{
    std::vector<std::unique_ptr<Child>> running;
    auto child = std::make_unique<Child>();
    std::tie(child->pid, child->fd) = spawnReader(readFrom.isEmpty() ? path : readFrom, {QStringLiteral("--catalogue")});
    child->clock.start();
    running.push_back(std::move(child));
    QByteArray catalogue;
    QString error;
    bool received = false;
    waitForChildren(
        running, kAccessImportLimitMs,
        [&](Child& c) {
            if (c.type == kMsgCatalogue) {
                catalogue = c.small;
                c.catalogue = c.small;
                received = true;
            } else if (c.type == kMsgError) {
                c.error = QString::fromUtf8(c.small);
            }
        },
        [&](Child& c) {
            const QString how = c.reap();
            error = !c.error.isEmpty() ? c.error : how;
        },
        [&] {
            if (progress)
                progress(ImportProgress{});
            return true;
        });
    if (!received || !error.isEmpty()) {
        qCInfo(base::lcAccess).noquote() << "the catalogue of" << path << "cannot be read:" << error;
        if (error.startsWith(QLatin1String(access::kDamagedCatalogue)))
            throw damaged(path, QStringLiteral("MSysObjects"), error.mid(int(std::strlen(access::kDamagedCatalogue))));
        throw RegisterError(QStringLiteral("%1 cannot be read as an Access database%2")
                                .arg(path, error.isEmpty() ? QString() : QStringLiteral(": %1").arg(error)));
    }
    return access::decodeCatalogue(catalogue);
}

void importAccessTables(const QString& path, Database& db, const std::vector<TableImport>& tables,
                        const ProgressFn& progress, qint64 timeLimitMs, const QString& readFrom)
{
    const QString file = readFrom.isEmpty() ? path : readFrom;
    const qint64 size = fileSize(file);
    const qint64 limitMs = timeLimitMs > 0 ? timeLimitMs : kAccessImportLimitMs;
    // The largest tables first, so that the two readers finish together.
    std::vector<size_t> order(tables.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return tables[a].rows > tables[b].rows; });

    ImportProgress prog;
    std::vector<qint64> expected(tables.size()), read(tables.size(), 0);
    for (size_t i = 0; i < tables.size(); ++i)
        expected[i] = std::max<qint64>(0, tables[i].rows);
    auto report = [&] {
        if (!progress)
            return;
        prog.rowsRead = 0;
        prog.rowsTotal = 0;
        for (size_t i = 0; i < tables.size(); ++i) {
            prog.rowsRead += read[i];
            prog.rowsTotal += std::max(expected[i], read[i]);
        }
        progress(prog);
    };

    std::vector<std::unique_ptr<Child>> running;
    // One limit for the whole import: every reader's clock starts with it.
    QElapsedTimer importClock;
    importClock.start();
    // The tables handed back, kept until all have been.
    std::vector<EngineBuffer> images(tables.size());
    size_t next = 0;
    auto startMore = [&] {
        while (next < order.size() && int(running.size()) < kReadersAtOnce) {
            const size_t job = order[next++];
            auto child = std::make_unique<Child>();
            std::tie(child->pid, child->fd) = spawnReader(file, access::readerArguments(tables[job], size));
            child->job = job;
            child->clock = importClock;
            running.push_back(std::move(child));
        }
    };
    std::optional<RegisterError> failure;
    startMore();
    waitForChildren(
        running, limitMs,
        [&](Child& c) {
            switch (c.type) {
            case kMsgRowsExpected: expected[c.job] = c.number(); break;
            case kMsgRowsRead:
                read[c.job] = c.number();
                prog.table = tables[c.job].table;
                break;
            case kMsgError: c.error = QString::fromUtf8(c.small); break;
            default: break;
            }
        },
        [&](Child& c) {
            const QString how = c.reap();
            if (failure)
                return;
            if (!c.error.isEmpty() || !how.isEmpty() || !c.haveImage) {
                failure = damaged(path, tables[c.job].table, !c.error.isEmpty() ? c.error : how);
                return;
            }
            qCInfo(base::lcAccess).noquote() << "table" << tables[c.job].table << "read in" << c.clock.elapsed()
                                             << "ms of the import:" << c.cpuSeconds << "s of CPU," << c.peakMB
                                             << "MB at most";
            images[c.job] = std::move(c.image);
        },
        [&] {
            if (failure)
                return false;
            startMore();
            report();
            return true;
        });
    if (failure) {
        running.clear();  // stops the others
        qCInfo(base::lcAccess).noquote() << "refused:" << failure->message();
        throw *failure;
    }
    prog.table = tables.empty() ? QString() : tables.back().table;
    report();
    for (size_t i = 0; i < tables.size(); ++i)
        access::attachTable(db, std::move(images[i]), tables[i].table);
}

ReaderUsage accessReaderUsage() { return usage; }

void importAccess(const QString& path, Database& db, const QStringList& wanted, const ProgressFn& progress)
{
    std::vector<TableImport> jobs;
    for (const AccessTable& t : accessCatalogue(path)) {
        bool take = wanted.isEmpty();
        for (const QString& w : wanted)
            take = take || t.name.compare(w, Qt::CaseInsensitive) == 0;
        if (take)
            jobs.push_back({t.name, {}, {}, t.rows, t.page});
    }
    importAccessTables(path, db, jobs, progress);
}

}  // namespace reg
