// The chart model without a window: the scale between MHz and twips, the
// bar placement and its clamps, the look of every kind of row, the planned
// sub-rows and the stacking of ITU allocations. One named row per case.

#include "spectrum/chart_model.h"

#include <QtTest>

using namespace spectrum;

namespace {

// A row of the search; type and status -1 stand for a null.
ChartRow row(int type, int status, double district = 0, double low = 157.1, double high = 157.1125,
             int service = 25, qint64 count = 3)
{
    ChartRow r;
    r.serviceId = service;
    if (type >= 0)
        r.typeId = type;
    if (status >= 0)
        r.statusId = status;
    r.lowMHz = low;
    r.highMHz = high;
    r.districtId = district;
    r.count = count;
    return r;
}

const ChartScale kStartWindow(0.75, 1.25);

QString text(const std::optional<QColor>& c) { return c ? c->name(QColor::HexRgb).toUpper() : QStringLiteral("kept"); }

}  // namespace

Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(std::vector<int>)

class TestChartModel : public QObject {
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void conversions_data();
    void conversions();
    void rowKinds_data();
    void rowKinds();
    void plannedSubRows_data();
    void plannedSubRows();
    void ituStacking_data();
    void ituStacking();
    void keptPropertiesAndTheFinalPass();
};

void TestChartModel::placement_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("bandwidth");
    QTest::addColumn<double>("windowLow");
    QTest::addColumn<double>("windowHigh");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("width");
    QTest::newRow("wider than the start-up window") << 0.5 << 1.5 << 0.75 << 1.25 << -2500.0 << 15000.0;
    QTest::newRow("width cut to the limit") << 999.0 << 31.0 << 999.75 << 1000.25 << -7500.0 << 240000.0;
    QTest::newRow("left clamped, right edge kept") << 900.0 << 200.0 << 999.75 << 1000.25 << -240000.0 << 1242500.0;
    QTest::newRow("inside the window") << 1000.0 << 0.1 << 999.75 << 1000.25 << 2500.0 << 1000.0;
    QTest::newRow("zoom 128: wholly left of the limit, negative width")
        << 0.5 << 0.26 << 1 - 0.001953125 << 1 + 0.001953125 << -240000.0 << -64700.0;
    QTest::newRow("zoom 64: still fits") << 0.5 << 0.26 << 1 - 0.00390625 << 1 + 0.00390625 << -240000.0 << 88900.0;
    QTest::newRow("single precision") << 1.0 / 3 << 0.1 << 0.0 << 1.0 << double(float(5000.0 / 3)) << 500.0;
}

void TestChartModel::placement()
{
    QFETCH(double, low);
    QFETCH(double, bandwidth);
    QFETCH(double, windowLow);
    QFETCH(double, windowHigh);
    const BarGeometry g = ChartScale(windowLow, windowHigh).place(low, bandwidth);
    QTEST(g.left, "left");
    QTEST(g.width, "width");
}

void TestChartModel::conversions_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("mhz");
    QTest::addColumn<double>("slidLow");  // the window with the chart slid right by `twips`
    QTest::newRow("centre of the start-up window") << 0.75 << 1.25 << 2500.0 << 1.0 << 0.5;
    QTest::newRow("left edge") << 0.75 << 1.25 << 0.0 << 0.75 << 0.75;
    QTest::newRow("slid left by half") << 0.75 << 1.25 << -2500.0 << 0.5 << 1.0;
    QTest::newRow("below zero") << -0.15 << 0.35 << 5000.0 << 0.35 << -0.65;
}

void TestChartModel::conversions()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, twips);
    const ChartScale s(low, high);
    QTEST(s.mhzAt(twips), "mhz");
    QCOMPARE(s.twipsAt(s.mhzAt(twips)), twips);
    QTEST(s.slid(twips).lowMHz(), "slidLow");
    QCOMPARE(s.slid(twips).spanMHz(), s.spanMHz());
    QCOMPARE(s.twipsFor(high - low), kChartTwips);
}

