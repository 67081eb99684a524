// The shell: printing the listing, the About box, the ITU legend, the help
// viewer and the menu commands.

#include "inspect/printing.h"
#include "registers.h"
#include "help/help_text.h"
#include "help/help_window.h"
#include "register/text_index.h"
#include "shell/secondary.h"
#include "support.h"
#include "window.h"

#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QShortcut>
#include <QLabel>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>

using namespace inspect;
using namespace shell;
using help::ChmFile;
using help::HelpViewer;
using help::HelpWindow;
using help::parseSitemap;
using help::HelpTopic;
using testing::openWindow;

namespace {

GridSource gridOf(int dataRows)
{
    return {dataRows + 1, [](int row, int col) -> QString {
                switch (col) {
                case 1: return row == 1 ? QStringLiteral(".526500") : QStringLiteral("157.100000");
                case 2: return QStringLiteral("157.112500");
                case 3: return QStringLiteral("CH 5");
                case 4: return row == 2 ? QString(31, 'S') : QStringLiteral("  Mt Kaukau ");
                case 5: return QStringLiteral("WN");
                case 6: return row == 3 ? QStringLiteral("1234567") : QStringLiteral("123456");
                case 7: return row == 4 ? QStringLiteral("0") : QStringLiteral("42");
                case 8: return row == 5 ? QString(56, 'L') : QStringLiteral("Kowhai Radio Limited");
                default: return QString();
                }
            }};
}

int linesOnPage(const RecordingPrinter& p, int page)
{
    int n = 0;
    for (const auto& l : p.lines)
        n += l.page == page;
    return n;
}

QString itemAt(const RecordingPrinter::Line& l, int column)
{
    for (const PrintItem& i : l.items)
        if (i.column == column)
            return i.text;
    return QStringLiteral("<none>");
}


}  // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void fieldTexts();
    void pagesAndPageLines();
    void printingFromTheWindow();
    void printToPdf();
    void aboutBox();
    void ituLegend();
    void helpViewer();
    void helpViewerAsPeopleExpect();
    void helpSearchText();
    void helpFileWithoutContents();
    void helpSitemaps();
    void menuCommands();
};

void TestShell::fieldTexts()
{
    QCOMPARE(frequencyField(".526500"), QStringLiteral("     0.526500"));
    QCOMPARE(frequencyField("157.100000"), QStringLiteral("   157.100000"));
    QCOMPARE(licenceField("123456"), QStringLiteral("123456"));
    QCOMPARE(licenceField("1234567"), QStringLiteral("123456"));  // a seventh digit is cut
    QCOMPARE(licenceField("0"), QStringLiteral("      "));
    QCOMPARE(managementRightField("0"), QStringLiteral("    "));
    QCOMPARE(managementRightField(""), QStringLiteral("    "));
    QCOMPARE(managementRightField("42"), QStringLiteral("  42"));
    QCOMPARE(cutText(QString(31, 's'), 30, 30), QString(30, 's') + "....");
    QCOMPARE(cutText(QString(31, 's'), 30, 30).size(), 34);
    QCOMPARE(cutText(QString(30, 's'), 30, 30), QString(30, 's'));
    QCOMPARE(cutText(QString(56, 'l'), 51, 55).size(), 55);
    QCOMPARE(cutText(QString(55, 'l'), 51, 55), QString(55, 'l'));
    QCOMPARE(cutText("  Mt Kaukau ", 30, 30), QStringLiteral("Mt Kaukau"));
    QCOMPARE(pageLine(1, 2), QStringLiteral("Page 1 of  2"));
    QCOMPARE(pageLine(2, 2), QStringLiteral("Page  2 of  2"));
}

