// A register file is untrusted input, driven through the real window: its
// texts are shown as written (never read as markup, which could make the
// program read a pipe or lay out endless tables), its views cannot run
// costly functions, an index-less file is copied into memory only up to a
// size, the time budgets charge the program and not the user, a file put in
// the register's place during start-up cannot hold the program, and long
// texts and long numbers keep their characters and their records.

#include "base/numbers.h"
#include "base/shown_text.h"
#include "find/find_model.h"
#include "find/frmfind.h"
#include "forms/core.h"
#include "hostile.h"
#include "inspect/texts.h"
#include "register/connection.h"
#include "shell/start.h"
#include "spectrum/chart.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextDocument>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

using testing::barAt;
using testing::hostileRegister;
using testing::licenceAt095;
using testing::timed;

namespace {

// Markup that, read as rich text, would hold the program for ever: an image
// read from a pipe no one writes to, and tables nested thousands deep.
QString hostileMarkup(const QString& pipe, int depth = 0)
{
    return QStringLiteral("<img src=\"%1\"><b>Kowhai</b> & <i>Sons</i>").arg(pipe) +
           QStringLiteral("<table><tr><td>").repeated(depth);
}

QString sqlText(const QString& s) { return QLatin1Char('\'') + QString(s).replace('\'', "''") + QLatin1Char('\''); }

// What a tooltip shows of a widget's tooltip text, laid out as Qt lays a
// tooltip out (as rich text when it looks like markup).
QString shownToolTip(const QString& tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument d;
    d.setHtml(tip);
    return d.toPlainText();
}

// Message boxes shown for real (not modal), laid out and drawn, their
// labels' texts kept; each must come up at once.
class RealBoxes {
public:
    RealBoxes()
    {
        old_ = forms::setMsgBoxHandler([this](const QString& text, int style, const QString& title) {
            QElapsedTimer t;
            t.start();
            const std::unique_ptr<QMessageBox> box = forms::messageBox(text, style, title);
            box->show();
            QApplication::processEvents();
            const QImage drawn = box->grab().toImage();
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            shown << (label ? label->text() : QString());
            plain << (label && label->textFormat() == Qt::PlainText);
            ms << t.elapsed();
            drawnRows << drawn.height();
            return int(forms::vbOK);
        });
    }
    ~RealBoxes() { forms::setMsgBoxHandler(old_); }
    QStringList shown;
    QList<bool> plain;
    QList<qint64> ms;
    QList<int> drawnRows;

private:
    forms::MsgBoxHandler old_;
};

// A start of the program that fails with one message box, shown for real:
// the box's text, checked to be as written and to come up at once.
QString startRefusedWith(const QString& expectedPart)
{
    RealBoxes boxes;
    QElapsedTimer t;
    t.start();
    const int status = shell::modStart();
    const qint64 took = t.elapsed();
    if (status != 1 || boxes.shown.size() != 1) {
        qWarning("start status %d, %d boxes", status, int(boxes.shown.size()));
        return QString();
    }
    if (took > 5000 || boxes.ms[0] > 2000 || !boxes.plain[0] || boxes.drawnRows[0] <= 0 ||
        !boxes.shown[0].contains(expectedPart)) {
        qWarning("start took %lld ms, box %lld ms: %s", took, boxes.ms[0], qPrintable(boxes.shown[0].left(300)));
        return QString();
    }
    return boxes.shown[0];
}

}  // namespace

class TestUntrusted : public QObject {
    Q_OBJECT

private slots:
    void markupInTheSchemaIsShownAsWritten();
    void registerTextsAreShownAsWritten();
    void costlyViewsAreRefused();
    void theEngineIsHardened();
    void anIndexlessFileOverTheCapIsRefused();
    void readingABoxIsNotTheProgramsTime();
    void theEdgeIndexIsTriedAgainAfterAnOverrun();
    void aSwapDuringStartUpCannotHoldIt();
    void longRemarksKeepTheirCharacters();
    void aSeventeenDigitEdgeShowsItsRemark();
};

