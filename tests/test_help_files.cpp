// The help file comes with a register folder and may be damaged or hostile:
// hundreds of damaged copies of the real one (bytes flipped, cut short,
// blocks zeroed or copied, its directory made to loop, its compression's
// control data spoilt) and files built to hurt (pages and contents nested
// beyond reason, a contents file of 200 000 entries, a picture of a billion
// pixels, a page linking /dev/zero) are each opened in the help window and
// browsed. The program never crashes or freezes: every file gives a page or
// a message naming the file.

#include "help/chm_file.h"
#include "help/help_text.h"
#include "help/help_window.h"
#include "register/reader_process.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace help;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = char((v >> (8 * k)) & 0xFF);
}

// A help file compiled with chmcmd from `pages` (name to content; the
// first is the default topic) with a contents file of its own.
QString compiled(const QString& dir, const QString& name, const std::map<QString, QByteArray>& files,
                 const QString& defaultTopic, const QString& contents = QString())
{
    QDir().mkpath(dir + "/" + name);
    const QString src = dir + "/" + name;
    QByteArray project = "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=" + name.toUtf8() +
                         ".chm\nDefault topic=" + defaultTopic.toUtf8() + "\nTitle=Hostile\n";
    if (!contents.isEmpty())
        project += "Contents file=" + contents.toUtf8() + "\n";
    project += "\n[FILES]\n";
    for (const auto& [file, bytes] : files) {
        if (!writeAll(src + "/" + file, bytes))
            return QString();
        if (file != contents)
            project += file.toUtf8() + "\n";
    }
    writeAll(src + "/p.hhp", project);
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(src);
    chmcmd.start("chmcmd", {"p.hhp"});
    if (!chmcmd.waitForFinished(120000) || chmcmd.exitCode() != 0)
        return QString();
    return src + "/" + name + ".chm";
}

QByteArray sitemapEntry(const QByteArray& name, const QByteArray& page)
{
    return "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + name + "\"><param name=\"Local\" value=\"" +
           page + "\"></OBJECT>\n";
}

// The deepest level of a contents tree.
int depthOf(QTreeWidgetItem* item)
{
    int deepest = 0;
    for (int i = 0; i < item->childCount(); ++i)
        deepest = std::max(deepest, depthOf(item->child(i)));
    return deepest + 1;
}

struct Outcome {
    bool page = false;      // a page of the file is shown
    bool message = false;   // a message naming the file is shown
    qint64 ms = 0;
    QString text;           // the start of what the page shows
};

// Opens `file` in the help window and browses it as someone would: the
// first topic, a few contents and index entries, a search (when `search`).
Outcome browse(const QString& file, bool search)
{
    Outcome o;
    QElapsedTimer clock;
    clock.start();
    {
        HelpWindow w(file);
        w.show();
        const bool shown = w.showDefaultTopic();
        QTreeWidget* contents = w.contents();
        for (int i = 0; i < contents->topLevelItemCount() && i < 4; ++i)
            emit contents->itemClicked(contents->topLevelItem(i), 0);
        QListWidget* index = w.index();
        for (int i = 0; i < index->count() && i < 3; ++i)
            emit index->itemActivated(index->item(i));
        if (search)
            w.searchPages(QStringLiteral("chart register"));
        QCoreApplication::processEvents();
        const QString text = w.page()->toPlainText();
        o.message = text.contains(file) && (text.contains("cannot be shown") || text.contains("is not shown") ||
                                            text.contains("is not in the help file"));
        // The first topic, or a page opened from the contents or index.
        o.page = !text.trimmed().isEmpty() && !o.message;
        Q_UNUSED(shown);
        o.text = text.left(300);
    }
    o.ms = clock.elapsed();
    return o;
}

}  // namespace

class TestHelpFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pageCostIsBounded();
    void sitemapsAreBounded();
    void damagedCopiesGiveAPageOrAMessage();
    void hostileFilesGiveAPageOrAMessage();
    void theReaderIsSandboxed();
    void readerMessagesAreBounded();

private:
    QTemporaryDir dir_;
    QByteArray original_;
};

void TestHelpFiles::initTestCase()
{
    original_ = readAll(QStringLiteral(ORVANE_HELP_FILE));
    QVERIFY(original_.startsWith("ITSF"));
    QVERIFY(dir_.isValid());
}

