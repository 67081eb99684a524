// The Access path. The generator's Jet 4 files are read back by two readers
// that are not ours (mdbtools and the npm package mdb-reader) and must equal
// the SQLite register value by value; the import brings every value across
// exactly; a damaged file is refused with a message; and the program on a
// national-size Access register shows what it shows on the same register in
// SQLite.

#include "jet4_writer.h"
#include "register/access_import.h"
#include "register/access_internal.h"
#include "register/connection.h"
#include "register/jet_text.h"
#include "register/schema.h"
#include "base/numbers.h"
#include "support.h"
#include "window.h"
#include "shell/frmsplash.h"
#include "shell/start.h"

#include <sqlite3.h>

#include <QJsonArray>
#include <csignal>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <map>

using namespace reg;

namespace {

struct Table {
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;
};
using Tables = std::map<QString, Table>;

// Every table of an SQLite file, rows in their order, values as stored.
Tables readSqlite(const QString& path)
{
    Tables out;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'", -1,
                       &list, nullptr);
    QStringList names;
    while (sqlite3_step(list) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const QString& name : names) {
        Table& t = out[name];
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, ("SELECT * FROM \"" + name + "\" ORDER BY rowid").toUtf8().constData(), -1, &st,
                           nullptr);
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            t.columns << QString::fromUtf8(sqlite3_column_name(st, c));
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::vector<QVariant> row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_NULL: row.emplace_back(); break;
                case SQLITE_INTEGER: row.emplace_back(qlonglong(sqlite3_column_int64(st, c))); break;
                case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(st, c)); break;
                default:
                    row.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                                       sqlite3_column_bytes(st, c)));
                }
            }
            t.rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A value as mdb-export prints it: doubles with 16 significant digits, a
// NULL (and an empty text) as nothing.
QString exportText(const QVariant& v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return QString::asprintf("%.16g", v.toDouble());
    return v.toString();
}

// The fields of mdb-export's CSV: quoted fields may hold commas, doubled
// quotes and line breaks.
std::vector<QStringList> parseCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\n') {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

QString run(const QString& program, const QStringList& args)
{
    return testing::runTool(program, args).value_or(QString());
}

// mdbtools reads the Access file back equal to the SQLite one.
void compareWithMdbtools(const QString& access, const Tables& expected)
{
    QCOMPARE(run("mdb-ver", {access}).trimmed(), QStringLiteral("JET4"));
    const QStringList tables = run("mdb-tables", {"-1", access}).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(tables.size(), qsizetype(expected.size()));
    for (const auto& [name, table] : expected) {
        QVERIFY2(tables.contains(name), qPrintable(name));
        QCOMPARE(run("mdb-count", {access, name}).trimmed().toLongLong(), qint64(table.rows.size()));
        const std::vector<QStringList> csv = parseCsv(run("mdb-export", {access, name}));
        QCOMPARE(csv.size(), table.rows.size() + 1);
        QCOMPARE(csv[0], table.columns);
        for (size_t r = 0; r < table.rows.size(); ++r)
            for (size_t c = 0; c < size_t(table.columns.size()); ++c)
                if (csv[r + 1].value(qsizetype(c)) != exportText(table.rows[r][c]))
                    QFAIL(qPrintable(QStringLiteral("%1 row %2 column %3: mdb-export says '%4', SQLite '%5'")
                                         .arg(name)
                                         .arg(r)
                                         .arg(table.columns[qsizetype(c)], csv[r + 1].value(qsizetype(c)).left(80),
                                              exportText(table.rows[r][c]).left(80))));
    }
}

bool sameValue(const QJsonValue& j, const QVariant& v)
{
    if (v.isNull())
        return j.isNull();
    if (v.typeId() == QMetaType::QString)
        return j.isString() && j.toString() == v.toString();
    if (v.typeId() == QMetaType::Double)
        return j.isDouble() && sameBits(j.toDouble(), v.toDouble());
    return j.isDouble() && j.toDouble() == double(v.toLongLong());
}

QString nodeDir() { return QStringLiteral(ORVANE_NODE_DIR); }

// mdb-reader, through Node, reads the Access file back equal to the SQLite
// one: NULLs apart from empty texts, doubles bit for bit.
void compareWithMdbReader(const QString& access, const Tables& expected)
{
    if (!QFile::exists(nodeDir() + "/node_modules/mdb-reader/package.json"))
        QFAIL("mdb-reader is not installed beside the tests: make test installs it (npm ci in the build's node folder)");
    const std::optional<QString> dump = testing::runTool("node", {nodeDir() + "/dump-access.mjs", access});
    QVERIFY2(dump, "mdb-reader could not read the file");
    const QString& out = *dump;
    size_t seen = 0;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        const QString name = o["table"].toString();
        const auto it = expected.find(name);
        QVERIFY2(it != expected.end(), qPrintable(name));
        const Table& table = it->second;
        QStringList columns;
        for (const QJsonValue& c : o["columns"].toArray())
            columns << c.toString();
        QCOMPARE(columns, table.columns);
        const QJsonArray rows = o["rows"].toArray();
        QCOMPARE(size_t(rows.size()), table.rows.size());
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const QJsonArray row = rows[qsizetype(r)].toArray();
            for (size_t c = 0; c < size_t(table.columns.size()); ++c)
                if (!sameValue(row[qsizetype(c)], table.rows[r][c]))
                    QFAIL(qPrintable(QStringLiteral("%1 row %2 column %3: mdb-reader says %4, SQLite '%5'")
                                         .arg(name)
                                         .arg(r)
                                         .arg(table.columns[qsizetype(c)],
                                              QString::fromUtf8(QJsonDocument(QJsonArray{row[qsizetype(c)]}).toJson(
                                                  QJsonDocument::Compact)).left(80),
                                              table.rows[r][c].toString().left(80))));
        }
        ++seen;
    }
    QCOMPARE(seen, expected.size());
}

