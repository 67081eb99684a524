#include "register/sandbox.h"

#include <seccomp.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace reg::sandbox {

namespace {

bool landlock = false;

QString failed(const char* what) { return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))); }

bool limit(int resource, rlim_t value)
{
    const rlimit r{value, value};
    return ::setrlimit(resource, &r) == 0;
}

// No file is reached by a path any more: a ruleset that handles every
// access right of the kernel's Landlock and grants none. False where the
// kernel has no Landlock (the seccomp filter still refuses opening files).
bool restrictPaths()
{
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1)
        return false;
    landlock_ruleset_attr attr{};
    attr.handled_access_fs = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
                             LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR |
                             LANDLOCK_ACCESS_FS_REMOVE_DIR | LANDLOCK_ACCESS_FS_REMOVE_FILE |
                             LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR |
                             LANDLOCK_ACCESS_FS_MAKE_REG | LANDLOCK_ACCESS_FS_MAKE_SOCK |
                             LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK |
                             LANDLOCK_ACCESS_FS_MAKE_SYM;
    if (abi >= 2)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_REFER;
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
    if (abi >= 3)
        attr.handled_access_fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
#endif
    const int ruleset = int(::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0));
    if (ruleset < 0)
        return false;
    const bool done = ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    ::close(ruleset);
    return done;
}

// The system calls a reader makes: reading and writing what it holds,
// memory, time, signals to itself, ending. Opening files, sockets, starting
// programs and touching other processes are refused with an error (so that
// libraries that try fall back, and the self-check can tell); anything else
// fails with ENOSYS.
QString installFilter()
{
    scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_ERRNO(ENOSYS));
    if (!ctx)
        return QStringLiteral("seccomp_init failed");
    int rc = 0;
    auto allow = [&](int call) { rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, call, 0); };
    auto refuse = [&](int call, int error) { rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ERRNO(error), call, 0); };
    for (int call : {SCMP_SYS(read), SCMP_SYS(readv), SCMP_SYS(pread64), SCMP_SYS(preadv), SCMP_SYS(write),
                     SCMP_SYS(writev), SCMP_SYS(lseek), SCMP_SYS(fstat), SCMP_SYS(close), SCMP_SYS(dup),
                     SCMP_SYS(fcntl), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(brk), SCMP_SYS(madvise),
                     SCMP_SYS(exit), SCMP_SYS(exit_group), SCMP_SYS(rt_sigreturn), SCMP_SYS(rt_sigaction),
                     SCMP_SYS(rt_sigprocmask), SCMP_SYS(sigaltstack), SCMP_SYS(futex), SCMP_SYS(clock_gettime),
                     SCMP_SYS(gettimeofday), SCMP_SYS(nanosleep), SCMP_SYS(clock_nanosleep), SCMP_SYS(getpid),
                     SCMP_SYS(gettid), SCMP_SYS(getppid), SCMP_SYS(getrandom), SCMP_SYS(sched_yield),
                     SCMP_SYS(sched_getaffinity), SCMP_SYS(uname), SCMP_SYS(getrlimit), SCMP_SYS(poll),
                     // a pipe of its own (the undefined-behaviour checker probes memory through one)
                     SCMP_SYS(pipe), SCMP_SYS(pipe2)})
        allow(call);
    // fstat of a descriptor held (glibc asks through newfstatat with an empty path), never a path.
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(newfstatat), 1, SCMP_A3(SCMP_CMP_EQ, AT_EMPTY_PATH));
    // Memory, never executable.
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(mmap), 1, SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(mprotect), 1, SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    // Limits read, never raised.
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), 1, SCMP_A2(SCMP_CMP_EQ, 0));
    // Signals to itself only (abort).
    const pid_t self = ::getpid();
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1, SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(self)));
    rc = rc ? rc : seccomp_rule_add(ctx, SCMP_ACT_ALLOW, SCMP_SYS(kill), 1, SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(self)));
    for (int call : {SCMP_SYS(open), SCMP_SYS(openat), SCMP_SYS(openat2), SCMP_SYS(creat), SCMP_SYS(open_by_handle_at),
                     SCMP_SYS(stat), SCMP_SYS(lstat), SCMP_SYS(statx), SCMP_SYS(access), SCMP_SYS(faccessat),
                     SCMP_SYS(faccessat2), SCMP_SYS(readlink), SCMP_SYS(readlinkat), SCMP_SYS(mkdir), SCMP_SYS(mkdirat),
                     SCMP_SYS(unlink), SCMP_SYS(unlinkat), SCMP_SYS(rename), SCMP_SYS(renameat), SCMP_SYS(renameat2),
                     SCMP_SYS(link), SCMP_SYS(linkat), SCMP_SYS(symlink), SCMP_SYS(symlinkat), SCMP_SYS(truncate),
                     SCMP_SYS(chmod), SCMP_SYS(fchmodat), SCMP_SYS(chown), SCMP_SYS(fchownat), SCMP_SYS(mknod),
                     SCMP_SYS(mknodat)})
        refuse(call, EACCES);
    for (int call : {SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(connect), SCMP_SYS(bind), SCMP_SYS(listen),
                     SCMP_SYS(accept), SCMP_SYS(accept4), SCMP_SYS(sendto), SCMP_SYS(sendmsg), SCMP_SYS(recvfrom),
                     SCMP_SYS(recvmsg), SCMP_SYS(execve), SCMP_SYS(execveat), SCMP_SYS(ptrace), SCMP_SYS(fork),
                     SCMP_SYS(vfork), SCMP_SYS(clone), SCMP_SYS(clone3), SCMP_SYS(process_vm_readv),
                     SCMP_SYS(process_vm_writev), SCMP_SYS(ioctl), SCMP_SYS(prctl), SCMP_SYS(setrlimit),
                     SCMP_SYS(mount), SCMP_SYS(chdir), SCMP_SYS(fchdir), SCMP_SYS(chroot)})
        refuse(call, EPERM);
    if (rc == 0)
        rc = seccomp_load(ctx);
    seccomp_release(ctx);
    return rc == 0 ? QString() : QStringLiteral("the system call filter cannot be set: %1").arg(QString::fromLocal8Bit(std::strerror(-rc)));
}

}  // namespace

