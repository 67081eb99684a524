#pragma once
// The confinement of a reader of an untrusted file (the Access register):
// once confined, a process keeps the descriptors it holds and can read and
// write them, allocate memory and end, and nothing more: no file opened by
// its name, no socket, no program started, no other process touched, no
// executable memory; its memory, CPU time and file sizes are limited, and it
// dies with its parent.

#include <QString>
#include <QStringList>

namespace reg::sandbox {

struct Limits {
    qint64 addressSpaceBytes = qint64(1) << 30;  // not applied under AddressSanitizer (its shadow memory is larger)
    int cpuSeconds = 60;
    int descriptors = 16;
};

// Confines the calling process for good: resource limits (address space,
// CPU, no file growth, no core files, few descriptors), death with the
// parent `parent` (false when it has gone already), no new privileges,
// Landlock (no file reached by a path) where the kernel offers it, and a
// seccomp filter of the system calls reading and allocating need. An empty
// text when all is in force, else what could not be set.
QString confine(const Limits& limits, long parent);

// Whether Landlock took part (after confine()).
bool landlockInForce();

// A reader's hidden --sandbox-check: confines the process, then tries what
// it must not do and writes one line for each attempt on its output (after
// a line saying whether Landlock is in force); its exit status, 0 when
// every attempt was refused.
int runSelfCheck();

// Tried once confined: opening another file, creating a socket, writing a
// new file, starting a program. One line each, "refused" or "ALLOWED".
QStringList selfCheck();

}  // namespace reg::sandbox
