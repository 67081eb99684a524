// The sample register generator: code values, keys that join, determinism,
// and the program's statements running on its output.

#include "register/connection.h"
#include "support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace reg;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

qint64 scalar(Connection& c, const QString& sql) { return c.database().integerOf(sql).value_or(-1); }

// Counts the rows of a statement run to its end.
int rowsOf(Connection& c, const QString& sql)
{
    Statement st = c.database().prepare(sql);
    int n = 0;
    while (st.next())
        ++n;
    return n;
}

QSet<int> values(Connection& c, const QString& sql)
{
    QSet<int> s;
    Statement st = c.database().prepare(sql);
    while (st.next())
        s.insert(int(st.integer(0)));
    return s;
}

}  // namespace

class TestMakeRegister : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void codeValuesOccur();
    void keysJoin();
    void sitesLieOnTheMap();
    void sameSeedSameFile();
    void statementsRunOnIt();
    void badArguments();

private:
    testing::WorkDir wd_;
    Connection c_;
};

void TestMakeRegister::initTestCase()
{
    QCOMPARE(testing::makeRegister(wd_.file("KORVA.mdb"), 0.1), 0);
    c_.open(connectionString);
}

void TestMakeRegister::codeValuesOccur()
{
    const QSet<int> types = values(c_, "select distinct spectrumtypeid from spectrum");
    for (int t : {1, 4, 5, 7, 8})
        QVERIFY2(types.contains(t), qPrintable(QString::number(t)));
    const QSet<int> statuses = values(c_, "select distinct spectrumstatusid from spectrum");
    for (int s : {1, 4, 5})
        QVERIFY(statuses.contains(s));
    QVERIFY(statuses.size() > 3);  // some other status, never shown
    const QSet<int> services = values(c_, "select distinct serviceid from spectrum where spectrumtypeid = 8");
    for (int s : {17, 18, 19, 25, 26, 27, 28, 29, 30})
        QVERIFY2(services.contains(s), qPrintable(QString::number(s)));
    QVERIFY(!(services - QSet<int>{17, 18, 19, 25, 26, 27, 28, 29, 30}).isEmpty());
    const QSet<int> districts = values(c_, "select distinct districtid from location");
    for (int d = 1; d <= 17; ++d)
        QVERIFY2(districts.contains(d), qPrintable(QString::number(d)));
    QVERIFY(scalar(c_, "select count(*) from geographicreference where georeferencetypeid = 6 and referenceorder = 1") > 0);
    QVERIFY(scalar(c_, "select count(*) from geographicreference where georeferencetypeid <> 6 or referenceorder <> 1") > 0);
    QVERIFY(scalar(c_, "select count(*) from clientname where legal_order = 1") > 0);
    QVERIFY(scalar(c_, "select count(*) from clientname where legal_order <> 1") > 0);
    // Planned channels with labels, in several rasters.
    QVERIFY(scalar(c_, "select count(*) from spectrum where spectrumstatusid = 4 and spectrumlabel = 'CH 16'") > 0);
    const QSet<int> rasters = values(c_, "select distinct cast(round((spectrumhigh - spectrumlow) * 1000000) as integer) "
                                         "from spectrum where spectrumstatusid = 4");
    for (int hz : {6250, 12500, 25000})
        QVERIFY(rasters.contains(hz));
    // ITU allocations carry their service text: primary in capitals, secondary in mixed case.
    QVERIFY(scalar(c_, "select count(*) from spectrum where spectrumtypeid = 8 and SpectrumRemarks = 'BROADCASTING'") > 0);
    QVERIFY(scalar(c_, "select count(*) from spectrum where spectrumtypeid = 8 and SpectrumRemarks = 'Amateur'") > 0);
    // The untidy rows of real data.
    QVERIFY(scalar(c_, "select count(*) from spectrum s where s.licenceid is not null and not exists "
                       "(select 1 from transmitconfiguration t where t.licenceid = s.licenceid)") > 0);
    QVERIFY(scalar(c_, "select count(*) from location l where not exists (select 1 from geographicreference g "
                       "where g.locationid = l.locationid and g.georeferencetypeid = 6)") > 0);
    // Sheets named as NZMS260 sheets, a letter and two digits.
    Statement rs = c_.database().prepare("select map, district from mapdistrict");
    int sheets = 0;
    const QRegularExpression sheet("^[A-Z][0-9]{2}$");
    while (rs.next()) {
        QVERIFY(sheet.match(rs.text(0)).hasMatch());
        QVERIFY(!rs.text(1).isEmpty());
        ++sheets;
    }
    QVERIFY(sheets > 100);
    QCOMPARE(scalar(c_, "select count(*) from mapdistrict where map = 'R11'"), qint64(1));
}

