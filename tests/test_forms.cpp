// The forms layer on its own: a small form with graphical and windowed controls.

#include "forms/events.h"
#include "forms/widgets.h"
#include "support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace forms;

class TestForms : public QObject {
    Q_OBJECT

private slots:
    void colourTexts();
    void laterLabelPaintsOverAndTakesTheClick();
    void zOrderFrontAndBack();
    void linesAndShapesPassTheMouse();
    void geometryRefusedWith380();
    void arrayElementCopiesElementZero();
    void scrollBarChangeOncePerChange();
    void heldButtonLosingFocusHandsOnTheRelease();
    void timerEnablingRestartsTheInterval();
    void messageBoxesGoThroughOneFunction();
    void handlersRunGuarded();
    void twipsPlacement();
    void graphicsAtTwiceTheScaleCoverTheSamePixels();
};

void TestForms::colourTexts()
{
    QCOMPARE(colorText(QColor(0x80, 0xFF, 0x80)), QStringLiteral("#80FF80"));
    QCOMPARE(colorText(colorFromText("#c0ffff")), QStringLiteral("#C0FFFF"));
    QVERIFY(!colorFromText("red").isValid());
    QVERIFY(!colorFromText("#12345").isValid());
}

void TestForms::laterLabelPaintsOverAndTakesTheClick()
{
    PictureBox box(nullptr, "picTest");
    box.setBorderStyle(0);
    box.place(0, 0, 3000, 3000);
    box.setBackColor(QColor(0, 0x80, 0));
    auto* first = new Label(&box, "lblFirst");
    first->place(300, 300, 1500, 1500);
    first->setBackColor(QColor(0xFF, 0, 0));
    auto* second = new Label(&box, "lblSecond");
    second->place(900, 900, 1500, 1500);
    second->setBackColor(QColor(0, 0, 0xFF));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    const QImage img = box.grab().toImage();
    // 1200 twips = 80 pixels lies inside both labels: the later one is on top.
    QCOMPARE(img.pixelColor(80, 80), QColor(0, 0, 0xFF));
    QCOMPARE(img.pixelColor(30, 30), QColor(0xFF, 0, 0));
    QCOMPARE(img.pixelColor(5, 5), QColor(0, 0x80, 0));

    QSignalSpy firstDown(first, &GraphicControl::mouseDown);
    QSignalSpy secondDown(second, &GraphicControl::mouseDown);
    QSignalSpy boxDown(&box, &Control::mouseDown);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(80, 80));
    QCOMPARE(secondDown.count(), 1);
    QCOMPARE(firstDown.count(), 0);
    QCOMPARE(boxDown.count(), 0);
    // Arguments: button 1, shift 0, x and y in twips of the label.
    const QList<QVariant> args = secondDown.first();
    QCOMPARE(args.at(0).toInt(), 1);
    QCOMPARE(args.at(2).toDouble(), 1200.0 - 900.0);
    QCOMPARE(args.at(3).toDouble(), 1200.0 - 900.0);

    // A hidden label lets the click through to the one below.
    second->setVisible(false);
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(80, 80));
    QCOMPARE(firstDown.count(), 1);
    QCOMPARE(firstDown.last().at(0).toInt(), 2);
    // The bare box gets its own event.
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(190, 190));
    QCOMPARE(boxDown.count(), 1);
}

void TestForms::zOrderFrontAndBack()
{
    PictureBox box(nullptr, "picTest");
    box.setBorderStyle(0);
    box.place(0, 0, 3000, 3000);
    auto* a = new Label(&box, "a");
    auto* b = new Label(&box, "b");
    auto* c = new Label(&box, "c");
    for (Label* l : {a, b, c})
        l->place(0, 0, 1500, 1500);
    QCOMPARE(box.graphics().back(), c);
    QCOMPARE(box.graphicAt(QPointF(10, 10)), c);
    a->zOrder(0);
    QCOMPARE(box.graphicAt(QPointF(10, 10)), a);
    QCOMPARE(box.graphics().back(), a);
    a->zOrder(1);
    QCOMPARE(box.graphics().front(), a);
    QCOMPARE(box.graphicAt(QPointF(10, 10)), c);
    c->setVisible(false);
    QCOMPARE(box.graphicAt(QPointF(10, 10)), b);
    delete b;
    QCOMPARE(box.graphicAt(QPointF(10, 10)), a);
    QCOMPARE(int(box.graphics().size()), 2);
}

