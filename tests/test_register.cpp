// The register connection: the connection string, the formats, the schema
// check, the database layer and its typed reads, the statements' texts and
// criteria, the Access import, and that nothing is ever written.

#include "register/access_import.h"
#include "register/connection.h"
#include "register/criteria.h"
#include "register/schema.h"
#include "register/statements.h"
#include "registers.h"
#include "support.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace reg;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The register in the working folder, by its full path as messages name it.
QString registerPath() { return QDir::current().absoluteFilePath(QStringLiteral("KORVA.mdb")); }

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

}  // namespace

class TestRegister : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void connectionStringParts();
    void formatsByFirstBytes();
    void badFilesAreRefusedClearly();
    void databaseAndTypedReads();
    void budgetStopsAStatement();
    void criteriaTexts();
    void statementTexts();
    void nothingIsWritten();
    void aRegisterWithoutIndexesIsIndexedInMemory();
    void accessImportOfARealFile();
    void accessFileThatIsNotARegister();

private:
    QTemporaryDir store_;
    QString sample_;
};

void TestRegister::initTestCase()
{
    sample_ = store_.filePath("KORVA.mdb");
    QCOMPARE(testing::makeRegister(sample_, 0.02), 0);
}

void TestRegister::connectionStringParts()
{
    QCOMPARE(connectionString,
             QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=KORVA.mdb;Mode=Read;"
                            "Persist Security Info=False"));
    const ConnectionInfo info = parseConnectionString(connectionString);
    QCOMPARE(info.dataSource, QStringLiteral("KORVA.mdb"));
    QCOMPARE(info.provider, QStringLiteral("Microsoft.ACE.OLEDB.12.0"));
    QVERIFY(info.readOnly);
    QVERIFY(!parseConnectionString("Data Source=x.mdb;Mode=ReadWrite").readOnly);
    QCOMPARE(parseConnectionString("data source = y.db ; mode=read").dataSource, QStringLiteral("y.db"));
}

void TestRegister::formatsByFirstBytes()
{
    testing::WorkDir wd;
    QCOMPARE(detectFormat(wd.file("none")), FileFormat::Missing);
    QCOMPARE(detectFormat(wd.path()), FileFormat::Directory);
    writeFile(wd.file("empty"), "");
    QCOMPARE(detectFormat(wd.file("empty")), FileFormat::Empty);
    writeFile(wd.file("text"), "hello, this is not a database at all");
    QCOMPARE(detectFormat(wd.file("text")), FileFormat::Unknown);
    QByteArray jet(64, '\0');
    jet.replace(0, 4, QByteArray("\x00\x01\x00\x00", 4));
    jet.replace(4, 15, "Standard Jet DB");
    writeFile(wd.file("jet"), jet);
    QCOMPARE(detectFormat(wd.file("jet")), FileFormat::Access);
    jet.replace(4, 15, "Standard ACE DB");
    writeFile(wd.file("ace"), jet);
    QCOMPARE(detectFormat(wd.file("ace")), FileFormat::Access);
    QCOMPARE(detectFormat(sample_), FileFormat::SQLite);
}

