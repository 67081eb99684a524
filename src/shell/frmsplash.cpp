#include "shell/frmsplash.h"

#include "forms/events.h"

#include <QApplication>
#include <QLocale>
#include <QMovie>

#include "shell/pictures.h"

namespace shell {

using namespace forms;

QString disclaimerText()
{
    return QStringLiteral(
        "The information shown is not a complete source of information on the KORVA database. It is current at "
        "the date of production stated on the distribution disc. The issuing organisation is not responsible for "
        "incorrect or incomplete information.");
}

FrmSplash::FrmSplash() : Form(QStringLiteral("frmSplash"), 6120, 3765)
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setCaption(QStringLiteral("Orvane Zaru"));
    Frame1 = new Frame(surface(), "Frame1");
    Frame1->place(150, 90, 5805, 3480);
    Frame1->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    surface()->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    Gif89a1 = new PictureBox(Frame1, "Gif89a1");
    Gif89a1->setBorderStyle(0);
    Gif89a1->place(480, 480, 1770, 1365);
    // The animation plays while the window is up.
    movie_ = new QMovie(splashAnimationPath(), QByteArray(), this);
    // The frames of the animation drawn at twice the size on a high-density screen.
    const qreal ratio = splashAnimationPath().contains(QStringLiteral("@2x")) ? 2.0 : 1.0;
    connectGuarded(movie_, &QMovie::frameChanged, this, [this, ratio] {
        QImage frame = movie_->currentImage();
        frame.setDevicePixelRatio(ratio);
        Gif89a1->setPicture(frame);
    });
    movie_->start();
    lblProductName = new Label(Frame1, "lblProductName");
    lblProductName->place(2490, 480, 3015, 900);
    lblProductName->setCaption("Orvane           Zaru");
    lblProductName->setFont(standInFont("Arial", 18, true));
    lblProductName->setBackStyle(0);
    Label1 = new Label(Frame1, "Label1");
    Label1->place(2640, 1680, 2580, 510);
    Label1->setCaption("Software loading.........");
    Label1->setFont(standInFont("MS Sans Serif", 12));
    Label1->setBackStyle(0);
    Label2 = new Label(Frame1, "Label2");
    Label2->place(360, 2280, 5055, 1095);
    Label2->setCaption(disclaimerText());
    Label2->setBackStyle(0);
    lblProgress = new Label(Frame1, "lblProgress");
    // Under the animation and the loading text, across the frame.
    lblProgress->place(360, 1890, 5055, 390);
    lblProgress->setAlignment(2);  // centred
    lblProgress->setBackStyle(0);
    lblProgress->setForeColor(QColor(0x00, 0x00, 0x80));
    // In the frame's top right corner, above the product name.
    cmdCancel = new CommandButton(Frame1, "cmdCancel");
    cmdCancel->place(4560, 150, 1095, 330);
    cmdCancel->setCaption(QStringLiteral("Cancel"));
    cmdCancel->setCancel(true);
    cmdCancel->setToolTip(QStringLiteral("Stop reading the register and close Orvane Zaru"));
    cmdCancel->setVisible(false);
    connectGuarded(cmdCancel, &Control::clicked, this, [this] { cancelled_ = true; });
    setCancelButton(cmdCancel);
    centre();
}

QString progressText(const reg::ImportProgress& p)
{
    if (p.table.isEmpty() && p.rowsTotal == 0)
        return QStringLiteral("Reading the register's list of tables");
    const int percent = p.rowsTotal > 0 ? int(100 * p.rowsRead / p.rowsTotal) : 0;
    const QLocale english(QLocale::English);
    return QStringLiteral("Reading the register: %1%\n%2, %3 of %4 rows")
        .arg(percent)
        .arg(p.table, english.toString(p.rowsRead), english.toString(p.rowsTotal));
}

void FrmSplash::showProgress(const reg::ImportProgress& p)
{
    lblProgress->setCaption(progressText(p));
    if (!cmdCancel->isVisible())
        cmdCancel->setVisible(true);
    // Input too: the Cancel button must answer.
    QApplication::processEvents();
}

}  // namespace shell
