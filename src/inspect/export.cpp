#include "inspect/export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace inspect {

QString csvField(const QString& text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                       (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QByteArray csvText(const std::vector<QStringList>& rows)
{
    QString out;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& f : row)
            fields << csvField(f);
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QByteArray geoJsonText(const std::vector<SiteFeature>& sites)
{
    // Coordinates to a tenth of a metre or so; the names as they are.
    auto rounded = [](double v, int places) {
        const double scale = std::pow(10.0, places);
        return std::round(v * scale) / scale;
    };
    QJsonArray features;
    for (const SiteFeature& s : sites) {
        QJsonObject properties{{"name", s.name},
                               {"district", s.districts.join(QStringLiteral("; "))},
                               {"licences", QJsonArray::fromStringList(s.licences)},
                               {"latitude", rounded(s.latitude, 7)},
                               {"longitude", rounded(s.longitude, 7)},
                               {"nztmEasting", rounded(s.nztmEasting, 1)},
                               {"nztmNorthing", rounded(s.nztmNorthing, 1)},
                               {"topo50", s.topo50}};
        features.append(QJsonObject{
            {"type", "Feature"},
            {"geometry",
             QJsonObject{{"type", "Point"},
                         {"coordinates", QJsonArray{rounded(s.longitude, 7), rounded(s.latitude, 7)}}}},
            {"properties", properties}});
    }
    return QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", features}}).toJson();
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString& reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

}  // namespace inspect
