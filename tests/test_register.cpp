// The register connection: the connection string, the formats, the schema
// check, the record set, the Access import, and that nothing is ever written.

#include "register/access_import.h"
#include "register/connection.h"
#include "register/schema.h"
#include "registers.h"
#include "support.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QtTest>

using namespace reg;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString openError()
{
    try {
        Connection c;
        c.open(connectionString);
    } catch (const RegisterError& e) {
        return e.message();
    }
    return QString();
}

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
    void queriesAndRecordSet();
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
    QVERIFY(openError().contains("Could not find file"));
    QVERIFY(openError().contains("KORVA.mdb"));

    QDir().mkdir(wd.file("KORVA.mdb"));
    QVERIFY(openError().contains("is a directory"));
    QDir().rmdir(wd.file("KORVA.mdb"));

    writeFile(wd.file("KORVA.mdb"), "");
    QCOMPARE(openError(), QStringLiteral("KORVA.mdb is not a register database: the file is empty."));

    writeFile(wd.file("KORVA.mdb"), QByteArray(4096, 'x'));
    QVERIFY(openError().startsWith("KORVA.mdb is not a register database"));

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
    QCOMPARE(openError(), QStringLiteral("KORVA.mdb is not a register database: table mapdistrict is missing"));

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
    QCOMPARE(openError(),
             QStringLiteral("KORVA.mdb is not a register database: column clientname.legal_order is missing"));

    // A truncated register.
    QFile::remove(wd.file("KORVA.mdb"));
    {
        QFile in(sample_);
        QVERIFY(in.open(QIODevice::ReadOnly));
        writeFile(wd.file("KORVA.mdb"), in.read(in.size() / 3));
    }
    QVERIFY2(openError().contains("KORVA.mdb"), qPrintable(openError()));
    QVERIFY(openError().contains("damaged") || openError().contains("malformed"));
}

void TestRegister::queriesAndRecordSet()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(sample_, wd.file("KORVA.mdb")));
    Connection c;
    QCOMPARE(c.state(), int(Connection::adStateClosed));
    QVERIFY_THROWS_EXCEPTION(RegisterError, c.execute("select 1"));
    c.open(connectionString, QString(), QString());
    QCOMPARE(c.state(), int(Connection::adStateOpen));
    QVERIFY(!c.isAccess());

    Recordset rs = c.execute("select officeid, officecode from issuingoffice order by officeid");
    QVERIFY(!rs.eof());
    QCOMPARE(rs.value("OFFICECODE").toString(), QStringLiteral("WR"));
    QCOMPARE(rs.value("officeId").toInt(), 1);
    int n = 0;
    while (!rs.eof()) {
        ++n;
        rs.moveNext();
    }
    QCOMPARE(n, 17);
    QVERIFY_THROWS_EXCEPTION(RegisterError, rs.value("officecode"));
    rs.moveFirst();
    QCOMPARE(rs.value(1).toString(), QStringLiteral("WR"));
    QVERIFY_THROWS_EXCEPTION(RegisterError, rs.value("nosuchcolumn"));
    rs.close();
    QVERIFY(rs.eof());

    // Nulls read as null.
    Recordset nulls = c.execute("select spectrumlabel, managementrightid from spectrum where spectrumtypeid = 8");
    QVERIFY(!nulls.eof());
    QVERIFY(nulls.isNull("spectrumlabel"));
    QVERIFY(nulls.value("managementrightid").isNull());

    // An empty result.
    Recordset none = c.execute("select * from spectrum where spectrumlow < 0");
    QVERIFY(none.eof());

    // Rows are fetched only as far as they are walked.
    Recordset many = c.execute("select spectrumlow from spectrum");
    for (int i = 0; i < 10; ++i)
        many.moveNext();
    QVERIFY(!many.eof());
    QCOMPARE(many.fetchedRows(), 11);

    // An engine failure carries the engine's message.
    try {
        c.execute("select nonsense from nowhere");
        QFAIL("no error");
    } catch (const RegisterError& e) {
        QVERIFY(e.message().contains("nowhere"));
    }
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
            Recordset rs = c.execute(
                "select spectrum.serviceid, location.districtid, count(*)as distnum from (spectrum LEFT JOIN "
                "transmitconfiguration ON spectrum.licenceid = transmitconfiguration.licenceid) LEFT JOIN location ON "
                "transmitconfiguration.locationid = location.locationid where spectrumhigh >  150 and SpectrumLow <=  "
                "160 group by spectrum.serviceid, location.districtid");
            rs.fetchAll();
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
        Recordset plan = c.execute("EXPLAIN QUERY PLAN select * from spectrum where spectrumlow =  151 and "
                                   "spectrumhigh =  151.0125");
        QString steps;
        while (!plan.eof()) {
            steps += plan.value("detail").toString() + "\n";
            plan.moveNext();
        }
        QVERIFY2(steps.contains("USING INDEX") || steps.contains("USING COVERING INDEX"), qPrintable(steps));
        Recordset rs = c.execute("select count(*) from spectrum");
        QCOMPARE(rs.value(0).toInt(), 300);
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
    QCOMPARE(accessTableNames(path), QStringList{"DateTest"});
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "access-test");
    db.setDatabaseName(":memory:");
    QVERIFY(db.open());
    sqlite3* handle = *static_cast<sqlite3* const*>(db.driver()->handle().data());
    std::vector<ImportProgress> reports;
    importAccess(path, handle, {}, [&](const ImportProgress& p) { reports.push_back(p); });
    QVERIFY(!reports.empty());
    QCOMPARE(reports.back().table, QStringLiteral("DateTest"));
    QCOMPARE(reports.back().rowsRead, qint64(6));
    QCOMPARE(reports.back().rowsTotal, qint64(6));
    {
        QSqlQuery q(db);
        QVERIFY(q.exec("select IDCol, LongTextCol, ShortTextCol from DateTest order by IDCol"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), QStringLiteral("Hello"));
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toString(), QStringLiteral("Year 1999"));
        QVERIFY(q.exec("select LongTextCol from DateTest where IDCol = 6"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("New line\r\nin field"));
        QVERIFY(q.exec("PRAGMA table_info(DateTest)"));
        QStringList cols;
        while (q.next())
            cols << q.value(1).toString();
        QCOMPARE(cols, (QStringList{"IDCol", "DateTimeCol", "DateCol", "TimeCol", "LongTextCol", "ShortTextCol"}));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("access-test");
    QCOMPARE(digest(path), before);
}

void TestRegister::accessFileThatIsNotARegister()
{
    const QString path = testing::sharedTestData("DateTestDatabase.mdb");
    if (!QFile::exists(path))
        QSKIP("DateTestDatabase.mdb is not beside this checkout (shared/testdata)");
    testing::WorkDir wd;
    QVERIFY(QFile::copy(path, wd.file("KORVA.mdb")));
    QCOMPARE(openError(), QStringLiteral("KORVA.mdb is not a register database: table spectrum is missing"));
}

QTEST_MAIN(TestRegister)
#include "test_register.moc"
