// Find: the words taken from what is typed, matching as people expect
// (case, macrons, beginnings of words, licence numbers from their start),
// hostile queries, the cap on rows shown, the Find window as the user types,
// and a result chosen through the real window.

#include "find/find_model.h"
#include "find/frmfind.h"
#include "registers.h"
#include "register/find_index.h"
#include "support.h"
#include "window.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using reg::FindField;
using testing::TinyRegister;

namespace {

// Licences with names and places people type without their macrons.
void findRegister(const QString& path, int manyRanges = 0)
{
    TinyRegister r(path);
    r.recordAtSites(157.1, 157.1125, 1, 1, {{"Whang\xC4\x81rei Hill", 2630000, 6607000}}, "Telecom New Zealand Ltd",
                    123456);
    r.recordAtSites(157.2, 157.225, 5, 5, {{"Taup\xC5\x8D Summit", 2760000, 6270000}}, "Kowhai Radio Limited", 1234567);
    r.recordAtSites(160.0, 160.025, 1, 9, {{"Mt Kaukau", 2658000, 5992000}, {"Hill, North", 2659000, 5993000}},
                    "Rimu Transport Trust", 2345);
    r.recordAtSites(455.1, 455.2, 1, 2, {{"Auckland Hill", 2667000, 6482000}}, "O'Brien & Sons (NZ) Ltd", 777001);
    // A licence of two ranges.
    const qint64 second = r.recordAtSites(455.3, 455.45, 1, 2, {{"Waiatarua", 2650000, 6478000}},
                                          "Telecom New Zealand Ltd", 888001);
    r.exec(QStringLiteral("INSERT INTO spectrum VALUES (9001, (SELECT licenceid FROM spectrum WHERE spectrumid = %1), "
                          "470.1, 470.2, 5, 5, 25, NULL, NULL, NULL)")
               .arg(second));
    // A management right and a planned record are not licences to find.
    r.record(157.3, 157.4, 7, 1, 30, 0, 1, QString(), QString(), 42);
    r.record(157.5, 157.5125, 4, 4, 25, 3, 1, "CH 9");
    for (int i = 0; i < manyRanges; ++i)
        r.recordAtSites(300 + i * 0.025, 300.0125 + i * 0.025, 1, 3, {{"Repeater Peak", 2700000, 6300000}},
                        "Manuka Communications Limited", 500000 + i);
}

// The licence numbers a find gives, in number order.
QStringList numbersFound(const reg::FindIndex& index, const QString& typed, FindField field = FindField::Everything)
{
    QStringList numbers;
    for (const reg::FindRow& r : index.find(typed, field).rows)
        numbers << r.licenceNumber;
    numbers.removeDuplicates();
    numbers.sort();
    return numbers;
}

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

}  // namespace

class TestFind : public QObject {
    Q_OBJECT

private slots:
    void wordsAreOnlyText();
    void matchingAsPeopleExpect();
    void rowsOfLicencesAndRanges();
    void hostileQueriesGiveRowsOrNone();
    void theWindowFindsAsTheUserTypes();
    void choosingAResultShowsItInTheMainWindow();
    void anAccessRegisterIsFoundAlike();
};

void TestFind::wordsAreOnlyText()
{
    using reg::findWords;
    QCOMPARE(findWords("tel new"), (QStringList{"tel", "new"}));
    QCOMPARE(findWords("  O'Brien-Smith & Sons "), (QStringList{"O", "Brien", "Smith", "Sons"}));
    QCOMPARE(findWords("\"quoted\" * - NEAR( OR \\"), (QStringList{"quoted", "NEAR", "OR"}));
    QCOMPARE(findWords(""), QStringList());
    QCOMPARE(findWords("***---\"\"\\"), QStringList());
    // A macron typed as a mark after its letter is one letter with it.
    QCOMPARE(findWords(QString::fromUtf8("Taupo\xCC\x84")), QStringList{QString::fromUtf8("Taup\xC5\x8D")});
    // Letters beyond the first plane are letters; pictures part words.
    QCOMPARE(findWords(QString::fromUtf8("a\xF0\x9F\x93\xA1" "b")), (QStringList{"a", "b"}));
    // Bounded: so many words, so long.
    const QStringList many = findWords(QString("word ").repeated(10000));
    QCOMPARE(many.size(), reg::kMaxFindWords);
    QCOMPARE(findWords(QString(10000, 'x')).first().size(), reg::kMaxFindWordLength);
    // A term is a quoted prefix, its quotes doubled: never syntax.
    QCOMPARE(reg::findTerm("tel"), QStringLiteral("\"tel\"*"));
    QCOMPARE(reg::findTerm("a\"b"), QStringLiteral("\"a\"\"b\"*"));
}

