// Zoom, step tuning and autoscan on the main window.

#include "registers.h"
#include "base/numbers.h"
#include "support.h"
#include "window.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>
#include <cmath>

using namespace shell;
using testing::openWindow;
using testing::TinyRegister;

namespace {


void smallRegister(const QString& path)
{
    TinyRegister r(path);
    r.record(0.5, 0.76, 5, 1, 26, 2);
    r.record(1.0, 1.01, 5, 1, 26, 9);
    r.record(1.02, 1.03, 5, 5, 26, 9);
    for (int i = 0; i < 40; ++i)
        r.record(0.9 + i * 0.025, 0.9 + i * 0.025 + 0.0125, 4, 1, 25, 1 + i % 12);
}

QPoint centreOf(QWidget* w, QWidget* in) { return w->mapTo(in, w->rect().center()); }

}  // namespace

class TestTuning : public QObject {
    Q_OBJECT

private slots:
    void zoomInAndOut();
    void zoomAfterAScroll();
    void zoomFailsAndSearchesAgain();
    void zoomOutAnyNumberOfTimes();
    void threeTicksUpward();
    void steppingDownThroughZero();
    void onceATurnTheTickSearchesTwice();
    void autoscanByTheHeldButtonRule();
    void releaseBeforeTheFirstTick();
    void pressWithoutANumber();
    void spinnerGeometry();
};

void TestTuning::zoomInAndOut()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    w->frequency().cmdZoomIn_Click();
    QCOMPARE(w->frequency().windowLowMHz, 0.875);
    QCOMPARE(w->frequency().windowHighMHz, 1.125);
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 2"));
    QCOMPARE(w->lblLowFrequency->caption(), QStringLiteral(".875000"));
    QCOMPARE(w->lblHighFrequency->caption(), QStringLiteral("1.125000"));
    QVERIFY(!w->hsbFrequency->isEnabledFlag());
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("1.000000"));
    // The bars are on the new scale: 1.0 MHz is the middle of the chart.
    int one = -1;
    for (int i = 0; i <= w->chart().lastRecordIndex; ++i)
        if (w->chart().recordLowMHz(i) == 1.0 && w->chart().recordBandwidthMHz(i) == 0.01)
            one = i;
    QVERIFY(one >= 0);
    QCOMPARE(w->lblSpectrum->at(one)->left(), 2500.0);
    QCOMPARE(w->lblSpectrum->at(one)->width(), 200.0);
    w->frequency().cmdZoomOut_Click();
    w->frequency().cmdZoomOut_Click();
    QCOMPARE(w->frequency().windowLowMHz, 0.5);
    QCOMPARE(w->frequency().windowHighMHz, 1.5);
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x .5"));
    w->frequency().cmdZoomOut_Click();
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x .25"));
    w->frequency().cmdZoomIn_Click();
    w->frequency().cmdZoomIn_Click();
    QCOMPARE(w->frequency().windowLowMHz, 0.75);
    QCOMPARE(w->frequency().windowHighMHz, 1.25);
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 1"));
    QVERIFY(w->hsbFrequency->isEnabledFlag());
    QVERIFY(rec.messages.empty());
    // The shades follow the searched range on the new scale.
    w->frequency().cmdZoomOut_Click();
    QCOMPARE(w->lblUnsearchedLow->left(), -1250.0);
    QCOMPARE(w->lblUnsearchedHigh->left(), 3750.0);
}

void TestTuning::zoomAfterAScroll()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->hsbFrequency->setValue(2500);
    QCOMPARE(w->frequency().windowLowMHz, 0.5);
    w->frequency().cmdZoomIn_Click();
    QCOMPARE(w->frequency().windowLowMHz, 0.625);
    QCOMPARE(w->frequency().windowHighMHz, 0.875);
    QCOMPARE(w->lblUnsearchedLow->left(), 0.0);
    QCOMPARE(w->hsbFrequency->value(), 2500);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral(".750000"));
}

