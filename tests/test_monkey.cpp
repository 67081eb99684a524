// A monkey: thousands of random clicks, moves, drags, key presses and menu
// choices sent to the window with a fixed seed, checking the chart's
// invariants after each. ORVANE_MONKEY_STEPS sets the length (default 4000).

#include "registers.h"
#include "window.h"
#include "support.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <random>

using namespace shell;

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void randomSession();
};

void TestMonkey::randomSession()
{
    testing::WorkDir wd;
    QCOMPARE(testing::makeRegister(wd.file("KORVA.mdb"), 0.05, 11), 0);
    testing::Recorder rec;
    const forms::ModalHandler old = forms::setModalHandler([](forms::Form&) {});
    FrmSpectrum w;
    w.formLoad();
    w.listing().printerFactory = [] { return std::make_unique<inspect::RecordingPrinter>(); };
    QVERIFY(testing::activate(&w));

    const int steps = qEnvironmentVariableIsSet("ORVANE_MONKEY_STEPS") ? qEnvironmentVariableIntValue("ORVANE_MONKEY_STEPS")
                                                                       : 4000;
    std::mt19937 rng(20261209);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    QList<QAction*> menu;
    for (QAction* a : w.mnuFile->actions())
        if (!a->isSeparator() && a != w.mnuExit)
            menu << a;
    menu << w.mnuAbout << w.mnuHelp;
    const QStringList texts{"1", "157.25", "0.2", "450", "abc", "", "-3", "1000", "+.5", "88.1"};
    const QRegularExpression panel1(
        "^$|^Searching$|^ \\d+ Records found$|^Too many records to be displayed - reset criteria$|^-?\\d+(\\.\\d+)?$|"
        "^(\\(.+\\) |.)?-?\\d+(\\.\\d+)? - -?\\d+(\\.\\d+)? \\(BW -?\\d+(\\.\\d+)?(MHz|kHz|Hz)\\)$");
    const QStringList panel2{"Fine Tuning Used", "Fine Tuning Unused", "Autoscan on, use (-/+) to stop"};
    QWidget* client = w.surface();
    const QSize size = client->size();

    for (int step = 0; step < steps; ++step) {
        const QPoint at(uniform(0, size.width() - 1), uniform(0, size.height() - 30));
        switch (uniform(0, 9)) {
        case 0:
        case 1:
            QTest::mouseClick(client->childAt(at) ? client->childAt(at) : client, uniform(0, 1) ? Qt::LeftButton : Qt::RightButton,
                              {}, (client->childAt(at) ? client->childAt(at)->mapFrom(client, at) : at));
            break;
        case 2:
        case 3: {
            QWidget* target = client->childAt(at) ? client->childAt(at) : client;
            QTest::mouseMove(target, target->mapFrom(client, at));
            break;
        }
        case 4: {
            QWidget* target = client->childAt(at) ? client->childAt(at) : client;
            const QPoint local = target->mapFrom(client, at);
            QTest::mousePress(target, Qt::LeftButton, {}, local);
            QTest::mouseMove(target, local + QPoint(uniform(-40, 40), uniform(-40, 40)));
            QTest::mouseRelease(target, Qt::LeftButton, {}, local + QPoint(uniform(-40, 40), uniform(-40, 40)));
            break;
        }
        case 5:
            w.txtFrequencyDisplay->setText(texts[uniform(0, int(texts.size()) - 1)]);
            QTest::keyClick(w.txtFrequencyDisplay->editor(), Qt::Key_Return);
            break;
        case 6:
            menu[uniform(0, int(menu.size()) - 1)]->trigger();
            break;
        case 7:
            w.tmrSearch->isEnabled() ? w.tmrSearch->fire() : w.tmrFlash->fire();
            break;
        case 8:
            (uniform(0, 1) ? w.cmdZoomIn : w.cmdZoomOut)->button()->click();
            break;
        default:
            QCoreApplication::processEvents();
            break;
        }
        // The invariants: bars 0 to the last index exist and no more; the rows match;
        // the panels read one of their texts.
        const int last = w.chart().lastRecordIndex;
        QVERIFY(last >= 0 && last < 500);
        for (int i = 0; i <= last; ++i)
            QVERIFY2(w.lblSpectrum->exists(i), qPrintable(QString::number(step)));
        if (w.chart().searchLoaded) {
            QCOMPARE(w.lblSpectrum->count(), last + 1);
            QCOMPARE(w.chart().rows().count, last + 1);
            QCOMPARE(int(w.chart().rows().rows.size()), last + 1);
        }
        QVERIFY2(panel1.match(w.StatusBar1->panelText(1)).hasMatch(), qPrintable(w.StatusBar1->panelText(1)));
        QVERIFY2(panel2.contains(w.StatusBar1->panelText(2)), qPrintable(w.StatusBar1->panelText(2)));
        QVERIFY(w.frequency().zoomFactor > 0);
        QVERIFY(w.siteMap().lastSiteIndex + 1 >= w.lblLocationRef->count() - 2 || w.lblLocationRef->count() == 2);
    }
    forms::setModalHandler(old);
    // Every message the monkey met was one of the program's own.
    const QStringList known{"You didn't enter a number", "Exceeded maximum zoom", "Unable to zoom",
                            "Sorry.  Please return Zoom to 1 before scrolling", "No printer",
                            "Save the listing as a PDF file instead?", "There is no listing in the grid to export.",
                            "There are no sites plotted to export."};
    for (const QString& m : rec.texts()) {
        bool ok = false;
        for (const QString& k : known)
            ok = ok || m.startsWith(k);
        QVERIFY2(ok, qPrintable(m));
    }
}

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