void TestFind::matchingAsPeopleExpect()
{
    testing::WorkDir wd;
    findRegister(wd.file("KORVA.mdb"));
    reg::Connection c;
    c.open(reg::connectionString);
    const auto index = reg::FindIndex::build(c);
    // Case does not matter, nor macrons, typed or not.
    QCOMPARE(numbersFound(*index, "whangarei"), QStringList{"123456"});
    QCOMPARE(numbersFound(*index, QString::fromUtf8("WHANG\xC4\x80REI")), QStringList{"123456"});
    QCOMPARE(numbersFound(*index, "taupo"), QStringList{"1234567"});
    QCOMPARE(numbersFound(*index, "telecom"), (QStringList{"123456", "888001"}));
    // Every word must begin a word, in any order and any field.
    QCOMPARE(numbersFound(*index, "tel new"), (QStringList{"123456", "888001"}));
    QCOMPARE(numbersFound(*index, "zea tel"), (QStringList{"123456", "888001"}));
    QCOMPARE(numbersFound(*index, "tel whang"), QStringList{"123456"});  // licensee and location
    QCOMPARE(numbersFound(*index, "elecom"), QStringList());             // not the middle of a word
    QCOMPARE(numbersFound(*index, "tel zz"), QStringList());
    QCOMPARE(numbersFound(*index, "brien"), QStringList{"777001"});
    // Licence numbers from their start.
    QCOMPARE(numbersFound(*index, "1234"), (QStringList{"123456", "1234567"}));
    QCOMPARE(numbersFound(*index, "2345"), QStringList{"2345"});
    QCOMPARE(numbersFound(*index, "3456"), QStringList());
    // The field chosen.
    QCOMPARE(numbersFound(*index, "hill", FindField::Location), (QStringList{"123456", "2345", "777001"}));
    QCOMPARE(numbersFound(*index, "hill", FindField::Licensee), QStringList());
    QCOMPARE(numbersFound(*index, "rimu", FindField::Licensee), QStringList{"2345"});
    QCOMPARE(numbersFound(*index, "rimu", FindField::Location), QStringList());
    QCOMPARE(numbersFound(*index, "12", FindField::LicenceNumber), (QStringList{"123456", "1234567"}));
    QCOMPARE(numbersFound(*index, "telecom", FindField::LicenceNumber), QStringList());
}

void TestFind::rowsOfLicencesAndRanges()
{
    testing::WorkDir wd;
    findRegister(wd.file("KORVA.mdb"));
    reg::Connection c;
    c.open(reg::connectionString);
    const auto index = reg::FindIndex::build(c);
    // Licences only: not the management right, nor the planned record.
    QCOMPARE(index->size(), size_t(6));
    // One row a licence and range, by licensee, then number, then frequency.
    const reg::FindResult telecom = index->find("telecom", FindField::Everything);
    QCOMPARE(telecom.total, qint64(3));
    QCOMPARE(telecom.rows[0].licenceNumber, QStringLiteral("123456"));
    QCOMPARE(telecom.rows[1].lowMHz, 455.3);
    QCOMPARE(telecom.rows[2].lowMHz, 470.1);
    QCOMPARE(telecom.rows[2].status, 5);
    QCOMPARE(find::frequencyText(telecom.rows[1]), QStringLiteral("455.300000 - 455.450000"));
    QCOMPARE(find::statusText(1), QStringLiteral("Licensed"));
    // A licence's locations and districts, commas in names kept.
    const reg::FindRow rimu = index->find("rimu", FindField::Everything).rows.at(0);
    QCOMPARE(rimu.location, QStringLiteral("Mt Kaukau; Hill, North"));
    QCOMPARE(rimu.district, QStringLiteral("WN"));
    QCOMPARE(rimu.districtId, 9.0);
    QCOMPARE(rimu.licensee, QStringLiteral("Rimu Transport Trust"));
    QCOMPARE(rimu.highMHz, 160.025);
}