// The limits on what a page may hold before it is laid out.
void TestHelpFiles::pageCostIsBounded()
{
    QCOMPARE(pageTooCostly("<html><body><p>One<p>Two<ul><li>a<li>b</ul><br><img src=x></body></html>"), QString());
    QCOMPARE(pageShape("<html><body><div><div><span>x</span></div></div></body></html>", 100).depth, 5);
    // End tags close what they match, as a parser's do: stray ones close nothing.
    QCOMPARE(pageShape("<div><div></span></b></i><div></div></div>", 100).depth, 3);
    QCOMPARE(pageShape("<ul><li><ul><li><b>x</ul></ul><ul>", 100).depth, 3);
    // Unclosed paragraphs and cells, comments, scripts and void elements do not nest.
    QByteArray flat = "<table>";
    for (int i = 0; i < 500; ++i)
        flat += "<tr><td>cell<p>para<br><img src=a.png><!-- <div> --><script>var a = '<div>';</script>";
    flat += "</table>";
    QCOMPARE(pageShape(flat, 100).depth, 1);
    QCOMPARE(pageShape(flat, 100).tags, 500 * 6 + 2);  // tr, td, p, br, img, script; the table's two
    QCOMPARE(pageTooCostly(flat), QString());
    QByteArray deep;
    for (int i = 0; i < 65; ++i)
        deep += "<div>";
    QCOMPARE(pageTooCostly(deep), QStringLiteral("its elements nest more than 64 deep"));
    QCOMPARE(pageTooCostly(deep.left(64 * 5)), QString());
    QByteArray tables;
    for (int i = 0; i < 9; ++i)
        tables += "<table><tr><td>";
    QCOMPARE(pageTooCostly(tables), QStringLiteral("its tables nest more than 8 deep"));
    QCOMPARE(pageTooCostly(QByteArray("<table><tr><td>").repeated(8)), QString());
    // Tables side by side, each closed, do not nest.
    QCOMPARE(pageTooCostly(QByteArray("<table><tr><td>x</td></tr></table>").repeated(100)), QString());
    QCOMPARE(pageTooCostly(tables.repeated(1000)), QStringLiteral("its tables nest more than 8 deep"));
    QByteArray many;
    for (int i = 0; i < 50001; ++i)
        many += "<b>x</b>";
    QVERIFY(many.size() < kMaxPageBytes);
    QCOMPARE(pageTooCostly(many), QStringLiteral("it has more than 50000 tags"));
    QCOMPARE(pageTooCostly(QByteArray(kMaxPageBytes + 1, 'a')),
             QStringLiteral("it is 2049 KB long, more than the 2048 KB a page may be"));
    QCOMPARE(pageTooCostly("<!DOCTYPE x [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]><p>&b;"),
             QStringLiteral("it declares entities of its own"));
    // A tag left open at the end, and markup that is not a tag.
    QCOMPARE(pageShape("<div><span", 10).depth, 1);
    QCOMPARE(pageShape("a < b and c<3 <!DOCTYPE html> <?xml x?>", 10).tags, 0);
}

// Contents trees are shown to a depth, and to a number of entries.
void TestHelpFiles::sitemapsAreBounded()
{
    QByteArray deep = "<UL>";
    for (int i = 0; i < 1000; ++i)
        deep += sitemapEntry("level " + QByteArray::number(i), "a.html") + "<UL>";
    for (int i = 0; i < 1000; ++i)
        deep += "</UL>";
    deep += sitemapEntry("after", "b.html") + "</UL>";
    const std::vector<HelpTopic> tree = parseSitemap(deep);
    QCOMPARE(tree.size(), size_t(2));
    QCOMPARE(tree.back().name, QStringLiteral("after"));
    int depth = 0, count = 0;
    std::function<void(const std::vector<HelpTopic>&, int)> walk = [&](const std::vector<HelpTopic>& level, int d) {
        for (const HelpTopic& t : level) {
            depth = std::max(depth, d);
            ++count;
            walk(t.children, d + 1);
        }
    };
    walk(tree, 1);
    QCOMPARE(depth, kMaxSitemapDepth);
    QCOMPARE(count, 1001);  // the deeper entries join the deepest level
    QByteArray wide = "<UL>";
    for (int i = 0; i < 20000; ++i)
        wide += sitemapEntry("entry", "a.html");
    QCOMPARE(parseSitemap(wide + "</UL>").size(), size_t(kMaxSitemapEntries));
}

