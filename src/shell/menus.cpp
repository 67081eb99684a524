// The shell's commands: Help, About, the ITU legend and its button's timer.

#include "shell/frmspectrum.h"
#include "shell/help.h"
#include "shell/secondary.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

namespace shell {

bool FrmSpectrum::showHelpFile(const QString& fileName, QWidget*, int context)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    auto help = std::make_unique<HelpWindow>(fileName);
    if (!help->isOpen())
        return false;
    // The file has no context map of its own: every context shows the default topic.
    (void)context;
    if (!help->showDefaultTopic())
        return false;
    helpViewer_ = std::move(help);
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
    return true;
}

void FrmSpectrum::mnuHelp_Click()
{
    // The help file in the working folder, else the one installed with the
    // program (a register folder of the user's own holds no help file).
    QString file = QStringLiteral("OrvaneZaru.chm");
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvane-zaru/OrvaneZaru.chm");
    if (!QFileInfo(file).isFile() && QFileInfo(installed).isFile())
        file = QFileInfo(installed).canonicalFilePath();
    showHelpFile(file, nullptr, 0);
}

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