// The program's columns of each table, as the import brought them, against
// the SQLite register's.
void compareImport(Connection& c, const Tables& expected)
{
    for (const TableColumns& t : registerTables()) {
        const Table& want = expected.at(t.table);
        Statement rs =
            c.database().prepare("select " + t.columns.join(", ") + " from " + t.table + " order by rowid");
        size_t r = 0;
        for (; rs.next(); ++r) {
            QVERIFY2(r < want.rows.size(), qPrintable(t.table));
            for (const QString& col : t.columns) {
                const int i = rs.column(col);
                QVariant got;
                switch (rs.type(i)) {
                case Statement::Type::Null: break;
                case Statement::Type::Integer: got = rs.integer(i); break;
                case Statement::Type::Real: got = rs.real(i); break;
                case Statement::Type::Text: got = rs.text(i); break;
                case Statement::Type::Blob: got = rs.bytes(i); break;
                }
                const QVariant exp = want.rows[r][size_t(want.columns.indexOf(col))];
                bool same = got.isNull() == exp.isNull();
                if (same && !exp.isNull()) {
                    if (exp.typeId() == QMetaType::Double)
                        same = got.typeId() == QMetaType::Double && sameBits(got.toDouble(), exp.toDouble());
                    else if (exp.typeId() == QMetaType::QString)
                        same = got.typeId() == QMetaType::QString && got.toString() == exp.toString();
                    else
                        same = got.toLongLong() == exp.toLongLong();
                }
                if (!same)
                    QFAIL(qPrintable(QStringLiteral("%1.%2 row %3: imported '%4', SQLite '%5'")
                                         .arg(t.table, col)
                                         .arg(r)
                                         .arg(got.toString().left(80), exp.toString().left(80))));
            }
        }
        QCOMPARE(r, want.rows.size());
    }
}

QString cell(const QObject* o, const char* property)
{
    const QVariant v = o->property(property);
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17) : v.toString();
}

// What the chart shows: the edge labels, the box, the readout and each bar.
QStringList chartState(shell::FrmSpectrum& w)
{
    QStringList s{w.lblLowFrequency->caption(), w.lblHighFrequency->caption(), w.txtFrequencyDisplay->text(),
                  w.StatusBar1->panelText(1), QString::number(w.chart().lastRecordIndex)};
    for (int i = 0; i <= w.chart().lastRecordIndex; ++i) {
        const QObject* bar = w.lblSpectrum->at(i);
        QStringList b;
        for (const char* p : {"Left", "Top", "Width", "Height", "BackColor", "Caption", "Visible"})
            b << cell(bar, p);
        const size_t k = size_t(i);
        b << QString::number(w.chart().recordLowMHz(k), 'g', 17) << QString::number(w.chart().recordHighMHz(k), 'g', 17)
          << QString::number(w.chart().recordDistrictId(k)) << QString::number(w.chart().recordServiceId(k));
        s << b.join('|');
    }
    return s;
}

// The listing in the grid and the sites on the map.
QStringList listingState(shell::FrmSpectrum& w)
{
    QStringList s{QString::number(w.listing().gridRowCount), QString::number(w.siteMap().lastSiteIndex)};
    for (int r = 0; r < w.MSHFlexGrid1->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < w.MSHFlexGrid1->cols(); ++c)
            row << w.MSHFlexGrid1->textMatrix(r, c);
        s << row.join('|');
    }
    for (size_t i = 0; i < w.siteMap().siteNames.size(); ++i)
        s << QStringLiteral("%1 %2 %3").arg(w.siteMap().siteNames[i]).arg(w.siteMap().siteMapX[i]).arg(w.siteMap().siteMapY[i]);
    return s;
}

void showWindow(shell::FrmSpectrum& w, int option, double centre)
{
    w.Option1[size_t(option)]->setValue(true);
    w.txtFrequencyDisplay->setText(base::sixDecimalText(centre));
    w.frequency().rerunSearch();
}

// The first licence bar of the chart (-1 when there is none).
int licenceBar(shell::FrmSpectrum& w)
{
    for (int i = 0; i <= w.chart().lastRecordIndex; ++i)
        if (w.lblSpectrum->at(i)->backColorText() == QStringLiteral("#E0E0E0") ||
            w.lblSpectrum->at(i)->backColorText() == QStringLiteral("#FFC080"))
            return i;
    return -1;
}

struct PageCounts {
    int usageMap = 0, longValue = 0;
};

