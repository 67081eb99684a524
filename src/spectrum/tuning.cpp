// Step tuning and autoscan: the tuning buttons, the clock and the knob.

#include "base/numbers.h"
#include "forms/widgets.h"
#include "spectrum/frequency_window.h"
#include "spectrum/options.h"

#include <cmath>

namespace spectrum {

void FrequencyWindow::readTuningStep()
{
    tuningStepMHz = selectedOptionValue(
        c_.Option1, {{9, 0.01}, {14, 0.0125}, {15, 0.025}, {8, 0.1}, {7, 0.5}, {6, 10}, {5, 100}, {10, 500}},
        tuningStepMHz);
}

void FrequencyWindow::placeSpinner()
{
    const double a = knobAngleDegrees * 3.1416 / 180;
    c_.shpSpinner->setLeft(620 + 500 * std::cos(a));
    c_.shpSpinner->setTop(620 + 500 * std::sin(a));
}

void FrequencyWindow::tuningButtonDown(bool upward)
{
    const std::optional<double> f = base::numberValue(c_.txtFrequencyDisplay->text());
    if (!f) {
        // No frequency to step from: the clock stays off and the release's
        // search says what is wrong.
        autoscanOn = false;
        c_.tmrSearch->setEnabled(false);
        tuneUpward = upward;
        return;
    }
    if (autoscanOn) {
        autoscanOn = false;
        c_.tmrSearch->setEnabled(false);
    } else {
        c_.tmrSearch->setEnabled(true);
    }
    tuneUpward = upward;
    scanFrequencyMHz = *f;
}

void FrequencyWindow::tuningButtonUp()
{
    c_.tmrSearch->setEnabled(false);
    rerunSearch();
    c_.StatusBar1->setPanelText(2, "Fine Tuning Unused");
}

void FrequencyWindow::cmdMinus_MouseDown(int, int, double, double) { tuningButtonDown(false); }
void FrequencyWindow::cmdPlus_MouseDown(int, int, double, double) { tuningButtonDown(true); }
void FrequencyWindow::cmdMinus_MouseUp(int, int, double, double) { tuningButtonUp(); }
void FrequencyWindow::cmdPlus_MouseUp(int, int, double, double) { tuningButtonUp(); }

void FrequencyWindow::tmrSearch_Timer()
{
    readTuningStep();
    if (tuneUpward) {
        knobAngleDegrees += 10;
        placeSpinner();
        scanFrequencyMHz += tuningStepMHz;
        if (knobAngleDegrees == 360)
            knobAngleDegrees = 0;
        rerunSearch();
    } else {
        knobAngleDegrees -= 10;
        placeSpinner();
        scanFrequencyMHz -= tuningStepMHz;
        if (knobAngleDegrees == 0)
            knobAngleDegrees = 360;
        rerunSearch();
    }
    if (!(scanFrequencyMHz > 0))
        scanFrequencyMHz = 0;
    c_.txtFrequencyDisplay->setText(base::sixDecimalText(scanFrequencyMHz));
    if (knobAngleDegrees == 0 || knobAngleDegrees == 360)
        rerunSearch();
}

void FrequencyWindow::Picture1_MouseMove(int, int, double, double)
{
    if (c_.tmrSearch->isEnabled())
        autoscanOn = true;
}

void FrequencyWindow::Form_MouseMove(int, int, double, double)
{
    c_.form->setMousePointer(forms::vbDefault);
    c_.StatusBar1->setPanelText(1, QString());
    if (c_.tmrSearch->isEnabled())
        autoscanOn = true;
}

}  // namespace spectrum