// Names from the file's schema reach the messages of a refused register: a
// table's name, and a view's column.
void TestUntrusted::markupInTheSchemaIsShownAsWritten()
{
    testing::WorkDir wd;
    const QString pipe = wd.file("pipe");
    QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0644), 0);
    const QString markup = hostileMarkup(pipe);
    // A view of a table that has gone, named with markup.
    hostileRegister(wd.file("KORVA.mdb"), QStringLiteral("ALTER TABLE mapdistrict RENAME TO %1; CREATE VIEW "
                                                         "mapdistrict AS SELECT map, district FROM %1; DROP TABLE %1;")
                                              .arg(reg::quotedName(markup)));
    QString shown = startRefusedWith(markup);
    QVERIFY2(shown.startsWith(QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath() + " is not a register database: "), qPrintable(shown));
    // A view's column named with markup (in brackets, the engine's other quotes).
    QFile::remove(wd.file("KORVA.mdb"));
    hostileRegister(wd.file("KORVA.mdb"),
                    QStringLiteral("ALTER TABLE mapdistrict RENAME TO md; CREATE VIEW mapdistrict AS SELECT map, "
                                   "district, [%1] FROM md;")
                        .arg(markup));
    shown = startRefusedWith(QStringLiteral("no such column: ") + markup);
    QVERIFY(!shown.isEmpty());
    // Tables nested thousands deep in a table's name.
    QFile::remove(wd.file("KORVA.mdb"));
    const QString deep = hostileMarkup(pipe, 20000);
    hostileRegister(wd.file("KORVA.mdb"), QStringLiteral("ALTER TABLE mapdistrict RENAME TO %1; CREATE VIEW "
                                                         "mapdistrict AS SELECT map, district FROM %1; DROP TABLE %1;")
                                              .arg(reg::quotedName(deep)));
    QVERIFY(!startRefusedWith(deep.left(1000)).isEmpty());
}

// The register's labels, remarks, names, places and districts with markup
// in them: each shown as written wherever it is shown, at once.
void TestUntrusted::registerTextsAreShownAsWritten()
{
    testing::WorkDir wd;
    const QString pipe = wd.file("pipe");
    QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0644), 0);
    const QString markup = hostileMarkup(pipe);
    const QString deep = hostileMarkup(pipe, 20000);
    hostileRegister(wd.file("KORVA.mdb"),
                    licenceAt095(2, sqlText(markup)) +
                        QStringLiteral("UPDATE spectrum SET spectrumlabel = %1, SpectrumRemarks = %2 WHERE spectrumid "
                                       "= 900001; UPDATE location SET locationname = %1 WHERE locationid = 1000001;"
                                       "DELETE FROM mapdistrict WHERE map = 'O12'; INSERT INTO mapdistrict VALUES ('O12', %1); INSERT INTO spectrum (spectrumid, "
                                       "spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, serviceid, "
                                       "spectrumlabel) VALUES (900005, 0.97, 0.98, 4, 1, 25, %1); INSERT INTO "
                                       "spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, "
                                       "spectrumstatusid, serviceid, SpectrumRemarks) VALUES (900006, 0.91, 0.92, 1, "
                                       "1, 31, %2);")
                            .arg(sqlText(markup), sqlText(deep)));
    testing::Recorder rec;
    auto w = testing::openWindow();
    w->show();
    const int bar = barAt(*w, 0.95);
    QVERIFY(bar >= 0);
    // A planned record's label in the hover readout of the status bar.
    QVERIFY(barAt(*w, 0.97) >= 0);
    QVERIFY(timed([&] {
                emit w->lblSpectrum->at(barAt(*w, 0.97))->mouseMove(0, 0, 10, 10);
                w->grab();
            }) < 2000);
    QVERIFY2(w->StatusBar1->panelText(1).contains(markup), qPrintable(w->StatusBar1->panelText(1)));
    // A band's remarks in the details box.
    QVERIFY(barAt(*w, 0.91) >= 0);
    QVERIFY(timed([&] {
                emit w->lblSpectrum->at(barAt(*w, 0.91))->mouseDown(1, 0, 0, 0);
                w->grab();
            }) < 3000);
    QString details = w->txtSpectrumInfo->text();
    QVERIFY2(details.remove(QChar(0x200B)).contains(deep.left(2000)), qPrintable(details.left(200)));
    // The licensee, the site and the label in the grid.
    QVERIFY(timed([&] {
                emit w->lblSpectrum->at(bar)->mouseDown(2, 0, 0, 0);
                w->grab();
            }) < 3000);
    QVERIFY2(rec.texts().isEmpty(), qPrintable(rec.texts().join('/')));
    QVERIFY(w->listing().gridRowCount >= 2);
    bool siteSeen = false;
    for (int r = 1; r < w->listing().gridRowCount; ++r) {
        QCOMPARE(w->MSHFlexGrid1->textMatrix(r, 3), base::boundedText(markup, base::kShownTextMax));
        QCOMPARE(w->MSHFlexGrid1->textMatrix(r, 8), base::boundedText(markup, base::kShownTextMax));
        siteSeen = siteSeen || w->MSHFlexGrid1->textMatrix(r, 4) == markup;
    }
    QVERIFY(siteSeen);
    // The district of a sheet beside the pointer on the map.
    w->vsbMapZoom->setValue(0);
    w->hsbEasting->setValue(500);
    w->vsbNorthing->setValue(300);
    if (!w->picMap->isShownFlag())
        w->siteMap().cmdMapGrid_Click();
    QVERIFY(w->picMap->isShownFlag());
    QVERIFY(timed([&] {
                emit w->picMap->mouseMove(0, 0, 1970, 1970);
                w->grab();
            }) < 3000);
    QCOMPARE(w->txtMap->text(), QStringLiteral("O12"));
    QVERIFY(w->lblMapDistrict->isVisible());
    QCOMPARE(w->lblMapDistrict->caption(), base::boundedText(markup, base::kShownTextMax));
    // Found by name: the Find window's cells and tooltips show the name as written.
    w->mnuFind->trigger();
    find::FrmFind* f = w->findWindow();
    QVERIFY(f);
    f->txtFind->setText(QStringLiteral("kowhai sons"));
    QTRY_VERIFY_WITH_TIMEOUT(f->model()->rowCount() > 0, 5000);
    const QModelIndex name = f->model()->index(0, find::FindModel::Licensee);
    QCOMPARE(name.data().toString(), base::boundedText(markup, base::kShownTextMax));
    QCOMPARE(shownToolTip(name.data(Qt::ToolTipRole).toString()), markup);
    QVERIFY(timed([&] { f->grab(); }) < 3000);
    // A tooltip of the program's own carries no markup of the register's
    // either: a site marker's gives its coordinates, as written.
    const QString tip = w->picMap->toolTip();
    QCOMPARE(shownToolTip(tip), w->picMap->toolTipText());
    for (const QString& t : {markup, deep.left(5000), QStringLiteral("a < b && c > d"), QStringLiteral("<p>x</p>")})
        QCOMPARE(shownToolTip(forms::plainToolTip(t)), t);
}