PageCounts pagesOf(const QByteArray& file)
{
    PageCounts n;
    for (qsizetype p = 0; p + jet4::kPageSize <= file.size(); p += jet4::kPageSize) {
        n.usageMap += file[p] == 0x05;
        n.longValue += file.mid(p + 4, 4) == "LVAL";
    }
    return n;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

// Makes the first chained long value of `file` loop: the first long-value
// page holding one piece that names a next one (and whose bytes begin with
// `startingWith`, when given) is made to name itself. Its page, 0 when none.
int loopFirstChain(QByteArray& file, const QByteArray& startingWith)
{
    auto le16 = [&file](qsizetype at) { return int(uchar(file[at])) | int(uchar(file[at + 1])) << 8; };
    for (qsizetype page = 0; (page + 1) * jet4::kPageSize <= file.size(); ++page) {
        const qsizetype at = page * jet4::kPageSize;
        if (file.mid(at + 4, 4) != "LVAL" || le16(at + 12) != 1)
            continue;
        const qsizetype row = at + (le16(at + 14) & 0x1FFF);
        if (le32(file, row) == 0)
            continue;  // a chain's last piece
        if (!startingWith.isEmpty() && file.mid(row + 4, startingWith.size()) != startingWith)
            continue;
        const quint32 self = quint32(page) << 8;
        for (int k = 0; k < 4; ++k)
            file[row + k] = char((self >> (8 * k)) & 0xFF);
        return int(page);
    }
    return 0;
}

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textsRoundTrip();
    void datesArriveAsCalendarTexts();
    void writerFilesReadByMdbtools();
    void writerFilesReadByMdbReader();
    void edgeValuesArriveExactly();
    void damagedDefinitionIsRefused();
    void readersThatDieOrOverrunAreReported();
    void readersAreSandboxed();
    void readersPeakMemoryIsTheirOwn();
    void rowCountsThatDisagreeAreRefused();
    void aLoopingMemoChainIsRefused();
    void aLoopingPropertyIsRefusedAtOnce();
    void repeatedAndForeignPagesAreRefused();
    void cancelEndsTheReadingAtOnce();
    void nationalRegisterShowsWhatSqliteShows();

private:
    testing::WorkDir wd_;
    QString sqlite_, access_;
};

void TestAccess::initTestCase()
{
    sqlite_ = wd_.file("small.sqlite");
    access_ = wd_.file("small.mdb");
    QCOMPARE(testing::makeRegister(sqlite_, 0.05), 0);
    QCOMPARE(testing::makeRegister(access_, 0.05, 20261209, "access"), 0);
}

// The writer's unicode compression and the import's decoding agree, for
// every kind of text.
void TestAccess::textsRoundTrip()
{
    const QStringList texts = {"",
                               "A",
                               "Whangārei",
                               "Ōtaki Ōamaru Taupō",
                               "Āwhitu",  // U+0100 cannot be compressed: its low byte is zero
                               "naïve café ©",
                               "Satellite earth station 📡 at Warkworth",
                               "Ā📡 mixed Kōwhai",
                               QString(300, QChar(0x0101)),
                               "line one\r\nline two"};
    for (const QString& t : texts) {
        const std::string stored = jet4::encodeText(t.toStdString());
        std::string back;
        appendJet4Text(back, reinterpret_cast<const unsigned char*>(stored.data()), stored.size());
        QCOMPARE(QString::fromStdString(back), t);
        QVERIFY2(stored.size() <= size_t(t.toUtf8().size()) * 2 + 2, qPrintable(t));
    }
    // Compressed where that is shorter; plain UTF-16 where it cannot be.
    QVERIFY(jet4::encodeText("Whangārei").substr(0, 2) == "\xFF\xFE");
    QCOMPARE(jet4::encodeText("Āwhitu").size(), size_t(12));
    QCOMPARE(jet4::encodeText("A").size(), size_t(2));
    // Decoding what other writers make: a lone surrogate and an odd byte.
    std::string out;
    const unsigned char lone[] = {0x3D, 0xD8, 0x41, 0x00, 0x42};
    appendJet4Text(out, lone, sizeof lone);
    QCOMPARE(QString::fromStdString(out), QString(QChar(0xFFFD)) + "A");
    out.clear();
    const unsigned char jet3[] = {'C', 'a', 'f', 0xE9, ' ', 0x80, ' ', 0x93, 'q', 0x94};
    appendCp1252Text(out, jet3, sizeof jet3);
    QCOMPARE(QString::fromStdString(out), QString::fromUtf8("Café € “q”"));
    QVERIFY_THROWS_EXCEPTION(jet4::Error, jet4::utf16("\xC3"));
}