void TestRegister::badFilesAreRefusedClearly()
{
    testing::WorkDir wd;
    QVERIFY(testing::openingMessage().contains("Could not find file"));
    QVERIFY(testing::openingMessage().contains("KORVA.mdb"));

    QDir().mkdir(wd.file("KORVA.mdb"));
    QVERIFY(testing::openingMessage().contains("is a directory"));
    QDir().rmdir(wd.file("KORVA.mdb"));

    writeFile(wd.file("KORVA.mdb"), "");
    QCOMPARE(testing::openingMessage(), registerPath() + QStringLiteral(" is not a register database: the file is empty."));

    writeFile(wd.file("KORVA.mdb"), QByteArray(4096, 'x'));
    QVERIFY(testing::openingMessage().startsWith(registerPath() + " is not a register database"));

    // An SQLite file without one of the tables.
    QFile::remove(wd.file("KORVA.mdb"));
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(wd.file("KORVA.mdb").toUtf8().constData(), &db), SQLITE_OK);
        const QStringList tables = createTableStatements();
        for (int i = 0; i < tables.size() - 1; ++i)
            QCOMPARE(sqlite3_exec(db, tables[i].toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    QCOMPARE(testing::openingMessage(), registerPath() + QStringLiteral(" is not a register database: table mapdistrict is missing"));

    // A table without a column the program reads.
    QFile::remove(wd.file("KORVA.mdb"));
    {
        sqlite3* db = nullptr;
        sqlite3_open(wd.file("KORVA.mdb").toUtf8().constData(), &db);
        for (QString s : createTableStatements()) {
            s.replace("legal_order INTEGER", "legalorder INTEGER");
            sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
    }
    QCOMPARE(testing::openingMessage(),
             registerPath() + QStringLiteral(" is not a register database: column clientname.legal_order is missing"));

    // A truncated register.
    QFile::remove(wd.file("KORVA.mdb"));
    {
        QFile in(sample_);
        QVERIFY(in.open(QIODevice::ReadOnly));
        writeFile(wd.file("KORVA.mdb"), in.read(in.size() / 3));
    }
    QVERIFY2(testing::openingMessage().contains("KORVA.mdb"), qPrintable(testing::openingMessage()));
    QVERIFY(testing::openingMessage().contains("damaged") || testing::openingMessage().contains("malformed"));
}

void TestRegister::databaseAndTypedReads()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    Connection c;
    QCOMPARE(c.state(), int(Connection::adStateClosed));
    QVERIFY_THROWS_EXCEPTION(RegisterError, c.database().prepare("select 1"));
    c.open(connectionString, QString(), QString());
    QCOMPARE(c.state(), int(Connection::adStateOpen));
    QVERIFY(!c.isAccess());
    const Database& db = c.database();

    Statement rs = db.prepare("select officeid, officecode from issuingoffice order by officeid");
    QCOMPARE(rs.columnCount(), 2);
    QCOMPARE(rs.columnIndex("OFFICECODE"), 1);
    QCOMPARE(rs.column("officeId"), 0);
    QVERIFY_THROWS_EXCEPTION(RegisterError, rs.column("nosuchcolumn"));
    QCOMPARE(rs.columnIndex("nosuchcolumn"), -1);
    QVERIFY(rs.next());
    QCOMPARE(rs.text(1), QStringLiteral("WR"));
    QCOMPARE(rs.integer(0), qint64(1));
    int n = 1;
    while (rs.next())
        ++n;
    QCOMPARE(n, 17);
    QVERIFY(!rs.next());  // past the end it stays there
    rs.reset();
    QVERIFY(rs.next());
    QCOMPARE(rs.shownText(1), QStringLiteral("WR"));

    // Nulls read as null, as no number and no code, and show as nothing.
    Statement nulls = db.prepare("select spectrumlabel, managementrightid from spectrum where spectrumtypeid = 8");
    QVERIFY(nulls.next());
    QVERIFY(nulls.isNull(0) && nulls.isNull(1));
    QVERIFY(!nulls.number(1) && !nulls.code(1));
    QCOMPARE(nulls.shownText(1), QString());

    // An empty result.
    QVERIFY(!db.prepare("select * from spectrum where spectrumlow < 0").next());

    // Values as the program reads them, whatever the column holds.
    Statement v = db.prepare("select 157.1125, 42, 157.0, '  12.5 ', 'x12', x'3131', 1e20, 4.6, ' 7 ', 'abc', "
                             "9223372036854775807, 0.1 + 0.2");
    QVERIFY(v.next());
    QCOMPARE(v.shownText(0), QStringLiteral("157.1125"));
    QCOMPARE(v.shownText(1), QStringLiteral("42"));
    QCOMPARE(v.shownText(2), QStringLiteral("157"));  // a whole real shows without its point
    QCOMPARE(v.number(3).value(), 12.5);              // a text that is a number, blanks around it
    QVERIFY(!v.number(4));                            // one that is not
    QCOMPARE(v.number(5).value(), 11.0);              // a blob of digits
    QCOMPARE(v.shownText(5), QStringLiteral("11"));
    QCOMPARE(v.shownText(6), QStringLiteral("1e+20"));
    QCOMPARE(v.code(7).value(), qint64(5));  // a real code rounds
    QCOMPARE(v.code(8).value(), qint64(7));  // a text code, blanks around it
    QCOMPARE(v.code(9).value(), qint64(0));  // a text that is no whole number
    QCOMPARE(v.code(10).value(), std::numeric_limits<qint64>::max());
    QCOMPARE(v.shownText(11), QStringLiteral("0.30000000000000004"));
    // Text from the engine comes back whole: macrons, emoji and markup alike.
    Statement t = db.prepare("select ?1");
    const QString odd = QString::fromUtf8("Taup\xC5\x8D \xF0\x9F\x93\xA1 <b>&amp;</b>");
    t.bind(1, odd);
    QVERIFY(t.next());
    QCOMPARE(t.text(0), odd);

    // An engine failure carries the engine's message.
    try {
        db.prepare("select nonsense from nowhere");
        QFAIL("no error");
    } catch (const RegisterError& e) {
        QVERIFY(e.message().contains("nowhere"));
        QVERIFY(!e.tooLong());
    }
    // The register is read-only.
    QVERIFY_THROWS_EXCEPTION(RegisterError, db.exec("delete from spectrum"));
}

void TestRegister::budgetStopsAStatement()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    Connection c;
    c.open(connectionString);
    int during = 0, after = 0;
    c.setWaitingHooks([&] { ++during; }, [&] { ++after; });
    // A statement that would run for ever is stopped when its budget is spent.
    const QString endless = "with recursive n(i) as (select 1 union all select i + 1 from n) select count(*) from n";
    QElapsedTimer clock;
    clock.start();
    try {
        const Budget outer(&c.database(), 5000);
        const Budget inner(&c.database(), 400);  // the earlier end holds
        c.database().prepare(endless).next();
        QFAIL("the statement was not stopped");
    } catch (const RegisterError& e) {
        QVERIFY(e.tooLong());
        QCOMPARE(e.message(), tooLongMessage());
    }
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(during > 0);  // the window was kept painted while it ran
    QCOMPARE(after, 1);   // and put back once, when the outermost budget ended
    // Without a budget, statements are not stopped; a budget on no database does nothing.
    const Budget none(nullptr, 1);
    QCOMPARE(c.database().integerOf("select count(*) from issuingoffice").value(), qint64(17));
}

