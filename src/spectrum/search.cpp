// The register search: the one procedure that replaces the chart.

#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/chart_model.h"
#include "spectrum/numbers.h"
#include "spectrum/options.h"
#include "spectrum/search_query.h"

#include <exception>

namespace shell {

using namespace spectrum;

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

void FrmSpectrum::readDisplayWidth()
{
    window.displayWidthMHz = selectedOptionValue(
        Option1, {{0, 0.1}, {1, 0.5}, {2, 1}, {3, 5}, {4, 10}, {11, 100}, {12, 500}, {13, 1000}}, window.displayWidthMHz);
}

void FrmSpectrum::searchRegister()
{
    // The rows come first: when the register takes too long to answer, the
    // search is abandoned and the window stays as it was.
    readDisplayWidth();
    const std::optional<double> centre = numberValue(txtFrequencyDisplay->text());
    std::exception_ptr failure;
    if (centre) {
        try {
            readSearchRows(*centre);
        } catch (const reg::RegisterError& e) {
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
            if (search.chartRows.count == 0) {
                for (int i = 0; i <= search.lastRecordIndex; ++i)
                    (*lblSpectrum)(i)->setVisible(false);
                txtFrequencyDisplay->takeFocus();
            } else {
                loadBars();
                layoutChart();
                search.searchLoaded = true;
                showBars();
            }
        }
        finishSearch();
    } catch (const std::exception&) {
        forms::msgBox("Error in Orvane", forms::vbOKOnly | forms::vbExclamation);
    }
}

// Steps 1 to 6: the status, the legend button's clock, zoom 1, the shades
// out of sight (the display width was read before the rows).
void FrmSpectrum::startSearch()
{
    StatusBar1->setPanelText(1, "Searching");
    tmrITU->setEnabled(false);
    cmdITU->setEnabledFlag(false);
    tmrITU->setEnabled(true);
    search.selectedBarIndex = -1;
    window.zoomFactor = 1;
    lblSelect->setVisible(false);
    hsbFrequency->setEnabledFlag(true);
    lblUnsearchedLow->setLeft(-2500);
    lblUnsearchedHigh->setLeft(5000);
    lblZoom->setCaption(QStringLiteral("Zoom x") + signSpacedText(window.zoomFactor));
}

// The range around the centre, its criteria and the edge labels.
void FrmSpectrum::setSearchedRange(double centre)
{
    const SearchedRange range = searchedRange(centre, window.displayWidthMHz);
    window.searchLowMHz = range.low;
    window.searchHighMHz = range.high;
    search.rangeCriteria = searchRangeCriteria(window.searchLowMHz, window.searchHighMHz);
    window.windowLowMHz = window.searchLowMHz;
    writeLowFrequencyLabel();
    window.windowHighMHz = window.searchHighMHz;
    writeHighFrequencyLabel();
}

// The statement for the range around `centre`, run so that the engine groups
// no more than the chart shows (through the index of the records' edges,
// read at the first search), and its first 500 rows read.
void FrmSpectrum::readSearchRows(double centre)
{
    const auto [low, high] = searchedRange(centre, window.displayWidthMHz);
    search.searchSql = searchStatement(low, high);
    if (!search.spectrumIndexTried) {
        search.spectrumIndexTried = true;
        try {
            search.spectrumIndex = SpectrumIndex::build(*registerConnection_);
        } catch (const reg::RegisterError& e) {
            if (e.tooLong())
                throw;
            // Without the index the whole statement is run.
        }
    }
    search.searchRecordset =
        runSearchStatement(*registerConnection_, search.spectrumIndex.get(), low, high, kMaxSearchRecords);
    search.chartRows = readChartRows(search.searchRecordset, kMaxSearchRecords);
}

// Steps 13 to 16: the old bars go, the record arrays are sized for the rows
// read (at most 500) and a bar is made for each.
void FrmSpectrum::loadBars()
{
    if (search.searchLoaded) {
        (*lblSpectrum)(0)->setVisible(false);
        (*lblSpectrum)(1)->setVisible(false);
        lblSpectrum->unloadFrom(2);
    }
    const int n = search.chartRows.count;
    search.lastRecordIndex = qint16(n - 1);
    for (auto* a : {&search.recordDistrictId, &search.recordBandwidthMHz, &search.recordLowMHz, &search.recordHighMHz,
                    &search.recordLeftTwips})
        a->assign(size_t(n), 0.0);
    layout.plannedBandwidthsMHz.assign(1, 0.0);
    for (int i = 2; i < n; ++i) {
        if (lblSpectrum->exists(i))
            lblSpectrum->unload(i);
        lblSpectrum->load(i);
    }
}

// Steps 19 to 21: the bars in front in result order, the centre in the box,
// the count (or too many) in the status bar.
void FrmSpectrum::showBars()
{
    for (int k = 0; k <= search.lastRecordIndex; ++k) {
        forms::Label* bar = (*lblSpectrum)(k);
        bar->zOrder(0);
        bar->setVisible(true);
    }
    window.centreFrequencyMHz = roundSix(window.searchLowMHz + (window.searchHighMHz - window.searchLowMHz) / 2);
    txtFrequencyDisplay->setText(sixDecimalText(window.centreFrequencyMHz));
    if (search.lastRecordIndex != kMaxSearchRecords - 1) {
        StatusBar1->setPanelText(1, signSpacedText(search.lastRecordIndex + 1) + QStringLiteral(" Records found"));
    } else {
        StatusBar1->setPanelText(1, "Too many records to be displayed - reset criteria");
        for (int b = 0; b < 5; ++b)
            forms::beep();
    }
}

// Step 22, the closing steps of every search.
void FrmSpectrum::finishSearch()
{
    show();
    txtFrequencyDisplay->takeFocus();
    hsbFrequency->setValue(0);
    lblScroll->setCaption("Unscrolled");
    StatusBar1->setPanelText(2, tuning.autoscanOn ? QStringLiteral("Autoscan on, use (-/+) to stop")
                                                  : QStringLiteral("Fine Tuning Unused"));
    setMousePointer(forms::vbDefault);
}

}  // namespace shell
