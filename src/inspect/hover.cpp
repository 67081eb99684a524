// The readout of the bar under the pointer, with the label of a planned
// channel of exactly the bar's range.

#include "inspect/texts.h"
#include "shell/frmspectrum.h"
#include "spectrum/numbers.h"

namespace shell {

using namespace inspect;

void FrmSpectrum::fetchPlannedLabel()
{
    detail.detailLabel.clear();
    reg::Recordset rs = registerConnection_->execute(plannedLabelStatement(search.rangeCriteria));
    if (!rs.eof()) {
        rs.moveFirst();
        const QVariant label = rs.value("SpectrumLabel");
        if (!label.isNull())
            detail.detailLabel = reg::boundedText(label.toString(), reg::kShownTextMax);
        rs.close();
    }
}

void FrmSpectrum::lblSpectrum_MouseMove(int i, int, int, double, double)
{
    setMousePointer(forms::vbCrosshair);
    if (!(window.searchHighMHz > 0))
        return;
    if (i < 0 || i > search.lastRecordIndex || size_t(i) >= search.recordLowMHz.size())
        return;
    const size_t ii = size_t(i);
    const double low = search.recordLowMHz[ii];
    const double high = search.recordHighMHz[ii];
    search.rangeCriteria = exactRangeCriteria(low, high);
    try {
        fetchPlannedLabel();
    } catch (const reg::RegisterError&) {
        // Runs on every move: a failure leaves the readout without a prefix
        // rather than interrupting the user again and again.
        detail.detailLabel.clear();
    }
    search.rangeCriteria.clear();
    detail.detailLabel = labelPrefix(detail.detailLabel);
    StatusBar1->setPanelText(1, detail.detailLabel + rangeReadout(low, high, search.recordBandwidthMHz[ii]));
}

}  // namespace shell
