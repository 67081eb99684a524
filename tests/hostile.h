#pragma once
// Registers made unusual or hostile for the tests: a generated register with
// statements of the test's own applied, and the helpers the tests drive the
// window with.

#include "support.h"
#include "window.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QtTest>

namespace testing {

// Runs statements on a register file (the engine's own, unhardened).
inline void sql(const QString& path, const QString& statements)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &err);
    const QString message = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

// A small generated register with `extra` statements applied.
inline void hostileRegister(const QString& path, const QString& extra)
{
    QCOMPARE(makeRegister(path, 0.02), 0);
    sql(path, extra);
}

// The bar of a record, by its low edge (-1 when not shown).
inline int barAt(shell::FrmSpectrum& w, double low)
{
    for (int i = 0; i <= w.chart().lastRecordIndex; ++i)
        if (w.chart().recordLowMHz(i) == low)
            return i;
    return -1;
}

// Runs an action as the window's event; its time in milliseconds.
template <class F>
inline qint64 timed(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.elapsed();
}

// A licence record at 0.95 MHz in district 2 (WR is 1, AK 2), with the
// statements that give it its sites.
inline QString licenceAt095(int sites, const QString& clientName = QStringLiteral("'Kōwhai Radio Limited'"))
{
    return QStringLiteral(
               "INSERT INTO clientname (clientnameid, clientid, name, legal_order) VALUES (900001, 900001, %2, 1);"
               "INSERT INTO licence (licenceid, licencenumber, managementrightid, clientid) VALUES (900001, 777777, "
               "NULL, 900001);"
               "INSERT INTO spectrum (spectrumid, licenceid, spectrumlow, spectrumhigh, spectrumtypeid, "
               "spectrumstatusid, serviceid) VALUES (900001, 900001, 0.95, 0.96, 5, 1, 25);"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO location (locationid, districtid, locationname, locationtypeid) "
               "SELECT 1000000 + i, 2, 'Site ' || i, 1 FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO geographicreference (geographicreferenceid, locationid, georeferencetypeid, "
               "referenceorder, easting, northing) SELECT 1000000 + i, 1000000 + i, 6, 1, 2600000 + (i % 200) * "
               "500, 6400000 + (i / 200) * 500 FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO transmitconfiguration (transmitconfigurationid, licenceid, locationid) "
               "SELECT 5000000 + i, 900001, 1000000 + i FROM n;")
        .arg(sites)
        .arg(clientName);
}

}  // namespace testing
