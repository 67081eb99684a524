#include "shell/frmsplash.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace shell {

using namespace forms;

QString disclaimerText()
{
    return QStringLiteral(
        "The information shown is not a complete source of information on the KORVA database. It is current at "
        "the date of production stated on the distribution disc. The issuing organisation is not responsible for "
        "incorrect or incomplete information.");
}

SweepAnimation::SweepAnimation(QWidget* parent, const QString& name) : PictureBox(parent, name)
{
    setBorderStyle(1);
    clock_.start();
    connect(&frames_, &QTimer::timeout, this, [this] { update(); });
    frames_.start(50);
}

void SweepAnimation::paintBackdrop(QPainter& p)
{
    PictureBox::paintBackdrop(p);
    const QRectF r = QRectF(clientOrigin(), QSizeF(clientPixelSize()));
    p.fillRect(r, QColor(0x00, 0x30, 0x00));
    p.setPen(QColor(0x00, 0x60, 0x00));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(r.left(), r.top() + r.height() * i / 4), QPointF(r.right(), r.top() + r.height() * i / 4));
        p.drawLine(QPointF(r.left() + r.width() * i / 4, r.top()), QPointF(r.left() + r.width() * i / 4, r.bottom()));
    }
    // A trace with a few carriers, swept from left to right once a second.
    const double t = clock_.elapsed() / 1000.0;
    const double sweep = std::fmod(t, 1.0);
    QPainterPath trace;
    const int n = int(r.width());
    for (int x = 0; x <= n * sweep; ++x) {
        const double u = double(x) / n;
        double level = 0.08 + 0.04 * std::sin(u * 97.0 + t * 3) * std::sin(u * 41.0);
        for (double c : {0.18, 0.37, 0.52, 0.71, 0.86})
            level += 0.7 * std::exp(-std::pow((u - c) * 60.0, 2)) * (0.6 + 0.4 * std::sin(c * 13 + t));
        const QPointF pt(r.left() + x, r.bottom() - 2 - level * (r.height() - 4));
        if (x == 0)
            trace.moveTo(pt);
        else
            trace.lineTo(pt);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0xFF, 0x80), 1.2));
    p.drawPath(trace);
    p.setPen(QColor(0xFF, 0x80, 0x80));
    p.drawLine(QPointF(r.left() + n * sweep, r.top()), QPointF(r.left() + n * sweep, r.bottom()));
}

FrmSplash::FrmSplash() : Form(QStringLiteral("frmSplash"), 6120, 3765)
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setCaption(QStringLiteral("Orvane Zaru"));
    Frame1 = new Frame(surface(), "Frame1");
    Frame1->place(150, 90, 5805, 3480);
    Frame1->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    surface()->setBackColor(QColor(0xC0, 0xC0, 0xC0));
    Gif89a1 = new SweepAnimation(Frame1, "Gif89a1");
    Gif89a1->place(480, 480, 1770, 1365);
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
    lblProgress->place(2490, 1980, 3015, 255);
    lblProgress->setBackStyle(0);
    lblProgress->setForeColor(QColor(0x00, 0x00, 0x80));
    centre();
}

void FrmSplash::showProgress(const reg::ImportProgress& p)
{
    const int percent = p.rowsTotal > 0 ? int(100 * p.rowsRead / p.rowsTotal) : 0;
    lblProgress->setCaption(QStringLiteral("Reading %1: %2 of %3 rows (%4%)")
                                .arg(p.table)
                                .arg(p.rowsRead)
                                .arg(p.rowsTotal)
                                .arg(percent));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace shell
