#pragma once
// Reader programs: the processes that read an untrusted file (the Access
// register, the help file) for the program, each started with nothing but
// the file, its pipes and a bare environment, and confined (sandbox.h)
// before it reads a byte. What is common to all of them: finding the
// program, starting it, and the messages on its pipes.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <sys/types.h>

struct rusage;

namespace reg::readers {

// The descriptors a reader is started with.
constexpr int kFileFd = 3;      // the file it reads, read-only
constexpr int kReplyFd = 4;     // the write end of its pipe to the program
constexpr int kRequestFd = 5;   // the read end of the program's requests, for readers that take them
// The name under which a reader's libraries open the file: the reader's own
// open() gives them its descriptor 3 for it (see reader_files.cpp), and no
// file is opened by a name.
constexpr const char* kFilePath = "/orvane-reader/file";

// A message on a reader's pipes: a type byte, an 8-byte little-endian
// length, the payload.
constexpr int kHeaderSize = 9;
QByteArray header(char type, uint64_t length);
// The payload length a header gives.
uint64_t lengthOf(const unsigned char* header);
// Writes a whole message to `fd` (blocking); ends the process with status
// 3 when the other end has gone.
void send(int fd, char type, const void* data, uint64_t length);
inline void send(int fd, char type, const QByteArray& payload)
{
    send(fd, type, payload.constData(), uint64_t(payload.size()));
}

// The program `name` (orvane-read-access, orvane-read-help): beside this
// program (the build tree), in the package's libexec folder, or where the
// build put it; empty when none is.
QString programPath(const QString& name);

struct Started {
    pid_t pid = -1;
    int replies = -1;   // the read end of its pipe, non-blocking, closed on exec
    int requests = -1;  // the write end of the request pipe (-1 without one), closed on exec
};

// Starts `program` with `arguments` (after "--parent PID") by posix_spawn, so
// that no code of this process runs in the child: `file` read-only as its
// descriptor 3, its pipe as 4, the request pipe as 5 when `withRequests`,
// /dev/null as 0 to 2, nothing else, and only the language (and a sanitizer
// build's options) in its environment. Throws RegisterError.
Started start(const QString& program, const QString& file, const QStringList& arguments, bool withRequests);

// Stops a reader at once (SIGKILL) and reaps it; what it used in `usage`
// when given.
void kill(pid_t pid, struct rusage* usage = nullptr);

// The most memory a running reader has held since it began, in MB (its
// VmHWM); 0 when it cannot be read. A child's own resource usage cannot
// say: from the moment it is spawned until it runs its program it shares
// this process's memory, and the kernel keeps that high-water mark as the
// child's own.
double peakResidentMB(pid_t pid);

// Reads one whole message from a non-blocking descriptor, waiting at most
// `timeoutMs` in all and refusing a payload over `maxBytes`. False, with
// `why`, when the reader closed its pipe, overran or sent too much.
bool receive(int fd, int timeoutMs, qint64 maxBytes, char& type, QByteArray& payload, QString& why);

// A reader's side: waits for one whole request on a blocking descriptor;
// false when the program closed its end or sent more than `maxBytes`.
bool receiveRequest(int fd, qint64 maxBytes, char& type, QByteArray& payload);

}  // namespace reg::readers