void TestTuning::zoomFailsAndSearchesAgain()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    QCOMPARE(w->lblSpectrum->at(0)->left(), -2500.0);  // 0.5 to 0.76 MHz
    for (int i = 0; i < 6; ++i)
        w->frequency().cmdZoomIn_Click();
    QVERIFY(rec.messages.empty());
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 64"));
    QCOMPARE(w->lblSpectrum->at(0)->left(), -240000.0);
    QCOMPARE(w->lblSpectrum->at(0)->width(), 88900.0);
    w->frequency().cmdZoomIn_Click();
    QCOMPARE(rec.texts(), QStringList{"Exceeded maximum zoom for this set of records\r\nReturning to Zoom x 1"});
    QCOMPARE(rec.messages[0].style, int(forms::vbExclamation));
    QCOMPARE(w->lblZoom->caption(), QStringLiteral("Zoom x 1"));
    QCOMPARE(w->frequency().zoomFactor, 1.0);
    QCOMPARE(w->frequency().windowLowMHz, 0.75);
    QCOMPARE(w->lblSpectrum->at(0)->left(), -2500.0);
    QVERIFY(w->hsbFrequency->isEnabledFlag());
    QCOMPARE(w->hsbFrequency->value(), 0);
}

void TestTuning::zoomOutAnyNumberOfTimes()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    for (int i = 0; i < 60; ++i)
        w->frequency().cmdZoomOut_Click();
    QVERIFY(rec.messages.empty());
    // Everything crowds towards the centre; the shades cover each half.
    for (int i = 0; i <= w->chart().lastRecordIndex; ++i)
        QVERIFY(std::fabs(w->lblSpectrum->at(i)->left() - 2500.0) < 1);
    QVERIFY(std::fabs(w->lblUnsearchedLow->left()) < 1e-6);
    QVERIFY(std::fabs(w->lblUnsearchedHigh->left() - 2500) < 1e-6);
}

void TestTuning::threeTicksUpward()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    QVERIFY(w->Option1[15]->value());  // 25 k
    w->frequency().cmdPlus_MouseDown(1, 0, 10, 10);
    QVERIFY(w->tmrSearch->isEnabled());
    const char* boxes[] = {"1.025000", "1.050000", "1.075000"};
    const double charts[] = {1.0, 1.025, 1.05};
    for (int t = 0; t < 3; ++t) {
        w->tmrSearch->fire();
        QCOMPARE(w->txtFrequencyDisplay->text(), QString::fromLatin1(boxes[t]));
        QCOMPARE(w->frequency().searchLowMHz + 0.25, charts[t]);
    }
    w->frequency().cmdPlus_MouseUp(1, 0, 10, 10);
    QVERIFY(!w->tmrSearch->isEnabled());
    QCOMPARE(w->frequency().searchLowMHz + 0.25, 1.075);
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("1.075000"));
    QCOMPARE(w->frequency().knobAngleDegrees, 30.0);
    QCOMPARE(w->StatusBar1->panelText(2), QStringLiteral("Fine Tuning Unused"));
}

void TestTuning::steppingDownThroughZero()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->txtFrequencyDisplay->setText(".020000");
    w->frequency().cmdMinus_MouseDown(1, 0, 1, 1);
    w->tmrSearch->fire();
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral(".000000"));
    QCOMPARE(w->frequency().knobAngleDegrees, -10.0);  // anticlockwise
    w->tmrSearch->fire();
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral(".000000"));
    QCOMPARE(w->frequency().searchLowMHz, -0.25);  // the window centred on 0
    QCOMPARE(w->frequency().scanFrequencyMHz, 0.0);
    w->frequency().cmdMinus_MouseUp(1, 0, 1, 1);
    QCOMPARE(w->lblLowFrequency->caption(), QString());
}

void TestTuning::onceATurnTheTickSearchesTwice()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    w->Option1[9]->setValue(true);  // 10 k
    w->frequency().cmdPlus_MouseDown(1, 0, 1, 1);
    for (int t = 1; t <= 35; ++t) {
        w->tmrSearch->fire();
        // One step behind the box.
        QCOMPARE(base::roundSix(w->frequency().searchLowMHz + 0.25), base::roundSix(1.0 + (t - 1) * 0.01));
    }
    QCOMPARE(w->frequency().knobAngleDegrees, 350.0);
    w->tmrSearch->fire();
    QCOMPARE(w->frequency().knobAngleDegrees, 0.0);
    // The second search of the 36th tick caught up with the box.
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("1.360000"));
    QCOMPARE(base::roundSix(w->frequency().searchLowMHz + 0.25), 1.36);
    QCOMPARE(w->shpSpinner->left(), 1120.0);
    w->frequency().cmdPlus_MouseUp(1, 0, 1, 1);
}

