#pragma once
// Chart arithmetic without widgets: bar placement and its clamps, the rows of districts, bar colours by kind and service, the
// planned sub-rows and the stacking of allocations.

#include <QColor>
#include <QString>
#include <vector>

namespace spectrum {

// The chart is 5000 twips across the window shown; the scroll bar slides it
// half that either way.
constexpr double kChartTwips = 5000.0;
constexpr double kHalfChartTwips = kChartTwips / 2;
// No bar lies left of -240000 twips nor, from there on, is wider than 240000.
constexpr double kBandTwipsLimit = 240000.0;
constexpr int kMaxSearchRecords = 500;

// Bar colours, which are also the kinds of record.
inline const QColor kBandColour{0x80, 0xFF, 0xFF};
inline const QColor kManagementRightColour{0xFF, 0x80, 0x80};
inline const QColor kPlannedColour{0xFF, 0xFF, 0x80};
inline const QColor kLicensedColour{0x80, 0xFF, 0x80};
inline const QColor kLicensed5Colour{0xFF, 0xC0, 0x80};
inline const QColor kSelectedColour{0xE0, 0xE0, 0xE0};

struct BarGeometry {
    double left;
    double width;
};
// Clamps a bar computed at `left` with `width` (twips): a left edge below
// -240000 is moved to -240000 and the width cut so that the right edge stays;
// otherwise the width is cut to 240000. Values are single precision.
BarGeometry clampBar(double left, double width);

// The chart row of a district number (0 for no district shown).
int districtRow(double districtId);
// The Top of a licensed bar in row r: 1300 + 200 r, or 1350 + 200 r for status 5.
inline int rowTop(int row) { return 1300 + 200 * row; }

// The radio services of ITU allocations, in the order the colour legend
// lists them: the service id (0 for any other), the bar colour on the chart,
// the legend's swatch and its name. The two colours differ for Land Mobile
// only, deliberately: its bars are #804040 and its swatch in the legend #804000.
struct ItuService {
    int serviceId;
    QColor chart;
    QColor legend;
    const char* name;
};
const std::vector<ItuService>& ituServices();

// The colour of an ITU allocation by its service.
QColor ituServiceColour(int serviceId);
// True for the ten allocation colours.
bool isItuColour(const QColor& c);

// Height of a planned sub-row for n distinct bandwidths: 400 / n rounded half
// to even, at most 150.
int plannedRowHeight(int count);
// Exchange sort of entries 1..n (slot 0 unused), widest first.
void sortPlannedBandwidths(std::vector<double>& list, int count);
// Tops of stacked allocations in result order, from their low edges.
std::vector<int> stackedTops(const std::vector<double>& lows);

// Round half to even to a whole number.
double roundHalfEven(double x);

}  // namespace spectrum