// Damaged copies of the real help file, in the ways files are damaged.
void TestHelpFiles::damagedCopiesGiveAPageOrAMessage()
{
    QRandomGenerator random(20261211);
    std::vector<std::pair<QString, QByteArray>> files;
    const qsizetype size = original_.size();
    auto add = [&](const QString& what, const QByteArray& bytes) { files.emplace_back(what, bytes); };
    for (int i = 0; i < 80; ++i) {  // bytes flipped anywhere
        QByteArray b = original_;
        for (int k = 0, n = 1 + int(random.bounded(16)); k < n; ++k)
            b[random.bounded(size)] = char(random.bounded(256));
        add(QStringLiteral("flipped %1").arg(i), b);
    }
    for (int i = 0; i < 60; ++i) {  // bytes flipped in the headers and the directory
        QByteArray b = original_;
        for (int k = 0, n = 1 + int(random.bounded(6)); k < n; ++k)
            b[random.bounded(std::min<qsizetype>(size, 8192))] = char(random.bounded(256));
        add(QStringLiteral("header flipped %1").arg(i), b);
    }
    for (int i = 0; i < 40; ++i)  // cut short
        add(QStringLiteral("cut %1").arg(i), original_.left(random.bounded(size)));
    for (int i = 0; i < 40; ++i) {  // a block zeroed
        QByteArray b = original_;
        const qsizetype at = random.bounded(size);
        b.replace(at, std::min<qsizetype>(4096, size - at), QByteArray(std::min<qsizetype>(4096, size - at), '\0'));
        add(QStringLiteral("zeroed %1").arg(i), b);
    }
    for (int i = 0; i < 30; ++i) {  // a block copied over another
        QByteArray b = original_;
        const qsizetype from = random.bounded(size - 4096), to = random.bounded(size - 4096);
        b.replace(to, 4096, original_.mid(from, 4096));
        add(QStringLiteral("copied %1").arg(i), b);
    }
    // The compression's control data ("LZXC") and what follows it: window
    // sizes, reset intervals.
    const qsizetype control = original_.indexOf("LZXC");
    QVERIFY(control > 0);
    for (int i = 0; i < 30; ++i) {
        QByteArray b = original_;
        for (int k = 0, n = 1 + int(random.bounded(3)); k < n; ++k)
            b[control - 8 + random.bounded(40)] = char(random.bounded(256));
        add(QStringLiteral("control data %1").arg(i), b);
    }
    // The reset table: its entries' count, size and offsets.
    const qsizetype reset = original_.indexOf(QByteArray("\x02\x00\x00\x00", 4), control);
    for (int i = 0; i < 20 && reset > 0; ++i) {
        QByteArray b = original_;
        put32(b, reset + 4 * qsizetype(random.bounded(10)), random.generate());
        add(QStringLiteral("reset table %1").arg(i), b);
    }
    // The directory's listing chunks made to lead to themselves, or to each other.
    const qsizetype itsp = original_.indexOf("ITSP");
    QVERIFY(itsp > 0);
    const quint32 headerLength = le32(original_, itsp + 8), chunkSize = le32(original_, itsp + 16);
    QVERIFY(chunkSize >= 512 && chunkSize <= 65536);
    QList<qsizetype> listings;
    for (qsizetype at = original_.indexOf("PMGL", itsp); at > 0; at = original_.indexOf("PMGL", at + 4))
        if ((at - itsp - qsizetype(headerLength)) % chunkSize == 0)
            listings << at;
    QVERIFY(!listings.isEmpty());
    for (qsizetype at : listings) {
        const quint32 self = quint32((at - itsp - qsizetype(headerLength)) / chunkSize);
        QByteArray b = original_;
        put32(b, at + 16, self);  // next: itself
        add(QStringLiteral("listing loops"), b);
        b = original_;
        put32(b, at + 12, self);  // previous: itself
        add(QStringLiteral("listing loops back"), b);
        b = original_;
        put32(b, itsp + 0x20, self);  // the directory's first listing: ...
        put32(b, itsp + 0x1C, self);  // ... and its index root, the same chunk
        add(QStringLiteral("index root is a listing"), b);
    }
    for (int i = 0; i < 15; ++i) {  // a header and noise
        QByteArray b = original_.left(0x60);
        for (qsizetype k = 0, n = 4096 + random.bounded(65536); k < n; ++k)
            b += char(random.bounded(256));
        add(QStringLiteral("noise %1").arg(i), b);
    }
    QVERIFY(files.size() >= 300);

    int pages = 0, messages = 0, slowest = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const QString path = dir_.filePath(QStringLiteral("damaged-%1.chm").arg(i));
        QVERIFY(writeAll(path, files[i].second));
        const Outcome o = browse(path, i % 4 == 0);
        if (qEnvironmentVariableIsSet("ORVANE_TRACE"))
            qInfo("%s: %lld ms, %s", qPrintable(files[i].first), o.ms, o.page ? "page" : o.message ? "message" : "nothing");
        QVERIFY2(o.page || o.message, qPrintable(files[i].first + " gave neither a page nor a message: " + o.text));
        // Bounded: each answer of the reader within its limit, a handful of them.
        QVERIFY2(o.ms < 20000, qPrintable(files[i].first + ": " + QString::number(o.ms) + " ms"));
        pages += o.page;
        messages += o.message;
        slowest = std::max(slowest, int(o.ms));
        QFile::remove(path);
    }
    qInfo("%d damaged help files: %d gave a page, %d a message; the slowest took %d ms", int(files.size()), pages,
          messages, slowest);
    QVERIFY(messages > 0 && pages > 0);
    // A copy cut short after its header: the window names the file and says what is wrong.
    const QString cut = dir_.filePath("cut.chm");
    QVERIFY(writeAll(cut, original_.left(3000)));
    HelpWindow w(cut);
    QVERIFY(w.isOpen());
    QVERIFY(!w.showDefaultTopic());
    QCOMPARE(w.page()->toPlainText(), "The help file " + cut + " cannot be shown: it names no page to show first.");
}

