// Number texts and chart arithmetic, called directly.

#include "spectrum/chart_rules.h"
#include "base/numbers.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

using namespace base;
using namespace spectrum;

class TestNumbers : public QObject {
    Q_OBJECT

private slots:
    void sixDecimalTexts();
    void roundingToSixDecimals();
    void plainTexts();
    void signSpacedTexts();
    void exactSignSpacedTexts();
    void numberTest();
    void districtRows();
    void colours();
    void plannedSubRows();
    void ituStacking();
};

void TestNumbers::sixDecimalTexts()
{
    QCOMPARE(sixDecimalText(1), QStringLiteral("1.000000"));
    QCOMPARE(sixDecimalText(0.75), QStringLiteral(".750000"));
    QCOMPARE(sixDecimalText(0), QStringLiteral(".000000"));
    QCOMPARE(sixDecimalText(-0.15), QStringLiteral("-.150000"));
    QCOMPARE(sixDecimalText(1000), QStringLiteral("1000.000000"));
    QCOMPARE(sixDecimalText(157.1125), QStringLiteral("157.112500"));
    QCOMPARE(sixDecimalText(0.5265), QStringLiteral(".526500"));
    QCOMPARE(sixDecimalText(123456.0000004), QStringLiteral("123456.000000"));
    QCOMPARE(sixDecimalText(-1e-9), QStringLiteral(".000000"));
    QCOMPARE(sixDecimalTextWithZero(0.5265), QStringLiteral("0.526500"));
    QCOMPARE(sixDecimalTextWithZero(157.1), QStringLiteral("157.100000"));
}

void TestNumbers::roundingToSixDecimals()
{
    QCOMPARE(roundSix(0.0000125), 0.000012);    // a half goes to the even neighbour
    QCOMPARE(roundSix(0.0000135), 0.000014);
    QCOMPARE(roundSix(1.0000005), 1.0);
    QCOMPARE(roundSix(1.0000015), 1.000002);
    QCOMPARE(roundSix(-0.0000125), -0.000012);
    QCOMPARE(roundSix(157.1125 - 157.1), 0.0125);  // arithmetic noise removed
    QCOMPARE(roundSix(1.0125 - 1.0), 0.0125);
    QCOMPARE(roundSix(1.10625 - 1.1), 0.00625);
    QCOMPARE(roundSix(0.1 + 0.2), 0.3);
    QCOMPARE(roundSix(0.9999996), 1.0);
    QCOMPARE(roundSix(999999.9999996), 1000000.0);
    QCOMPARE(roundSix(2.00000051), 2.000001);
    QCOMPARE(roundSix(0), 0.0);
    QCOMPARE(roundSix(1e-7), 0.0);
    QCOMPARE(roundSix(12345.678901234), 12345.678901);
}

void TestNumbers::plainTexts()
{
    QCOMPARE(plainText(100.0125), QStringLiteral("100.0125"));
    QCOMPARE(plainText(100), QStringLiteral("100"));
    QCOMPARE(plainText(0.75), QStringLiteral("0.75"));
    QCOMPARE(plainText(0), QStringLiteral("0"));
    QCOMPARE(plainText(-0.3), QStringLiteral("-0.3"));
    QCOMPARE(plainText(0.000001), QStringLiteral("0.000001"));
    QCOMPARE(plainText(157.1125), QStringLiteral("157.1125"));
    QCOMPARE(plainText(1e15), QStringLiteral("1000000000000000"));
    QCOMPARE(plainText(12.5), QStringLiteral("12.5"));
}

void TestNumbers::signSpacedTexts()
{
    QCOMPARE(signSpacedText(0.75), QStringLiteral(" .75"));
    QCOMPARE(signSpacedText(1.25), QStringLiteral(" 1.25"));
    QCOMPARE(signSpacedText(-0.3), QStringLiteral("-.3"));
    QCOMPARE(signSpacedText(37), QStringLiteral(" 37"));
    QCOMPARE(signSpacedText(0), QStringLiteral(" 0"));
    QCOMPARE(signSpacedText(1), QStringLiteral(" 1"));
    QCOMPARE(signSpacedText(0.5), QStringLiteral(" .5"));
    QCOMPARE(signSpacedText(-12.5), QStringLiteral("-12.5"));
    // At most 15 significant digits.
    QCOMPARE(signSpacedText(0.1 + 0.2), QStringLiteral(" .3"));
    QCOMPARE(signSpacedText(123456789.123456789), QStringLiteral(" 123456789.123457"));
    QCOMPARE(signSpacedText(999.75), QStringLiteral(" 999.75"));
}

