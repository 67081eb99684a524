// The spectrum zoom: the loaded bars re-placed about the centre of the window.

#include "shell/frmspectrum.h"
#include "spectrum/chart_model.h"
#include "spectrum/numbers.h"

namespace shell {

using namespace spectrum;

void FrmSpectrum::rescaleBars()
{
    const ChartScale scale(window.windowLowMHz, window.windowHighMHz);
    for (int i = 0; i <= search.lastRecordIndex; ++i) {
        const BarGeometry g = scale.place(search.recordLowMHz[size_t(i)], search.recordBandwidthMHz[size_t(i)]);
        forms::Label* bar = (*lblSpectrum)(i);
        bar->setLeft(g.left);
        bar->setWidth(g.width);
    }
}

void FrmSpectrum::zoom(bool in)
{
    const double l = window.windowLowMHz;
    const double h = window.windowHighMHz;
    try {
        if (in) {
            window.windowLowMHz = l + (h - l) / 4;
            window.windowHighMHz = h - (h - l) / 4;
        } else {
            window.windowLowMHz = l - (h - l) / 2;
            window.windowHighMHz = h + (h - l) / 2;
        }
        if (search.selectedBarIndex >= 0) {
            // The marker is not clamped.
            const ChartScale scale(window.windowLowMHz, window.windowHighMHz);
            const size_t s = size_t(search.selectedBarIndex);
            lblSelect->setLeft(scale.twipsAt(search.recordLowMHz[s]));
            lblSelect->setWidth(scale.twipsFor(search.recordBandwidthMHz[s]));
        }
        rescaleBars();
        window.zoomFactor = in ? window.zoomFactor * 2 : window.zoomFactor / 2;
        lblZoom->setCaption(QStringLiteral("Zoom x") + signSpacedText(window.zoomFactor));
        writeLowFrequencyLabel();
        writeHighFrequencyLabel();
        placeUnsearchedShades();
        if (search.selectedBarIndex == -1) {
            const double width = in ? lblSelect->width() * 2 : lblSelect->width() / 2;
            lblSelect->setWidth(width);
            lblSelect->setLeft(lblUnsearchedHigh->left() - width);
        }
        hsbFrequency->setEnabledFlag(window.zoomFactor == 1);
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

void FrmSpectrum::cmdZoomIn_Click() { zoom(true); }
void FrmSpectrum::cmdZoomOut_Click() { zoom(false); }

}  // namespace shell