void TestChartModel::rowKinds_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("district");
    QTest::addColumn<int>("service");
    QTest::addColumn<double>("top");     // -1: kept as it was
    QTest::addColumn<double>("height");  // -1: kept as it was
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("caption");
    QTest::newRow("band") << 1 << 1 << 0.0 << 31 << 1150.0 << 150.0 << "#80FFFF" << "";
    QTest::newRow("management right") << 7 << 1 << 0.0 << 30 << 600.0 << 150.0 << "#FF8080" << "";
    QTest::newRow("management right, planned") << 7 << 4 << 0.0 << 30 << 600.0 << 150.0 << "#FF8080" << "";
    QTest::newRow("ITU allocation, fixed") << 8 << 1 << 0.0 << 18 << 0.0 << 100.0 << "#FF0000" << "";
    QTest::newRow("ITU allocation, land mobile") << 8 << 1 << 0.0 << 25 << 0.0 << 100.0 << "#804040" << "";
    QTest::newRow("ITU allocation, service 22") << 8 << 1 << 0.0 << 22 << 0.0 << 100.0 << "#C0C0C0" << "";
    QTest::newRow("type 4 licence, district 9") << 4 << 1 << 9.0 << 25 << 2900.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("type 5 licence, district 9") << 5 << 1 << 9.0 << 25 << 2900.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("licence, no district") << 5 << 1 << 0.0 << 25 << 1300.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("licence, district 6 in row 0") << 4 << 1 << 6.0 << 25 << 1300.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("licence, district 14 in row 0") << 4 << 1 << 14.0 << 25 << 1300.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("licence, district 16 in row 0") << 4 << 1 << 16.0 << 25 << 1300.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("licence, district 17") << 4 << 1 << 17.0 << 25 << 4100.0 << 200.0 << "#80FF80" << "3";
    QTest::newRow("status 5, district 9") << 4 << 5 << 9.0 << 25 << 2950.0 << 100.0 << "#FFC080" << "";
    QTest::newRow("status 5, type 5, district 2") << 5 << 5 << 2.0 << 25 << 1750.0 << 100.0 << "#FFC080" << "";
    QTest::newRow("status 5 without a district keeps its count") << 4 << 5 << 0.0 << 25 << 1300.0 << 100.0
                                                                  << "#FFC080" << "3";
    QTest::newRow("planned type 4 keeps its count") << 4 << 4 << 0.0 << 25 << 750.0 << 150.0 << "#FFFF80" << "3";
    QTest::newRow("planned type 5 shows none") << 5 << 4 << 0.0 << 25 << 750.0 << 150.0 << "#FFFF80" << "";
    QTest::newRow("planned with district 2: the planned row") << 4 << 4 << 2.0 << 25 << 750.0 << 150.0 << "#FFFF80"
                                                              << "3";
    QTest::newRow("null type: the rules of any other type") << -1 << 1 << 3.0 << 25 << 1900.0 << 200.0 << "#80FF80"
                                                            << "3";
    QTest::newRow("null status: kept as it was") << 4 << -1 << 0.0 << 25 << -1.0 << -1.0 << "kept" << "3";
}

void TestChartModel::rowKinds()
{
    QFETCH(int, type);
    QFETCH(int, status);
    QFETCH(double, district);
    QFETCH(int, service);
    const ChartLayout chart = layoutBars({row(type, status, district, 1.0, 1.0125, service)}, kStartWindow, {});
    QCOMPARE(chart.bars.size(), size_t(1));
    const BarLook& b = chart.bars[0];
    QTEST(b.top.value_or(-1), "top");
    QTEST(b.height.value_or(-1), "height");
    QTEST(text(b.colour), "colour");
    QTEST(b.caption, "caption");
    QCOMPARE(b.left, 2500.0);
    QCOMPARE(b.width, 125.0);
    QCOMPARE(chart.bandwidthsMHz[0], 0.0125);
}

void TestChartModel::plannedSubRows_data()
{
    QTest::addColumn<std::vector<double>>("bandwidths");  // of planned rows, in result order
    QTest::addColumn<std::vector<int>>("tops");
    QTest::addColumn<int>("height");
    QTest::newRow("one bandwidth") << std::vector<double>{0.025, 0.025} << std::vector<int>{750, 750} << 150;
    QTest::newRow("two bandwidths") << std::vector<double>{0.0125, 0.025} << std::vector<int>{900, 750} << 150;
    QTest::newRow("three: 400 / 3 rounds to 133")
        << std::vector<double>{0.00625, 0.025, 0.0125} << std::vector<int>{1016, 750, 883} << 133;
    QTest::newRow("four") << std::vector<double>{0.1, 0.2, 0.3, 0.4} << std::vector<int>{1050, 950, 850, 750} << 100;
    QTest::newRow("eight") << std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}
                           << std::vector<int>{1100, 1050, 1000, 950, 900, 850, 800, 750} << 50;
}