void TestTuning::autoscanByTheHeldButtonRule()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    QVERIFY(testing::activate(w.get()));
    QPushButton* plus = w->cmdPlus->button();
    QPushButton* minus = w->cmdMinus->button();

    QTest::mousePress(plus, Qt::LeftButton, {}, plus->rect().center());
    QVERIFY(w->tmrSearch->isEnabled());
    w->tmrSearch->fire();  // the tick's search takes the focus into the frequency box
    QVERIFY(!w->cmdPlus->isTracking());
    QVERIFY(!w->frequency().autoscanOn);
    // Slide onto the knob and let go there.
    const QPoint knob = plus->mapFrom(w.get(), centreOf(w->Picture1, w.get()));
    QTest::mouseMove(plus, knob);
    QTRY_VERIFY(w->frequency().autoscanOn);
    QTest::mouseRelease(plus, Qt::LeftButton, {}, knob);
    QVERIFY(w->tmrSearch->isEnabled());
    w->tmrSearch->fire();
    QCOMPARE(w->StatusBar1->panelText(2), QStringLiteral("Autoscan on, use (-/+) to stop"));
    const QString box = w->txtFrequencyDisplay->text();
    QCOMPARE(box, QStringLiteral("1.050000"));

    // A press on - stops it; its release searches at the box's value.
    QTest::mousePress(minus, Qt::LeftButton, {}, minus->rect().center());
    QVERIFY(!w->tmrSearch->isEnabled());
    QVERIFY(!w->frequency().autoscanOn);
    QTest::mouseRelease(minus, Qt::LeftButton, {}, minus->rect().center());
    QVERIFY(!w->tmrSearch->isEnabled());
    QCOMPARE(w->StatusBar1->panelText(2), QStringLiteral("Fine Tuning Unused"));
    QCOMPARE(w->frequency().searchLowMHz + 0.25, 1.05);
}

void TestTuning::releaseBeforeTheFirstTick()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    QVERIFY(testing::activate(w.get()));
    QPushButton* plus = w->cmdPlus->button();
    QTest::mousePress(plus, Qt::LeftButton, {}, plus->rect().center());
    QVERIFY(w->cmdPlus->isTracking());
    // Released over the knob before any tick: still the button's own release.
    const QPoint knob = plus->mapFrom(w.get(), centreOf(w->Picture1, w.get()));
    QTest::mouseMove(plus, knob);
    QTest::mouseRelease(plus, Qt::LeftButton, {}, knob);
    QVERIFY(!w->tmrSearch->isEnabled());
    QVERIFY(!w->frequency().autoscanOn);
    // Released over another control after a tick: the clock runs on, no autoscan.
    QTest::mousePress(plus, Qt::LeftButton, {}, plus->rect().center());
    w->tmrSearch->fire();
    const QPoint zoom = plus->mapFrom(w.get(), centreOf(w->cmdZoomIn, w.get()));
    QTest::mouseMove(plus, zoom);
    QTest::mouseRelease(plus, Qt::LeftButton, {}, zoom);
    QVERIFY(w->tmrSearch->isEnabled());
    QVERIFY(!w->frequency().autoscanOn);
    w->frequency().cmdPlus_MouseDown(1, 0, 1, 1);
    w->frequency().cmdPlus_MouseUp(1, 0, 1, 1);
    QVERIFY(!w->tmrSearch->isEnabled());
}

void TestTuning::pressWithoutANumber()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    testing::Recorder rec;
    auto w = openWindow();
    w->txtFrequencyDisplay->setText("fm");
    w->frequency().cmdPlus_MouseDown(1, 0, 1, 1);
    QVERIFY(!w->tmrSearch->isEnabled());
    w->frequency().cmdPlus_MouseUp(1, 0, 1, 1);
    QCOMPARE(rec.texts(), QStringList{"You didn't enter a number"});
    QVERIFY(!w->tmrSearch->isEnabled());
    QCOMPARE(w->txtFrequencyDisplay->text(), QStringLiteral("fm"));
}

void TestTuning::spinnerGeometry()
{
    testing::WorkDir wd;
    smallRegister(wd.file("KORVA.mdb"));
    auto w = openWindow();
    for (double a : {0.0, 90.0, 180.0, 270.0, 30.0}) {
        w->frequency().knobAngleDegrees = a;
        w->frequency().placeSpinner();
        QCOMPARE(w->shpSpinner->left(), double(float(620 + 500 * std::cos(a * 3.1416 / 180))));
        QCOMPARE(w->shpSpinner->top(), double(float(620 + 500 * std::sin(a * 3.1416 / 180))));
    }
    w->frequency().knobAngleDegrees = 0;
    w->frequency().placeSpinner();
    QCOMPARE(w->shpSpinner->left(), 1120.0);
    QCOMPARE(w->shpSpinner->top(), 620.0);
}

QTEST_MAIN(TestTuning)
#include "test_tuning.moc"
