#pragma once
// The chart as plain values, without widgets: the rows of a search, the one
// scale between MHz and the chart's twips, and
// the look of each bar by the chart's rules. The window applies the looks to
// its bars; nothing here touches a control.

#include "register/statements.h"
#include "spectrum/chart_rules.h"

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

namespace spectrum {

// One row of the search statement.
struct ChartRow {
    int serviceId = 0;
    std::optional<int> typeId;    // a null code equals no value
    std::optional<int> statusId;
    double lowMHz = 0;
    double highMHz = 0;
    double districtId = 0;  // the district when above 0; 0 for none (also a null)
    qint64 count = 0;       // distnum: joined rows in the group
};

// The rows of a search: `count` rows in all, `rows` holding them up to the
// first whose service or edges are missing or not numbers (`complete` is
// false then: the chart's layout ends there).
struct ChartRows {
    std::vector<ChartRow> rows;
    int count = 0;
    bool complete = true;
};
ChartRows chartRows(const std::vector<reg::SearchRow>& read);

// The window shown, low to high MHz, across the chart's 5000 twips: the one
// conversion between frequencies and places on the chart.
class ChartScale {
public:
    ChartScale(double lowMHz, double highMHz) : low_(lowMHz), high_(highMHz) {}
    double lowMHz() const { return low_; }
    double highMHz() const { return high_; }
    double spanMHz() const { return high_ - low_; }
    // The place of a frequency and the width of a bandwidth, in twips.
    double twipsAt(double mhz) const { return (mhz - low_) / spanMHz() * kChartTwips; }
    double twipsFor(double widthMHz) const { return widthMHz * kChartTwips / spanMHz(); }
    // The frequency at a place on the chart.
    double mhzAt(double twips) const { return low_ + (twips / kChartTwips) * spanMHz(); }
    // The window seen when the chart is slid `twips` to the right.
    ChartScale slid(double twips) const
    {
        const double by = spanMHz() * (twips / kChartTwips);
        return {low_ - by, high_ - by};
    }
    // A record's bar on this scale, clamped as bars are.
    BarGeometry place(double lowMHz, double bandwidthMHz) const
    {
        return clampBar(twipsAt(lowMHz), twipsFor(bandwidthMHz));
    }

private:
    double low_, high_;
};

// How one bar looks. An empty property is one the rules leave as it was:
// bars 0 and 1 keep their previous look, a new bar what it copied from bar 0.
struct BarLook {
    double left = 0;
    double width = 0;
    std::optional<double> top;
    std::optional<double> height;
    std::optional<QColor> colour;
    QString caption;
};

struct ChartLayout {
    std::vector<BarLook> bars;
    std::vector<double> bandwidthsMHz;              // each row's high - low, rounded to six decimals
    std::vector<double> plannedBandwidthsMHz{0.0};  // slot 0 unused; widest first
    std::vector<qint16> ituRecordIndexes{0};        // slot 0 unused; in result order
};

// The bars of the rows on the scale of the searched range. `before` holds
// each bar's colour before the layout (the final pass sizes bars by colour,
// and a bar keeps a colour no rule gives it).
ChartLayout layoutBars(const std::vector<ChartRow>& rows, const ChartScale& scale, const std::vector<QColor>& before);

}  // namespace spectrum
