// The frequency window: searching again from the frequency controls, the
// scroll handler, the shades of the unsearched range and the readouts.

#include "base/numbers.h"
#include "forms/widgets.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

namespace spectrum {

using base::plainText;
using base::roundSix;
using base::sixDecimalText;

void FrequencyWindow::writeLowFrequencyLabel()
{
    const QString caption = windowLowMHz >= 0 ? sixDecimalText(windowLowMHz) : QString();
    c_.lblLowFrequency->setCaption(caption);
    lowShown_ = base::numberValue(caption);
}

void FrequencyWindow::writeHighFrequencyLabel()
{
    highShown_ = roundSix(windowHighMHz);
    c_.lblHighFrequency->setCaption(sixDecimalText(highShown_));
}

int FrequencyWindow::scrollValue() const { return c_.hsbFrequency->value(); }

void FrequencyWindow::rerunSearch() { searchRegister(); }

void FrequencyWindow::Option1_Click(int)
{
    readDisplayWidth();
    rerunSearch();
}

void FrequencyWindow::txtFrequencyDisplay_Click()
{
    if (!base::isNumber(c_.txtFrequencyDisplay->text()))
        return;
    readDisplayWidth();
    rerunSearch();
}

void FrequencyWindow::showRange(double low, double high)
{
    // The display widths, narrowest first, with their option buttons.
    static const std::pair<int, double> widths[] = {{0, 0.1}, {1, 0.5}, {2, 1},     {3, 5},
                                                    {4, 10},  {11, 100}, {12, 500}, {13, 1000}};
    int option = widths[std::size(widths) - 1].first;
    for (const auto& [index, width] : widths)
        if (width >= high - low - 1e-9) {  // a range as wide as a width fits it, whatever its last bit
            option = index;
            break;
        }
    c_.txtFrequencyDisplay->setText(sixDecimalText(roundSix(low + (high - low) / 2)));
    // Choosing the width searches; with the width chosen already, Enter does.
    if (c_.Option1[size_t(option)]->value())
        txtFrequencyDisplay_KeyPress(13);
    else
        c_.Option1[size_t(option)]->setValue(true);
}

void FrequencyWindow::txtFrequencyDisplay_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        txtFrequencyDisplay_Click();
}

void FrequencyWindow::placeUnsearchedShades()
{
    const double v = c_.hsbFrequency->value();
    // The searched range spans the chart at zoom 1; zoomed, it spans zoomFactor charts about the centre.
    c_.lblUnsearchedLow->setLeft((v - kHalfChartTwips) * zoomFactor);
    c_.lblUnsearchedHigh->setLeft((v + kHalfChartTwips) * zoomFactor + kHalfChartTwips);
}

void FrequencyWindow::hsbFrequency_Change()
{
    if (zoomFactor != 1) {
        forms::msgBox("Sorry.  Please return Zoom to 1 before scrolling");
        return;
    }
    c_.lblScroll->setCaption("Scrolled");
    c_.StatusBar1->setPanelText(2, "Fine Tuning Used");
    const int v = c_.hsbFrequency->value();
    chart_.slideBars(v);
    if (chart_.selectedBarIndex < 0)
        c_.lblSelect->setLeft(v);
    else
        c_.lblSelect->setLeft(chart_.recordLeftTwips(chart_.selectedBarIndex) + v);  // the selected bar's place
    placeUnsearchedShades();
    const ChartScale shown = ChartScale(searchLowMHz, searchHighMHz).slid(v);
    windowLowMHz = roundSix(shown.lowMHz());
    writeLowFrequencyLabel();
    windowHighMHz = roundSix(shown.highMHz());
    writeHighFrequencyLabel();
    centreFrequencyMHz = roundSix((windowHighMHz - windowLowMHz) / 2 + windowLowMHz);
    c_.txtFrequencyDisplay->setText(sixDecimalText(centreFrequencyMHz));
}

void FrequencyWindow::picSpectrum_MouseMove(int, int, double x, double)
{
    c_.form->setMousePointer(forms::vbDefault);
    c_.StatusBar1->setPanelText(1, plainText(roundSix(ChartScale(windowLowMHz, windowHighMHz).mhzAt(x))));
}

void FrequencyWindow::lblSelect_MouseMove(int, int, double x, double)
{
    const double at = c_.lblSelect->left() + x;
    c_.StatusBar1->setPanelText(1, plainText(roundSix(ChartScale(windowLowMHz, windowHighMHz).mhzAt(at))));
}

}  // namespace spectrum
