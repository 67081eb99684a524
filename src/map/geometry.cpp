#include "map/geometry.h"

#include <cmath>

namespace nzmap {

double columnOf(double easting) { return (easting - kAnchorEasting) / 1000 + kAnchorColumn; }
double rowOf(double northing) { return (kAnchorNorthing - northing) / 1000 + kAnchorRow; }
double eastingOf(double column) { return (column - kAnchorColumn) * 1000 + kAnchorEasting; }
double northingOf(double row) { return kAnchorNorthing - (row - kAnchorRow) * 1000; }

ClipRect clipRect(int easting, int northing, int zoom, int base)
{
    ClipRect c;
    if (zoom == 0) {
        c.x = easting;
        c.y = northing;
    } else {
        c.x = int(std::nearbyint(zoom / 2.0 + easting));
        c.y = int(std::nearbyint(zoom / 2.0 + northing));
    }
    c.width = base - zoom;
    c.height = base - zoom;
    return c;
}

double markerLeft(int siteX, const ClipRect& c, int base)
{
    return (siteX - c.x) / (double(c.width) / base) * 10;
}

double markerTop(int siteY, const ClipRect& c, int base)
{
    return (siteY - c.y) / (double(c.height) / base) * 10;
}

double pointerColumn(double x, const ClipRect& c, int base) { return c.x + (x / 10) * c.width / base; }
double pointerRow(double y, const ClipRect& c, int base) { return c.y + (y / 10) * c.height / base; }

QString gridText(double metres) { return QString::number(qint64(std::floor(metres / 100)) * 100); }

QString sheetRowText(double northingShown)
{
    const qint64 r = qint64(std::floor(51 - (northingShown / 100 - 52900) / 300));
    const QString digits = QString::number(std::llabs(r)).rightJustified(2, QLatin1Char('0'));
    return r < 0 ? QLatin1Char('-') + digits : digits;
}

QString sheetLetter(double easting)
{
    const double code = 64 + std::floor((easting / 100 - 19300) / 400);
    if (code < 1 || code > 0xFFFF)
        return QStringLiteral("?");
    return QString(QChar(char16_t(code)));
}

QString gridReference(const QString& eastingText, const QString& northingText)
{
    return eastingText.mid(2, 3) + northingText.mid(2, 3);
}

}  // namespace nzmap
