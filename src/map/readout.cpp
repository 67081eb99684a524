// The map readout's table of sheets and their districts.

#include "shell/frmspectrum.h"

namespace shell {

void FrmSpectrum::loadMapSheetDistricts()
{
    reg::Recordset rs = registerConnection_->execute(QStringLiteral("select map, district from mapdistrict"));
    map.mapSheetNames.clear();
    map.mapSheetDistricts.clear();
    // Rows with an empty sheet or district name say nothing and are skipped.
    while (!rs.eof()) {
        const QVariant sheet = rs.value("map");
        const QVariant district = rs.value("district");
        if (!sheet.isNull() && !district.isNull() && map.mapSheetNames.size() < 32767) {
            map.mapSheetNames.push_back(sheet.toString());
            map.mapSheetDistricts.push_back(district.toString());
        }
        rs.moveNext();
    }
    rs.close();
    map.mapSheetCount = qint16(map.mapSheetNames.size());
    map.mapSheetNames.emplace_back();
    map.mapSheetDistricts.emplace_back();
}

}  // namespace shell
