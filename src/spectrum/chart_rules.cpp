#include "spectrum/chart_rules.h"

#include <cmath>

namespace spectrum {

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

int districtRow(double districtId)
{
    static const int rows[18] = {0, 1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 0, 13, 0, 14};
    if (districtId >= 1 && districtId <= 17 && districtId == std::floor(districtId))
        return rows[int(districtId)];
    return 0;
}

const std::vector<ItuService>& ituServices()
{
    static const std::vector<ItuService> services = {
        {18, QColor(0xFF, 0x00, 0x00), QColor(0xFF, 0x00, 0x00), "Fixed"},
        {25, QColor(0x80, 0x40, 0x40), QColor(0x80, 0x40, 0x00), "Land Mobile"},
        {26, QColor(0xFF, 0xFF, 0x00), QColor(0xFF, 0xFF, 0x00), "Broadcasting"},
        {19, QColor(0x00, 0x00, 0xFF), QColor(0x00, 0x00, 0xFF), "Maritime"},
        {28, QColor(0xC0, 0xFF, 0xFF), QColor(0xC0, 0xFF, 0xFF), "Aeronautical"},
        {29, QColor(0xFF, 0x00, 0xFF), QColor(0xFF, 0x00, 0xFF), "Satellite"},
        {17, QColor(0xFF, 0xFF, 0xFF), QColor(0xFF, 0xFF, 0xFF), "Radionavigation"},
        {27, QColor(0x00, 0xC0, 0xC0), QColor(0x00, 0xC0, 0xC0), "Amateur"},
        {30, QColor(0xFF, 0x80, 0x00), QColor(0xFF, 0x80, 0x00), "Mobile"},
        {0, QColor(0xC0, 0xC0, 0xC0), QColor(0xC0, 0xC0, 0xC0), "Miscellaneous"},
    };
    return services;
}

QColor ituServiceColour(int serviceId)
{
    for (const ItuService& s : ituServices())
        if (s.serviceId == serviceId)
            return s.chart;
    return ituServices().back().chart;
}

bool isItuColour(const QColor& c)
{
    for (const ItuService& s : ituServices())
        if (s.chart == c)
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