void TestShell::pagesAndPageLines()
{
    {
        RecordingPrinter p;  // before any listing: the headings and an empty line
        printListing(p, {0, [](int, int) { return QString(); }});
        QCOMPARE(int(p.lines.size()), 2);
        QVERIFY(p.lines[0].bold);
        QCOMPARE(itemAt(p.lines[0], 115), QStringLiteral("M/R"));
        QVERIFY(p.lines[1].items.empty());
        QCOMPARE(p.fontName, QStringLiteral("Times New Roman"));
        QCOMPARE(p.fontPoints, 9.0);
        QVERIFY(p.landscapeWhilePrinting);
        QCOMPARE(p.pageTops[0], 300.0);
    }
    {
        RecordingPrinter p;
        printListing(p, gridOf(49));
        QCOMPARE(p.pages(), 1);
        QCOMPARE(int(p.lines.size()), 2 + 49);
        QVERIFY(!p.lines[0].italic);
        const auto& first = p.lines[2];
        QCOMPARE(itemAt(first, 1), QStringLiteral("     0.526500"));
        QCOMPARE(itemAt(first, 20), QStringLiteral("   157.112500"));
        QCOMPARE(itemAt(first, 36), QStringLiteral("CH 5"));
        QCOMPARE(itemAt(first, 50), QStringLiteral("Mt Kaukau"));
        QCOMPARE(itemAt(first, 104), QStringLiteral("WN"));
        QCOMPARE(itemAt(first, 113), QStringLiteral("123456"));
        QCOMPARE(itemAt(first, 122), QStringLiteral("  42"));
        QCOMPARE(itemAt(first, 130), QStringLiteral("Kowhai Radio Limited"));
        QCOMPARE(itemAt(p.lines[3], 50), QString(30, 'S') + "....");
        QCOMPARE(itemAt(p.lines[4], 113), QStringLiteral("123456"));
        QCOMPARE(itemAt(p.lines[5], 122), QStringLiteral("    "));
        QCOMPARE(itemAt(p.lines[6], 130), QString(51, 'L') + "....");
        const QStringList headings{"Low(MHz)", "High(MHz)", "Channel", "Site Name", "F/O", "Licence", "M/R", "Licensee"};
        const int columns[] = {1, 19, 34, 50, 98, 105, 115, 130};
        for (int k = 0; k < 8; ++k)
            QCOMPARE(itemAt(p.lines[0], columns[k]), headings[k]);
    }
    {
        RecordingPrinter p;  // exactly 50 rows: a second page with only its heading matter
        printListing(p, gridOf(50));
        QCOMPARE(p.pages(), 2);
        QVERIFY(p.lines[0].italic);
        QCOMPARE(itemAt(p.lines[0], 180), QStringLiteral("Page 1 of  2"));
        QCOMPARE(linesOnPage(p, 1), 3 + 50);
        QCOMPARE(linesOnPage(p, 2), 3);
        const auto* second = &p.lines[size_t(3 + 50)];
        QCOMPARE(itemAt(*second, 180), QStringLiteral("Page  2 of  2"));
        QCOMPARE(itemAt(p.lines[size_t(3 + 50 + 1)], 114), QStringLiteral("M/R"));
        QCOMPARE(p.pageTops[1], 300.0);
    }
    {
        RecordingPrinter p;
        printListing(p, gridOf(51));
        QCOMPARE(p.pages(), 2);
        QCOMPARE(linesOnPage(p, 2), 3 + 1);
        QCOMPARE(itemAt(p.lines[0], 180), QStringLiteral("Page 1 of  2"));
    }
    {
        RecordingPrinter p;  // 100 rows: three pages, the third without rows
        printListing(p, gridOf(100));
        QCOMPARE(p.pages(), 3);
        QCOMPARE(itemAt(p.lines[0], 180), QStringLiteral("Page 1 of  3"));
        QCOMPARE(linesOnPage(p, 3), 3);
        QCOMPARE(itemAt(p.lines.back(), 180), QStringLiteral("<none>"));
        QCOMPARE(itemAt(p.lines[p.lines.size() - 3], 180), QStringLiteral("Page  3 of  3"));
    }
}