// A view whose column calls instr() over a string of 200 MB (one call, which
// the time budget cannot stop): refused at once, naming the function, on
// the map sheets at start-up and on the records a search reads.
void TestUntrusted::costlyViewsAreRefused()
{
    const QString costly = QStringLiteral("instr(printf('%.*c', 200000000, 'x'), 'y')");
    {
        testing::WorkDir wd;
        hostileRegister(wd.file("KORVA.mdb"),
                        QStringLiteral("ALTER TABLE mapdistrict RENAME TO md; CREATE VIEW mapdistrict AS SELECT "
                                       "%1 || map AS map, district FROM md;")
                            .arg(costly));
        testing::Recorder rec;
        QElapsedTimer t;
        t.start();
        QCOMPARE(shell::modStart(), 1);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rec.messages.size(), size_t(1));
        QVERIFY2(rec.texts()[0].contains(QStringLiteral("The register's views call the function instr()")),
                 qPrintable(rec.texts()[0]));
    }
    {
        testing::WorkDir wd;
        hostileRegister(wd.file("KORVA.mdb"),
                        QStringLiteral("ALTER TABLE spectrum RENAME TO sp; CREATE VIEW spectrum AS SELECT spectrumid, "
                                       "licenceid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, "
                                       "serviceid, spectrumlabel, %1 AS SpectrumRemarks, managementrightid FROM sp;")
                            .arg(costly));
        testing::Recorder rec;
        QElapsedTimer t;
        t.start();
        auto w = testing::openWindow();
        w->txtFrequencyDisplay->setText("0.95");
        emit w->txtFrequencyDisplay->keyPress(13);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!rec.texts().isEmpty());  // the search's own message
        try {
            w->registerConnection().database().prepare("select * from spectrum");
            QFAIL("the view was run");
        } catch (const reg::RegisterError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("instr()")), qPrintable(e.message()));
        }
    }
}

