// orvane-make-pictures: draws the window's pictures of our own into a folder:
// the sky (640 x 480), the knob (100 x 100), the logo (190 x 70), the icon and
// the grabbing hand (32 x 32), and the frames of the splash animation, each
// also at twice the size ("name@2x.png") for screens of two device pixels to
// a logical one; and the application icon drawn for each size a desktop
// theme asks for (icon-16.png to icon-256.png), snapped to whole pixels.
//
//   orvane-make-pictures FOLDER

#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>
#include <cstdio>

namespace {

// An image of `w` x `h` logical pixels at `scale` device pixels each; its
// painter draws in logical pixels.
QImage canvas(int w, int h, double scale, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(int(w * scale), int(h * scale), format);
    img.setDevicePixelRatio(scale);
    return img;
}

QImage sky(double scale)
{
    QImage img = canvas(640, 480, scale);
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

QImage knob(double scale)
{
    QImage img = canvas(100, 100, scale);
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

QImage logo(double scale)
{
    QImage img = canvas(190, 70, scale);
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

// The application icon's shapes at `size` units square: a dark green
// analyser screen with bars of a spectrum and the red centre line. Every
// bar lies on whole units, so the small sizes are as sharp as the large ones.
struct IconShapes {
    double edge, radius;
    std::vector<QRect> bars;
    QRect line;
};

IconShapes iconShapes(int size)
{
    IconShapes s;
    s.edge = std::max(1.0, size / 32.0);
    s.radius = size / 8.0;
    // Bars of whole pixels with whole gaps, as many as fit sharply.
    const int bars = size >= 64 ? 12 : size >= 32 ? 8 : 5;
    const int margin = std::max(2, size / 8);
    const int inner = size - 2 * margin;
    const int step = inner / bars;
    const int width = std::max(1, step * 2 / 3);
    const double heights[] = {0.25, 0.4, 0.85, 0.35, 0.55, 0.95, 0.3, 0.45, 0.7, 0.2, 0.6, 0.38};
    const int left = margin + (inner - step * bars + (step - width)) / 2;
    const int bottom = size - margin;
    for (int i = 0; i < bars; ++i) {
        const int h = std::max(1, int(std::lround(heights[i] * (inner - 1))));
        s.bars.emplace_back(left + i * step, bottom - h, width, h);
    }
    const int line = std::max(1, size / 32);
    s.line = QRect(size / 2 - line / 2, margin / 2, line, size - margin);
    return s;
}

QImage icon(int size)
{
    const IconShapes s = iconShapes(size);
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x00, 0x40, 0x00));
    p.setPen(QPen(QColor(0x00, 0x20, 0x00), s.edge));
    p.drawRoundedRect(QRectF(s.edge / 2, s.edge / 2, size - s.edge, size - s.edge), s.radius, s.radius);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect& bar : s.bars)
        p.fillRect(bar, QColor(0x80, 0xFF, 0x80));
    p.fillRect(s.line, QColor(0xFF, 0x80, 0x80));
    return img;
}

// The same icon as a scalable picture (SVG), drawn on 256 units.
QByteArray iconSvg()
{
    const int size = 256;
    const IconShapes s = iconShapes(size);
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(size);
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"#004000\" "
                          "stroke=\"#002000\" stroke-width=\"%4\"/>\n")
               .arg(s.edge / 2)
               .arg(size - s.edge)
               .arg(s.radius)
               .arg(s.edge);
    auto rect = [](const QRect& r, const char* colour) {
        return QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\" stroke=\"none\"/>\n")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .arg(QLatin1String(colour));
    };
    for (const QRect& bar : s.bars)
        svg += rect(bar, "#80ff80");
    svg += rect(s.line, "#ff8080");
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QImage hand(double scale)
{
    QImage img = canvas(32, 32, scale, QImage::Format_ARGB32);
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
QImage sweepFrame(int frame, int frames, double scale)
{
    QImage img = canvas(118, 91, scale);
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
    bool ok = true;
    for (double scale : {1.0, 2.0}) {
        const QString at = scale > 1 ? QStringLiteral("@2x") : QString();
        ok = ok && save(sky(scale), dir.filePath("sky" + at + ".png")) &&
             save(knob(scale), dir.filePath("knob" + at + ".png")) &&
             save(logo(scale), dir.filePath("logo" + at + ".png")) &&
             save(icon(int(32 * scale)), dir.filePath("icon" + at + ".png")) &&
             save(hand(scale), dir.filePath("hand" + at + ".png"));
        const int frames = 24;
        for (int f = 0; ok && f < frames; ++f)
            ok = save(sweepFrame(f, frames, scale),
                      dir.filePath(QStringLiteral("sweep%1-%2.png").arg(at).arg(f, 2, 10, QLatin1Char('0'))));
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ok = ok && save(icon(size), dir.filePath(QStringLiteral("icon-%1.png").arg(size)));
    QFile svg(dir.filePath(QStringLiteral("icon.svg")));
    ok = ok && svg.open(QIODevice::WriteOnly) && svg.write(iconSvg()) > 0;
    return ok ? 0 : 1;
}
