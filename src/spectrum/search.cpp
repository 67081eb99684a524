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

        const std::optional<double> centre = numberValue(txtFrequencyDisplay->text());
        if (!centre) {
            forms::msgBox("You didn't enter a number");
        } else {
            window.searchLowMHz = *centre - window.displayWidthMHz / 2;
            window.searchHighMHz = window.searchLowMHz + window.displayWidthMHz;
            search.rangeCriteria = searchRangeCriteria(window.searchLowMHz, window.searchHighMHz);
            window.windowLowMHz = window.searchLowMHz;
            writeLowFrequencyLabel();
            window.windowHighMHz = window.searchHighMHz;
            writeHighFrequencyLabel();

            search.searchSql = searchStatement(window.searchLowMHz, window.searchHighMHz);
            if (!search.spectrumIndexTried) {
                search.spectrumIndexTried = true;
                try {
                    search.spectrumIndex = SpectrumIndex::build(*registerConnection_);
                } catch (const reg::RegisterError&) {
                    // Without the index the whole statement is run.
                }
            }
            search.searchRecordset = runSearchStatement(*registerConnection_, search.spectrumIndex.get(),
                                                        window.searchLowMHz, window.searchHighMHz, kMaxSearchRecords);
            reg::Recordset& rs = search.searchRecordset;

            if (rs.eof()) {
                for (int i = 0; i <= search.lastRecordIndex; ++i)
                    (*lblSpectrum)(i)->setVisible(false);
                txtFrequencyDisplay->takeFocus();
            } else {
                rs.moveFirst();
                if (search.searchLoaded) {
                    (*lblSpectrum)(0)->setVisible(false);
                    (*lblSpectrum)(1)->setVisible(false);
                    for (int i = 2; i <= search.lastRecordIndex; ++i)
                        lblSpectrum->unload(i);
                }
                int n = 0;
                while (!rs.eof() && n != kMaxSearchRecords) {
                    ++n;
                    rs.moveNext();
                }
                search.lastRecordIndex = qint16(n - 1);
                const size_t count = size_t(search.lastRecordIndex) + 1;
                for (auto* a : {&search.recordDistrictId, &search.recordBandwidthMHz, &search.recordLowMHz,
                                &search.recordHighMHz, &search.recordLeftTwips})
                    a->assign(count, 0.0);
                layout.plannedBandwidthsMHz.assign(1, 0.0);
                for (int i = 2; i <= search.lastRecordIndex; ++i) {
                    if (lblSpectrum->exists(i))
                        lblSpectrum->unload(i);
                    lblSpectrum->load(i);
                }
                rs.moveFirst();
                layoutChart();
                search.searchLoaded = true;

                const double s = window.searchHighMHz - window.searchLowMHz;
                for (int j = 0; j <= search.lastRecordIndex; ++j) {
                    search.barLeftTwips = (search.recordLowMHz[size_t(j)] - window.searchLowMHz) / s * kChartTwips;
                    search.barWidthTwips = kChartTwips / s * search.recordBandwidthMHz[size_t(j)];
                    const BarGeometry g = clampBar(search.barLeftTwips, search.barWidthTwips);
                    forms::Label* bar = (*lblSpectrum)(j);
                    bar->setLeft(g.left);
                    bar->setWidth(g.width);
                    search.recordLeftTwips[size_t(j)] = bar->left();
                }
                for (int k = 0; k <= search.lastRecordIndex; ++k) {
                    forms::Label* bar = (*lblSpectrum)(k);
                    bar->zOrder(0);
                    bar->setVisible(true);
                }
                window.centreFrequencyMHz = roundSix(window.searchLowMHz + s / 2);
                txtFrequencyDisplay->setText(sixDecimalText(window.centreFrequencyMHz));
                if (search.lastRecordIndex != kMaxSearchRecords - 1) {
                    StatusBar1->setPanelText(1, signSpacedText(search.lastRecordIndex + 1) +
                                                    QStringLiteral(" Records found"));
                } else {
                    StatusBar1->setPanelText(1, "Too many records to be displayed - reset criteria");
                    for (int b = 0; b < 5; ++b)
                        forms::beep();
                }
            }
        }

        // Closing steps.
        show();
        txtFrequencyDisplay->takeFocus();
        hsbFrequency->setValue(0);
        lblScroll->setCaption("Unscrolled");
        StatusBar1->setPanelText(2, tuning.autoscanOn ? QStringLiteral("Autoscan on, use (-/+) to stop")
                                                      : QStringLiteral("Fine Tuning Unused"));
        setMousePointer(forms::vbDefault);
    } catch (const std::exception&) {
        forms::msgBox("Error in Orvane", forms::vbOKOnly | forms::vbExclamation);
    }
}

}  // namespace shell
