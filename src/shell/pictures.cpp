#include "shell/pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <functional>
#include <QPainter>
#include <QRadialGradient>

// The pictures live in the core library's resources; a static library needs
// them registered by hand.
static void registerPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace shell {

namespace {

// On a screen of more than one device pixel to a logical one the picture
// drawn at twice the size ("name@2x.png") is taken, so that it stays sharp.
QImage load(const char* path, QSize size, const std::function<void(QImage&)>& standIn)
{
    registerPictures();
    if (qApp && qApp->devicePixelRatio() > 1) {
        QString twice = QString::fromLatin1(path);
        twice.insert(twice.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        QImage big;
        if (QFile::exists(twice) && big.load(twice) && big.size() == size * 2) {
            big.setDevicePixelRatio(2);
            return big;
        }
    }
    QImage img;
    if (QFile::exists(QString::fromLatin1(path)))
        img.load(QString::fromLatin1(path));
    if (img.isNull() || img.size() != size) {
        img = QImage(size, QImage::Format_RGB32);
        standIn(img);
    }
    return img;
}

}  // namespace

QImage reliefMapPicture()
{
    QImage img = load(":/pictures/relief-map.png", QSize(1327, 1797), [](QImage& i) { i.fill(QColor(0x30, 0x60, 0xB0)); });
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage skyPicture()
{
    return load(":/pictures/sky.png", QSize(640, 480), [](QImage& i) {
        QPainter p(&i);
        QLinearGradient g(0, 0, 0, 480);
        g.setColorAt(0, QColor(0x3A, 0x6E, 0xC8));
        g.setColorAt(1, QColor(0xC8, 0xE0, 0xFF));
        p.fillRect(i.rect(), g);
    });
}

QImage knobPicture()
{
    return load(":/pictures/knob.png", QSize(100, 100), [](QImage& i) {
        i.fill(QColor(0xD4, 0xD0, 0xC8));
        QPainter p(&i);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient g(40, 40, 60);
        g.setColorAt(0, QColor(0xF0, 0xF0, 0xF0));
        g.setColorAt(1, QColor(0x60, 0x60, 0x60));
        p.setBrush(g);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawEllipse(QRectF(4, 4, 92, 92));
    });
}

QImage logoPicture()
{
    return load(":/pictures/logo.png", QSize(190, 70), [](QImage& i) {
        i.fill(QColor(0xD4, 0xD0, 0xC8));
        QPainter p(&i);
        p.setPen(QColor(0x20, 0x40, 0x80));
        p.drawText(i.rect(), Qt::AlignCenter, QStringLiteral("Spectrum Register"));
    });
}

QImage iconPicture()
{
    return load(":/pictures/icon.png", QSize(32, 32), [](QImage& i) {
        i.fill(QColor(0, 0x40, 0));
        QPainter p(&i);
        p.setPen(QColor(0x80, 0xFF, 0x80));
        for (int x = 2; x < 30; x += 4)
            p.drawLine(x, 30, x, 30 - ((x * 7) % 24));
    });
}

QString splashAnimationPath()
{
    registerPictures();
    return qApp && qApp->devicePixelRatio() > 1 ? QStringLiteral(":/pictures/splash@2x.gif")
                                                 : QStringLiteral(":/pictures/splash.gif");
}

QIcon applicationIcon()
{
    registerPictures();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/nz.orvane.Zaru-%1.png").arg(size), QSize(size, size));
    return icon;
}

const QCursor& grabbingHandCursor()
{
    // Decoded once; kept for the life of the program.
    static const QCursor* const hand = [] {
        bool drawn = true;
        const QImage img = load(":/pictures/hand.png", QSize(32, 32), [&drawn](QImage&) { drawn = false; });
        return drawn ? new QCursor(QPixmap::fromImage(img), 16, 16) : new QCursor(Qt::ClosedHandCursor);
    }();
    return *hand;
}

}  // namespace shell
