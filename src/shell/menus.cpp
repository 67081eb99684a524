// The shell's commands: About, the ITU legend and its button's timer.

#include "shell/frmspectrum.h"
#include "shell/secondary.h"

#include <QApplication>
#include <QScreen>

namespace shell {

void FrmSpectrum::mnuAbout_Click()
{
    FrmAbout about(this);
    about.centre(this);
    forms::showModal(about);
}

void FrmSpectrum::cmdITU_Click()
{
    FrmITU legend(this);
    legend.adjustSize();
    // Centred on the screen, in twips, fractional values kept.
    if (QScreen* s = QApplication::primaryScreen()) {
        const double screenW = forms::toTwips(s->geometry().width());
        const double screenH = forms::toTwips(s->geometry().height());
        const double top = (screenH - forms::toTwips(legend.frameGeometry().height())) / 2;
        const double left = (screenW - forms::toTwips(legend.frameGeometry().width())) / 2;
        legend.setProperty("Top", top);
        legend.setProperty("Left", left);
        legend.move(int(forms::toPixels(left)), int(forms::toPixels(top)));
    }
    forms::showModal(legend);
}

void FrmSpectrum::tmrITU_Timer()
{
    cmdITU->setEnabledFlag(true);
    tmrITU->setEnabled(false);
}

}  // namespace shell
