#pragma once
// A listing taken away: the texts of the files it is written to (CSV, RFC
// 4180; GeoJSON, RFC 7946) and writing a file whole or not at all.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace inspect {

// A field as CSV writes it: quoted, inner quotes doubled, when it holds a
// comma, a quote or a line break (or starts or ends with a blank).
QString csvField(const QString& text);
// Rows as CSV in UTF-8, each line ended by CR LF.
QByteArray csvText(const std::vector<QStringList>& rows);

// A site as a GeoJSON feature gives it.
struct SiteFeature {
    QString name;
    double latitude = 0, longitude = 0;        // NZGD2000 (WGS84 to a metre)
    double nztmEasting = 0, nztmNorthing = 0;  // NZTM2000
    QString topo50;                            // the Topo50 reference; empty outside the sheets
    QStringList districts;
    QStringList licences;
};
// A feature collection of points, longitude before latitude.
QByteArray geoJsonText(const std::vector<SiteFeature>& sites);

// Writes the bytes to the file whole, or leaves it as it was: they go to a
// temporary file in the same folder that then takes the file's name.
// False, with the reason, when the file cannot be written.
bool writeWhole(const QString& path, const QByteArray& bytes, QString& reason);

}  // namespace inspect
