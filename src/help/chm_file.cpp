#include "help/chm_file.h"

#include "help/help_text.h"

#include "base/log.h"
#include "register/database.h"
#include "register/reader_process.h"
#include "register/sandbox.h"

#include <chm_lib.h>

#include <csignal>
#include <unistd.h>

namespace help {

namespace {

// Requests and answers on the reader's pipes.
constexpr char kAskObject = 'O';     // the path; answered with kObject or kNone
constexpr char kAskPages = 'L';      // answered with kPages
constexpr char kReady = 'R';         // the file opened
constexpr char kObject = 'O';
constexpr char kNone = 'N';
constexpr char kPages = 'L';         // the paths, one a line
constexpr char kFailed = 'E';        // what is wrong

QString fromRoot(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

QString asPath(const QByteArray& name)
{
    return name.isEmpty() ? QString() : fromRoot(QString::fromUtf8(name));
}

}  // namespace

// ---------------------------------------------------------------------------
// The program's side

ChmFile::ChmFile(const QString& path) : path_(path)
{
    const QString program = reg::readers::programPath(QStringLiteral("orvane-read-help"));
    if (program.isEmpty()) {
        error_ = QStringLiteral("its reader orvane-read-help is not installed beside the program");
        return;
    }
    try {
        const reg::readers::Started s = reg::readers::start(program, path, {}, true);
        pid_ = s.pid;
        replies_ = s.replies;
        requests_ = s.requests;
    } catch (const reg::RegisterError& e) {
        error_ = e.message();
        return;
    }
    char type = 0;
    QByteArray payload;
    QString why;
    if (!reg::readers::receive(replies_, kHelpReaderLimitMs, 4096, type, payload, why))
        fail(why);
    else if (type == kFailed)
        fail(QString::fromUtf8(payload));
    else if (type != kReady)
        fail(QStringLiteral("its reader answered out of turn"));
}

ChmFile::~ChmFile() { fail(QString()); }

void ChmFile::fail(const QString& why) const
{
    if (requests_ >= 0)
        ::close(requests_);
    if (replies_ >= 0)
        ::close(replies_);
    requests_ = replies_ = -1;
    if (pid_ > 0)
        reg::readers::kill(pid_);
    pid_ = -1;
    if (!why.isEmpty() && error_.isEmpty()) {
        error_ = why;
        qCInfo(base::lcHelp).noquote() << "the help file" << path_ << "cannot be read:" << why;
    }
}

bool ChmFile::ask(char type, const QByteArray& what, char& answer, QByteArray& payload) const
{
    if (pid_ <= 0)
        return false;
    const QByteArray request = reg::readers::header(type, uint64_t(what.size())) + what;
    // The reader reads every request whole; one it has not taken means it has gone.
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t w = ::write(requests_, request.constData() + sent, size_t(request.size() - sent));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            fail(QStringLiteral("its reader stopped"));
            return false;
        }
        sent += w;
    }
    QString why;
    if (!reg::readers::receive(replies_, kHelpReaderLimitMs, kMaxObjectBytes, answer, payload, why)) {
        fail(why);
        return false;
    }
    if (answer == kFailed) {
        fail(QString::fromUtf8(payload));
        return false;
    }
    return true;
}

QByteArray ChmFile::object(const QString& path) const
{
    char answer = 0;
    QByteArray bytes;
    if (path.isEmpty() || !ask(kAskObject, path.toUtf8(), answer, bytes) || answer != kObject)
        return {};
    return bytes;
}

QByteArray ChmFile::systemEntry(int wanted) const
{
    // Asked of the reader once: the title, the contents, the index and the
    // first topic all come from it.
    if (!systemRead_) {
        system_ = object(QStringLiteral("/#SYSTEM"));
        systemRead_ = true;
    }
    return help::systemEntry(system_, wanted);
}