void TestShell::printingFromTheWindow()
{
    testing::WorkDir wd;
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        for (int i = 0; i < 3; ++i)
            r.recordAtSites(157.1, 157.1125, 1, 2, {{"Site", 2667000, 6482000}});
    }
    testing::Recorder rec;
    auto w = openWindow();
    RecordingPrinter* last = nullptr;
    w->listing().printerFactory = [&] {
        auto p = std::make_unique<RecordingPrinter>();
        last = p.get();
        return p;
    };
    QVERIFY(testing::listRange(*w, 157, 158));
    QCOMPARE(int(w->listing().gridRowCount), 4);
    std::vector<RecordingPrinter::Line> lines;
    w->listing().printerFactory = [&] {
        struct Keep : RecordingPrinter {
            std::vector<RecordingPrinter::Line>* out;
            bool endDoc(QString& r) override
            {
                *out = lines;
                return RecordingPrinter::endDoc(r);
            }
        };
        auto p = std::make_unique<Keep>();
        p->out = &lines;
        last = p.get();
        return std::unique_ptr<Printer>(std::move(p));
    };
    w->listing().mnuPrint_Click();
    QCOMPARE(int(lines.size()), 2 + 3);
    QCOMPARE(itemAt(lines[2], 1), QStringLiteral("   157.100000"));
    QCOMPARE(w->MSHFlexGrid1->row(), 3);  // the last data row
    QCOMPARE(w->MSHFlexGrid1->col(), 8);
    QCOMPARE(forms::screenPointer(), int(forms::vbDefault));
    QVERIFY(rec.messages.empty());
    // No printer: its message (then the offer of a PDF file, declined), the pointer back, nothing lost.
    w->listing().printerFactory = [] {
        auto p = std::make_unique<RecordingPrinter>();
        p->failToBegin = true;
        return p;
    };
    w->listing().cmdPrintGrid_Click();
    QCOMPARE(rec.texts(), (QStringList{"No printer is available", "Save the listing as a PDF file instead?"}));
    QCOMPARE(forms::screenPointer(), int(forms::vbDefault));
    QCOMPARE(int(w->listing().gridRowCount), 4);
}

void TestShell::printToPdf()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("listing.pdf");
    {
        QtPrinter printer(pdf);
        QString reason;
        QVERIFY(printer.begin(reason));
        printListing(printer, gridOf(120));
        QVERIFY2(printer.endDoc(reason), qPrintable(reason));
        printer.setLandscape(false);
        QVERIFY(!printer.landscape());
    }
    QProcess info;
    info.start("pdfinfo", {pdf});
    QVERIFY(info.waitForFinished());
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(meta.contains(QRegularExpression("Pages:\\s+3")), qPrintable(meta));
    const QRegularExpression size("Page size:\\s+([0-9.]+) x ([0-9.]+)");
    const QRegularExpressionMatch m = size.match(meta);
    QVERIFY(m.hasMatch());
    QVERIFY(m.captured(1).toDouble() > m.captured(2).toDouble());  // landscape
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished());
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(out.contains("Page 1 of  3") || out.contains("Page 1 of 3"), qPrintable(out.left(600)));
    QVERIFY(out.contains("Page  3 of  3") || out.contains("Page 3 of 3"));
    QVERIFY(out.contains("Low(MHz)"));
    QVERIFY(out.contains("Licensee"));
    QVERIFY(out.contains("0.526500"));
    QVERIFY(out.contains("Kowhai Radio Limited"));
    QVERIFY(out.contains(QString(30, 'S') + "...."));
    QCOMPARE(out.count("Low(MHz)"), 3);
    // The columns: the licensee starts right of the site, the frequencies first.
    for (const QString& line : out.split('\n')) {
        if (!line.contains("Kowhai"))
            continue;
        QVERIFY(line.indexOf("157.112500") > line.indexOf("157.100000"));
        QVERIFY(line.indexOf("Kowhai") > line.indexOf("Mt Kaukau"));
        QVERIFY(line.indexOf("123456") > line.indexOf("WN"));
        break;
    }
}