void TestFind::hostileQueriesGiveRowsOrNone()
{
    testing::WorkDir wd;
    findRegister(wd.file("KORVA.mdb"), 1200);
    reg::Connection c;
    c.open(reg::connectionString);
    const auto index = reg::FindIndex::build(c);
    const QStringList hostile{"\"", "*", "-", "NEAR(", "OR", "\\", "tel\" OR \"x", "a AND", "NOT", "tel*",
                              "^tel", "{licensee}: tel", "col:tel", "\"\"\"", "(((", "\u00A0", "\xF0\x9F\x93\xA1",
                              QString(10000, 'a'), QString("x ").repeated(5000), "'; DROP TABLE licence; --"};
    QElapsedTimer clock;
    clock.start();
    for (const QString& q : hostile)
        for (FindField f : {FindField::Everything, FindField::Licensee, FindField::LicenceNumber, FindField::Location})
            index->find(QString::fromUtf8(q.toUtf8()), f);  // no throw
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(numbersFound(*index, "OR"), QStringList());
    QCOMPARE(numbersFound(*index, "tel\" OR \"x"), QStringList());  // three words, all required
    QCOMPARE(numbersFound(*index, "tel*"), (QStringList{"123456", "888001"}));
    // Shown rows are capped; the count is whole.
    const reg::FindResult many = index->find("manuka", FindField::Everything);
    QCOMPARE(int(many.rows.size()), reg::FindIndex::kMaxShown);
    QCOMPARE(many.total, qint64(1200));
    QCOMPARE(find::countCaption(1000, 1200), QStringLiteral("First 1000 of 1200 shown"));
    QCOMPARE(find::countCaption(3, 3), QStringLiteral("3 found"));
}

