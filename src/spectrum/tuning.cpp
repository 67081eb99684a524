// Step tuning and autoscan: the tuning buttons, the clock and the knob.

#include "shell/frmspectrum.h"
#include "spectrum/numbers.h"
#include "spectrum/options.h"

#include <cmath>

namespace shell {

using namespace spectrum;

void FrmSpectrum::readTuningStep()
{
    window.tuningStepMHz = selectedOptionValue(
        Option1, {{9, 0.01}, {14, 0.0125}, {15, 0.025}, {8, 0.1}, {7, 0.5}, {6, 10}, {5, 100}, {10, 500}},
        window.tuningStepMHz);
}

void FrmSpectrum::placeSpinner()
{
    const double a = tuning.knobAngleDegrees * 3.1416 / 180;
    shpSpinner->setLeft(620 + 500 * std::cos(a));
    shpSpinner->setTop(620 + 500 * std::sin(a));
}

void FrmSpectrum::tuningButtonDown(bool upward)
{
    const std::optional<double> f = numberValue(txtFrequencyDisplay->text());
    if (!f) {
        // No frequency to step from: the clock stays off and the release's
        // search says what is wrong.
        tuning.autoscanOn = false;
        tmrSearch->setEnabled(false);
        tuning.tuneUpward = upward;
        return;
    }
    if (tuning.autoscanOn) {
        tuning.autoscanOn = false;
        tmrSearch->setEnabled(false);
    } else {
        tmrSearch->setEnabled(true);
    }
    tuning.tuneUpward = upward;
    tuning.scanFrequencyMHz = *f;
}

void FrmSpectrum::tuningButtonUp()
{
    tmrSearch->setEnabled(false);
    rerunSearch();
    StatusBar1->setPanelText(2, "Fine Tuning Unused");
}

void FrmSpectrum::cmdMinus_MouseDown(int, int, double, double) { tuningButtonDown(false); }
void FrmSpectrum::cmdPlus_MouseDown(int, int, double, double) { tuningButtonDown(true); }
void FrmSpectrum::cmdMinus_MouseUp(int, int, double, double) { tuningButtonUp(); }
void FrmSpectrum::cmdPlus_MouseUp(int, int, double, double) { tuningButtonUp(); }

void FrmSpectrum::tmrSearch_Timer()
{
    readTuningStep();
    if (tuning.tuneUpward) {
        tuning.knobAngleDegrees += 10;
        placeSpinner();
        tuning.scanFrequencyMHz += window.tuningStepMHz;
        if (tuning.knobAngleDegrees == 360)
            tuning.knobAngleDegrees = 0;
        rerunSearch();
    } else {
        tuning.knobAngleDegrees -= 10;
        placeSpinner();
        tuning.scanFrequencyMHz -= window.tuningStepMHz;
        if (tuning.knobAngleDegrees == 0)
            tuning.knobAngleDegrees = 360;
        rerunSearch();
    }
    if (!(tuning.scanFrequencyMHz > 0))
        tuning.scanFrequencyMHz = 0;
    txtFrequencyDisplay->setText(sixDecimalText(tuning.scanFrequencyMHz));
    if (tuning.knobAngleDegrees == 0 || tuning.knobAngleDegrees == 360)
        rerunSearch();
}

void FrmSpectrum::Picture1_MouseMove(int, int, double, double)
{
    if (tmrSearch->isEnabled())
        tuning.autoscanOn = true;
}

void FrmSpectrum::Form_MouseMove(int, int, double, double)
{
    setMousePointer(forms::vbDefault);
    StatusBar1->setPanelText(1, QString());
    txtEasting->setText(QString());
    txtNorthing->setText(QString());
    txtMap->setShownFlag(false);
    txtReference->setShownFlag(false);
    if (tmrSearch->isEnabled())
        tuning.autoscanOn = true;
}

}  // namespace shell