void TestShell::aboutBox()
{
    FrmAbout about;
    QCOMPARE(about.caption(), QStringLiteral("About Orvane"));
    QCOMPARE(about.lblTitle->caption(), QStringLiteral("Orvane Zaru"));
    QCOMPARE(about.lblVersion->caption(), QStringLiteral("Version %1.%2.%3")
                                              .arg(ORVANE_VERSION_MAJOR)
                                              .arg(ORVANE_VERSION_MINOR)
                                              .arg(ORVANE_VERSION_PATCH));
    QCOMPARE(about.Label2->foreColorText(), QStringLiteral("#FF0000"));
    QCOMPARE(about.Line1->at(0)->borderColorText(), QStringLiteral("#FFFFFF"));
    QCOMPARE(about.Line1->at(1)->borderColorText(), QStringLiteral("#808080"));
    QCOMPARE(about.cmdOK->caption(), QStringLiteral("OK"));
    QVERIFY(about.cmdOK->isDefault());
    QVERIFY(about.cmdOK->isCancel());
    QCOMPARE(about.cmdSysInfo->caption(), QStringLiteral("&System Info..."));
    QCOMPARE(about.scaleWidth(), 6165.0);
    QCOMPARE(about.cmdSysInfo->left(), 4740.0);
    // No system-information program on the PATH: the message.
    testing::Recorder rec;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    about.cmdSysInfo_Click();
    qputenv("PATH", path);
    QCOMPARE(rec.texts(), QStringList{"System Information Is Unavailable At This Time"});
    about.show();
    QVERIFY(about.isVisible());
    about.cmdOK_Click();
    QVERIFY(!about.isVisible());
}

void TestShell::ituLegend()
{
    FrmITU legend;
    QCOMPARE(legend.caption(), QStringLiteral("ITU Allocation Colour Codes"));
    QCOMPARE(legend.scaleWidth(), 4755.0);
    QCOMPARE(legend.scaleHeight(), 3270.0);
    const QStringList captions{"Fixed", "Land Mobile", "Broadcasting", "Maritime", "Aeronautical", "Satellite",
                               "Radionavigation", "Amateur", "Mobile", "Miscellaneous"};
    const QStringList colours{"#FF0000", "#804000", "#FFFF00", "#0000FF", "#C0FFFF",
                              "#FF00FF", "#FFFFFF", "#00C0C0", "#FF8000", "#C0C0C0"};
    const double tops[] = {120, 405, 705, 1005, 1305, 1605, 1905, 2205, 2490, 2790};
    QCOMPARE(int(legend.swatches.size()), 10);
    for (int k = 0; k < 10; ++k) {
        QCOMPARE(legend.labels[size_t(k)]->caption(), captions[k]);
        QCOMPARE(legend.swatches[size_t(k)]->fillColorText(), colours[k]);
        QCOMPARE(legend.swatches[size_t(k)]->top(), tops[k]);
        QCOMPARE(legend.swatches[size_t(k)]->left(), 315.0);
        QCOMPARE(legend.swatches[size_t(k)]->width(), 705.0);
        QCOMPARE(legend.labels[size_t(k)]->left(), 1275.0);
    }
    QCOMPARE(legend.Text1->text(),
             QStringLiteral("SERVICE DESCRIPTIONS\r\n     \r\n    Primary\r\n     Capital Letters\r\n     eg FIXED\r\n\r\n"
                            "     Secondary\r\n     Mixed Case\r\n     eg Maritime mobile\r\n"));
    QVERIFY(legend.Text1->isLocked());
    QVERIFY(legend.surface()->hasPicture());
    // Escape closes it, wherever the focus is in it.
    legend.show();
    QVERIFY(QTest::qWaitForWindowExposed(&legend));
    legend.Text1->setFocus();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &legend, Qt::Key_Escape);
    QVERIFY(!legend.isVisible());
}