// Date/Time values become calendar texts: before 1900, in the years Access
// allows at either end, with times of day on negative days; beyond them, or
// not a number, they are NULL. Read back through the import, each beside a
// text of its row, and checked against mdb-reader.
void TestAccess::datesArriveAsCalendarTexts()
{
    const std::vector<std::pair<double, const char*>> dates = {
        {0.0, "1899-12-30 00:00:00"},           {1.0, "1899-12-31 00:00:00"},
        {2.5, "1900-01-01 12:00:00"},           {60.0, "1900-02-28 00:00:00"},
        {61.0, "1900-03-01 00:00:00"},          {36526.0, "2000-01-01 00:00:00"},
        {36585.0, "2000-02-29 00:00:00"},       {44532.75, "2021-12-02 18:00:00"},
        {-1.25, "1899-12-29 06:00:00"},         {-0.5, "1899-12-30 12:00:00"},
        {-693593.0, "0001-01-01 00:00:00"} /* refused below: before the year 100 */,
        {-657434.0, "0100-01-01 00:00:00"},     {-657434.75, "0100-01-01 18:00:00"},
        {2958465.0, "9999-12-31 00:00:00"},     {2958465.999999999, "9999-12-31 23:59:59"},
        {0.6 / 86400, "1899-12-30 00:00:01"}, {0.99999999, "1899-12-31 00:00:00"},
    };
    for (const auto& [stored, want] : dates) {
        std::string got = "untouched";
        const bool ok = accessDateText(stored, got);
        if (stored == -693593.0) {
            QVERIFY(!ok);
            QCOMPARE(QString::fromStdString(got), QStringLiteral("untouched"));
            continue;
        }
        QVERIFY2(ok, want);
        QCOMPARE(QString::fromStdString(got), QString::fromLatin1(want));
    }
    std::string none;
    for (double bad : {std::nan(""), 1e300, -1e300, 2958466.0, -657435.0, std::numeric_limits<double>::infinity()})
        QVERIFY2(!accessDateText(bad, none), qPrintable(QString::number(bad)));

    // Through the reader, a date's text lives until its row is stored
    // beside the texts that follow it.
    testing::WorkDir wd;
    const QString path = wd.file("dates.mdb");
    {
        jet4::Writer w;
        w.beginTable("Events", {{"Id", jet4::ColumnType::Long},
                                {"At", jet4::ColumnType::DateTime},
                                {"Note", jet4::ColumnType::Text},
                                {"Until", jet4::ColumnType::DateTime},
                                {"Remark", jet4::ColumnType::Memo}});
        for (int i = 0; i < int(dates.size()); ++i)
            w.addRow({jet4::Value::integer(i), jet4::Value::real(dates[size_t(i)].first),
                      jet4::Value::text("note " + std::to_string(i)), jet4::Value::real(i % 2 ? 1e300 : 36526.0 + i),
                      jet4::Value::text(std::string(size_t(100 + 50 * i), char('a' + i % 26)))});
        w.endTable();
        w.save(path.toStdString());
    }
    Database db = Database::openMemory();
    importAccess(path, db, {}, {});
    Statement q = db.prepare("select Id, At, Note, Until, Remark from Events order by Id");
    QStringList fromReader;
    for (size_t i = 0; i < dates.size(); ++i) {
        QVERIFY(q.next());
        QCOMPARE(q.integer(0), qint64(i));
        if (dates[i].first == -693593.0)
            QCOMPARE(q.type(1), Statement::Type::Null);
        else
            QCOMPARE(q.text(1), QString::fromLatin1(dates[i].second));
        QCOMPARE(q.text(2), QStringLiteral("note %1").arg(i));
        if (i % 2)
            QCOMPARE(q.type(3), Statement::Type::Null);
        else
            QCOMPARE(q.text(3), QDate(2000, 1, 1).addDays(qint64(i)).toString(Qt::ISODate) + " 00:00:00");
        QCOMPARE(q.text(4), QString(100 + 50 * int(i), QChar('a' + int(i) % 26)));
    }
    QVERIFY(!q.next());

    // mdb-reader agrees on the dates it can hold (whole seconds, from the year 100).
    const std::optional<QString> dump = testing::runTool("node", {nodeDir() + "/dump-access.mjs", path});
    QVERIFY2(dump, "mdb-reader could not read the file");
    const QJsonArray rows = QJsonDocument::fromJson(dump->split('\n').front().toUtf8()).object()["rows"].toArray();
    QCOMPARE(size_t(rows.size()), dates.size());
    for (size_t i = 0; i < dates.size(); ++i) {
        const double stored = dates[i].first;
        if (stored == -693593.0 || stored != std::round(stored * 86400) / 86400 || stored < 0)
            continue;  // out of range, a fraction of a second, or a negative day (mdb-reader counts those differently)
        const QString iso = rows[qsizetype(i)].toArray()[1].toString();
        QCOMPARE(iso.left(19).replace('T', ' '), QString::fromLatin1(dates[i].second));
    }
}

void TestAccess::writerFilesReadByMdbtools()
{
    const Tables expected = readSqlite(sqlite_);
    QCOMPARE(expected.size(), size_t(8));
    compareWithMdbtools(access_, expected);
}

void TestAccess::writerFilesReadByMdbReader()
{
    const Tables expected = readSqlite(sqlite_);
    compareWithMdbReader(access_, expected);
    // Long-value pages, long remarks and empty labels occur.
    QVERIFY(pagesOf(readAll(access_)).longValue > 2);
    const Table& spectrum = expected.at("spectrum");
    const int remarks = int(spectrum.columns.indexOf("SpectrumRemarks"));
    const int label = int(spectrum.columns.indexOf("spectrumlabel"));
    int longRemarks = 0, emptyLabels = 0;
    for (const auto& row : spectrum.rows) {
        longRemarks += row[size_t(remarks)].toString().size() > 16 * 1024;
        emptyLabels += !row[size_t(label)].isNull() && row[size_t(label)].toString().isEmpty();
    }
    QVERIFY(longRemarks >= 2);
    QVERIFY(emptyLabels > 0);
}

