// The register search: the one procedure that replaces the chart.

#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/numbers.h"
#include "spectrum/options.h"
#include "spectrum/search_query.h"

namespace shell {

using namespace spectrum;

void FrmSpectrum::readDisplayWidth()
{
    window.displayWidthMHz = selectedOptionValue(
        Option1, {{0, 0.1}, {1, 0.5}, {2, 1}, {3, 5}, {4, 10}, {11, 100}, {12, 500}, {13, 1000}}, window.displayWidthMHz);
}

void FrmSpectrum::searchRegister()
{
    try {
        startSearch();
        const std::optional<double> centre = numberValue(txtFrequencyDisplay->text());
        if (!centre) {
            forms::msgBox("You didn't enter a number");
        } else {
            setSearchedRange(*centre);
            runSearchStatement();
            if (search.searchRecordset.eof()) {
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
// out of sight, the display width.
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
    readDisplayWidth();
}

// The range around the centre, its criteria and the edge labels.
void FrmSpectrum::setSearchedRange(double centre)
{
    window.searchLowMHz = centre - window.displayWidthMHz / 2;
    window.searchHighMHz = window.searchLowMHz + window.displayWidthMHz;
    search.rangeCriteria = searchRangeCriteria(window.searchLowMHz, window.searchHighMHz);
    window.windowLowMHz = window.searchLowMHz;
    writeLowFrequencyLabel();
    window.windowHighMHz = window.searchHighMHz;
    writeHighFrequencyLabel();
}

// The statement, run so that the engine groups no more than the chart shows
// (through the index of the records' edges, read at the first search).
void FrmSpectrum::runSearchStatement()
{
    search.searchSql = searchStatement(window.searchLowMHz, window.searchHighMHz);
    if (!search.spectrumIndexTried) {
        search.spectrumIndexTried = true;
        try {
            search.spectrumIndex = SpectrumIndex::build(*registerConnection_);
        } catch (const reg::RegisterError&) {
            // Without the index the whole statement is run.
        }
    }
    search.searchRecordset = spectrum::runSearchStatement(*registerConnection_, search.spectrumIndex.get(),
                                                          window.searchLowMHz, window.searchHighMHz, kMaxSearchRecords);
}

// Steps 13 to 16: the old bars go, the rows are counted (at most 500), the
// record arrays are sized and a bar is made for each row.
void FrmSpectrum::loadBars()
{
    reg::Recordset& rs = search.searchRecordset;
    rs.moveFirst();
    if (search.searchLoaded) {
        (*lblSpectrum)(0)->setVisible(false);
        (*lblSpectrum)(1)->setVisible(false);
        for (int i = 2; i <= search.lastRecordIndex; ++i)
            lblSpectrum->unload(i);
    }
    int n = 0;
    for (; !rs.eof() && n != kMaxSearchRecords; ++n)
        rs.moveNext();
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
    rs.moveFirst();
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
