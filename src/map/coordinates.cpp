#include "map/coordinates.h"

#include "base/log.h"

#include <proj.h>

#include <cmath>
#include <memory>

namespace nzmap {

namespace {

// The conversions, made once: NZMG to NZGD2000 (through the distortion grid
// where it covers; PROJ picks the most accurate operation it can run), and
// NZGD2000 to NZTM2000 and to the Chatham Islands projection. Each takes
// and gives easting (or longitude) first.
class Conversions {
public:
    Conversions() : ctx_(proj_context_create())
    {
        proj_log_level(ctx_, PJ_LOG_NONE);
        toNzgd2000_ = make("EPSG:27200", "EPSG:4167");
        toNztm_ = make("EPSG:4167", "EPSG:2193");
        toChatham_ = make("EPSG:4167", "EPSG:3793");
    }
    ~Conversions()
    {
        for (PJ* p : {toNzgd2000_, toNztm_, toChatham_})
            if (p)
                proj_destroy(p);
        proj_context_destroy(ctx_);
    }
    Conversions(const Conversions&) = delete;
    Conversions& operator=(const Conversions&) = delete;

    bool run(PJ* p, PJ_DIRECTION dir, double a, double b, double& x, double& y) const
    {
        if (!p)
            return false;
        const PJ_COORD out = proj_trans(p, dir, proj_coord(a, b, 0, 0));
        if (!std::isfinite(out.xy.x) || !std::isfinite(out.xy.y) || out.xy.x == HUGE_VAL)
            return false;
        x = out.xy.x;
        y = out.xy.y;
        return true;
    }
    PJ* toNzgd2000() const { return toNzgd2000_; }
    PJ* toNztm() const { return toNztm_; }
    PJ* toChatham() const { return toChatham_; }

private:
    PJ* make(const char* from, const char* to)
    {
        PJ* p = proj_create_crs_to_crs(ctx_, from, to, nullptr);
        if (!p) {
            qCInfo(base::lcMap) << "no conversion from" << from << "to" << to << ":"
                                << proj_context_errno_string(ctx_, proj_context_errno(ctx_));
            return nullptr;
        }
        // Longitude (or easting) first, whatever the systems' own axis order.
        PJ* visual = proj_normalize_for_visualization(ctx_, p);
        proj_destroy(p);
        return visual;
    }
    PJ_CONTEXT* ctx_;
    PJ *toNzgd2000_ = nullptr, *toNztm_ = nullptr, *toChatham_ = nullptr;
};

const Conversions& conversions()
{
    static const Conversions c;
    return c;
}

// The mainland sheets: 24 km wide and 36 km tall on NZTM2000, their rows
// lettered from the north (I and O left out), their columns numbered from
// the west, from the north-west corner of the series at E 1 084 000, N 6 234 000.
constexpr double kWest = 1084000, kNorth = 6234000, kEast = 2108000, kSouth = 4722000;
constexpr double kSheetWidth = 24000, kSheetHeight = 36000;
constexpr int kFirstColumn = 4;
const char* const kRows[] = {"AS", "AT", "AU", "AV", "AW", "AX", "AY", "AZ", "BA", "BB", "BC", "BD", "BE", "BF",
                             "BG", "BH", "BJ", "BK", "BL", "BM", "BN", "BP", "BQ", "BR", "BS", "BT", "BU", "BV",
                             "BW", "BX", "BY", "BZ", "CA", "CB", "CC", "CD", "CE", "CF", "CG", "CH", "CJ", "CK"};
constexpr int kRowCount = int(sizeof kRows / sizeof kRows[0]);

// The Chatham Islands sheets, on Chatham Islands Transverse Mercator 2000.
struct ChathamSheet {
    const char* name;
    double west, east, south, north;
};
const ChathamSheet kChatham[] = {
    {"CI01", 3458000, 3482000, 5140000, 5176000}, {"CI02", 3482000, 3506000, 5140000, 5176000},
    {"CI03", 3506000, 3530000, 5140000, 5176000}, {"CI04", 3482000, 3506000, 5104000, 5140000},
    {"CI05", 3506000, 3530000, 5104000, 5140000}, {"CI06", 3506000, 3530000, 5068000, 5104000},
};

// East of 175.5 degrees west (or west of it past 180): the Chatham Islands' side.
bool onChathamSide(double longitude) { return longitude < -175.0 || longitude > 183.0; }

}  // namespace

QString topo50SheetOfNztm(double e, double n)
{
    if (!(e >= kWest && e <= kEast && n >= kSouth && n <= kNorth))
        return QString();
    const int row = std::min(int((kNorth - n) / kSheetHeight), kRowCount - 1);
    const int column = kFirstColumn + std::min(int((e - kWest) / kSheetWidth), int((kEast - kWest) / kSheetWidth));
    return QLatin1String(kRows[row]) + QStringLiteral("%1").arg(column, 2, 10, QLatin1Char('0'));
}

QString topo50SheetOfChatham(double e, double n)
{
    for (const ChathamSheet& s : kChatham)
        if (e >= s.west && e <= s.east && n >= s.south && n <= s.north)
            return QLatin1String(s.name);
    return QString();
}

QString topo50Reference(const QString& sheet, double e, double n)
{
    if (sheet.isEmpty())
        return QString();
    // The hundreds of metres, rounded, their last three digits.
    auto digits = [](double metres) {
        const qint64 hundreds = qint64(std::floor((metres + 50) / 100));
        return QStringLiteral("%1").arg(hundreds % 1000, 3, 10, QLatin1Char('0'));
    };
    return sheet + QLatin1Char(' ') + digits(e) + QLatin1Char(' ') + digits(n);
}

QString topo50Sheet(double latitude, double longitude)
{
    const Conversions& c = conversions();
    double e = 0, n = 0;
    if (onChathamSide(longitude))
        return c.run(c.toChatham(), PJ_FWD, longitude, latitude, e, n) ? topo50SheetOfChatham(e, n) : QString();
    return c.run(c.toNztm(), PJ_FWD, longitude, latitude, e, n) ? topo50SheetOfNztm(e, n) : QString();
}

Position positionOfNzmg(double easting, double northing)
{
    const Conversions& c = conversions();
    Position p;
    if (!c.run(c.toNzgd2000(), PJ_FWD, easting, northing, p.longitude, p.latitude) ||
        !c.run(c.toNztm(), PJ_FWD, p.longitude, p.latitude, p.nztmEasting, p.nztmNorthing))
        return p;
    p.valid = true;
    double e = p.nztmEasting, n = p.nztmNorthing;
    if (onChathamSide(p.longitude)) {
        if (!c.run(c.toChatham(), PJ_FWD, p.longitude, p.latitude, e, n))
            return p;
        p.topo50Sheet = topo50SheetOfChatham(e, n);
    } else {
        p.topo50Sheet = topo50SheetOfNztm(e, n);
    }
    p.topo50Reference = topo50Reference(p.topo50Sheet, e, n);
    return p;
}

bool nzmgOfPosition(double latitude, double longitude, double& easting, double& northing)
{
    const Conversions& c = conversions();
    return c.run(c.toNzgd2000(), PJ_INV, longitude, latitude, easting, northing);
}

QString positionText(const Position& p)
{
    if (!p.valid)
        return QString();
    QString t = QStringLiteral("NZGD2000 %1, %2\nNZTM2000 %3 E %4 N")
                    .arg(p.latitude, 0, 'f', 6)
                    .arg(p.longitude, 0, 'f', 6)
                    .arg(qint64(std::llround(p.nztmEasting)))
                    .arg(qint64(std::llround(p.nztmNorthing)));
    t += p.topo50Reference.isEmpty() ? QStringLiteral("\nTopo50: no sheet") : QStringLiteral("\nTopo50 ") + p.topo50Reference;
    return t;
}

}  // namespace nzmap
