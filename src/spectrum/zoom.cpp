// The spectrum zoom: the loaded bars re-placed about the centre of the window.

#include "base/numbers.h"
#include "forms/widgets.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

namespace spectrum {

void FrequencyWindow::zoom(bool in)
{
    const double l = windowLowMHz;
    const double h = windowHighMHz;
    try {
        if (in) {
            windowLowMHz = l + (h - l) / 4;
            windowHighMHz = h - (h - l) / 4;
        } else {
            windowLowMHz = l - (h - l) / 2;
            windowHighMHz = h + (h - l) / 2;
        }
        const ChartScale shown(windowLowMHz, windowHighMHz);
        if (chart_.selectedBarIndex >= 0) {
            // The marker is not clamped.
            const int s = chart_.selectedBarIndex;
            c_.lblSelect->setLeft(shown.twipsAt(chart_.recordLowMHz(s)));
            c_.lblSelect->setWidth(shown.twipsFor(chart_.recordBandwidthMHz(s)));
        }
        chart_.rescaleBars(shown);
        zoomFactor = in ? zoomFactor * 2 : zoomFactor / 2;
        c_.lblZoom->setCaption(QStringLiteral("Zoom x") + base::signSpacedText(zoomFactor));
        writeLowFrequencyLabel();
        writeHighFrequencyLabel();
        placeUnsearchedShades();
        if (chart_.selectedBarIndex == -1) {
            const double width = in ? c_.lblSelect->width() * 2 : c_.lblSelect->width() / 2;
            c_.lblSelect->setWidth(width);
            c_.lblSelect->setLeft(c_.lblUnsearchedHigh->left() - width);
        }
        c_.hsbFrequency->setEnabledFlag(zoomFactor == 1);
    } catch (const forms::Error& e) {
        QString message;
        if (e.number() == 380)
            message = QString::fromLatin1(in ? "Exceeded maximum zoom for this set of records"
                                             : "Unable to zoom this set of records") +
                      QStringLiteral("\r\nReturning to Zoom x 1");
        else
            message = QStringLiteral("Unanticipated error ") + QString::number(e.number()) + QStringLiteral(": ") +
                      e.description();
        forms::msgBox(message, forms::vbOKOnly | forms::vbExclamation);
        rerunSearch();
    }
}

void FrequencyWindow::cmdZoomIn_Click() { zoom(true); }
void FrequencyWindow::cmdZoomOut_Click() { zoom(false); }

}  // namespace spectrum