void TestForms::linesAndShapesPassTheMouse()
{
    PictureBox box(nullptr, "picTest");
    box.setBorderStyle(1);
    box.place(0, 0, 3000, 3000);
    auto* under = new Label(&box, "under");
    under->place(0, 0, 2000, 2000);
    auto* shape = new Shape(&box, "shp");
    shape->place(0, 0, 2000, 2000);
    shape->setFillStyle(Shape::FillSolid);
    shape->setFillColor(QColor(0xC0, 0xC0, 0xC0));
    auto* line = new Line(&box, "ln");
    line->setPoints(0, 300, 3000, 300);
    QCOMPARE(line->width(), 3000.0);
    QCOMPARE(box.graphicAt(QPointF(300, 300)), under);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy down(under, &GraphicControl::mouseDown);
    // The border is two pixels; client point (20, 20) is widget point (22, 22).
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(22, 22));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.first().at(2).toDouble(), 300.0);
    QCOMPARE(box.scaleWidth(), 3000.0 - 60.0);
}

void TestForms::geometryRefusedWith380()
{
    PictureBox box(nullptr, "picTest");
    auto* l = new Label(&box, "lbl");
    l->place(10, 20, 30, 40);
    int number = 0;
    try {
        l->setWidth(-1);
    } catch (const InvalidPropertyValue& e) {
        number = e.number();
        QCOMPARE(e.description(), QStringLiteral("Invalid property value"));
    }
    QCOMPARE(number, 380);
    QCOMPARE(l->width(), 30.0);  // the refused value changes nothing
    QVERIFY_THROWS_EXCEPTION(InvalidPropertyValue, l->setHeight(-0.5));
    QVERIFY_THROWS_EXCEPTION(InvalidPropertyValue, l->setLeft(kMaxTwips * 2));
    QVERIFY_THROWS_EXCEPTION(InvalidPropertyValue, l->setLeft(std::nan("")));
    QVERIFY_THROWS_EXCEPTION(InvalidPropertyValue, l->place(0, 0, -5, 10));
    QCOMPARE(l->left(), 10.0);
    // The whole range the chart needs is accepted and kept exactly.
    l->setLeft(-240000);
    l->setWidth(240000);
    QCOMPARE(l->left(), -240000.0);
    QCOMPARE(l->property("Width").toDouble(), 240000.0);
    // Single precision, as the classic toolkit holds them.
    l->setLeft(0.1);
    QCOMPARE(l->left(), double(0.1f));
}

void TestForms::arrayElementCopiesElementZero()
{
    PictureBox box(nullptr, "picTest");
    ControlArray<Label> bars(&box, "lblSpectrum");
    int connected = 0;
    bars.setConnector([&](Label*) { ++connected; });
    Label* zero = bars.create(0);
    zero->place(750, 1860, 885, 197);
    zero->setCaption("Label1");
    zero->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    zero->setBorderStyle(1);
    zero->setAlignment(Label::AlignRight);
    bars.create(1);
    Label* two = bars.load(2);
    QCOMPARE(connected, 3);
    QCOMPARE(two->objectName(), QStringLiteral("lblSpectrum"));
    QCOMPARE(two->property("Index").toInt(), 2);
    QCOMPARE(two->caption(), QStringLiteral("Label1"));
    QCOMPARE(two->backColorText(), QStringLiteral("#C0C0C0"));
    QCOMPARE(two->borderStyle(), 1);
    QCOMPARE(two->alignment(), int(Label::AlignRight));
    QCOMPARE(two->left(), 750.0);
    QVERIFY(!two->isVisible());
    QCOMPARE(bars.ubound(), 2);
    QVERIFY_THROWS_EXCEPTION(Error, bars.load(2));
    bars.unload(2);
    QVERIFY(!bars.exists(2));
    QCOMPARE(bars.count(), 2);
    QVERIFY_THROWS_EXCEPTION(Error, bars(2));
    QCOMPARE(int(box.graphics().size()), 2);
}

void TestForms::scrollBarChangeOncePerChange()
{
    QWidget w;
    ScrollBar bar(&w, "hsbTest", Qt::Horizontal);
    bar.setMin(-2500);
    bar.setMax(2500);
    bar.setSmallChange(10);
    bar.setLargeChange(100);
    bar.place(0, 0, 4995, 270);
    QSignalSpy change(&bar, &ScrollBar::change);
    bar.setValue(0);
    QCOMPARE(change.count(), 0);  // same value: no Change
    bar.setValue(100);
    QCOMPARE(change.count(), 1);
    bar.setValue(100);
    QCOMPARE(change.count(), 1);
    QVERIFY_THROWS_EXCEPTION(InvalidPropertyValue, bar.setValue(2501));
    QCOMPARE(bar.value(), 100);
    // A dragged thumb raises Change only on release.
    bar.bar()->setSliderDown(true);
    bar.bar()->setSliderPosition(900);
    bar.bar()->setSliderPosition(2500);
    QCOMPARE(change.count(), 1);
    QCOMPARE(bar.value(), 100);
    bar.bar()->setSliderDown(false);
    QCOMPARE(change.count(), 2);
    QCOMPARE(bar.value(), 2500);
    // An arrow step.
    bar.bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(change.count(), 3);
    QCOMPARE(bar.property("Value").toInt(), 2490);
}