QString confine(const Limits& limits, long parent)
{
    // Dies with its parent, and ends at once when the parent has gone already.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        return failed("PR_SET_PDEATHSIG");
    if (parent > 0 && ::getppid() != parent)
        return QStringLiteral("its parent has gone");
#if !defined(__SANITIZE_ADDRESS__)
    if (!limit(RLIMIT_AS, rlim_t(limits.addressSpaceBytes)))
        return failed("RLIMIT_AS");
#endif
    if (!limit(RLIMIT_CPU, rlim_t(limits.cpuSeconds)) || !limit(RLIMIT_FSIZE, 0) || !limit(RLIMIT_CORE, 0) ||
        !limit(RLIMIT_NOFILE, rlim_t(limits.descriptors)) || !limit(RLIMIT_NPROC, 0))
        return failed("setrlimit");
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return failed("PR_SET_NO_NEW_PRIVS");
    landlock = restrictPaths();
    return installFilter();
}

bool landlockInForce() { return landlock; }

QStringList selfCheck()
{
    QStringList out;
    auto report = [&out](const char* what, bool succeeded) {
        out << QStringLiteral("%1: %2").arg(QLatin1String(what),
                                             succeeded ? QStringLiteral("ALLOWED")
                                                       : QStringLiteral("refused (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    };
    {
        const int fd = ::open("/etc/passwd", O_RDONLY | O_CLOEXEC);
        report("open another file", fd >= 0);
        if (fd >= 0)
            ::close(fd);
    }
    {
        const int fd = int(::syscall(SYS_openat, AT_FDCWD, "/proc/self/environ", O_RDONLY | O_CLOEXEC));
        report("open through /proc", fd >= 0);
        if (fd >= 0)
            ::close(fd);
    }
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        report("create a socket", fd >= 0);
        if (fd >= 0)
            ::close(fd);
    }
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        report("create a local socket", fd >= 0);
        if (fd >= 0)
            ::close(fd);
    }
    {
        const int fd = ::open("/tmp/orvane-sandbox-check", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        report("write a file", fd >= 0);
        if (fd >= 0) {
            ::close(fd);
            ::unlink("/tmp/orvane-sandbox-check");
        }
    }
    {
        char* const argv[] = {const_cast<char*>("true"), nullptr};
        char* const envp[] = {nullptr};
        const int r = ::execve("/bin/true", argv, envp);  // returns only when refused
        report("start a program", r == 0);
    }
    {
        const pid_t pid = ::fork();
        if (pid == 0)
            _exit(0);
        report("start a process", pid > 0);
    }
    {
        void* p = ::mmap(nullptr, 4096, PROT_READ | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        report("map executable memory", p != MAP_FAILED);
    }
    {
        const long r = ::syscall(SYS_ptrace, 0 /* PTRACE_TRACEME */, 0, 0, 0);
        report("trace", r == 0);
    }
    return out;
}

int runSelfCheck()
{
    const QString why = confine({}, 0);
    if (!why.isEmpty()) {
        const QByteArray text = why.toUtf8() + '\n';
        (void)!::write(1, text.constData(), size_t(text.size()));
        return 1;
    }
    const QStringList lines = selfCheck();
    QByteArray text = QByteArrayLiteral("landlock: ") + (landlockInForce() ? "in force\n" : "not offered\n");
    bool allRefused = true;
    for (const QString& l : lines) {
        text += l.toUtf8() + '\n';
        allRefused = allRefused && !l.endsWith(QLatin1String("ALLOWED"));
    }
    (void)!::write(1, text.constData(), size_t(text.size()));
    return allRefused ? 0 : 1;
}

}  // namespace reg::sandbox
