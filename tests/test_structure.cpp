// The house: the rooms of src/ include only the rooms below them, SQL text
// stands in the register's room alone, and the window's header is the
// shell's.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// Each room and the rooms it may include (besides itself).
const QMap<QString, QSet<QString>>& allowed()
{
    static const QMap<QString, QSet<QString>> rooms = {
        {"base", {}},
        {"forms", {"base"}},
        {"register", {"base"}},
        {"spectrum", {"base", "forms", "register"}},
        {"map", {"base", "forms", "register"}},
        {"help", {"base", "forms", "register"}},
        {"find", {"base", "forms", "register"}},
        {"inspect", {"base", "forms", "register", "spectrum", "map"}},
        {"shell", {"base", "forms", "register", "spectrum", "map", "inspect", "help", "find"}},
    };
    return rooms;
}

struct Source {
    QString room, path, text;
};

std::vector<Source> sources()
{
    std::vector<Source> out;
    const QDir src(QStringLiteral(ORVANE_SOURCE_DIR) + "/src");
    QDirIterator it(src.path(), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        out.push_back({src.relativeFilePath(path).section('/', 0, 0), src.relativeFilePath(path),
                       QString::fromUtf8(f.readAll())});
    }
    return out;
}

}  // namespace

class TestStructure : public QObject {
    Q_OBJECT

private slots:
    void roomsIncludeOnlyTheRoomsBelow();
    void sqlTextStandsInTheRegisterAlone();
    void theWindowsHeaderIsTheShells();
};

void TestStructure::roomsIncludeOnlyTheRoomsBelow()
{
    const std::vector<Source> all = sources();
    QVERIFY(all.size() > 50);
    const QRegularExpression include(QStringLiteral("^#include \"([a-z]+)/[^\"]+\""),
                                     QRegularExpression::MultilineOption);
    QStringList wrong;
    for (const Source& s : all) {
        QVERIFY2(allowed().contains(s.room), qPrintable("a room the house does not know: " + s.room));
        for (auto m = include.globalMatch(s.text); m.hasNext();) {
            const QString to = m.next().captured(1);
            if (to != s.room && !allowed()[s.room].contains(to))
                wrong << s.path + " includes " + to + "/";
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));
}

void TestStructure::sqlTextStandsInTheRegisterAlone()
{
    // A statement's text: a SELECT over the register's tables, or its clauses.
    const QRegularExpression sql(QStringLiteral("\"[^\"]*\\b(select\\s+\\S|from spectrum|where spectrum|"
                                                "spectrumlow [<>=]|spectrumtypeid [<>=]|spectrumstatusid in|"
                                                "location\\.districtid =|PRAGMA|CREATE INDEX)"),
                                 QRegularExpression::CaseInsensitiveOption);
    QStringList outside;
    for (const Source& s : sources())
        if (s.room != "register" && sql.match(s.text).hasMatch())
            outside << s.path + ": " + sql.match(s.text).captured(0);
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join("\n")));
}

void TestStructure::theWindowsHeaderIsTheShells()
{
    QStringList outside;
    for (const Source& s : sources())
        if (s.room != "shell" && s.text.contains("shell/frmspectrum.h"))
            outside << s.path;
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join("\n")));
}

QTEST_APPLESS_MAIN(TestStructure)
#include "test_structure.moc"