// Texts of every kind, memos of every length and doubles at their limits
// arrive as they were, through the import of the whole program.
void TestAccess::edgeValuesArriveExactly()
{
    testing::WorkDir wd;
    const QString source = wd.file("edge.sqlite");
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(source.toUtf8().constData(), &db), SQLITE_OK);
        for (const QString& s : createTableStatements())
            sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_stmt* loc = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO location VALUES (?, ?, ?, ?)", -1, &loc, nullptr);
        const QStringList names = {"Whangārei", "Ōtaki", "Taupō Station 📡", "", "Āwhitu", "quote \" and, comma",
                                   QString(255, 'x'), "naïve café"};
        for (int i = 0; i <= names.size(); ++i) {
            sqlite3_bind_int(loc, 1, i + 1);
            sqlite3_bind_int(loc, 2, i % 17 + 1);
            if (i < names.size()) {
                const QByteArray n = names[i].toUtf8();
                sqlite3_bind_text(loc, 3, n.constData(), int(n.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(loc, 3);
            }
            sqlite3_bind_int(loc, 4, i == 0 ? 2147483647 : -2147483647 - (i == 1));
            sqlite3_step(loc);
            sqlite3_reset(loc);
        }
        sqlite3_finalize(loc);
        sqlite3_stmt* sp = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO spectrum VALUES (?, NULL, ?, ?, 8, 1, 26, ?, ?, NULL)", -1, &sp, nullptr);
        const double lows[] = {0.1 + 0.2, 1e-300, 4.9406564584124654e-324, 1.7976931348623157e308, 157.0125,
                               0.30000000000000004, 123456789.123456789, 2.5e-7};
        QString lorem;
        while (lorem.size() < 60000)
            lorem += QStringLiteral("Kōwhai ngā rākau 📡 %1; ").arg(lorem.size());
        const QStringList remarks = {QString(), "", "short", lorem.left(1000), lorem.left(16383), lorem.left(16384),
                                     lorem.left(50000), lorem.left(4070)};
        for (int i = 0; i < 8; ++i) {
            sqlite3_bind_int(sp, 1, i + 1);
            sqlite3_bind_double(sp, 2, lows[i]);
            sqlite3_bind_double(sp, 3, std::isfinite(lows[i] * 2) ? lows[i] * 2 : lows[i]);
            const QByteArray label = (i % 2 ? QStringLiteral("CH %1").arg(i) : QString()).toUtf8();
            sqlite3_bind_text(sp, 4, label.constData(), int(label.size()), SQLITE_TRANSIENT);  // empty, not NULL
            const QByteArray r = remarks[i].toUtf8();
            if (remarks[i].isNull())
                sqlite3_bind_null(sp, 5);
            else
                sqlite3_bind_text(sp, 5, r.constData(), int(r.size()), SQLITE_TRANSIENT);
            sqlite3_step(sp);
            sqlite3_reset(sp);
        }
        sqlite3_finalize(sp);
        sqlite3_exec(db, "INSERT INTO mapdistrict VALUES ('R11', 'Manawatū-Whanganui')", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QCOMPARE(testing::runMakeRegister({"--format", "access", "--from", source, "--out", wd.file("KORVA.mdb")}), 0);
    const Tables expected = readSqlite(source);
    compareWithMdbReader(wd.file("KORVA.mdb"), expected);
    const QByteArray before = readAll(wd.file("KORVA.mdb"));
    {
        Connection c;
        c.open(connectionString);
        QVERIFY(c.isAccess());
        compareImport(c, expected);
        // The copy cannot be written to.
        QVERIFY_THROWS_EXCEPTION(RegisterError, c.database().exec("delete from spectrum"));
    }
    QCOMPARE(readAll(wd.file("KORVA.mdb")), before);
}

// One changed byte in a table definition: the reader cannot read the table's
// columns, and the program says which table of which file is damaged.
void TestAccess::damagedDefinitionIsRefused()
{
    testing::WorkDir wd;
    QByteArray file = readAll(access_);
    // The first user table's definition follows the catalogue's (page 2).
    qsizetype tdef = -1;
    for (qsizetype p = 3 * jet4::kPageSize; p < file.size() && tdef < 0; p += jet4::kPageSize)
        if (file[p] == 0x02)
            tdef = p;
    QVERIFY(tdef > 0);
    file[tdef + 45] = char(200);  // more columns than the page holds: the reader follows the page chain
    file[tdef + 4] = char(0xFF);
    file[tdef + 5] = char(0xFF);
    file[tdef + 6] = char(0x7F);  // ... to a page far beyond the end of the file
    writeAll(wd.file("KORVA.mdb"), file);
    Connection c;
    try {
        c.open(connectionString);
        QFAIL("a damaged register was opened");
    } catch (const RegisterError& e) {
        QVERIFY2(e.message().startsWith(QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath() +
                                         " is damaged: table spectrum could not be read"),
                 qPrintable(e.message()));
    }
    QVERIFY(!c.isOpen());
}

// The rows a table's definition holds and the rows read must agree, either
// way: a count damaged to 0, or one more than the pages hold, is refused
// naming the table.
void TestAccess::rowCountsThatDisagreeAreRefused()
{
    const QByteArray original = readAll(access_);
    qsizetype tdef = -1;
    for (qsizetype p = 3 * jet4::kPageSize; p < original.size() && tdef < 0; p += jet4::kPageSize)
        if (original[p] == 0x02)
            tdef = p;
    QVERIFY(tdef > 0);
    auto le32 = [](const QByteArray& b, qsizetype at) {
        return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
               quint32(uchar(b[at + 3])) << 24;
    };
    const quint32 rows = le32(original, tdef + 16);  // the definition's row count
    QVERIFY(rows > 100);
    struct Case {
        quint32 count;
        QString says;
    };
    for (const Case& c : {Case{0, QStringLiteral("%1 rows were read where its definition holds 0").arg(rows)},
                          Case{rows + 1, QStringLiteral("only %1 of its %2 rows could be read").arg(rows).arg(rows + 1)},
                          Case{rows - 1, QStringLiteral("%1 rows were read where its definition holds %2").arg(rows).arg(rows - 1)}}) {
        testing::WorkDir wd;
        QByteArray file = original;
        for (int k = 0; k < 4; ++k)
            file[tdef + 16 + k] = char((c.count >> (8 * k)) & 0xFF);
        writeAll(wd.file("KORVA.mdb"), file);
        Connection conn;
        try {
            conn.open(connectionString);
            QFAIL(qPrintable("a register whose row count says " + QString::number(c.count) + " was opened"));
        } catch (const RegisterError& e) {
            QVERIFY2(e.message().startsWith(QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath() +
                                             " is damaged: table spectrum could not be read (" + c.says + ")"),
                     qPrintable(e.message()));
        }
    }
}

// A long remark is stored as a chain of long-value rows, each naming the
// next. One that names itself would repeat its piece until the remark's
// stated length: refused instead, naming the table.
void TestAccess::aLoopingMemoChainIsRefused()
{
    testing::WorkDir wd;
    const QString source = wd.file("chain.sqlite");
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(source.toUtf8().constData(), &db), SQLITE_OK);
        for (const QString& st : createTableStatements())
            sqlite3_exec(db, st.toUtf8().constData(), nullptr, nullptr, nullptr);
        QString remark;
        for (int i = 0; remark.size() < 30000; ++i)
            remark += QStringLiteral("piece %1 of a long remark; ").arg(i);
        sqlite3_stmt* sp = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO spectrum VALUES (1, NULL, 157.0, 157.1, 8, 1, 26, 'CH 1', ?, NULL)", -1,
                           &sp, nullptr);
        const QByteArray r = remark.toUtf8();
        sqlite3_bind_text(sp, 1, r.constData(), int(r.size()), SQLITE_TRANSIENT);
        QCOMPARE(sqlite3_step(sp), SQLITE_DONE);
        sqlite3_finalize(sp);
        sqlite3_exec(db, "INSERT INTO mapdistrict VALUES ('R11', 'Manawatu')", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QCOMPARE(testing::runMakeRegister({"--format", "access", "--from", source, "--out", wd.file("KORVA.mdb")}), 0);
    {
        Connection c;
        c.open(connectionString);  // as written, it opens
    }
    // A long-value page holding one piece that names a next one: made to name itself.
    QByteArray file = readAll(wd.file("KORVA.mdb"));
    QVERIFY2(loopFirstChain(file, QByteArray()) > 0, "the remark is stored as a chain");
    writeAll(wd.file("KORVA.mdb"), file);
    try {
        Connection c;
        c.open(connectionString);
        QFAIL("a register with a looping chain was opened");
    } catch (const RegisterError& e) {
        QVERIFY2(e.message().endsWith(" is damaged: table spectrum could not be read (the chain of long-value rows "
                                      "of a memo loops)"),
                 qPrintable(e.message()));
    }
}

// A catalogue row whose properties are a chain of long-value rows that comes
// back to itself: the catalogue's reader refuses the file at once, naming
// the catalogue, instead of growing until its memory runs out; no reader
// comes near its memory limit.
void TestAccess::aLoopingPropertyIsRefusedAtOnce()
{
    testing::WorkDir wd;
    QCOMPARE(testing::runMakeRegister({"--format", "access", "--from", sqlite_, "--table-properties", "20000", "--out",
                                       wd.file("KORVA.mdb")}),
             0);
    QCOMPARE(testing::openingMessage(), QString());  // as written, it opens
    QByteArray file = readAll(wd.file("KORVA.mdb"));
    QVERIFY2(loopFirstChain(file, QByteArray("MR2\0", 4)) > 0, "the properties are stored as a chain");
    writeAll(wd.file("KORVA.mdb"), file);
    const size_t readersBefore = accessReaderUsage().peakMB.size();
    QElapsedTimer clock;
    clock.start();
    const QString message = testing::openingMessage();
    QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(message.startsWith(QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath() +
                                " is damaged: table MSysObjects could not be read (the chain of long-value rows of the "
                                "properties of ") &&
                 message.endsWith(" loops)"),
             qPrintable(message));
    // The readers it started stayed far below their 1 GiB limit.
    const std::vector<double> peaks = accessReaderUsage().peakMB;
    QVERIFY(peaks.size() > readersBefore);
    for (size_t i = readersBefore; i < peaks.size(); ++i)
        QVERIFY2(peaks[i] > 0 && peaks[i] < 512, qPrintable(QString::number(peaks[i])));
}

// A data page copied over another of the same table would have its rows read
// twice; one of another table, named in the table's page map, loses the
// rows it replaced. Either is refused naming the table and the page.
void TestAccess::repeatedAndForeignPagesAreRefused()
{
    const QByteArray original = readAll(access_);
    qint64 spectrumPage = 0, licencePage = 0;
    for (const AccessTable& t : accessCatalogue(access_)) {
        if (t.name == "spectrum")
            spectrumPage = t.page;
        if (t.name == "licence")
            licencePage = t.page;
    }
    QVERIFY(spectrumPage > 0 && licencePage > 0);
    auto dataPages = [&](qint64 owner) {
        QList<qsizetype> pages;
        for (qsizetype p = 0; (p + 1) * jet4::kPageSize <= original.size(); ++p)
            if (original[p * jet4::kPageSize] == 0x01 && le32(original, p * jet4::kPageSize + 4) == quint32(owner))
                pages << p;
        return pages;
    };
    const QList<qsizetype> spectrum = dataPages(spectrumPage), licence = dataPages(licencePage);
    QVERIFY(spectrum.size() > 3 && !licence.isEmpty());
    auto copied = [&](qsizetype from, qsizetype to) {
        QByteArray file = original;
        file.replace(to * jet4::kPageSize, jet4::kPageSize, original.mid(from * jet4::kPageSize, jet4::kPageSize));
        return file;
    };
    {
        testing::WorkDir wd;
        writeAll(wd.file("KORVA.mdb"), copied(spectrum[0], spectrum[2]));
        const QString message = testing::openingMessage();
        QVERIFY2(message.endsWith(QStringLiteral(" is damaged: table spectrum could not be read (its page %1 repeats its "
                                                 "page %2, whose rows would be read twice)")
                                      .arg(spectrum[2])
                                      .arg(spectrum[0])),
                 qPrintable(message));
    }
    {
        testing::WorkDir wd;
        writeAll(wd.file("KORVA.mdb"), copied(licence[0], spectrum[1]));
        const QString message = testing::openingMessage();
        QVERIFY2(message.contains(" is damaged: table spectrum could not be read (only ") &&
                     message.endsWith(QStringLiteral(" rows could be read: its page %1 belongs to another table)")
                                          .arg(spectrum[1])),
                 qPrintable(message));
    }
}

// The splash's Cancel button, shown once the register is being read, ends
// the reading at once: the readers are stopped, no box is shown, the
// program says why on its error output and ends with status 1.
void TestAccess::cancelEndsTheReadingAtOnce()
{
    testing::WorkDir wd;
    QVERIFY(QFile::copy(access_, wd.file("KORVA.mdb")));
    testing::Recorder rec;
    QElapsedTimer sinceClick;
    QString progressShown;
    QTimer clicker;
    clicker.setInterval(0);
    connect(&clicker, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* splash = qobject_cast<shell::FrmSplash*>(w);
            if (!splash || !splash->cmdCancel->isVisible() || sinceClick.isValid())
                continue;
            progressShown = splash->lblProgress->caption();
            sinceClick.start();
            splash->cmdCancel->button()->click();
        }
    });
    clicker.start();
    // What the program writes on its error output, caught in a file.
    const QString errors = wd.file("errors.txt");
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int caught = ::open(errors.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(caught, 2);
    const int status = shell::modStart();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(caught);
    clicker.stop();
    QVERIFY2(sinceClick.isValid(), "the splash showed its Cancel button while the register was read");
    QCOMPARE(progressShown, QStringLiteral("Reading the register's list of tables"));
    QCOMPARE(status, 1);
    QVERIFY2(sinceClick.elapsed() < 1000, qPrintable(QString::number(sinceClick.elapsed())));
    QVERIFY(rec.messages.empty());
    QVERIFY(readAll(errors).contains(
        QStringLiteral("Reading %1 was cancelled\n").arg(QFileInfo(wd.file("KORVA.mdb")).absoluteFilePath()).toLocal8Bit()));
    // No reader is left behind.
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (stat.open(QIODevice::ReadOnly))
            QVERIFY(stat.readAll().split(')').value(1).trimmed().split(' ').value(1).toLongLong() !=
                    QCoreApplication::applicationPid());
    }
}