void TestRegister::criteriaTexts()
{
    using Edge = reg::Edge;
    QCOMPARE(Criteria().text(), QString());
    QVERIFY(Criteria().isEmpty());
    QCOMPARE(Criteria::searched(0.75, 1.25).text(), QStringLiteral("spectrumhigh >  .75 and SpectrumLow <=  1.25"));
    QCOMPARE(Criteria::searched(-0.3, 0.7).text(), QStringLiteral("spectrumhigh > -.3 and SpectrumLow <=  .7"));
    // A district's listing: the low edge's number sign-spaced, the high edge as its readout shows it.
    const Criteria district = Criteria::listing({0.75, Edge::SignSpaced}, {1.25, Edge::SixDecimal}, true).inDistrict(2);
    QCOMPARE(district.text(),
             QStringLiteral("spectrumhigh >  .75 and spectrumlow < 1.250000 and location.districtid =  2"));
    QCOMPARE(Criteria::listing({0.75, Edge::SignSpaced}, {1.25, Edge::SixDecimal}, false).inDistrict(1).text(),
             QStringLiteral("spectrumlow >=  .75 and spectrumhigh <= 1.250000 and location.districtid =  1"));
    QCOMPARE(Criteria::listing({0, Edge::SignSpaced}, {0.7, Edge::SixDecimal}, true).text(),
             QStringLiteral("spectrumhigh >  0 and spectrumlow < .700000"));
    // A bar's listing: both edges sign-spaced.
    QCOMPARE(Criteria::listing({157.1, Edge::SignSpaced}, {157.1125, Edge::SignSpaced}, true).text(),
             QStringLiteral("spectrumhigh >  157.1 and spectrumlow <  157.1125"));
    // Details by kind.
    using Kind = Criteria::Kind;
    const Criteria exact = Criteria::exact(157.1, 157.1125);
    QCOMPARE(exact.text(), QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125"));
    QCOMPARE(exact.ofKind(Kind::Band).text(),
             QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 1"));
    QCOMPARE(exact.ofKind(Kind::ManagementRight).text(),
             QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 7"));
    QCOMPARE(exact.ofKind(Kind::Planned).text(),
             QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid in (4, 5) and "
                            "spectrumstatusid = 4"));
    QCOMPARE(exact.ofKind(Kind::ItuAllocation, 26).text(),
             QStringLiteral("spectrumlow =  157.1 and spectrumhigh =  157.1125 and spectrumtypeid = 8 and "
                            "serviceid =  26"));
    // Edges the statement cannot write as numbers are still numbers to SQL.
    QCOMPARE(Criteria::exact(std::numeric_limits<double>::infinity(), 1).text(),
             QStringLiteral("spectrumlow =  9e999 and spectrumhigh =  1"));
    // Values compare by what they hold.
    QVERIFY(district == Criteria::listing({0.75, Edge::SignSpaced}, {1.25, Edge::SixDecimal}, true).inDistrict(2));
    QVERIFY(!(district == district.inDistrict(3)));
}

void TestRegister::statementTexts()
{
    // The statements are the register's contract: their texts, to the letter.
    QCOMPARE(searchStatement(0.75, 1.25),
             QStringLiteral("select spectrum.serviceid, spectrum.spectrumstatusid, spectrum.spectrumtypeid, "
                            "spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, count(*)as distnum "
                            "from (spectrum LEFT JOIN transmitconfiguration ON spectrum.licenceid = "
                            "transmitconfiguration.licenceid) LEFT JOIN location ON transmitconfiguration.locationid "
                            "= location.locationid where spectrumhigh >  .75 and SpectrumLow <=  1.25 and spectrumlow "
                            "> 0 and spectrum.spectrumstatusid in (1, 4, 5) group by spectrum.spectrumlow, "
                            "spectrum.spectrumhigh, location.districtid, spectrum.spectrumtypeid, "
                            "spectrum.spectrumstatusid, spectrum.serviceid"));
    QCOMPARE(searchOrderClause(),
             QStringLiteral(" order by spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, "
                            "spectrum.spectrumtypeid, spectrum.spectrumstatusid, spectrum.serviceid"));
    const Criteria exact = Criteria::exact(157.1, 157.1125);
    QCOMPARE(detailStatement(exact.ofKind(Criteria::Kind::Band)),
             QStringLiteral("select * from spectrum where spectrumlow =  157.1 and spectrumhigh =  157.1125 and "
                            "spectrumtypeid = 1 and spectrumlow > 0 order by spectrum.spectrumlow"));
    QCOMPARE(plannedLabelStatement(exact),
             QStringLiteral("select * from spectrum where spectrumlow =  157.1 and spectrumhigh =  157.1125 and "
                            "spectrumlow > 0 and spectrumtypeid = 4 order by spectrum.spectrumlow"));
    const Criteria listing =
        Criteria::listing({157, reg::Edge::SignSpaced}, {158, reg::Edge::SignSpaced}, true).inDistrict(2);
    QCOMPARE(licenceStatement(listing),
             QStringLiteral("select spectrum.spectrumlow, spectrum.spectrumhigh, spectrum.spectrumlabel, "
                            "location.locationname, issuingoffice.officecode, licence.licencenumber, "
                            "licence.managementrightid, clientname.name, licence.licenceid from spectrum, "
                            "transmitconfiguration, location, issuingoffice, licence, clientname where "
                            "spectrum.licenceid = transmitconfiguration.licenceid and transmitconfiguration.locationid "
                            "= location.locationid and location.districtid = issuingoffice.officeid and "
                            "licence.clientid = clientname.clientid and clientname.legal_order = 1 and "
                            "spectrum.licenceid = licence.licenceid and spectrumhigh >  157 and spectrumlow <  158 and "
                            "location.districtid =  2 and spectrumlow > 0 and spectrumtypeid <> 7 and "
                            "spectrum.spectrumstatusid in (1,5) order by spectrum.spectrumlow ASC, "
                            "spectrum.spectrumhigh ASC, location.districtid, licence.licencenumber"));
    QCOMPARE(siteStatement(listing),
             QStringLiteral("select location.locationname, location.locationtypeid, geographicreference.referenceorder, "
                            "geographicreference.georeferencetypeid, geographicreference.easting, "
                            "geographicreference.northing from spectrum, transmitconfiguration, location, "
                            "geographicreference, licence where spectrum.licenceid = transmitconfiguration.licenceid "
                            "and transmitconfiguration.locationid = location.locationid and spectrum.licenceid = "
                            "licence.licenceid and location.locationid = geographicreference.locationid and "
                            "spectrumhigh >  157 and spectrumlow <  158 and location.districtid =  2 and spectrumlow "
                            "> 0 and spectrumtypeid <> 7 and geographicreference.georeferencetypeid = 6 and "
                            "geographicreference.referenceorder = 1 and spectrum.spectrumstatusid in (1,5) ORDER BY "
                            "geographicreference.northing DESC"));
}

void TestRegister::nothingIsWritten()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    QFile::setPermissions(wd.file("KORVA.mdb"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = digest(wd.file("KORVA.mdb"));
    const QStringList filesBefore = QDir(wd.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    // The folder read-only too.
    QFile::setPermissions(wd.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    {
        Connection c;
        c.open(connectionString);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(countSearchGroups(c, 150, 160) > 0);
            bool more = false;
            QVERIFY(!siteRows(c, Criteria::searched(150, 160), 100000, more).empty());
        }
        QCOMPARE(QDir(wd.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), filesBefore);
    }
    QFile::setPermissions(wd.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(digest(wd.file("KORVA.mdb")), before);
    QCOMPARE(QDir(wd.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), filesBefore);
}

void TestRegister::aRegisterWithoutIndexesIsIndexedInMemory()
{
    testing::WorkDir wd;
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        for (int i = 0; i < 300; ++i)
            r.recordAtSites(150 + i * 0.0125, 150.0125 + i * 0.0125, 1, 2, {{"Hill", 2667000, 6482000}});
        r.close(false);
    }
    const QByteArray before = digest(wd.file("KORVA.mdb"));
    {
        Connection c;
        c.open(connectionString);
        QVERIFY(c.isIndexedCopy());
        Statement plan = c.database().prepare("EXPLAIN QUERY PLAN " + detailStatement(Criteria::exact(151, 151.0125)));
        QString steps;
        while (plan.next())
            steps += plan.text(plan.column("detail")) + "\n";
        QVERIFY2(steps.contains("USING INDEX") || steps.contains("USING COVERING INDEX"), qPrintable(steps));
        QCOMPARE(c.database().integerOf("select count(*) from spectrum").value(), qint64(300));
    }
    QCOMPARE(digest(wd.file("KORVA.mdb")), before);
    QCOMPARE(QDir(wd.path()).entryList(QDir::Files), QStringList{"KORVA.mdb"});
    // The sample register has its indexes and is read in place.
    testing::WorkDir wd2;
    QVERIFY(QFile::copy(sample_, wd2.file("KORVA.mdb")));
    Connection c;
    c.open(connectionString);
    QVERIFY(!c.isIndexedCopy());
}

void TestRegister::accessImportOfARealFile()
{
    const QString path = testing::sharedTestData("DateTestDatabase.mdb");
    if (!QFile::exists(path))
        QSKIP("DateTestDatabase.mdb is not beside this checkout (shared/testdata); the Access import test needs it");
    const QByteArray before = digest(path);
    QCOMPARE(accessCatalogue(path).size(), size_t(1));
    QCOMPARE(accessCatalogue(path).front().name, QStringLiteral("DateTest"));
    Database db = Database::openMemory();
    std::vector<ImportProgress> reports;
    importAccess(path, db, {}, [&](const ImportProgress& p) { reports.push_back(p); });
    QVERIFY(!reports.empty());
    QCOMPARE(reports.back().table, QStringLiteral("DateTest"));
    QCOMPARE(reports.back().rowsRead, qint64(6));
    QCOMPARE(reports.back().rowsTotal, qint64(6));
    {
        Statement q = db.prepare("select IDCol, LongTextCol, ShortTextCol from DateTest order by IDCol");
        QVERIFY(q.next());
        QCOMPARE(q.integer(0), qint64(1));
        QCOMPARE(q.text(1), QStringLiteral("Hello"));
        QVERIFY(q.next());
        QCOMPARE(q.text(2), QStringLiteral("Year 1999"));
        // Dates keep their years, before 1900 and up to 9999 alike.
        Statement dates = db.prepare("select DateTimeCol, DateCol, TimeCol from DateTest order by IDCol");
        QStringList got;
        while (dates.next())
            got << dates.text(0) + " | " + dates.text(1) + " | " + dates.text(2);
        QCOMPARE(got, (QStringList{"2021-12-02 00:00:00 | 2021-12-02 00:00:00 | 2021-12-02 00:00:00",
                                   "9999-01-01 00:00:00 | 9999-01-01 00:00:00 | 9999-01-01 00:00:00",
                                   "1898-01-01 00:00:00 | 1899-01-01 00:00:00 | 1900-01-01 00:00:00",
                                   "0632-01-01 00:00:00 | 0633-01-01 00:00:00 | 0634-01-01 00:00:00",
                                   "2021-12-02 00:00:00 | 2021-12-02 00:00:00 | 2021-12-02 00:00:00",
                                   "2021-12-02 00:00:00 | 2021-12-02 00:00:00 | 2021-12-02 00:00:00"}));
        Statement six = db.prepare("select LongTextCol from DateTest where IDCol = 6");
        QVERIFY(six.next());
        QCOMPARE(six.text(0), QStringLiteral("New line\r\nin field"));
        Statement info = db.prepare("PRAGMA table_info(DateTest)");
        QStringList cols;
        while (info.next())
            cols << info.text(1);
        QCOMPARE(cols, (QStringList{"IDCol", "DateTimeCol", "DateCol", "TimeCol", "LongTextCol", "ShortTextCol"}));
        // The copy is read-only.
        QVERIFY_THROWS_EXCEPTION(RegisterError, db.exec("delete from DateTest"));
    }
    QCOMPARE(digest(path), before);
}

void TestRegister::accessFileThatIsNotARegister()
{
    const QString path = testing::sharedTestData("DateTestDatabase.mdb");
    if (!QFile::exists(path))
        QSKIP("DateTestDatabase.mdb is not beside this checkout (shared/testdata)");
    testing::WorkDir wd;
    QVERIFY(QFile::copy(path, wd.file("KORVA.mdb")));
    QCOMPARE(testing::openingMessage(), registerPath() + QStringLiteral(" is not a register database: table spectrum is missing"));
}

QTEST_MAIN(TestRegister)
#include "test_register.moc"