// Each setting of the engine in force on the register's connection, and
// what the limits refuse.
void TestUntrusted::theEngineIsHardened()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.02), 0);
    reg::Connection c;
    c.open(reg::connectionString);
    sqlite3* db = c.database().handle();
    int on = -1;
    QCOMPARE(sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, -1, &on), SQLITE_OK);
    QCOMPARE(on, 1);
    QCOMPARE(sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, -1, &on), SQLITE_OK);
    QCOMPARE(on, 0);
    QCOMPARE(sqlite3_limit(db, SQLITE_LIMIT_LENGTH, -1), reg::Database::kMaxValueBytes);
    QCOMPARE(sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, -1), 0);
    QCOMPARE(sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, -1), 100);
    QCOMPARE(c.database().integerOf("PRAGMA cell_size_check"), std::optional<qint64>(1));
    QCOMPARE(c.database().integerOf("PRAGMA mmap_size"), std::optional<qint64>(0));
    // The functions a view may not call are refused by name; the plain ones run.
    QCOMPARE(c.database().integerOf("SELECT count(*) FROM mapdistrict WHERE length(upper(map)) > 0").value_or(0) > 0,
             true);
    for (const char* call : {"SELECT instr('ab', 'b')", "SELECT printf('%d', 1)", "SELECT zeroblob(10)",
                             "SELECT replace('a', 'a', 'b')", "SELECT 'a' LIKE 'a'", "SELECT load_extension('x')"}) {
        try {
            c.database().prepare(QString::fromLatin1(call));
            QFAIL(call);
        } catch (const reg::RegisterError& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("The register's views call the function ")),
                     qPrintable(e.message()));
        }
    }
    // No other file can be attached to the register's connection.
    QVERIFY_THROWS_EXCEPTION(reg::RegisterError, c.database().exec("ATTACH DATABASE ':memory:' AS other"));
    // A value longer than the limit is refused by the engine, as a message.
    reg::Database memory = reg::Database::openMemory();
    memory.exec("CREATE TABLE t (x)");
    QVERIFY_THROWS_EXCEPTION(reg::RegisterError,
                             memory.exec(QStringLiteral("INSERT INTO t VALUES (randomblob(%1))")
                                             .arg(reg::Database::kMaxValueBytes + 1)));
    memory.exec(QStringLiteral("INSERT INTO t VALUES (randomblob(%1))").arg(reg::Database::kMaxValueBytes - 64));
}

// A register without the indexes its statements use is copied into memory
// and indexed there only up to a size: a larger one is refused, with its
// size, at once.
void TestUntrusted::anIndexlessFileOverTheCapIsRefused()
{
    testing::WorkDir wd;
    QString drops;
    {
        QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.02), 0);
        reg::Database db = reg::Database::openFile(wd.file("KORVA.mdb"));
        reg::Statement st = db.prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
        while (st.next())
            drops += QStringLiteral("DROP INDEX %1;").arg(reg::quotedName(st.text(0)));
    }
    const int megabytes = int(reg::kMaxIndexedCopyBytes / 1048576) + 8;
    testing::sql(wd.file("KORVA.mdb"),
                 drops + QStringLiteral("CREATE TABLE filler (b BLOB); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                        "SELECT i + 1 FROM n WHERE i < %1) INSERT INTO filler SELECT zeroblob(1048576) "
                                        "FROM n;")
                             .arg(megabytes));
    const double mb = double(QFileInfo(wd.file("KORVA.mdb")).size()) / 1e6;
    QVERIFY(mb > double(reg::kMaxIndexedCopyBytes) / 1e6);
    testing::Recorder rec;
    QElapsedTimer t;
    t.start();
    QCOMPARE(shell::modStart(), 1);
    QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(rec.messages.size(), size_t(1));
    const QString expected = QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath() + QStringLiteral(" cannot be read: it lacks the indexes a register's statements "
                                            "use, and at %1 MB it is larger than the 250 MB the program copies into "
                                            "memory to give them")
                                 .arg(mb, 0, 'f', 1);
    QVERIFY2(rec.texts()[0].contains(expected), qPrintable(rec.texts()[0]));
}