void TestChartModel::plannedSubRows()
{
    QFETCH(std::vector<double>, bandwidths);
    QFETCH(std::vector<int>, tops);
    QFETCH(int, height);
    std::vector<ChartRow> rows;
    for (double b : bandwidths)
        rows.push_back(row(4, 4, 0, 100, 100 + b));
    rows.push_back(row(4, 1, 2, 100, 100.0125));  // a type 4 licence: 200 high from the final pass
    rows.push_back(row(1, 1));                     // a band keeps 150
    const ChartLayout chart = layoutBars(rows, ChartScale(99, 101), {});
    for (size_t i = 0; i < bandwidths.size(); ++i) {
        QCOMPARE(chart.bars[i].top.value(), double(tops[i]));
        QCOMPARE(chart.bars[i].height.value(), double(height));
    }
    QCOMPARE(chart.bars[bandwidths.size()].top.value(), 1700.0);
    QCOMPARE(chart.bars[bandwidths.size()].height.value(), 200.0);
    QCOMPARE(chart.bars[bandwidths.size() + 1].height.value(), 150.0);
    // The list, widest first, with its unused slot 0.
    QCOMPARE(chart.plannedBandwidthsMHz.front(), 0.0);
    QVERIFY(std::is_sorted(chart.plannedBandwidthsMHz.begin() + 1, chart.plannedBandwidthsMHz.end(),
                           std::greater<double>()));
}

void TestChartModel::ituStacking_data()
{
    QTest::addColumn<std::vector<double>>("lows");
    QTest::addColumn<std::vector<int>>("tops");
    QTest::newRow("three and two at the same edge")
        << std::vector<double>{100, 100, 100, 108, 108} << std::vector<int>{0, 100, 200, 0, 100};
    QTest::newRow("seven deep, over the management rights")
        << std::vector<double>(7, 5.0) << std::vector<int>{0, 100, 200, 300, 400, 500, 600};
    QTest::newRow("only consecutive rows count") << std::vector<double>{100, 108, 100} << std::vector<int>{0, 0, 0};
}

void TestChartModel::ituStacking()
{
    QFETCH(std::vector<double>, lows);
    QFETCH(std::vector<int>, tops);
    std::vector<ChartRow> rows;
    rows.push_back(row(4, 1, 2));  // not an allocation: not stacked
    for (double low : lows)
        rows.push_back(row(8, 1, 0, low, low + 10, 26));
    const ChartLayout chart = layoutBars(rows, ChartScale(90, 120), {});
    QCOMPARE(chart.ituRecordIndexes.size(), lows.size() + 1);
    for (size_t k = 0; k < lows.size(); ++k) {
        QCOMPARE(chart.ituRecordIndexes[k + 1], qint16(k + 1));
        QCOMPARE(chart.bars[k + 1].top.value(), double(tops[k]));
        QCOMPARE(chart.bars[k + 1].height.value(), 100.0);
        QCOMPARE(text(chart.bars[k + 1].colour), QStringLiteral("#FFFF00"));
    }
    QCOMPARE(chart.bars[0].top.value(), 1700.0);
}

// A bar whose colour no rule sets keeps the one it had, and the final pass
// sizes it by that colour; the row of the last district carries on.
void TestChartModel::keptPropertiesAndTheFinalPass()
{
    const std::vector<ChartRow> rows = {row(4, 4, 0, 1.0, 1.025), row(4, -1, 0), row(4, -1, 0)};
    const ChartLayout chart =
        layoutBars(rows, kStartWindow, {kPlannedColour, kPlannedColour, QColor(0x12, 0x34, 0x56)});
    QVERIFY(!chart.bars[1].colour && !chart.bars[1].top);
    QCOMPARE(chart.bars[1].height.value(), 150.0);  // sized as the planned bar it still is
    QCOMPARE(chart.bars[2].height.value(), 200.0);  // another colour: the pass's 200
    // Bandwidths compare exactly: 0.1 + 0.2 - 0.2 is not 0.1, but six decimals make it so.
    const ChartLayout exact = layoutBars({row(4, 4, 0, 0.2, 0.2 + 0.1), row(4, 4, 0, 0.5, 0.6)}, kStartWindow, {});
    QCOMPARE(exact.plannedBandwidthsMHz.size(), size_t(2));
}

QTEST_APPLESS_MAIN(TestChartModel)
#include "test_chart_model.moc"