void TestFind::theWindowFindsAsTheUserTypes()
{
    testing::WorkDir wd;
    findRegister(wd.file("KORVA.mdb"), 1200);
    const QByteArray before = digest(wd.file("KORVA.mdb"));
    auto w = testing::openWindow();
    // File, Find... (Ctrl+F): a window beside the main one, not modal.
    QCOMPARE(w->mnuFind->shortcut(), QKeySequence(QKeySequence::Find));
    w->mnuFind->trigger();
    find::FrmFind* f = w->findWindow();
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QVERIFY(!f->isModal());
    QCOMPARE(f->objectName(), QStringLiteral("frmFind"));
    QCOMPARE(f->cboFindIn->count(), 4);
    QCOMPARE(f->cboFindIn->itemText(2), QStringLiteral("Licence number"));
    // Typing runs the find once typing rests, not at each key.
    QTest::keyClicks(f->txtFind, "man");
    QCOMPARE(f->model()->rowCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(f->lblFindCount->text(), QStringLiteral("First 1000 of 1200 shown"), 5000);
    QCOMPARE(f->model()->rowCount(), 1000);
    f->txtFind->setText("kowhai");
    QTRY_COMPARE_WITH_TIMEOUT(f->lblFindCount->text(), QStringLiteral("1 found"), 5000);
    QCOMPARE(f->model()->index(0, find::FindModel::Location).data().toString(),
             QString::fromUtf8("Taup\xC5\x8D Summit"));
    QCOMPARE(f->model()->index(0, find::FindModel::Status).data().toString(), QStringLiteral("Licensed, status 5"));
    // The field chosen narrows the find.
    f->txtFind->setText("hill");
    QTRY_COMPARE_WITH_TIMEOUT(f->lblFindCount->text(), QStringLiteral("3 found"), 5000);
    f->cboFindIn->setCurrentIndex(1);  // Licensee
    QTRY_COMPARE_WITH_TIMEOUT(f->lblFindCount->text(), QStringLiteral("0 found"), 5000);
    f->cboFindIn->setCurrentIndex(0);
    // Sorted by any column: by frequency, highest first.
    f->txtFind->setText("t");
    QTRY_VERIFY_WITH_TIMEOUT(f->model()->rowCount() >= 4, 5000);
    f->grdFind->sortByColumn(find::FindModel::Frequency, Qt::DescendingOrder);
    for (int r = 1; r < f->model()->rowCount(); ++r)
        QVERIFY(f->model()->row(r - 1)->lowMHz >= f->model()->row(r)->lowMHz);
    // Nothing typed, or nothing a word: nothing found and no message.
    testing::Recorder rec;
    for (const char* q : {"", "\"*-", "NEAR(", "\\\\"}) {
        f->txtFind->setText(q);
        f->runFind();
    }
    QVERIFY(rec.messages.empty());
    // The register is never written, nothing is made beside it.
    QCOMPARE(digest(wd.file("KORVA.mdb")), before);
    QCOMPARE(QDir(wd.path()).entryList(QDir::Files), QStringList{"KORVA.mdb"});
}

void TestFind::choosingAResultShowsItInTheMainWindow()
{
    testing::WorkDir wd;
    findRegister(wd.file("KORVA.mdb"));
    auto w = testing::openWindow();
    w->mnuFind_Click();
    find::FrmFind* f = w->findWindow();
    f->txtFind->setText("rimu");
    f->runFind();
    QCOMPARE(f->model()->rowCount(), 1);
    // Enter in the box chooses the first row.
    QTest::keyClick(f->txtFind, Qt::Key_Return);
    // The window searched around the range with the narrowest width that shows it (100 k).
    QVERIFY(w->Option1[0]->value());
    QCOMPARE(w->frequency().displayWidthMHz, 0.1);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("160.012500"));
    QVERIFY(w->frequency().windowLowMHz <= 160.0 && w->frequency().windowHighMHz >= 160.025);
    // Its bar is pressed as the left button presses it: selected, its district listed and plotted.
    const int bar = w->chart().selectedBarIndex;
    QVERIFY(bar >= 0);
    QCOMPARE(w->chart().recordLowMHz(bar), 160.0);
    QCOMPARE(w->chart().recordDistrictId(bar), 9.0);
    QCOMPARE(w->lblSpectrum->at(bar)->backColorText(), QStringLiteral("#E0E0E0"));
    QCOMPARE(w->chart().rangeCriteria.text(),
             QStringLiteral("spectrumhigh >  160 and spectrumlow <  160.025 and location.districtid =  9"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 6), QStringLiteral("2345"));
    QCOMPARE(int(w->siteMap().lastSiteIndex), 1);
    QCOMPARE(w->inspection().selectedDistrictId, 9.0);
    // A wider range: the narrowest width that holds it (500 k for 455.3 to 455.45).
    f->txtFind->setText("888001");
    f->runFind();
    emit f->grdFind->activated(f->model()->index(0, 0));
    QVERIFY(w->Option1[1]->value());
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("455.375000"));
    QCOMPARE(w->MSHFlexGrid1->textMatrix(1, 6), QStringLiteral("888001"));
}

void TestFind::anAccessRegisterIsFoundAlike()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.02, 20261209, "access"), 0);
    reg::Connection access;
    access.open(reg::connectionString);
    QVERIFY(access.isAccess());
    const auto onAccess = reg::FindIndex::build(access);
    testing::WorkDir wd2;
    QCOMPARE(testing::makeRegister(wd2.file("KORVA.mdb"), 0.02, 20261209), 0);
    reg::Connection sqlite;
    sqlite.open(reg::connectionString);
    const auto onSqlite = reg::FindIndex::build(sqlite);
    QVERIFY(onAccess->size() > 100);
    QCOMPARE(onAccess->size(), onSqlite->size());
    for (const char* q : {"limited", "a", "1", "hill", "wel", "trust radio"}) {
        const reg::FindResult a = onAccess->find(q, FindField::Everything), s = onSqlite->find(q, FindField::Everything);
        QCOMPARE(a.total, s.total);
        QCOMPARE(a.rows.size(), s.rows.size());
        for (size_t i = 0; i < a.rows.size(); ++i) {
            QCOMPARE(a.rows[i].licenceNumber, s.rows[i].licenceNumber);
            QCOMPARE(a.rows[i].location, s.rows[i].location);
            QCOMPARE(a.rows[i].lowMHz, s.rows[i].lowMHz);
        }
    }
}

QTEST_MAIN(TestFind)
#include "test_find.moc"