// The user reads the box of a zoom too far for 12 s, longer than an
// action's budget: the search that follows the box still runs.
void TestUntrusted::readingABoxIsNotTheProgramsTime()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.02), 0);
    auto w = testing::openWindow();
    QStringList texts;
    const forms::MsgBoxHandler old = forms::setMsgBoxHandler([&](const QString& text, int, const QString&) {
        texts << text;
        QThread::msleep(12000);
        return int(forms::vbOK);
    });
    for (int i = 0; i < 30 && texts.isEmpty(); ++i)
        emit w->cmdZoomIn->clicked();
    forms::setMsgBoxHandler(old);
    QCOMPARE(texts, QStringList{"Exceeded maximum zoom for this set of records\r\nReturning to Zoom x 1"});
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 1"));
    QCOMPARE(w->frequency().zoomFactor, 1.0);
    QVERIFY(w->chart().lastRecordIndex > 0);
    // Outside a box, the budget still holds.
    const reg::Database& db = w->registerConnection().database();
    const QString endless = "with recursive n(i) as (select 1 union all select i + 1 from n) select count(*) from n";
    QElapsedTimer t;
    t.start();
    try {
        const reg::Budget b(&db, 300);
        db.prepare(endless).next();
        QFAIL("not stopped");
    } catch (const reg::RegisterError& e) {
        QVERIFY(e.tooLong());
    }
    QVERIFY(t.elapsed() < 2000);
    // Paused within a nested budget, the outer one ends as much later too.
    {
        const reg::Budget outer(&db, 400);
        {
            const reg::Budget inner(&db, 5000);
            db.pauseBudgets(true);
            QThread::msleep(600);
            db.pauseBudgets(false);
        }
        QCOMPARE(db.integerOf("select count(*) from mapdistrict").value_or(0) > 0, true);
    }
}

// A search stopped by its budget while the index of the records' edges was
// being built leaves it to be built by the next.
void TestUntrusted::theEdgeIndexIsTriedAgainAfterAnOverrun()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.02), 0);
    auto w = testing::openWindow();
    QVERIFY(w->chart().hasEdgeIndex());
    spectrum::Chart::Controls controls;
    controls.lblSpectrum = w->lblSpectrum.get();
    controls.lblSelect = w->lblSelect;
    controls.lblUnsearchedLow = w->lblUnsearchedLow;
    controls.lblUnsearchedHigh = w->lblUnsearchedHigh;
    spectrum::Chart chart(controls, w->registerConnection());
    const reg::Database& db = w->registerConnection().database();
    try {
        const reg::Budget spent(&db, -1);
        chart.readRows(0.5, 1.0);
        QFAIL("not stopped");
    } catch (const reg::RegisterError& e) {
        QVERIFY(e.tooLong());
    }
    QVERIFY(!chart.hasEdgeIndex());
    const spectrum::ChartRows rows = chart.readRows(0.5, 1.0);
    QVERIFY(chart.hasEdgeIndex());
    QVERIFY(rows.count > 0);
}

// KORVA.mdb a symbolic link that another process points at a pipe and back
// while the program starts, again and again: each start opens the register
// or refuses the pipe, at once, and never reads the one for the other.
void TestUntrusted::aSwapDuringStartUpCannotHoldIt()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("register.sqlite"), 0.02), 0);
    QCOMPARE(::mkfifo(wd.file("pipe").toLocal8Bit().constData(), 0644), 0);
    QVERIFY(QFile::link(wd.file("register.sqlite"), wd.file("KORVA.mdb")));
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        const QByteArray link = QFile::encodeName(wd.file("KORVA.mdb"));
        const QByteArray next = QFile::encodeName(wd.file("next"));
        for (int i = 0; !stop; ++i) {
            const QByteArray to = QFile::encodeName(wd.file(i % 2 ? "register.sqlite" : "pipe"));
            ::unlink(next.constData());
            if (::symlink(to.constData(), next.constData()) == 0)
                std::rename(next.constData(), link.constData());
            std::this_thread::sleep_for(std::chrono::microseconds(200 + (i % 7) * 150));
        }
    });
    int opened = 0, refused = 0;
    for (int round = 0; round < 24; ++round) {
        testing::Recorder rec;
        QElapsedTimer t;
        t.start();
        std::unique_ptr<shell::FrmSpectrum> w;
        try {
            w = testing::openWindow();
        } catch (const reg::RegisterError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("it is a pipe")), qPrintable(e.message()));
            ++refused;
        }
        if (w) {
            QVERIFY(w->chart().lastRecordIndex > 0);
            ++opened;
        }
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }
    stop = true;
    swapper.join();
    qInfo("%d starts opened the register, %d refused the pipe", opened, refused);
    QCOMPARE(opened + refused, 24);
}

