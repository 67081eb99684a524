// The readout of the bar under the pointer, with the label of a planned
// channel of exactly the bar's range.

#include "base/log.h"
#include "base/shown_text.h"
#include "forms/widgets.h"
#include "inspect/inspection.h"
#include "inspect/texts.h"
#include "register/statements.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

namespace inspect {

void Inspection::fetchPlannedLabel()
{
    detailLabel.clear();
    if (const std::optional<QString> label = reg::plannedLabel(register_, chart_.rangeCriteria))
        detailLabel = base::boundedText(*label, base::kShownTextMax);
}

void Inspection::lblSpectrum_MouseMove(int i, int, int, double, double)
{
    c_.form->setMousePointer(forms::vbCrosshair);
    if (!(window_.searchHighMHz > 0))
        return;
    if (i < 0 || i > chart_.lastRecordIndex || size_t(i) >= chart_.rows().rows.size())
        return;
    const double low = chart_.recordLowMHz(i);
    const double high = chart_.recordHighMHz(i);
    chart_.rangeCriteria = reg::Criteria::exact(low, high);
    try {
        fetchPlannedLabel();
    } catch (const reg::RegisterError& e) {
        // Runs on every move: a failure leaves the readout without a prefix
        // rather than interrupting the user again and again.
        qCInfo(base::lcListing).noquote() << "the hover readout goes without its label:" << e.message();
        detailLabel.clear();
    }
    chart_.rangeCriteria = reg::Criteria();
    detailLabel = labelPrefix(detailLabel);
    c_.StatusBar1->setPanelText(1, detailLabel + rangeReadout(low, high, chart_.recordBandwidthMHz(i)));
}

}  // namespace inspect
