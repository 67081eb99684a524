#include "spectrum/chart.h"

#include "spectrum/numbers.h"

#include <cmath>

namespace spectrum {

QString searchRangeCriteria(double low, double high)
{
    return QStringLiteral("spectrumhigh > ") + signSpacedText(low) + QStringLiteral(" and SpectrumLow <= ") +
           signSpacedText(high);
}

QString searchStatement(double low, double high)
{
    return QStringLiteral(
               "select spectrum.serviceid, spectrum.spectrumstatusid, spectrum.spectrumtypeid, spectrum.spectrumlow, "
               "spectrum.spectrumhigh, location.districtid, count(*)as distnum from (spectrum LEFT JOIN "
               "transmitconfiguration ON spectrum.licenceid = transmitconfiguration.licenceid) LEFT JOIN location ON "
               "transmitconfiguration.locationid = location.locationid where ") +
           searchRangeCriteria(low, high) +
           QStringLiteral(" and spectrumlow > 0 and spectrum.spectrumstatusid in (1, 4, 5) group by "
                          "spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, spectrum.spectrumtypeid, "
                          "spectrum.spectrumstatusid, spectrum.serviceid");
}

QString searchOrderClause()
{
    return QStringLiteral(" order by spectrum.spectrumlow, spectrum.spectrumhigh, location.districtid, "
                          "spectrum.spectrumtypeid, spectrum.spectrumstatusid, spectrum.serviceid");
}

BarGeometry clampBar(double left, double width)
{
    if (left < -kBandTwipsLimit) {
        width -= std::fabs(left) - kBandTwipsLimit;
        left = -kBandTwipsLimit;
    } else if (width > kBandTwipsLimit) {
        width = kBandTwipsLimit;
    }
    return {double(float(left)), double(float(width))};
}

BarGeometry placeSearchedBar(double recordLow, double recordBandwidth, double searchLow, double searchHigh)
{
    const double s = searchHigh - searchLow;
    const double left = (recordLow - searchLow) / s * kChartTwips;
    const double width = kChartTwips / s * recordBandwidth;
    return clampBar(left, width);
}

BarGeometry placeOnWindow(double recordLow, double recordBandwidth, double windowLow, double windowHigh)
{
    const double span = windowHigh - windowLow;
    const double left = (recordLow - windowLow) / span * kChartTwips;
    const double width = recordBandwidth * kChartTwips / span;
    return clampBar(left, width);
}

int districtRow(double districtId)
{
    static const int rows[18] = {0, 1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 0, 13, 0, 14};
    if (districtId >= 1 && districtId <= 17 && districtId == std::floor(districtId))
        return rows[int(districtId)];
    return 0;
}

QColor ituServiceColour(int serviceId)
{
    switch (serviceId) {
    case 17: return QColor(0xFF, 0xFF, 0xFF);
    case 18: return QColor(0xFF, 0x00, 0x00);
    case 19: return QColor(0x00, 0x00, 0xFF);
    case 25: return QColor(0x80, 0x40, 0x40);
    case 26: return QColor(0xFF, 0xFF, 0x00);
    case 27: return QColor(0x00, 0xC0, 0xC0);
    case 28: return QColor(0xC0, 0xFF, 0xFF);
    case 29: return QColor(0xFF, 0x00, 0xFF);
    case 30: return QColor(0xFF, 0x80, 0x00);
    default: return QColor(0xC0, 0xC0, 0xC0);
    }
}

bool isItuColour(const QColor& c)
{
    for (int s : {17, 18, 19, 25, 26, 27, 28, 29, 30, 0})
        if (ituServiceColour(s) == c)
            return true;
    return false;
}

double roundHalfEven(double x) { return std::nearbyint(x); }

int plannedRowHeight(int count)
{
    if (count <= 0)
        return 150;
    const int h = int(roundHalfEven(400.0 / count));
    return h > 150 ? 150 : h;
}

void sortPlannedBandwidths(std::vector<double>& list, int n)
{
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (list[size_t(i)] < list[size_t(j)])
                std::swap(list[size_t(i)], list[size_t(j)]);
}

std::vector<int> stackedTops(const std::vector<double>& lows)
{
    std::vector<int> tops;
    if (lows.empty())
        return tops;
    tops.push_back(0);
    double p = lows[0];
    int c = 1;
    for (size_t k = 1; k < lows.size(); ++k) {
        if (lows[k] == p) {
            ++c;
            tops.push_back((c - 1) * 100);
        } else {
            tops.push_back(0);
            c = 1;
        }
        p = lows[k];
    }
    return tops;
}

}  // namespace spectrum