QString ChmFile::defaultTopic() const
{
    const QString topic = asPath(systemEntry(2));
    if (!topic.isEmpty())
        return topic;
    for (const char* guess : {"/index.html", "/index.htm", "/default.html", "/default.htm"})
        if (!object(QString::fromLatin1(guess)).isEmpty())
            return QString::fromLatin1(guess);
    return QString();
}

QStringList ChmFile::pages() const
{
    char answer = 0;
    QByteArray list;
    if (!ask(kAskPages, QByteArray(), answer, list) || answer != kPages || list.isEmpty())
        return {};
    QStringList pages = QString::fromUtf8(list).split(QLatin1Char('\n'));
    if (pages.size() > kMaxListedPages)
        pages.resize(kMaxListedPages);
    return pages;
}

QString ChmFile::title() const { return QString::fromUtf8(systemEntry(3)).left(200); }
QString ChmFile::contentsFile() const { return asPath(systemEntry(0)); }
QString ChmFile::indexFile() const { return asPath(systemEntry(1)); }

// ---------------------------------------------------------------------------
// The reader's side

namespace {

int collectPage(chmFile*, chmUnitInfo* ui, void* context)
{
    auto* pages = static_cast<QByteArrayList*>(context);
    const QByteArray path(ui->path, qsizetype(::strnlen(ui->path, sizeof ui->path)));
    const QByteArray lower = path.toLower();
    if ((lower.endsWith(".html") || lower.endsWith(".htm")) && !path.contains('\n'))
        *pages << path;
    // A damaged directory could list any number of names.
    return pages->size() < kMaxListedPages ? CHM_ENUMERATOR_CONTINUE : CHM_ENUMERATOR_SUCCESS;
}

}  // namespace

int helpReaderMain(const QStringList& a)
{
    using namespace reg::readers;
    ::close_range(kRequestFd + 1, ~0U, 0);
    if (a.size() == 1 && a[0] == QLatin1String("--sandbox-check"))
        return reg::sandbox::runSelfCheck();
    if (a.size() != 2 || a[0] != QLatin1String("--parent"))
        return 2;
    bool ok = false;
    const long parent = a[1].toLong(&ok);
    if (!ok)
        return 2;
    // A help file needs far less than a register.
    reg::sandbox::Limits limits;
    limits.addressSpaceBytes = qint64(512) << 20;
    const QString why = reg::sandbox::confine(limits, parent);
    if (!why.isEmpty()) {
        send(kReplyFd, kFailed, QByteArrayLiteral("its reader cannot be confined: ") + why.toUtf8());
        return 1;
    }
    chmFile* h = chm_open(kFilePath);
    if (!h) {
        send(kReplyFd, kFailed, QByteArrayLiteral("it is not a compiled help file, or its header is damaged"));
        return 1;
    }
    send(kReplyFd, kReady, QByteArray());
    char type = 0;
    QByteArray request;
    while (receiveRequest(kRequestFd, CHM_MAX_PATHLEN, type, request)) {
        if (type == kAskObject) {
            chmUnitInfo ui;
            if (chm_resolve_object(h, request.constData(), &ui) != CHM_RESOLVE_SUCCESS || ui.length == 0 ||
                ui.length > quint64(kMaxObjectBytes)) {
                send(kReplyFd, kNone, QByteArray());
                continue;
            }
            QByteArray data(qsizetype(ui.length), '\0');
            const LONGINT64 got =
                chm_retrieve_object(h, &ui, reinterpret_cast<unsigned char*>(data.data()), 0, LONGINT64(ui.length));
            data.truncate(qsizetype(std::max<LONGINT64>(got, 0)));
            send(kReplyFd, data.isEmpty() ? kNone : kObject, data);
        } else if (type == kAskPages) {
            QByteArrayList pages;
            chm_enumerate(h, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectPage, &pages);
            send(kReplyFd, kPages, pages.join('\n'));
        } else {
            send(kReplyFd, kFailed, QByteArrayLiteral("its reader was asked for what it does not know"));
            return 2;
        }
    }
    chm_close(h);
    return 0;
}

}  // namespace help
