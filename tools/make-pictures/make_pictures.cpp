// orvane-make-pictures: draws the window's pictures of our own into a folder:
// the sky (640 x 480), the knob (100 x 100), the logo (190 x 70), the icon and
// the grabbing hand (32 x 32), and the frames of the splash animation.
//
//   orvane-make-pictures FOLDER

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

QImage sky()
{
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 480);
    g.setColorAt(0.0, QColor(0x1E, 0x4F, 0xA8));
    g.setColorAt(0.65, QColor(0x6E, 0xA6, 0xE0));
    g.setColorAt(1.0, QColor(0xD8, 0xE8, 0xF8));
    p.fillRect(img.rect(), g);
    // A few soft clouds.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const struct { double x, y, s; } clouds[] = {{110, 300, 1.0}, {420, 250, 1.3}, {560, 360, 0.8}, {260, 390, 0.9}};
    for (const auto& c : clouds) {
        for (int k = 0; k < 6; ++k) {
            const double dx = (k - 2.5) * 22 * c.s, dy = std::sin(k * 1.7) * 8 * c.s;
            QRadialGradient rg(c.x + dx, c.y + dy, 34 * c.s);
            rg.setColorAt(0, QColor(255, 255, 255, 150));
            rg.setColorAt(1, QColor(255, 255, 255, 0));
            p.setBrush(rg);
            p.drawEllipse(QPointF(c.x + dx, c.y + dy), 34 * c.s, 26 * c.s);
        }
    }
    return img;
}

QImage knob()
{
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(QColor(0xD4, 0xD0, 0xC8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient body(38, 36, 62);
    body.setColorAt(0, QColor(0xF4, 0xF4, 0xF4));
    body.setColorAt(0.7, QColor(0x9A, 0x9A, 0x9A));
    body.setColorAt(1, QColor(0x50, 0x50, 0x50));
    p.setBrush(body);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.drawEllipse(QRectF(3, 3, 94, 94));
    // Knurling around the rim.
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    for (int a = 0; a < 360; a += 10) {
        const double r = a * M_PI / 180;
        p.drawLine(QPointF(50 + 40 * std::cos(r), 50 + 40 * std::sin(r)), QPointF(50 + 46 * std::cos(r), 50 + 46 * std::sin(r)));
    }
    QRadialGradient cap(45, 44, 30);
    cap.setColorAt(0, QColor(0xE8, 0xE8, 0xE8));
    cap.setColorAt(1, QColor(0x88, 0x88, 0x88));
    p.setBrush(cap);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    p.drawEllipse(QRectF(22, 22, 56, 56));
    return img;
}

QImage logo()
{
    QImage img(190, 70, QImage::Format_RGB32);
    img.fill(QColor(0xD4, 0xD0, 0xC8));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // An emblem: three arcs of a radio wave over a small mast.
    p.setPen(QPen(QColor(0x1C, 0x4E, 0x8A), 3));
    for (int k = 1; k <= 3; ++k)
        p.drawArc(QRectF(34 - 9 * k, 30 - 9 * k, 18 * k, 18 * k), 30 * 16, 120 * 16);
    p.setPen(QPen(QColor(0x1C, 0x4E, 0x8A), 2));
    p.drawLine(QPointF(34, 30), QPointF(26, 58));
    p.drawLine(QPointF(34, 30), QPointF(42, 58));
    p.drawLine(QPointF(29, 46), QPointF(39, 46));
    p.setBrush(QColor(0xC8, 0x30, 0x30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(34, 30), 3.5, 3.5);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x1C, 0x3A, 0x66));
    p.drawText(QRectF(62, 12, 126, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Spectrum"));
    p.drawText(QRectF(62, 34, 126, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Register"));
    p.setPen(QPen(QColor(0x1C, 0x4E, 0x8A), 1));
    p.drawLine(QPointF(62, 35), QPointF(180, 35));
    return img;
}

QImage icon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x00, 0x40, 0x00));
    p.setPen(QPen(QColor(0x00, 0x20, 0x00), 1));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 4, 4);
    const int heights[] = {6, 10, 22, 9, 14, 25, 8, 12};
    for (int i = 0; i < 8; ++i) {
        p.fillRect(QRectF(4 + i * 3, 28 - heights[i], 2, heights[i]), QColor(0x80, 0xFF, 0x80));
    }
    p.setPen(QPen(QColor(0xFF, 0x80, 0x80), 1));
    p.drawLine(QPointF(16, 4), QPointF(16, 29));
    return img;
}

QImage hand()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    // A closed, grabbing hand seen from above: the palm and four curled fingers.
    path.addRoundedRect(QRectF(7, 12, 18, 15), 5, 5);
    for (int k = 0; k < 4; ++k)
        path.addRoundedRect(QRectF(8 + k * 4.2, 8, 4.4, 8), 2, 2);
    path.addRoundedRect(QRectF(3, 15, 7, 5), 2.5, 2.5);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.setPen(QPen(QColor(0, 0, 0), 1.4));
    p.drawPath(path.simplified());
    p.setPen(QPen(QColor(0, 0, 0), 1));
    for (int k = 1; k < 4; ++k)
        p.drawLine(QPointF(8 + k * 4.2, 9), QPointF(8 + k * 4.2, 15));
    return img;
}

// One frame of the splash animation: a trace sweeping across an analyser screen.
QImage sweepFrame(int frame, int frames)
{
    QImage img(118, 91, QImage::Format_RGB32);
    img.fill(QColor(0x00, 0x28, 0x00));
    QPainter p(&img);
    p.setPen(QColor(0x00, 0x58, 0x00));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(0, 91 * i / 4, 118, 91 * i / 4);
        p.drawLine(118 * i / 4, 0, 118 * i / 4, 91);
    }
    p.setRenderHint(QPainter::Antialiasing);
    const double sweep = double(frame + 1) / frames;
    QPainterPath trace;
    for (int x = 0; x <= int(118 * sweep); ++x) {
        const double u = x / 118.0;
        double level = 0.08 + 0.03 * std::sin(u * 97.0) * std::sin(u * 41.0 + frame);
        for (double c : {0.18, 0.37, 0.52, 0.71, 0.86})
            level += 0.7 * std::exp(-std::pow((u - c) * 55.0, 2)) * (0.65 + 0.35 * std::sin(c * 13 + frame * 0.4));
        const QPointF pt(x, 88 - level * 84);
        if (x == 0)
            trace.moveTo(pt);
        else
            trace.lineTo(pt);
    }
    p.setPen(QPen(QColor(0x80, 0xFF, 0x80), 1.2));
    p.drawPath(trace);
    p.setPen(QColor(0xFF, 0x80, 0x80));
    p.drawLine(QPointF(118 * sweep, 0), QPointF(118 * sweep, 91));
    return img;
}

bool save(const QImage& img, const QString& path)
{
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-make-pictures FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = save(sky(), dir.filePath("sky.png")) && save(knob(), dir.filePath("knob.png")) &&
              save(logo(), dir.filePath("logo.png")) && save(icon(), dir.filePath("icon.png")) &&
              save(hand(), dir.filePath("hand.png"));
    const int frames = 24;
    for (int f = 0; ok && f < frames; ++f)
        ok = save(sweepFrame(f, frames), dir.filePath(QStringLiteral("sweep-%1.png").arg(f, 2, 10, QLatin1Char('0'))));
    return ok ? 0 : 1;
}