void TestForms::heldButtonLosingFocusHandsOnTheRelease()
{
    Form form("frmTest", 6000, 4000);
    auto* button = new CommandButton(form.surface(), "cmdPlus");
    button->place(150, 150, 1500, 600);
    button->setCaption("+");
    auto* box = new TextBox(form.surface(), "txtBox");
    box->place(150, 1200, 1500, 375);
    auto* knob = new PictureBox(form.surface(), "Picture1");
    knob->place(3000, 150, 1500, 1500);
    form.show();
    QVERIFY(testing::activate(&form));

    QSignalSpy buttonUp(button, &Control::mouseUp);
    QSignalSpy buttonDown(button, &Control::mouseDown);
    QSignalSpy knobMove(knob, &Control::mouseMove);
    QSignalSpy knobUp(knob, &Control::mouseUp);
    QSignalSpy formMove(form.surface(), &Control::mouseMove);
    QPushButton* pb = button->button();
    const QPoint centre = pb->rect().center();

    // A held button that keeps the focus gets its own release.
    QTest::mousePress(pb, Qt::LeftButton, {}, centre);
    QCOMPARE(buttonDown.count(), 1);
    QVERIFY(button->isTracking());
    QTest::mouseRelease(pb, Qt::LeftButton, {}, centre);
    QCOMPARE(buttonUp.count(), 1);

    // Pressed, then the focus goes to the text box: the release goes to the
    // control under the pointer (the knob), and moves over it reach it.
    QTest::mousePress(pb, Qt::LeftButton, {}, centre);
    QVERIFY(button->isTracking());
    box->takeFocus();
    QVERIFY(!button->isTracking());
    const QPoint overKnob = pb->mapFrom(&form, knob->mapTo(&form, QPoint(50, 50)));
    QTest::mouseMove(pb, overKnob);
    QTRY_VERIFY(knobMove.count() >= 1);
    QTest::mouseRelease(pb, Qt::LeftButton, {}, overKnob);
    QCOMPARE(knobUp.count(), 1);
    QCOMPARE(buttonUp.count(), 1);
    QVERIFY(!button->isHeld());

    // The same over the bare form, and back over the button itself.
    QTest::mousePress(pb, Qt::LeftButton, {}, centre);
    box->takeFocus();
    const QPoint overForm = pb->mapFrom(&form, form.surface()->mapTo(&form, QPoint(350, 200)));
    QTest::mouseMove(pb, overForm);
    QTRY_VERIFY(formMove.count() >= 1);
    QTest::mouseRelease(pb, Qt::LeftButton, {}, centre);
    QCOMPARE(buttonUp.count(), 2);
}

void TestForms::timerEnablingRestartsTheInterval()
{
    // The restart is read from the clock's remaining time, which does not
    // depend on how busy the machine is.
    Timer t(nullptr, "tmrTest", 1000, false);
    QSignalSpy ticks(&t, &Timer::timer);
    t.setEnabled(true);
    QTest::qWait(600);
    t.setEnabled(false);
    QCOMPARE(t.remainingMs(), -1);
    t.setEnabled(true);  // the interval starts afresh: a whole second to the next tick
    QVERIFY2(t.remainingMs() > 900, qPrintable(QString::number(t.remainingMs())));
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 3000);
    t.setEnabled(false);
    const int n = ticks.count();
    QTest::qWait(1200);
    QCOMPARE(ticks.count(), n);
    QCOMPARE(t.property("Interval").toInt(), 1000);
    QCOMPARE(t.property("Enabled").toBool(), false);
}

void TestForms::messageBoxesGoThroughOneFunction()
{
    testing::Recorder rec;
    QCOMPARE(msgBox("Sorry.  Hello", vbOKOnly | vbExclamation), int(vbOK));
    beep();
    beep();
    QCOMPARE(int(rec.messages.size()), 1);
    QCOMPARE(rec.messages[0].title, QStringLiteral("Orvane"));
    QCOMPARE(rec.messages[0].text, QStringLiteral("Sorry.  Hello"));
    QCOMPARE(rec.messages[0].style, int(vbExclamation));
    QCOMPARE(rec.beeps, 2);
}