// Files built to hurt a viewer: each gives a page or a message, and the
// page's cost stays within its limits.
void TestHelpFiles::hostileFilesGiveAPageOrAMessage()
{
    const QByteArray head = "<html><head><title>Hostile</title></head><body>";
    const QByteArray tail = "</body></html>";
    QByteArray nested = head;
    for (int i = 0; i < 100000; ++i)
        nested += "<div>";
    QByteArray tables = head;
    for (int i = 0; i < 10000; ++i)
        tables += "<table><tr><td>";
    QByteArray entities = "<!DOCTYPE html [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                          "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>" + head;
    for (int i = 0; i < 1000; ++i)
        entities += "&c;";
    QByteArray huge = head;
    while (huge.size() < 5 * 1024 * 1024)
        huge += "<p>A long page of the help, repeated until it is far larger than any page should be.</p>\n";
    const QByteArray zero = head + "<img src=\"/dev/zero\"><img src=\"file:///dev/zero\"><link rel=stylesheet "
                                   "href=\"/dev/zero\"><a href=\"/etc/passwd\">a</a>" + tail;
    // A picture claiming 40 000 by 40 000 pixels.
    QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") + QByteArray::fromHex("00009c4000009c40") +
                     QByteArray::fromHex("0806000000") + QByteArray(4, '\0');
    const QByteArray bigPicture = head + "<img src=\"big.png\">" + tail;
    QByteArray wideToc = "<UL>";
    for (int i = 0; i < 200000; ++i)
        wideToc += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"e\"></OBJECT>";
    wideToc += "</UL>";
    QByteArray deepToc;
    for (int i = 0; i < 20000; ++i)  // as deep as the help compiler takes
        deepToc += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"d\"></OBJECT>";
    const QByteArray plain = head + "<p>A page.</p>" + tail;

    struct Case {
        const char* name;
        std::map<QString, QByteArray> files;
        QString contents;
        const char* says;  // what the page says, or empty for a page shown
    };
    const std::vector<Case> cases = {
        {"nested", {{"index.html", nested + tail}}, {}, "nest more than 64 deep"},
        {"tables", {{"index.html", tables + tail}}, {}, "tables nest more than 8 deep"},
        {"entities", {{"index.html", entities + tail}}, {}, "declares entities of its own"},
        {"huge", {{"index.html", huge + tail}}, {}, "more than the 2048 KB a page may be"},
        {"zero", {{"index.html", zero}}, {}, ""},
        {"picture", {{"index.html", bigPicture}, {"big.png", png}}, {}, ""},
        {"widetoc", {{"index.html", plain}, {"toc.hhc", wideToc}}, "toc.hhc", ""},
        {"deeptoc", {{"index.html", plain}, {"toc.hhc", deepToc}}, "toc.hhc", ""},
    };
    for (const Case& c : cases) {
        const QString file = compiled(dir_.path(), c.name, c.files, "index.html", c.contents);
        QVERIFY2(!file.isEmpty(), c.name);
        QElapsedTimer clock;
        clock.start();
        HelpWindow w(file);
        w.show();
        const bool shown = w.showDefaultTopic();
        w.searchPages("page");
        QCoreApplication::processEvents();
        const QString text = w.page()->toPlainText();
        QVERIFY2(clock.elapsed() < 20000, c.name);
        if (*c.says) {
            QVERIFY2(text.startsWith("The page /index.html of the help file " + file + " is not shown: ") &&
                         text.contains(c.says),
                     qPrintable(text.left(300)));
        } else {
            QVERIFY2(shown && text.contains("A page") == (QString(c.name).endsWith("toc")), c.name);
        }
        QVERIFY(w.contents()->topLevelItemCount() <= kMaxSitemapEntries);
        int depth = 0;
        for (int i = 0; i < w.contents()->topLevelItemCount(); ++i)
            depth = std::max(depth, depthOf(w.contents()->topLevelItem(i)));
        QVERIFY2(depth <= kMaxSitemapDepth, c.name);
        if (QString(c.name) == "picture")
            QCOMPARE(w.page()->document()->resource(QTextDocument::ImageResource, QUrl("big.png")).value<QImage>().size(),
                     QSize(1, 1));
        if (QString(c.name) == "widetoc")
            QCOMPARE(w.contents()->topLevelItemCount(), kMaxSitemapEntries);
        if (QString(c.name) == "deeptoc")
            QCOMPARE(depth, kMaxSitemapDepth);
    }
}