// What each reader is said to have held is its own memory, not the
// program's: a child shares the program's memory until it runs its own
// program, and the kernel would count the program's peak as the child's.
void TestAccess::readersPeakMemoryIsTheirOwn()
{
    // The program holds 384 MB more than any reader needs for this register.
    std::vector<char> held(size_t(384) << 20);
    for (size_t i = 0; i < held.size(); i += 4096)
        held[i] = char(i);
    const size_t before = accessReaderUsage().peakMB.size();
    Database db = Database::openMemory();
    importAccess(access_, db, {}, {});
    const std::vector<double> peaks = accessReaderUsage().peakMB;
    QCOMPARE(peaks.size(), before + 9);  // the catalogue and eight tables
    for (size_t i = before; i < peaks.size(); ++i) {
        QVERIFY2(peaks[i] > 0.5, qPrintable(QString::number(peaks[i])));
        QVERIFY2(peaks[i] < 256, qPrintable(QStringLiteral("a reader is said to have held %1 MB").arg(peaks[i])));
    }
    QVERIFY(held[4096] == char(4096));
}

// The readers run in processes of their own: one that dies by a signal, or
// runs past its time limit, becomes a message naming the table; the caller
// goes on.
void TestAccess::readersThatDieOrOverrunAreReported()
{
    std::vector<TableImport> jobs;
    for (const AccessTable& t : accessCatalogue(access_))
        jobs.push_back({t.name, {}, {}, t.rows, t.page});
    auto importInto = [&](const ProgressFn& progress, qint64 limitMs) {
        Database db = Database::openMemory();
        QString message;
        try {
            importAccessTables(access_, db, jobs, progress, limitMs);
        } catch (const RegisterError& e) {
            message = e.message();
        }
        return message;
    };
    // Every reader alive at the first report is killed (as the system kills a
    // process that takes too much memory).
    bool killed = false;
    const QString crashed = importInto(
        [&](const ImportProgress&) {
            if (killed)
                return;
            for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
                QFile stat("/proc/" + pid + "/stat");
                if (!stat.open(QIODevice::ReadOnly))
                    continue;
                const QList<QByteArray> f = stat.readAll().split(')').value(1).trimmed().split(' ');
                if (f.value(1).toLongLong() == QCoreApplication::applicationPid()) {
                    ::kill(pid_t(pid.toLongLong()), SIGKILL);
                    killed = true;
                }
            }
        },
        0);
    QVERIFY(killed);
    QVERIFY2(crashed.startsWith(QFileInfo(access_).absoluteFilePath() + " is damaged: table ") && crashed.contains("stopped with signal 9"),
             qPrintable(crashed));
    const QString overran = importInto({}, 1);
    QVERIFY2(overran.contains(" could not be read (it took longer than 0.001 s)"), qPrintable(overran));
    // And with time enough, the same file reads.
    QCOMPARE(importInto({}, 0), QString());
}

