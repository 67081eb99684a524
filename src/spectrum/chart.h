#pragma once
// The chart: one bar for each row of the last search, laid out by the chart
// model, and the selection on it (the pressed bar, the marker behind the
// bars, the criteria of what was last looked up). It reads the search's
// rows from the register; the frequency window decides when and where.

#include "register/criteria.h"
#include "spectrum/chart_model.h"

#include <memory>

namespace forms {
class Label;
class PictureBox;
template <class T>
class ControlArray;
}  // namespace forms

namespace reg {
class Connection;
class SpectrumIndex;
}  // namespace reg

namespace spectrum {

class Chart {
public:
    // The controls the chart drives.
    struct Controls {
        forms::ControlArray<forms::Label>* lblSpectrum = nullptr;  // the bars
        forms::Label* lblSelect = nullptr;                          // the marker behind the bars
        forms::Label* lblUnsearchedLow = nullptr;
        forms::Label* lblUnsearchedHigh = nullptr;
    };
    Chart(const Controls& controls, const reg::Connection& c);
    ~Chart();

    // The steps of a search that concern the bars. First the rows, read
    // before anything changes (throws RegisterError; the index of the
    // records' edges is built at the first search).
    ChartRows readRows(double lowMHz, double highMHz);
    // The old bars go and a bar is made for each row (hidden).
    void loadBars(ChartRows rows);
    // The looks of the rows applied to the bars, on the scale of the
    // searched range. Throws when a row lacks its service or edges.
    void layoutChart(const ChartScale& searched);
    // The bars in front in result order, shown; or all hidden.
    void showBars();
    void hideBars();

    // The loaded bars re-placed: on a new scale (zoom), or slid by the scroll value.
    void rescaleBars(const ChartScale& shown);
    void slideBars(double byTwips);

    // The licence bar of a record's range in a district (0: none); -1 when
    // the chart shows none.
    int licenceBarOf(double lowMHz, double highMHz, double districtId) const;

    // The selected bar back to its licence colour and, with the shades,
    // to the back (when a bar is selected).
    void releaseSelectedBar();

    // The search's state, by bar (0 to lastRecordIndex).
    qint16 lastRecordIndex = 0;
    bool searchLoaded = false;
    qint16 selectedBarIndex = -1;
    // The criteria of the last lookup: the search's range, a listing, a
    // record's details or a hover.
    reg::Criteria rangeCriteria;

    // The records behind the bars (0 past the rows the search gave).
    double recordLowMHz(int i) const;
    double recordHighMHz(int i) const;
    double recordBandwidthMHz(int i) const;
    double recordDistrictId(int i) const;
    qint16 recordServiceId(int i) const;
    double recordLeftTwips(int i) const;
    // The layout's lists (slot 0 unused).
    const std::vector<double>& plannedBandwidthsMHz() const { return layout_.plannedBandwidthsMHz; }
    qint16 plannedBandwidthCount() const { return qint16(layout_.plannedBandwidthsMHz.size() - 1); }
    const std::vector<qint16>& ituRecordIndexes() const { return layout_.ituRecordIndexes; }
    qint16 ituRecordCount() const { return qint16(layout_.ituRecordIndexes.size() - 1); }
    const ChartRows& rows() const { return rows_; }
    // True once the index of the records' edges is built.
    bool hasEdgeIndex() const { return spectrumIndex_ != nullptr; }

private:
    const ChartRow* row(int i) const;
    Controls c_;
    const reg::Connection& register_;
    ChartRows rows_;
    ChartLayout layout_;
    // The colours of bars 0 and 1 as the last layout left them (what a bar
    // no rule colours keeps).
    std::vector<QColor> colours_;
    std::shared_ptr<reg::SpectrumIndex> spectrumIndex_;
    bool spectrumIndexTried_ = false;
};

}  // namespace spectrum