void TestNumbers::exactSignSpacedTexts()
{
    // The shortest text, from 15 digits up, that reads back as the same number.
    QCOMPARE(exactSignSpacedText(0.1 + 0.2), QStringLiteral(" .30000000000000004"));
    QCOMPARE(exactSignSpacedText(-(0.1 + 0.2)), QStringLiteral("-.30000000000000004"));
    QCOMPARE(exactSignSpacedText(123456789.123456789), QStringLiteral(" 123456789.12345679"));
    QCOMPARE(exactSignSpacedText(std::nextafter(157.1, 200.0)), QStringLiteral(" 157.10000000000002"));
    // Whatever 15 digits hold exactly is written as before: every frequency
    // a register gives to the hertz, and then some.
    QRandomGenerator rng(20261210);
    for (int i = 0; i < 40000; ++i) {
        const quint64 hz = 1 + rng.generate64() % 300000000000ULL;  // up to 300 GHz
        const double mhz = (QString::number(hz / 1000000) + QLatin1Char('.') +
                            QString::number(hz % 1000000).rightJustified(6, QLatin1Char('0')))
                               .toDouble();
        QCOMPARE(exactSignSpacedText(mhz), signSpacedText(mhz));
    }
    // And every text reads back as its number.
    for (int i = 0; i < 40000; ++i) {
        const double x = rng.generateDouble() * std::pow(10.0, rng.bounded(-6, 12)) * (i % 2 ? 1 : -1);
        QCOMPARE(exactSignSpacedText(x).trimmed().toDouble(), x);
    }
    QCOMPARE(exactSignSpacedText(0), QStringLiteral(" 0"));
    QCOMPARE(exactSignSpacedText(std::numeric_limits<double>::infinity()), signSpacedText(std::numeric_limits<double>::infinity()));
}

void TestNumbers::numberTest()
{
    QCOMPARE(numberValue("1.000000"), std::optional<double>(1.0));
    QCOMPARE(numberValue("  157.25  "), std::optional<double>(157.25));
    QCOMPARE(numberValue("+.5"), std::optional<double>(0.5));
    QCOMPARE(numberValue("-2"), std::optional<double>(-2.0));
    QCOMPARE(numberValue("3."), std::optional<double>(3.0));
    QCOMPARE(numberValue(".750000"), std::optional<double>(0.75));
    for (const char* bad : {"", " ", "abc", "1e3", "1,5", "--1", "+-1", "1.2.3", ".", "+", "nan", "inf", "1e400",
                            "0x10", "1 2", "£5"})
        QVERIFY2(!isNumber(QString::fromUtf8(bad)), bad);
    // A number too large to hold is not taken as a number.
    QVERIFY(!isNumber(QString(400, '9')));
    QVERIFY(isNumber(QString(300, '9')));
}

void TestNumbers::districtRows()
{
    const int expected[18] = {0, 1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 0, 13, 0, 14};
    for (int d = 0; d <= 17; ++d)
        QCOMPARE(districtRow(d), expected[d]);
    QCOMPARE(districtRow(18), 0);
    QCOMPARE(districtRow(-3), 0);
    QCOMPARE(districtRow(2.5), 0);
    QCOMPARE(rowTop(districtRow(9)), 2900);
    QCOMPARE(rowTop(districtRow(17)), 4100);
    QCOMPARE(rowTop(districtRow(15)), 3900);
}

void TestNumbers::colours()
{
    QCOMPARE(ituServiceColour(17), QColor(0xFF, 0xFF, 0xFF));
    QCOMPARE(ituServiceColour(25), QColor(0x80, 0x40, 0x40));
    QCOMPARE(ituServiceColour(22), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(ituServiceColour(0), QColor(0xC0, 0xC0, 0xC0));
    QVERIFY(isItuColour(QColor(0xFF, 0x80, 0x00)));
    QVERIFY(!isItuColour(kLicensedColour));
    QVERIFY(!isItuColour(kSelectedColour));
    QVERIFY(!isItuColour(kLicensed5Colour));
}

void TestNumbers::plannedSubRows()
{
    QCOMPARE(plannedRowHeight(1), 150);
    QCOMPARE(plannedRowHeight(2), 150);
    QCOMPARE(plannedRowHeight(3), 133);
    QCOMPARE(plannedRowHeight(4), 100);
    QCOMPARE(plannedRowHeight(5), 80);
    QCOMPARE(plannedRowHeight(6), 67);
    QCOMPARE(plannedRowHeight(7), 57);
    QCOMPARE(plannedRowHeight(8), 50);
    QCOMPARE(plannedRowHeight(16), 25);
    QCOMPARE(plannedRowHeight(32), 12);  // 12.5 goes to the even 12
    std::vector<double> list{0, 0.0125, 0.00625, 0.025};
    sortPlannedBandwidths(list, 3);
    QCOMPARE(list, (std::vector<double>{0, 0.025, 0.0125, 0.00625}));
}

void TestNumbers::ituStacking()
{
    QCOMPARE(stackedTops({100, 100, 100, 108, 108}), (std::vector<int>{0, 100, 200, 0, 100}));
    QCOMPARE(stackedTops({1, 2, 1}), (std::vector<int>{0, 0, 0}));
    QCOMPARE(stackedTops({5, 5, 5, 5, 5, 5, 5}).back(), 600);
    QVERIFY(stackedTops({}).empty());
}

QTEST_MAIN(TestNumbers)
#include "test_numbers.moc"