// The readers are programs of their own, started (not forked) with only
// their pipe and the register, a bare environment, and a sandbox that
// refuses files by name, sockets, programs and processes.
void TestAccess::readersAreSandboxed()
{
    const QString reader = reg::access::readerProgram();
    QVERIFY2(!reader.isEmpty(), "the build puts orvane-read-access beside the program");
    QProcess check;
    // As the program starts it: leak checks cannot run in the sandbox.
    QProcessEnvironment bare;
    bare.insert("ASAN_OPTIONS", "detect_leaks=0");
    check.setProcessEnvironment(bare);
    check.start(reader, {"--sandbox-check"});
    QVERIFY(check.waitForFinished(30000));
    const QString said = QString::fromUtf8(check.readAllStandardOutput());
    QCOMPARE(check.exitCode(), 0);
    const QStringList lines = said.trimmed().split('\n');
    QVERIFY2(lines.size() >= 10, qPrintable(said));
    QVERIFY2(lines[0].startsWith("landlock: "), qPrintable(lines[0]));
    for (const char* attempt : {"open another file", "open through /proc", "create a socket", "create a local socket",
                                "write a file", "start a program", "start a process", "map executable memory", "trace"})
        QVERIFY2(said.contains(QString::fromLatin1(attempt) + ": refused ("), qPrintable(said));
    QVERIFY(!said.contains("ALLOWED"));
    // Arguments it does not understand: exit status 2, nothing read.
    check.start(reader, {"--table"});
    QVERIFY(check.waitForFinished(30000));
    QCOMPARE(check.exitCode(), 2);

    // A reader at work holds descriptors 0 to 4 alone (/dev/null three
    // times, the register read-only, its pipe) and an environment of its own.
    QStringList seen;
    reg::Database db = reg::Database::openMemory();
    std::vector<reg::TableImport> jobs;
    for (const reg::AccessTable& t : reg::accessCatalogue(access_))
        if (t.name == "spectrum" || t.name == "licence")
            jobs.push_back({t.name, {}, {}, 0, t.page});
    QCOMPARE(jobs.size(), size_t(2));
    reg::importAccessTables(access_, db, jobs, [&](const reg::ImportProgress&) {
        for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + pid + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> f = stat.readAll().split(')').value(1).trimmed().split(' ');
            if (f.value(1).toLongLong() != QCoreApplication::applicationPid() || seen.contains(pid))
                continue;
            const QString fds = "/proc/" + pid + "/fd";
            QStringList held = QDir(fds).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
            if (held.isEmpty())
                continue;  // ended meanwhile
            // Beyond 4, only the register again (the copy its library reads through).
            for (const QString& fd : held) {
                const QString target = QFileInfo(fds + "/" + fd).symLinkTarget();
                if (fd.toInt() <= 2)
                    QCOMPARE(target, QStringLiteral("/dev/null"));
                else if (fd.toInt() == 4)
                    QVERIFY2(target.endsWith("]") && target.contains("pipe:["), qPrintable(target));
                else
                    QCOMPARE(QFileInfo(fds + "/" + fd).canonicalFilePath(), QFileInfo(access_).canonicalFilePath());
            }
            QVERIFY(held.contains("3") && held.contains("4"));
            QFile environment("/proc/" + pid + "/environ");
            QVERIFY(environment.open(QIODevice::ReadOnly));
            for (const QByteArray& e : environment.readAll().split('\0'))
                QVERIFY2(e.isEmpty() || e.startsWith("LC_ALL=") || e.startsWith("ASAN_OPTIONS="), e.constData());
            QFile cmdline("/proc/" + pid + "/cmdline");
            QVERIFY(cmdline.open(QIODevice::ReadOnly));
            QVERIFY(cmdline.readAll().contains("orvane-read-access"));
            seen << pid;
        }
    });
    QVERIFY(!seen.isEmpty());
}

