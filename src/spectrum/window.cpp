// The frequency window: searching again from the frequency controls, the
// scroll handler, the shades of the unsearched range and the readouts.

#include "shell/frmspectrum.h"
#include "spectrum/chart_model.h"
#include "spectrum/numbers.h"

namespace shell {

using namespace spectrum;

void FrmSpectrum::writeLowFrequencyLabel()
{
    lblLowFrequency->setCaption(window.windowLowMHz >= 0 ? sixDecimalText(window.windowLowMHz) : QString());
}

void FrmSpectrum::writeHighFrequencyLabel()
{
    lblHighFrequency->setCaption(sixDecimalText(roundSix(window.windowHighMHz)));
}

void FrmSpectrum::rerunSearch()
{
    if (search.searchLoaded)
        search.searchRecordset.close();
    searchRegister();
}

void FrmSpectrum::Option1_Click(int)
{
    readDisplayWidth();
    rerunSearch();
}

void FrmSpectrum::txtFrequencyDisplay_Click()
{
    if (!isNumber(txtFrequencyDisplay->text()))
        return;
    readDisplayWidth();
    rerunSearch();
}

void FrmSpectrum::txtFrequencyDisplay_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        txtFrequencyDisplay_Click();
}

void FrmSpectrum::placeUnsearchedShades()
{
    const double v = hsbFrequency->value();
    lblUnsearchedLow->setLeft((v - 2500) * window.zoomFactor);
    lblUnsearchedHigh->setLeft((v + 2500) * window.zoomFactor + 2500);
}

void FrmSpectrum::hsbFrequency_Change()
{
    if (window.zoomFactor != 1) {
        forms::msgBox("Sorry.  Please return Zoom to 1 before scrolling");
        return;
    }
    lblScroll->setCaption("Scrolled");
    StatusBar1->setPanelText(2, "Fine Tuning Used");
    const int v = hsbFrequency->value();
    for (int i = 0; i <= search.lastRecordIndex; ++i)
        (*lblSpectrum)(i)->setLeft(search.recordLeftTwips[size_t(i)] + v);
    if (search.selectedBarIndex < 0)
        lblSelect->setLeft(v);
    else
        lblSelect->setLeft((*lblSpectrum)(search.selectedBarIndex)->left());
    placeUnsearchedShades();
    const ChartScale shown = ChartScale(window.searchLowMHz, window.searchHighMHz).slid(v);
    window.windowLowMHz = roundSix(shown.lowMHz());
    writeLowFrequencyLabel();
    window.windowHighMHz = roundSix(shown.highMHz());
    writeHighFrequencyLabel();
    window.centreFrequencyMHz = roundSix((window.windowHighMHz - window.windowLowMHz) / 2 + window.windowLowMHz);
    txtFrequencyDisplay->setText(sixDecimalText(window.centreFrequencyMHz));
}

void FrmSpectrum::picSpectrum_MouseMove(int, int, double x, double)
{
    setMousePointer(forms::vbDefault);
    StatusBar1->setPanelText(1, plainText(roundSix(ChartScale(window.windowLowMHz, window.windowHighMHz).mhzAt(x))));
}

void FrmSpectrum::lblSelect_MouseMove(int, int, double x, double)
{
    const double at = lblSelect->left() + x;
    StatusBar1->setPanelText(1, plainText(roundSix(ChartScale(window.windowLowMHz, window.windowHighMHz).mhzAt(at))));
}

}  // namespace shell