// The help file's reader holds only the file and its pipes, and confines
// itself as the register's readers do.
void TestHelpFiles::theReaderIsSandboxed()
{
    QProcess check;
    QProcessEnvironment bare;
    bare.insert("ASAN_OPTIONS", "detect_leaks=0");
    check.setProcessEnvironment(bare);
    check.start(QStringLiteral(ORVANE_BINARY).replace("/orvane", "/orvane-read-help"), {"--sandbox-check"});
    QVERIFY(check.waitForFinished(30000));
    const QString said = QString::fromUtf8(check.readAllStandardOutput());
    QCOMPARE(check.exitCode(), 0);
    for (const char* attempt : {"open another file", "create a socket", "write a file", "start a program"})
        QVERIFY2(said.contains(QString::fromLatin1(attempt) + ": refused ("), qPrintable(said));
    QVERIFY(!said.contains("ALLOWED"));

    // At work: descriptors 0 to 5 alone (/dev/null three times, the file,
    // its two pipes).
    ChmFile file(QStringLiteral(ORVANE_HELP_FILE));
    QVERIFY(file.isOpen());
    QVERIFY(!file.object("/index.html").isEmpty());
    QStringList held;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + pid + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains("orvane-read-help"))
            continue;
        const QString fds = "/proc/" + pid + "/fd";
        held = QDir(fds).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
        for (const QString& fd : held) {
            const QString target = QFileInfo(fds + "/" + fd).symLinkTarget();
            if (fd.toInt() <= 2)
                QCOMPARE(target, QStringLiteral("/dev/null"));
            else if (fd.toInt() == 4 || fd.toInt() == 5)
                QVERIFY2(target.contains("pipe:["), qPrintable(target));
            else
                QCOMPARE(QFileInfo(fds + "/" + fd).canonicalFilePath(),
                         QFileInfo(QStringLiteral(ORVANE_HELP_FILE)).canonicalFilePath());
        }
    }
    QVERIFY(held.contains("3") && held.contains("4") && held.contains("5"));
}

// What a reader sends is read within a time and a size: a reader that says
// nothing, stops halfway or sends too much is given up on, never waited for.
void TestHelpFiles::readerMessagesAreBounded()
{
    int fds[2];
    QCOMPARE(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    char type = 0;
    QByteArray payload;
    QString why;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!reg::readers::receive(fds[0], 150, 1024, type, payload, why));
    QVERIFY2(clock.elapsed() >= 140 && clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(why, QStringLiteral("its reader took longer than 0.15 s"));
    // A whole message is read; one larger than allowed is refused unread.
    const QByteArray hello = reg::readers::header('O', 5) + "hello";
    QCOMPARE(::write(fds[1], hello.constData(), size_t(hello.size())), ssize_t(hello.size()));
    QVERIFY(reg::readers::receive(fds[0], 1000, 1024, type, payload, why));
    QCOMPARE(type, 'O');
    QCOMPARE(payload, QByteArray("hello"));
    const QByteArray big = reg::readers::header('O', 1 << 20);
    QCOMPARE(::write(fds[1], big.constData(), size_t(big.size())), ssize_t(big.size()));
    QVERIFY(!reg::readers::receive(fds[0], 1000, 1024, type, payload, why));
    QCOMPARE(why, QStringLiteral("its reader sent 1048576 bytes, more than the 1024 allowed"));
    // Half a message, then the reader's end closed.
    const QByteArray half = reg::readers::header('O', 10) + "12345";
    QCOMPARE(::write(fds[1], half.constData(), size_t(half.size())), ssize_t(half.size()));
    ::close(fds[1]);
    QVERIFY(!reg::readers::receive(fds[0], 1000, 1024, type, payload, why));
    QCOMPARE(why, QStringLiteral("its reader ended"));
    ::close(fds[0]);
}

QTEST_MAIN(TestHelpFiles)
#include "test_help_files.moc"