void TestMakeRegister::keysJoin()
{
    QCOMPARE(scalar(c_, "select count(*) from transmitconfiguration t left join licence l on l.licenceid = t.licenceid "
                        "where l.licenceid is null"), qint64(0));
    QCOMPARE(scalar(c_, "select count(*) from transmitconfiguration t left join location l on "
                        "l.locationid = t.locationid where l.locationid is null"), qint64(0));
    QCOMPARE(scalar(c_, "select count(*) from spectrum s left join licence l on l.licenceid = s.licenceid "
                        "where s.licenceid is not null and l.licenceid is null"), qint64(0));
    QCOMPARE(scalar(c_, "select count(*) from licence l left join clientname c on c.clientid = l.clientid and "
                        "c.legal_order = 1 where c.clientid is null"), qint64(0));
    QCOMPARE(scalar(c_, "select count(*) from location l left join issuingoffice o on o.officeid = l.districtid "
                        "where o.officeid is null"), qint64(0));
    // Licences of types 4 and 5 are licensed records with a licence; the others have none.
    QCOMPARE(scalar(c_, "select count(*) from spectrum where spectrumtypeid in (1, 7, 8) and licenceid is not null"),
             qint64(0));
}

void TestMakeRegister::sitesLieOnTheMap()
{
    QCOMPARE(scalar(c_, "select count(*) from geographicreference where georeferencetypeid = 6 and (easting < 1841923 "
                        "or easting > 3168923 or northing < 5144805 or northing > 6941805)"), qint64(0));
}

void TestMakeRegister::sameSeedSameFile()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("a.mdb"), 0.02, 7), 0);
    QCOMPARE(testing::makeRegister(wd.file("b.mdb"), 0.02, 7), 0);
    QCOMPARE(testing::makeRegister(wd.file("c.mdb"), 0.02, 8), 0);
    QCOMPARE(digest(wd.file("a.mdb")), digest(wd.file("b.mdb")));
    QVERIFY(digest(wd.file("a.mdb")) != digest(wd.file("c.mdb")));
    QVERIFY(!QFile::exists(wd.file("a.mdb.part")));
}

void TestMakeRegister::statementsRunOnIt()
{
    // The search statement over the VHF land-mobile window 157.0 to 157.5 MHz.
    const QString search =
        "select spectrum.serviceid, spectrum.spectrumstatusid, spectrum.spectrumtypeid, spectrum.spectrumlow, "
        "spectrum.spectrumhigh, location.districtid, count(*)as distnum from (spectrum LEFT JOIN transmitconfiguration "
        "ON spectrum.licenceid = transmitconfiguration.licenceid) LEFT JOIN location ON transmitconfiguration.locationid "
        "= location.locationid where spectrumhigh >  157 and SpectrumLow <=  157.5 and spectrumlow > 0 and "
        "spectrum.spectrumstatusid in (1, 4, 5) group by spectrum.spectrumlow, spectrum.spectrumhigh, "
        "location.districtid, spectrum.spectrumtypeid, spectrum.spectrumstatusid, spectrum.serviceid";
    QVERIFY(rowsOf(c_, search) >= 20);
    Statement rs = c_.database().prepare(search);
    QVERIFY(rs.next());
    QVERIFY(rs.integer(rs.column("distnum")) >= 1);

    const QString criteria = "spectrumhigh >  148 and spectrumlow < 174";
    const QString grid =
        "select spectrum.spectrumlow, spectrum.spectrumhigh, spectrum.spectrumlabel, location.locationname, "
        "issuingoffice.officecode, licence.licencenumber, licence.managementrightid, clientname.name, "
        "licence.licenceid from spectrum, transmitconfiguration, location, issuingoffice, licence, clientname where "
        "spectrum.licenceid = transmitconfiguration.licenceid and transmitconfiguration.locationid = "
        "location.locationid and location.districtid = issuingoffice.officeid and licence.clientid = "
        "clientname.clientid and clientname.legal_order = 1 and spectrum.licenceid = licence.licenceid and " +
        criteria +
        " and spectrumlow > 0 and spectrumtypeid <> 7 and spectrum.spectrumstatusid in (1,5) order by "
        "spectrum.spectrumlow ASC, spectrum.spectrumhigh ASC, location.districtid, licence.licencenumber";
    QVERIFY(rowsOf(c_, grid) > 0);

    const QString sites =
        "select location.locationname, location.locationtypeid, geographicreference.referenceorder, "
        "geographicreference.georeferencetypeid, geographicreference.easting, geographicreference.northing from "
        "spectrum, transmitconfiguration, location, geographicreference, licence where spectrum.licenceid = "
        "transmitconfiguration.licenceid and transmitconfiguration.locationid = location.locationid and "
        "spectrum.licenceid = licence.licenceid and location.locationid = geographicreference.locationid and " +
        criteria +
        " and spectrumlow > 0 and spectrumtypeid <> 7 and geographicreference.georeferencetypeid = 6 and "
        "geographicreference.referenceorder = 1 and spectrum.spectrumstatusid in (1,5) ORDER BY "
        "geographicreference.northing DESC";
    QVERIFY(rowsOf(c_, sites) > 0);
}

void TestMakeRegister::badArguments()
{
    QProcess p;
    p.start(QStringLiteral(ORVANE_MAKE_REGISTER), {"--scale", "0"});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 2);
    p.start(QStringLiteral(ORVANE_MAKE_REGISTER), {"--bogus"});
    QVERIFY(p.waitForFinished());
    QCOMPARE(p.exitCode(), 2);
}

QTEST_MAIN(TestMakeRegister)
#include "test_make_register.moc"
