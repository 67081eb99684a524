#pragma once
// A tiny register built record by record, for tests that need exact content.

#include "register/schema.h"

#include <sqlite3.h>

#include <QString>
#include <vector>
#include <QtTest>

namespace testing {

class TinyRegister {
public:
    explicit TinyRegister(const QString& path)
    {
        QFile::remove(path);
        if (sqlite3_open(path.toUtf8().constData(), &db_) != SQLITE_OK)
            qFatal("cannot create %s", qPrintable(path));
        exec("PRAGMA journal_mode=OFF");
        exec("BEGIN");
        for (const QString& s : reg::createTableStatements())
            exec(s);
        static const char* codes[] = {"WR", "AK", "HN", "TG", "RO", "NU", "NA", "PM", "WN",
                                      "NN", "CH", "DN", "IN", "HO", "CHM", "OS", "NZ"};
        for (int i = 0; i < 17; ++i)
            exec(QStringLiteral("INSERT INTO issuingoffice VALUES (%1, '%2', NULL)").arg(i + 1).arg(codes[i]));
        exec("INSERT INTO mapdistrict VALUES ('R11', 'Auckland')");
        exec("INSERT INTO mapdistrict VALUES ('O12', 'Taranaki')");
    }
    ~TinyRegister() { close(); }

    // Ends the register; without `indexes` it has none beyond its keys.
    void close(bool indexes = true)
    {
        if (!db_)
            return;
        if (indexes)
            for (const QString& s : reg::createIndexStatements())
                exec(s);
        exec("COMMIT");
        sqlite3_close(db_);
        db_ = nullptr;
    }

    void exec(const QString& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK)
            qFatal("%s: %s", err, qPrintable(sql));
    }

    static QString text(const QString& t) { return t.isNull() ? QStringLiteral("NULL") : "'" + QString(t).replace("'", "''") + "'"; }

    // A spectrum record; with district > 0 it gets a licence with `sites`
    // transmit configurations at locations of that district.
    qint64 record(double low, double high, int type, int status, int service, int district = 0, int sites = 1,
                  const QString& label = QString(), const QString& remarks = QString(), qint64 mr = 0)
    {
        qint64 licence = 0;
        if (district > 0 || type == 4 || type == 5) {
            licence = ++licences_;
            exec(QStringLiteral("INSERT INTO licence VALUES (%1, %2, %3, %4)")
                     .arg(licence)
                     .arg(100000 + licence)
                     .arg(mr ? QString::number(mr) : QStringLiteral("NULL"))
                     .arg(client(QStringLiteral("Licensee %1 Limited").arg(licence))));
            for (int s = 0; s < (district > 0 ? sites : 0); ++s) {
                const qint64 loc = location(district, QStringLiteral("Site %1").arg(locations_ + 1), 2600000 + 1000 * locations_,
                                            6000000 + 500 * locations_);
                exec(QStringLiteral("INSERT INTO transmitconfiguration VALUES (%1, %2, %3)").arg(++configs_).arg(licence).arg(loc));
            }
        }
        exec(QStringLiteral("INSERT INTO spectrum VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10)")
                 .arg(++records_)
                 .arg(licence ? QString::number(licence) : QStringLiteral("NULL"))
                 .arg(low, 0, 'g', 17)
                 .arg(high, 0, 'g', 17)
                 .arg(type)
                 .arg(status)
                 .arg(service)
                 .arg(text(label))
                 .arg(text(remarks))
                 .arg(mr ? QString::number(mr) : QStringLiteral("NULL")));
        return records_;
    }

    struct SiteAt {
        QString name;
        double easting, northing;
    };
    // A licensed record transmitted from the given sites (all in one district).
    qint64 recordAtSites(double low, double high, int status, int district, const std::vector<SiteAt>& sites,
                         const QString& licensee = QString(), qint64 licenceNumber = 0, qint64 mr = 0)
    {
        const qint64 licence = ++licences_;
        exec(QStringLiteral("INSERT INTO licence VALUES (%1, %2, %3, %4)")
                 .arg(licence)
                 .arg(licenceNumber ? licenceNumber : 100000 + licence)
                 .arg(mr ? QString::number(mr) : QStringLiteral("NULL"))
                 .arg(client(licensee.isEmpty() ? QStringLiteral("Licensee %1 Limited").arg(licence) : licensee)));
        for (const SiteAt& s : sites) {
            const qint64 loc = location(district, s.name, s.easting, s.northing);
            exec(QStringLiteral("INSERT INTO transmitconfiguration VALUES (%1, %2, %3)").arg(++configs_).arg(licence).arg(loc));
        }
        exec(QStringLiteral("INSERT INTO spectrum VALUES (%1, %2, %3, %4, 5, %5, 25, NULL, NULL, NULL)")
                 .arg(++records_)
                 .arg(licence)
                 .arg(low, 0, 'g', 17)
                 .arg(high, 0, 'g', 17)
                 .arg(status));
        return records_;
    }

    qint64 location(int district, const QString& name, double easting, double northing)
    {
        const qint64 id = ++locations_;
        exec(QStringLiteral("INSERT INTO location VALUES (%1, %2, %3, 1)").arg(id).arg(district).arg(text(name)));
        exec(QStringLiteral("INSERT INTO geographicreference VALUES (%1, %2, 6, 1, %3, %4)")
                 .arg(id)
                 .arg(id)
                 .arg(easting, 0, 'f', 0)
                 .arg(northing, 0, 'f', 0));
        return id;
    }

    // Makes reading `column` of `table` fail where `condition` holds (the
    // engine's integer overflow), as a damaged register's rows would: the
    // table becomes a view over the stored rows.
    static void failWhenRead(const QString& path, const QString& table, const QString& column, const QString& condition)
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        QStringList columns;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, ("PRAGMA table_info(" + table + ")").toUtf8().constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const QString c = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
            columns << (c == column ? QStringLiteral("case when %1 then abs(-9223372036854775807 - 1) else %2 end as %2")
                                          .arg(condition, c)
                                    : c);
        }
        sqlite3_finalize(st);
        const QString sql = QStringLiteral("ALTER TABLE %1 RENAME TO %1_stored; CREATE VIEW %1 AS SELECT %2 FROM %1_stored")
                                .arg(table, columns.join(", "));
        char* err = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK)
            qFatal("%s", err);
        sqlite3_close(db);
    }

    static void dropTable(const QString& path, const QString& table)
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, ("DROP TABLE " + table).toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    qint64 client(const QString& name)
    {
        const qint64 id = ++clients_;
        exec(QStringLiteral("INSERT INTO clientname VALUES (%1, %2, %3, 1)").arg(id).arg(id).arg(text(name)));
        return id;
    }

private:
    sqlite3* db_ = nullptr;
    qint64 records_ = 0, licences_ = 0, locations_ = 0, configs_ = 0, clients_ = 0;
};

}  // namespace testing
