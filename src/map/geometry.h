#pragma once
// Map arithmetic without widgets: NZ Map Grid and map pixels, the view
// rectangle, marker places and the pointer readout with NZMS260 sheets.

#include <QString>

namespace nzmap {

// The relief map: 1327 x 1797 pixels, 1000 m a pixel, column 110 at easting
// 1951923 and row 150 at northing 6791805.
constexpr int kMapWidth = 1327;
constexpr int kMapHeight = 1797;
constexpr double kAnchorEasting = 1951923;
constexpr double kAnchorNorthing = 6791805;
constexpr int kAnchorColumn = 110;
constexpr int kAnchorRow = 150;
constexpr int kBaseClip = 394;

// Map column and row of an NZMG point (not rounded).
double columnOf(double easting);
double rowOf(double northing);
// And back.
double eastingOf(double column);
double northingOf(double row);

struct ClipRect {
    int x = 0, y = 0, width = 0, height = 0;
};
// The view rectangle for the three bars: at zoom 0 the bar values; when
// zoomed z / 2 plus the bar value, a half going to the even neighbour.
ClipRect clipRect(int easting, int northing, int zoom, int base = kBaseClip);

// A marker's Left and Top (twips in the map box) for a site at a map pixel.
double markerLeft(int siteX, const ClipRect& c, int base = kBaseClip);
double markerTop(int siteY, const ClipRect& c, int base = kBaseClip);

// The map point under the pointer (twips in the map box), not rounded.
double pointerColumn(double x, const ClipRect& c, int base = kBaseClip);
double pointerRow(double y, const ClipRect& c, int base = kBaseClip);

// Easting and northing texts, cut to 100 m.
QString gridText(double metres);
// The NZMS260 sheet row from the northing shown, as two digits ("00", "12", "-03").
QString sheetRowText(double northingShown);
// The sheet letter from the easting (before it is cut to 100 m).
QString sheetLetter(double easting);
// The six-digit grid reference from the two texts.
QString gridReference(const QString& eastingText, const QString& northingText);

}  // namespace nzmap
