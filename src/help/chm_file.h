#pragma once
// A compiled HTML help file, read by a reader program of its own
// (orvane-read-help): the file may be damaged or hostile, so chmlib runs
// only there, confined (see sandbox.h), and hands this process only the
// objects it asks for, each within a time and a size. A reader that fails,
// dies or overruns is stopped, and the file is then taken as unreadable,
// with what went wrong.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace help {

// The largest object asked of a help file: a page or picture is far smaller,
// and a damaged file's length could ask for any amount of memory.
constexpr qint64 kMaxObjectBytes = 16 * 1024 * 1024;
// How long the reader may take to open the file, and to hand over one object.
constexpr int kHelpReaderLimitMs = 2000;
// The most pages a help file lists.
constexpr int kMaxListedPages = 10000;

class ChmFile {
public:
    explicit ChmFile(const QString& path);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;
    // Whether the file opened and its reader still serves it.
    bool isOpen() const { return pid_ > 0; }
    // What went wrong ("it is not a compiled help file"), empty while all is well.
    QString error() const { return error_; }
    QString path() const { return path_; }
    // The bytes of an object ("/index.html"); empty when there is none.
    QByteArray object(const QString& path) const;
    // The file's default topic, from its system data (or the first page found).
    QString defaultTopic() const;
    // The file's title, and its contents and index files ("/toc.hhc"), from
    // its system data; empty when it names none.
    QString title() const;
    QString contentsFile() const;
    QString indexFile() const;
    // The paths of the file's pages (".htm" and ".html"), in the file's order.
    QStringList pages() const;

private:
    // Asks the reader; false (the reader stopped, error_ set) when it does
    // not answer as it should.
    bool ask(char type, const QByteArray& what, char& answer, QByteArray& payload) const;
    void fail(const QString& why) const;
    // An entry of the #SYSTEM object by its code, up to its first zero byte.
    QByteArray systemEntry(int code) const;

    QString path_;
    mutable pid_t pid_ = -1;
    mutable int replies_ = -1, requests_ = -1;
    mutable QString error_;
    mutable QByteArray system_;  // the #SYSTEM object, once read
    mutable bool systemRead_ = false;
};

// The reader program's side (in orvane-read-help): serves the file's objects
// on its pipes until the program closes them. Its exit status: 0 when the
// program closed its pipe, 1 when the file cannot be read, 2 for arguments
// it does not understand.
//   --parent PID          (the file as descriptor 3, requests on 5, answers on 4)
//   --sandbox-check       (confines itself, then tries what it must not do)
int helpReaderMain(const QStringList& arguments);

}  // namespace help
