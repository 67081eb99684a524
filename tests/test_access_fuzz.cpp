// Damaged copies of a small Access register, each opened by the program's
// entry procedure: every one is refused with a message naming the file and
// an exit status of 1, or opens; none brings the program down, none hangs
// it. ORVANE_FUZZ_CASES sets how many copies (a longer run).

#include "shell/start.h"
#include "support.h"

#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int kPage = 4096;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The pages of each kind: 0 the header, 1 data, 2 table definitions, 5 usage maps.
std::vector<qsizetype> pagesOfType(const QByteArray& file, char type, bool longValue = false)
{
    std::vector<qsizetype> pages;
    for (qsizetype p = kPage; p + kPage <= file.size(); p += kPage)
        if (file[p] == type && (file.mid(p + 4, 4) == "LVAL") == longValue)
            pages.push_back(p);
    return pages;
}

void flip(QByteArray& file, qsizetype at, QRandomGenerator& rng)
{
    if (at >= 0 && at < file.size())
        file[at] = char(file[at] ^ char(1 + rng.bounded(255)));
}

}  // namespace

class TestAccessFuzz : public QObject {
    Q_OBJECT

private slots:
    void damagedCopiesAreRefusedOrOpen();
};

void TestAccessFuzz::damagedCopiesAreRefusedOrOpen()
{
    testing::WorkDir wd;
    const QString original = wd.file("original.mdb");
    QCOMPARE(testing::makeRegister(original, 0.01, 20261209, "access"), 0);
    const QByteArray good = readAll(original);
    const auto definitions = pagesOfType(good, 0x02);
    const auto data = pagesOfType(good, 0x01);
    const auto longValues = pagesOfType(good, 0x01, true);
    QVERIFY(definitions.size() >= 9 && data.size() > 10 && !longValues.empty());

    const int cases = qEnvironmentVariableIsSet("ORVANE_FUZZ_CASES") ? qEnvironmentVariableIntValue("ORVANE_FUZZ_CASES")
                                                                      : 240;
    QRandomGenerator rng(20261209);
    // The entry procedure ends in the event loop once the window is up: leave it.
    QTimer leave;
    leave.setInterval(20);
    connect(&leave, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    leave.start();
    int refused = 0, opened = 0, signalled = 0, overran = 0;
    QElapsedTimer all;
    all.start();
    for (int k = 0; k < cases; ++k) {
        QByteArray file = good;
        QString what;
        auto pick = [&](const std::vector<qsizetype>& pages) { return pages[rng.bounded(quint32(pages.size()))]; };
        switch (k % 7) {
        case 0:
            file.truncate(rng.bounded(qint64(good.size())));
            what = QStringLiteral("truncated to %1 bytes").arg(file.size());
            break;
        case 1:
            for (int n = 0; n < 1 + k % 3; ++n)
                flip(file, rng.bounded(0x100), rng);
            what = QStringLiteral("header bytes changed");
            break;
        case 2: {
            const qsizetype p = pick(definitions);
            for (int n = 0; n < 1 + k % 4; ++n)
                flip(file, p + rng.bounded(512), rng);
            what = QStringLiteral("definition at %1 changed").arg(p / kPage);
            break;
        }
        case 3: {
            const qsizetype p = pick(data);
            for (int n = 0; n < 1 + k % 5; ++n)
                flip(file, p + (n % 2 ? rng.bounded(64) : rng.bounded(kPage)), rng);
            what = QStringLiteral("data page %1 changed").arg(p / kPage);
            break;
        }
        case 4: {
            const qsizetype p = pick(longValues);
            for (int n = 0; n < 1 + k % 3; ++n)
                flip(file, p + rng.bounded(kPage), rng);
            what = QStringLiteral("long-value page %1 changed").arg(p / kPage);
            break;
        }
        case 5: {
            const qsizetype p = qsizetype(rng.bounded(quint32(file.size() / kPage))) * kPage;
            file.replace(p, kPage, QByteArray(kPage, '\0'));
            what = QStringLiteral("page %1 zeroed").arg(p / kPage);
            break;
        }
        default:
            for (int n = 0; n < 1 + k % 20; ++n)
                flip(file, rng.bounded(qint64(file.size())), rng);
            what = QStringLiteral("bytes changed anywhere");
        }
        {
            QFile out(wd.file("KORVA.mdb"));
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(file);
        }
        testing::Recorder rec;
        QElapsedTimer t;
        t.start();
        const int status = shell::modStart();
        const QString context = QStringLiteral("case %1 (%2): status %3, %4 ms, %5")
                                    .arg(k)
                                    .arg(what)
                                    .arg(status)
                                    .arg(t.elapsed())
                                    .arg(rec.texts().join(" / ").left(200));
        if (status == 0) {
            ++opened;
        } else {
            ++refused;
            QVERIFY2(status == 1, qPrintable(context));
            QVERIFY2(rec.messages.size() == 1, qPrintable(context));
            QVERIFY2(rec.messages[0].text.contains("KORVA.mdb"), qPrintable(context));
            QCOMPARE(rec.messages[0].title, QStringLiteral("Orvane"));
            signalled += rec.messages[0].text.contains("stopped with signal");
            overran += rec.messages[0].text.contains("took longer");
        }
        // Within the readers' time limit (a hung reader is stopped there).
        QVERIFY2(t.elapsed() < 30000, qPrintable(context));
    }
    qInfo("%d damaged copies: %d refused (%d readers stopped by a signal, %d overran), %d opened, %.1f s", cases,
          refused, signalled, overran, opened, all.elapsed() / 1000.0);
    QVERIFY(refused > cases / 10);
    QVERIFY(opened > 0);
}

QTEST_MAIN(TestAccessFuzz)
#include "test_access_fuzz.moc"