// An exception a handler did not catch ends as a message box, not in the
// toolkit's event loop; a handler may take the signal's arguments or none.
void TestForms::handlersRunGuarded()
{
    testing::Recorder rec;
    Form form("frmTest", 3000, 3000);
    auto* label = new Label(form.surface(), "lblTest");
    Timer t(nullptr, "tmrTest", 1000, false);
    int calls = 0;
    connectGuarded(&t, &Timer::timer, &form, [&] {
        ++calls;
        label->setWidth(-1);  // refused: error 380
    });
    connectGuarded(label, &GraphicControl::mouseMove, &form, [&](int button, int, double x, double) {
        ++calls;
        if (button == 1)
            throw std::runtime_error("KORVA.mdb is damaged: the pointer is at " + std::to_string(int(x)));
        throw 42;
    });
    connectGuarded(label, &GraphicControl::mouseMove, &form, [&] { ++calls; });
    t.fire();
    emit label->mouseMove(1, 0, 15, 30);
    emit label->mouseMove(2, 0, 15, 30);
    QCOMPARE(calls, 5);
    QCOMPARE(rec.texts(), (QStringList{"Unanticipated error 380: Invalid property value",
                                       "KORVA.mdb is damaged: the pointer is at 15", "Unanticipated error"}));
    for (const testing::Message& m : rec.messages)
        QCOMPARE(m.style, int(vbOKOnly | vbExclamation));
}

void TestForms::twipsPlacement()
{
    Form form("frmTest", 11820, 7335);
    QCOMPARE(form.surface()->width(), 788);
    QCOMPARE(form.surface()->height(), 489);
    auto* pic = new PictureBox(form.surface(), "picSpectrum");
    pic->place(120, 165, 4995, 4950);
    QCOMPARE(pic->geometry(), QRect(8, 11, 333, 330));
    auto* inner = new CommandButton(pic, "cmdInner");
    inner->place(38, 60, 465, 450);
    // Inside a bordered box, positions count from the client area.
    QCOMPARE(inner->geometry().topLeft(), QPoint(2 + 3, 2 + 4));
    QCOMPARE(inner->property("Left").toDouble(), 38.0);
    inner->setProperty("Top", 600.0);
    QCOMPARE(inner->geometry().top(), 2 + 40);
    inner->setProperty("Visible", false);
    QVERIFY(!inner->property("Visible").toBool());
}

// On a screen of twice the density every logical pixel becomes two by two
// device pixels: bars, borders, markers and lines drawn at any twips position
// must cover exactly the device pixels of the pixels they cover at one.
void TestForms::graphicsAtTwiceTheScaleCoverTheSamePixels()
{
    PictureBox box(nullptr, "picTest");
    box.setBorderStyle(0);
    box.place(0, 0, 3000, 1500);
    box.setBackColor(QColor(0, 0x80, 0));
    // Twips that fall between pixels (15 twips a pixel), as the chart's are.
    const double lefts[] = {307, 593, 1013, 1508, 2041};
    for (int i = 0; i < 5; ++i) {
        auto* bar = new Label(&box, "lblBar", i);
        bar->place(lefts[i], 97 + 37 * i, 241 + 53 * i, 173);
        bar->setBackColor(QColor(0x80, 0xFF, 0x80));
        bar->setBorderStyle(1);
        auto* marker = new Shape(&box, "shpMarker", i);
        marker->place(lefts[i] + 22, 700 + 41 * i, 98, 98);
        marker->setFillColor(QColor(0xFF, 0, 0));
        marker->setFillStyle(Shape::FillSolid);
    }
    auto* line = new Line(&box, "linCentre");
    line->setPoints(1493, 0, 1493, 1500);
    line->setBorderColor(QColor(0xFF, 0x80, 0x80));
    auto* rule = new Line(&box, "linRule");
    rule->setPoints(0, 1187, 3000, 1187);
    rule->setBorderColor(QColor(0xFF, 0xFF, 0));

    QImage one(box.size(), QImage::Format_RGB32);
    box.render(&one);
    QImage two(box.size() * 2, QImage::Format_RGB32);
    two.setDevicePixelRatio(2);
    box.render(&two);
    int differing = 0;
    for (int y = 0; y < two.height(); ++y)
        for (int x = 0; x < two.width(); ++x)
            differing += two.pixel(x, y) != one.pixel(x / 2, y / 2);
    QCOMPARE(differing, 0);
}

QTEST_MAIN(TestForms)
#include "test_forms.moc"
