#pragma once
// The coordinates people use today for an NZ Map Grid position: NZGD2000
// latitude and longitude, NZTM2000 easting and northing, and the Topo50
// sheet and grid reference. NZMG is converted to NZGD2000 with PROJ through
// LINZ's NZGD49 to NZGD2000 distortion grid (within 0.2 m where it covers).

#include <QString>

namespace nzmap {

struct Position {
    bool valid = false;          // false when PROJ cannot convert the point
    double latitude = 0;         // NZGD2000, degrees (south negative)
    double longitude = 0;        // NZGD2000, degrees east (west of 180 negative)
    double nztmEasting = 0;      // NZTM2000, metres
    double nztmNorthing = 0;
    QString topo50Sheet;         // "BQ31"; empty outside every sheet
    QString topo50Reference;     // "BQ31 488 288"; empty outside every sheet
};

// The position of an NZMG point.
Position positionOfNzmg(double easting, double northing);
// The NZMG point of an NZGD2000 position (the inverse, for checks and
// for places known by latitude and longitude); false when it cannot.
bool nzmgOfPosition(double latitude, double longitude, double& easting, double& northing);

// The Topo50 sheet of an NZGD2000 position: the mainland sheets on NZTM2000,
// the Chatham Islands sheets on their own projection; empty outside them.
QString topo50Sheet(double latitude, double longitude);
// The sheet of an NZTM2000 point on the mainland grid, empty outside it;
// and of a Chatham Islands Transverse Mercator 2000 point.
QString topo50SheetOfNztm(double easting, double northing);
QString topo50SheetOfChatham(double easting, double northing);
// "BQ31 488 288": the sheet and the point's hundreds of metres east and north.
QString topo50Reference(const QString& sheet, double easting, double northing);

// The position as the map's tooltip shows it, one line a system.
QString positionText(const Position& p);

}  // namespace nzmap
