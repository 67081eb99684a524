// The register search: the one procedure that replaces the chart.

#include "base/log.h"
#include "base/numbers.h"
#include "forms/widgets.h"
#include "register/database.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"
#include "spectrum/options.h"

#include <exception>

namespace spectrum {

using base::numberValue;
using base::signSpacedText;

namespace {

// The range the search covers: the display width around the centre.
struct SearchedRange {
    double low, high;
};
SearchedRange searchedRange(double centre, double widthMHz)
{
    const double low = centre - widthMHz / 2;
    return {low, low + widthMHz};
}

}  // namespace

FrequencyWindow::FrequencyWindow(const Controls& controls, Chart& chart) : c_(controls), chart_(chart) {}

void FrequencyWindow::readDisplayWidth()
{
    displayWidthMHz = selectedOptionValue(
        c_.Option1, {{0, 0.1}, {1, 0.5}, {2, 1}, {3, 5}, {4, 10}, {11, 100}, {12, 500}, {13, 1000}}, displayWidthMHz);
}

void FrequencyWindow::searchRegister()
{
    // The rows come first: when the register takes too long to answer, the
    // search is abandoned and the window stays as it was.
    readDisplayWidth();
    const std::optional<double> centre = numberValue(c_.txtFrequencyDisplay->text());
    std::exception_ptr failure;
    ChartRows rows;
    if (centre) {
        try {
            const SearchedRange range = searchedRange(*centre, displayWidthMHz);
            rows = chart_.readRows(range.low, range.high);
        } catch (const reg::RegisterError& e) {
            qCInfo(base::lcSearch).noquote() << "the search for" << *centre << "MHz failed:" << e.message();
            if (e.tooLong()) {
                forms::msgBox(e.message(), forms::vbOKOnly | forms::vbExclamation);
                return;
            }
            failure = std::current_exception();  // reported at its step, below
        }
    }
    try {
        startSearch();
        if (!centre) {
            forms::msgBox("You didn't enter a number");
        } else {
            setSearchedRange(*centre);
            if (failure)
                std::rethrow_exception(failure);
            if (rows.count == 0) {
                chart_.hideBars();
                c_.txtFrequencyDisplay->takeFocus();
            } else {
                chart_.loadBars(std::move(rows));
                chart_.layoutChart(ChartScale(searchLowMHz, searchHighMHz));
                chart_.searchLoaded = true;
                showSearchResult();
            }
        }
        finishSearch();
    } catch (const std::exception& e) {
        qCInfo(base::lcSearch) << "the search stopped:" << e.what();
        forms::msgBox("Error in Orvane", forms::vbOKOnly | forms::vbExclamation);
    }
}

// The first steps: the status, the legend button's clock, zoom 1, no bar
// selected, the shades out of sight (the display width was read before the rows).
void FrequencyWindow::startSearch()
{
    c_.StatusBar1->setPanelText(1, "Searching");
    c_.tmrITU->setEnabled(false);
    c_.cmdITU->setEnabledFlag(false);
    c_.tmrITU->setEnabled(true);
    chart_.selectedBarIndex = -1;
    zoomFactor = 1;
    c_.lblSelect->setVisible(false);
    c_.hsbFrequency->setEnabledFlag(true);
    c_.lblUnsearchedLow->setLeft(-kHalfChartTwips);
    c_.lblUnsearchedHigh->setLeft(kChartTwips);
    c_.lblZoom->setCaption(QStringLiteral("Zoom x") + signSpacedText(zoomFactor));
}

// The range around the centre, its criteria and the edge labels.
void FrequencyWindow::setSearchedRange(double centre)
{
    const SearchedRange range = searchedRange(centre, displayWidthMHz);
    searchLowMHz = range.low;
    searchHighMHz = range.high;
    chart_.rangeCriteria = reg::Criteria::searched(searchLowMHz, searchHighMHz);
    windowLowMHz = searchLowMHz;
    writeLowFrequencyLabel();
    windowHighMHz = searchHighMHz;
    writeHighFrequencyLabel();
}

// The bars shown, the centre in the box, the count (or too many) in the status bar.
void FrequencyWindow::showSearchResult()
{
    chart_.showBars();
    centreFrequencyMHz = base::roundSix(searchLowMHz + (searchHighMHz - searchLowMHz) / 2);
    c_.txtFrequencyDisplay->setText(base::sixDecimalText(centreFrequencyMHz));
    if (chart_.lastRecordIndex != kMaxSearchRecords - 1) {
        c_.StatusBar1->setPanelText(1, signSpacedText(chart_.lastRecordIndex + 1) + QStringLiteral(" Records found"));
    } else {
        c_.StatusBar1->setPanelText(1, "Too many records to be displayed - reset criteria");
        for (int b = 0; b < 5; ++b)
            forms::beep();
    }
}

// The closing steps of every search.
void FrequencyWindow::finishSearch()
{
    c_.form->show();
    c_.txtFrequencyDisplay->takeFocus();
    c_.hsbFrequency->setValue(0);
    c_.lblScroll->setCaption("Unscrolled");
    c_.StatusBar1->setPanelText(2, autoscanOn ? QStringLiteral("Autoscan on, use (-/+) to stop")
                                              : QStringLiteral("Fine Tuning Unused"));
    c_.form->setMousePointer(forms::vbDefault);
}

}  // namespace spectrum