void TestShell::helpViewer()
{
    const QString chm = QStringLiteral(ORVANE_HELP_FILE);
    QVERIFY2(QFile::exists(chm), "the build makes the help file");
    {
        ChmFile file(chm);
        QVERIFY(file.isOpen());
        QCOMPARE(file.defaultTopic(), QStringLiteral("/index.html"));
        QCOMPARE(file.title(), QStringLiteral("Orvane Zaru Help"));
        QCOMPARE(file.contentsFile(), QStringLiteral("/toc.hhc"));
        QCOMPARE(file.indexFile(), QStringLiteral("/index.hhk"));
        QVERIFY(QString::fromUtf8(file.object("/chart.html")).contains("Management right"));
        QVERIFY(!file.object("/pictures/window.png").isEmpty());
    }
    testing::WorkDir wd;
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 1, 26, 2);
    }
    auto w = openWindow();
    // No help file in the working directory: nothing happens.
    QVERIFY(!w->help().showHelpFile("OrvaneZaru.chm", nullptr, 0));
    w->help().mnuHelp_Click();
    QVERIFY(!w->help().helpViewer());
    QVERIFY(QFile::copy(chm, wd.file("OrvaneZaru.chm")));
    // F1 anywhere in the main window opens it, as the menu does.
    auto* f1 = w->findChild<QShortcut*>("kbdHelp");
    QVERIFY(f1);
    QCOMPARE(f1->key(), QKeySequence(QKeySequence::HelpContents));
    emit f1->activated();
    auto* help = qobject_cast<HelpWindow*>(w->help().helpViewer());
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help->windowTitle(), QStringLiteral("Orvane Zaru Help"));
    HelpViewer* page = help->page();
    QCOMPARE(page->documentTitle(), QStringLiteral("Orvane Zaru"));
    QVERIFY(page->toPlainText().contains("KORVA.mdb"));
    // The contents: the file's own tree, nested; a click opens its page.
    QTreeWidget* contents = help->contents();
    QVERIFY(contents->topLevelItemCount() >= 8);
    QTreeWidgetItem* chart = nullptr;
    for (int i = 0; i < contents->topLevelItemCount(); ++i)
        if (contents->topLevelItem(i)->text(0) == "Reading the chart")
            chart = contents->topLevelItem(i);
    QVERIFY(chart);
    QVERIFY(chart->childCount() >= 3);
    emit contents->itemClicked(chart, 0);
    QCOMPARE(page->documentTitle(), QStringLiteral("Reading the chart"));
    // Links read their pages from the same file; pictures are shown.
    page->setSource(QUrl("map.html"));
    QCOMPARE(page->documentTitle(), QStringLiteral("The map and its readout"));
    QVERIFY(!page->document()->resource(QTextDocument::ImageResource, QUrl("pictures/district.png")).isNull());
    // Back, Forward and Home.
    QVERIFY(help->backAction->isEnabled());
    help->backAction->trigger();
    QCOMPARE(page->documentTitle(), QStringLiteral("Reading the chart"));
    QVERIFY(help->forwardAction->isEnabled());
    help->forwardAction->trigger();
    QCOMPARE(page->documentTitle(), QStringLiteral("The map and its readout"));
    help->homeAction->trigger();
    QCOMPARE(page->documentTitle(), QStringLiteral("Orvane Zaru"));
    // The index: a typed word narrows it, Enter opens the first entry left.
    QVERIFY(help->index()->count() > 40);
    help->indexFilter()->setText("nzms260");
    int shown = 0;
    for (int i = 0; i < help->index()->count(); ++i)
        shown += !help->index()->item(i)->isHidden();
    QCOMPARE(shown, 1);
    emit help->indexFilter()->returnPressed();
    QCOMPARE(page->documentTitle(), QStringLiteral("The map and its readout"));
    // Find in page (Ctrl+F): found and selected, going round the page once.
    QCOMPARE(help->findAction->shortcut(), QKeySequence(QKeySequence::Find));
    help->findAction->trigger();
    QVERIFY(help->findBox()->isVisible());
    QVERIFY(help->find("NZMS260"));
    QCOMPARE(page->textCursor().selectedText(), QStringLiteral("NZMS260"));
    const int first = page->textCursor().position();
    QVERIFY(help->find("NZMS260"));
    QVERIFY(page->textCursor().position() > first);
    QVERIFY(!help->find("no such words anywhere"));
    // A file of that name that is not a help file: the window says so,
    // naming the file.
    QFile::remove(wd.file("OrvaneZaru.chm"));
    QFile junk(wd.file("OrvaneZaru.chm"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a help file");
    junk.close();
    QVERIFY(w->help().showHelpFile("OrvaneZaru.chm", nullptr, 0));
    help = qobject_cast<HelpWindow*>(w->help().helpViewer());
    QVERIFY(help && help->isVisible() && !help->isOpen());
    QCOMPARE(help->page()->toPlainText(),
             "The help file " + QFileInfo(wd.file("OrvaneZaru.chm")).absoluteFilePath() +
                 " cannot be shown: it is not a compiled help file, or its header is damaged.");
}

// What people expect of a help viewer: search across pages, find in page
// that says when nothing is found and stays put, the contents following the
// page, print, text size, Escape and Ctrl+W.
void TestShell::helpViewerAsPeopleExpect()
{
    HelpWindow help(QStringLiteral(ORVANE_HELP_FILE));
    QVERIFY(help.isOpen());
    help.resize(700, 400);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(help.showDefaultTopic());
    HelpViewer* page = help.page();
    QCOMPARE(page->documentTitle(), QStringLiteral("Orvane Zaru"));

    // Search: a tab beside Contents and Index; a word found only on a page
    // not shown lists that page, which opens with the word marked.
    QTabWidget* tabs = help.sideTabs();
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(2), QStringLiteral("Search"));
    QVERIFY(!page->toPlainText().contains("spreadsheet", Qt::CaseInsensitive));
    help.searchBox()->setText("SPREADSH");
    QCOMPARE(help.searchResults()->count(), 1);
    QCOMPARE(help.findChild<QLabel*>("lblSearchCount")->text(), QStringLiteral("1 page"));
    emit help.searchBox()->returnPressed();
    QCOMPARE(page->source().path(), QStringLiteral("/listing.html"));
    QVERIFY(!page->extraSelections().isEmpty());
    for (const QTextEdit::ExtraSelection& mark : page->extraSelections())
        QVERIFY2(mark.cursor.selectedText().startsWith("spreadsheet", Qt::CaseInsensitive),
                 qPrintable(mark.cursor.selectedText()));
    // Several words: every one must be on the page; ranked, the page whose
    // title holds a word first. Query syntax is only text.
    QVERIFY(help.searchPages("map readout") >= 1);
    QCOMPARE(help.searchResults()->item(0)->data(Qt::UserRole).toString(), QStringLiteral("/map.html"));
    for (const char* odd : {"\"\"", "NEAR(a b)", "* OR -", "map\"", "(((("})
        help.searchPages(QString::fromLatin1(odd));
    QCOMPARE(help.searchPages("qwzzx"), 0);
    QCOMPARE(help.findChild<QLabel*>("lblSearchCount")->text(), QStringLiteral("Not found"));
    // Another page's search leaves no marks behind.
    page->setSource(QUrl("/tuning.html"));
    QVERIFY(page->extraSelections().isEmpty());

    // The contents follow the page, sub-topics included.
    QTreeWidget* contents = help.contents();
    QTreeWidgetItem* colours = contents->findItems("The colours", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QVERIFY(colours);
    emit contents->itemClicked(colours, 0);
    QCOMPARE(contents->currentItem(), colours);
    page->setSource(QUrl("/chart.html#numbers"));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("The numbers on the bars"));
    page->setSource(QUrl("/map.html"));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("The map and its readout"));

    // Find in page: the first search of a page starts at its top, wherever
    // the last click was; nothing found says so and leaves the page as it was.
    page->setSource(QUrl("/chart.html"));
    QTextCursor late(page->document());
    late.movePosition(QTextCursor::End);
    page->setTextCursor(late);
    page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum() / 2);
    help.findAction->trigger();
    QTest::keyClicks(help.findBox(), "the");
    const int firstThe = page->document()->find("the").selectionStart();
    QCOMPARE(page->textCursor().selectionStart(), firstThe);
    const int scrolled = page->verticalScrollBar()->value();
    const QTextCursor before = page->textCursor();
    help.findBox()->setText("qwzzx");
    emit help.findBox()->returnPressed();
    QCOMPARE(help.findStatus()->text(), QStringLiteral("Not found"));
    QCOMPARE(page->verticalScrollBar()->value(), scrolled);
    QCOMPARE(page->textCursor().selectionStart(), before.selectionStart());
    QCOMPARE(page->textCursor().selectionEnd(), before.selectionEnd());
    help.findBox()->clear();
    QTest::keyClicks(help.findBox(), "colour");
    QCOMPARE(help.findStatus()->text(), QString());
    QVERIFY(page->textCursor().selectedText().compare("colour", Qt::CaseInsensitive) == 0);

    // Print: through the print dialog (Ctrl+P); here straight to a PDF file.
    QCOMPARE(help.printAction->shortcut(), QKeySequence(QKeySequence::Print));
    testing::WorkDir wd;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(wd.file("page.pdf"));
        help.printPage(&pdf);
    }
    QFile printed(wd.file("page.pdf"));
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QVERIFY(printed.read(5) == "%PDF-");
    QVERIFY(printed.size() > 2000);

    // Text size: Ctrl+plus, Ctrl+minus, Ctrl+0.
    const qreal usual = page->font().pointSizeF();
    QCOMPARE(help.largerAction->shortcuts().value(0), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    QCOMPARE(help.usualSizeAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    help.largerAction->trigger();
    help.largerAction->trigger();
    QVERIFY(page->font().pointSizeF() > usual * 1.2);
    help.smallerAction->trigger();
    help.smallerAction->trigger();
    help.smallerAction->trigger();
    QVERIFY(page->font().pointSizeF() < usual);
    for (int i = 0; i < 30; ++i)
        help.smallerAction->trigger();
    QVERIFY(page->font().pointSizeF() > 5);
    QVERIFY(!help.smallerAction->isEnabled());
    help.usualSizeAction->trigger();
    QCOMPARE(page->font().pointSizeF(), usual);

    // Home shows a house, not the folder the style calls home.
    const QImage home = help.homeAction->icon().pixmap(16).toImage();
    QVERIFY(home != help.style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(16).toImage());

    // Escape closes the find bar first, then the window; Ctrl+W closes it too.
    QVERIFY(help.findBox()->isVisible());
    QTest::keyClick(help.findBox(), Qt::Key_Escape);
    QVERIFY(!help.findBox()->isVisible());
    QVERIFY(help.isVisible());
    QTest::keyClick(page, Qt::Key_Escape);
    QVERIFY(!help.isVisible());
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QCOMPARE(help.closeAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
    QTest::keyClick(page, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!help.isVisible());
}

// The words of the help's pages and where typed words are marked in them.
void TestShell::helpSearchText()
{
    using help::wordSpans;
    // Case and macrons ignored either way round; only the beginnings of words.
    const QString text = QStringLiteral("Taup\u014D and TAUPOS, untaupo; Whanga\u0304rei.");
    const auto spans = wordSpans(text, {"taupo", "whangarei", "TAUP\u014C"});
    QCOMPARE(int(spans.size()), 3);
    QCOMPARE(text.mid(spans[0].first, spans[0].second), QStringLiteral("Taup\u014D"));
    QCOMPARE(text.mid(spans[1].first, spans[1].second), QStringLiteral("TAUPOS"));
    QCOMPARE(text.mid(spans[2].first, spans[2].second), QStringLiteral("Whanga\u0304rei"));
    QVERIFY(wordSpans(text, {""}).empty());
    QCOMPARE(int(wordSpans(QStringLiteral("\U0001F4FB radio"), {"radio"}).size()), 1);

    QCOMPARE(help::pageTitle("<html><head><TITLE>\n The  map &amp; more</TITLE></head>"),
             QStringLiteral("The map & more"));
    QCOMPARE(help::pageTitle("<p>none</p>"), QString());
    QCOMPARE(help::pageText("<title>T</title><style>p { x }</style><script>var a = '<p>';</script>"
                            "<!-- a <b>comment</b> --><p>One&nbsp;<b>two</b>&#257;</p>\n<p>three&#99999999;</p>"),
             QStringLiteral("One two\u0101 three"));

    // The index ranks a word in a title above the same word in the text.
    reg::TextIndex index;
    index.add(0, "Tuning", "the map is mentioned here once");
    index.add(1, "The map", "nothing else");
    index.add(2, "Other", "no such word");
    const auto found = index.search("MAP");
    QCOMPARE(int(found.size()), 2);
    QCOMPARE(found[0].document, 1);
    QCOMPARE(found[1].excerpt, QStringLiteral("the map is mentioned here once"));
    QVERIFY(index.search("\"").empty());
    QVERIFY(index.search(QString(10000, 'x')).empty());
}

// The contents and index files of a help file: lists nest, entities decode,
// entries without a name are left out.
// A help file made without contents or index: its default topic alone, with
// nothing beside it.
void TestShell::helpFileWithoutContents()
{
    const QString chmcmd = QStandardPaths::findExecutable("chmcmd");
    if (chmcmd.isEmpty())
        QSKIP("chmcmd is not installed");
    testing::WorkDir wd;
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(wd.file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("start.html", "<html><head><title>Only page</title></head><body><p>Just this.</p></body></html>");
    write("bare.hhp", "[OPTIONS]\nCompiled file=bare.chm\nDefault topic=start.html\nTitle=Bare\n\n[FILES]\nstart.html\n");
    QProcess make;
    make.setWorkingDirectory(wd.path());
    make.start(chmcmd, {"bare.hhp"});
    QVERIFY(make.waitForFinished(60000));
    QVERIFY(QFile::exists(wd.file("bare.chm")));

    HelpWindow help(wd.file("bare.chm"));
    QVERIFY(help.showDefaultTopic());
    help.show();
    QCOMPARE(help.windowTitle(), QStringLiteral("Bare"));
    QCOMPARE(help.page()->documentTitle(), QStringLiteral("Only page"));
    QCOMPARE(help.contents()->topLevelItemCount(), 0);
    QCOMPARE(help.index()->count(), 0);
    QVERIFY(!help.contents()->isVisibleTo(&help));
    QVERIFY(!help.index()->isVisibleTo(&help));
    QVERIFY(help.page()->isVisibleTo(&help));
}

void TestShell::helpSitemaps()
{
    const QByteArray html = "<HTML><BODY><UL>"
                            "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"One &amp; two\">"
                            "<param name=\"Local\" value=\"one.html\"></OBJECT>"
                            "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Inner\">"
                            "<param name=\"Local\" value=\"one.html#in\"></OBJECT></UL>"
                            "<LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.html\"></OBJECT>"
                            "<LI><object type='text/sitemap'><param name=Name value='Three &#8211; last'>"
                            "<param name=\"Local\" value=\"three.html\"></object>"
                            "</UL></BODY></HTML>";
    const std::vector<HelpTopic> topics = parseSitemap(html);
    QCOMPARE(topics.size(), size_t(2));
    QCOMPARE(topics[0].name, QStringLiteral("One & two"));
    QCOMPARE(topics[0].page, QStringLiteral("one.html"));
    QCOMPARE(topics[0].children.size(), size_t(1));
    QCOMPARE(topics[0].children[0].page, QStringLiteral("one.html#in"));
    QCOMPARE(topics[1].name, QString::fromUtf8("Three – last"));
    QVERIFY(parseSitemap("").empty());
    QVERIFY(parseSitemap("<UL><UL></UL></UL></UL>").empty());
}

void TestShell::menuCommands()
{
    testing::WorkDir wd;
    {
        testing::TinyRegister r(wd.file("KORVA.mdb"));
        r.record(1.0, 1.01, 5, 1, 26, 2);
    }
    auto w = openWindow();
    // The ITU button is out of use for a second after each search.
    QVERIFY(!w->cmdITU->isEnabledFlag());
    QVERIFY(w->tmrITU->isEnabled());
    int modals = 0;
    QString shown;
    const forms::ModalHandler old = forms::setModalHandler([&](forms::Form& f) {
        ++modals;
        shown = f.objectName();
    });
    emit w->cmdITU->clicked();  // a disabled button's click does not come through the real widget
    w->cmdITU->button()->click();
    QCOMPARE(modals, 1);  // the signal above ran the handler; the disabled button did not
    w->tmrITU->fire();
    QVERIFY(w->cmdITU->isEnabledFlag());
    QVERIFY(!w->tmrITU->isEnabled());
    w->cmdITU->button()->click();
    QCOMPARE(modals, 2);
    QCOMPARE(shown, QStringLiteral("frmITU"));
    w->mnuAbout->trigger();
    QCOMPARE(modals, 3);
    QCOMPARE(shown, QStringLiteral("frmAbout"));
    // A search disables it again.
    w->frequency().txtFrequencyDisplay_KeyPress(13);
    QVERIFY(!w->cmdITU->isEnabledFlag());
    forms::setModalHandler(old);
    // Exit stops every timer at once.
    w->tmrSearch->setEnabled(true);
    w->mnuExit->trigger();
    QVERIFY(!w->tmrSearch->isEnabled());
    QVERIFY(!w->tmrFlash->isEnabled());
    QVERIFY(!w->isVisible());
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