// Remarks of one long word with emoji and accented letters: the breaks put
// into it, and the cut of a remark too long to show whole, fall between the
// characters the reader sees.
void TestUntrusted::longRemarksKeepTheirCharacters()
{
    // A smiling face is two UTF-16 units; "e" and a combining acute are one letter.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString acute = QStringLiteral("e") + QChar(0x0301);
    const QString word = (QStringLiteral("ab") + smile + acute).repeated(5000);
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"),
                    QStringLiteral("INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, "
                                   "spectrumstatusid, serviceid, SpectrumRemarks) VALUES (900002, 0.91, 0.92, 1, 1, "
                                   "31, %1), (900003, 0.93, 0.94, 1, 1, 31, %2);")
                        .arg(sqlText(word), sqlText(QStringLiteral("x").repeated(inspect::kShownRemarksMax - 2) + smile +
                                                    QStringLiteral("tail"))));
    auto w = testing::openWindow();
    auto wholeCharacters = [](const QString& s) {
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i].isHighSurrogate() && (i + 1 == s.size() || !s[i + 1].isLowSurrogate()))
                return false;
            if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
                return false;
            if (s[i] == QChar(0x0301) && (i == 0 || s[i - 1] != QLatin1Char('e')))
                return false;
        }
        return true;
    };
    emit w->lblSpectrum->at(barAt(*w, 0.91))->mouseDown(1, 0, 0, 0);
    QString shown = w->txtSpectrumInfo->text();
    QVERIFY(shown.contains(QChar(0x200B)));
    QVERIFY(wholeCharacters(shown));
    QVERIFY(shown.remove(QChar(0x200B)).contains(word));
    emit w->lblSpectrum->at(barAt(*w, 0.93))->mouseDown(1, 0, 0, 0);
    shown = w->txtSpectrumInfo->text();
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QVERIFY(wholeCharacters(shown));
    QVERIFY(!shown.contains(QStringLiteral("tail")));
    // The bounded texts of the grid and the map cut alike.
    const QString names = (smile + QStringLiteral("a")).repeated(300);
    for (int max : {2, 3, 4, 255, 256}) {
        const QString cut = base::boundedText(names, max);
        QVERIFY(cut.size() <= max);
        QVERIFY(wholeCharacters(cut));
        QVERIFY(names.startsWith(cut.chopped(1)));
    }
}

// A band from 0.1 + 0.2 MHz (0.30000000000000004, which 15 digits do not
// hold): pressed, it shows its remark, found by the exact edges.
void TestUntrusted::aSeventeenDigitEdgeShowsItsRemark()
{
    testing::WorkDir wd;
    hostileRegister(wd.file("KORVA.mdb"),
                    "INSERT INTO spectrum (spectrumid, spectrumlow, spectrumhigh, spectrumtypeid, spectrumstatusid, "
                    "serviceid, SpectrumRemarks) VALUES (900002, 0.1 + 0.2, 0.3 + 0.01, 1, 1, 31, 'Remark of the "
                    "band at 0.3 MHz');");
    testing::Recorder rec;
    auto w = testing::openWindow();
    w->txtFrequencyDisplay->setText("0.3");
    emit w->txtFrequencyDisplay->keyPress(13);
    const int bar = barAt(*w, 0.1 + 0.2);
    QVERIFY(bar >= 0);
    emit w->lblSpectrum->at(bar)->mouseDown(1, 0, 0, 0);
    QVERIFY2(w->txtSpectrumInfo->text().endsWith(QStringLiteral("Remark of the band at 0.3 MHz")),
             qPrintable(w->txtSpectrumInfo->text()));
    QVERIFY(rec.texts().isEmpty());
    // The criteria give the edge its shortest exact text.
    QCOMPARE(w->chart().rangeCriteria.text().contains(QStringLiteral(".30000000000000004")), true);
}

QTEST_MAIN(TestUntrusted)
#include "test_untrusted.moc"