// A national-size register in both forms: mdbtools reads the Access file
// equal to the SQLite one, and the window shows the same charts, listing
// and sites on either.
void TestAccess::nationalRegisterShowsWhatSqliteShows()
{
    testing::WorkDir wd;
    const QString sqlite = wd.file("national.sqlite"), access = wd.file("national.mdb");
    QCOMPARE(testing::makeRegister(sqlite, 1), 0);
    QCOMPARE(testing::makeRegister(access, 1, 20261209, "access"), 0);
    const Tables expected = readSqlite(sqlite);
    QVERIFY(expected.at("spectrum").rows.size() > 130000);
    // Its largest tables reach past an inline usage map: the map goes through map pages.
    QVERIFY(pagesOf(readAll(access)).usageMap > 0);
    compareWithMdbtools(access, expected);

    std::unique_ptr<shell::FrmSpectrum> windows[2];
    for (int k = 0; k < 2; ++k) {
        testing::WorkDir dir;
        QVERIFY(QFile::copy(k ? access : sqlite, dir.file("KORVA.mdb")));
        windows[k] = testing::openWindow();
        QCOMPARE(windows[k]->registerConnection().isAccess(), k == 1);
    }
    shell::FrmSpectrum& onSqlite = *windows[0];
    shell::FrmSpectrum& onAccess = *windows[1];
    QCOMPARE(chartState(onAccess), chartState(onSqlite));
    QVERIFY(onSqlite.chart().lastRecordIndex > 10);
    struct View {
        int option;
        double centre;
    };
    for (const View& v : {View{1, 157.25}, View{0, 462.9}, View{11, 850}}) {
        showWindow(onSqlite, v.option, v.centre);
        showWindow(onAccess, v.option, v.centre);
        QVERIFY(onSqlite.chart().lastRecordIndex > 0);
        QCOMPARE(chartState(onAccess), chartState(onSqlite));
    }
    // A licence listed in every district, and a district listed, with their sites.
    showWindow(onSqlite, 1, 157.25);
    showWindow(onAccess, 1, 157.25);
    const int bar = licenceBar(onSqlite);
    QVERIFY(bar >= 0);
    for (shell::FrmSpectrum* w : {&onSqlite, &onAccess}) {
        w->inspection().lblSpectrum_MouseDown(bar, 2, 0, 0, 0);
        w->inspection().lblSpectrum_MouseUp(bar, 2, 0, 0, 0);
    }
    QVERIFY(onSqlite.listing().gridRowCount > 1);
    QCOMPARE(listingState(onAccess), listingState(onSqlite));
    for (shell::FrmSpectrum* w : {&onSqlite, &onAccess})
        w->inspection().lblDistrict_MouseDown(1, 1, 0, 0, 0);
    QVERIFY(onSqlite.listing().gridRowCount > 1);
    QCOMPARE(listingState(onAccess), listingState(onSqlite));
}

QTEST_MAIN(TestAccess)
#include "test_access.moc"
