#include "spectrum/chart_model.h"

#include "register/schema.h"
#include "base/numbers.h"

#include <algorithm>
#include <cmath>

namespace spectrum {

namespace {

// Allocations starting at the same frequency are stacked from the top.
void stackItuAllocations(ChartLayout& chart, const std::vector<ChartRow>& rows)
{
    std::vector<double> lows;
    for (size_t k = 1; k < chart.ituRecordIndexes.size(); ++k)
        lows.push_back(rows[size_t(chart.ituRecordIndexes[k])].lowMHz);
    const std::vector<int> tops = stackedTops(lows);
    for (size_t k = 1; k < chart.ituRecordIndexes.size(); ++k) {
        BarLook& b = chart.bars[size_t(chart.ituRecordIndexes[k])];
        b.height = 100;
        b.top = tops[k - 1];
    }
}

}  // namespace

ChartRows chartRows(const std::vector<reg::SearchRow>& read)
{
    ChartRows out;
    out.count = int(read.size());
    for (const reg::SearchRow& r : read) {
        if (!r.serviceId || !r.lowMHz || !r.highMHz) {
            out.complete = false;
            break;
        }
        ChartRow row;
        row.serviceId = int(*r.serviceId);
        row.lowMHz = *r.lowMHz;
        row.highMHz = *r.highMHz;
        row.typeId = r.typeId ? std::optional<int>(int(*r.typeId)) : std::nullopt;
        row.statusId = r.statusId ? std::optional<int>(int(*r.statusId)) : std::nullopt;
        const double d = r.districtId.value_or(0);
        row.districtId = d > 0 ? d : 0;
        row.count = r.count;
        out.rows.push_back(row);
    }
    return out;
}

ChartLayout layoutBars(const std::vector<ChartRow>& rows, const ChartScale& scale, const std::vector<QColor>& before)
{
    ChartLayout out;
    out.bars.resize(rows.size());
    int r = 0;  // the row of the last record with a district
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChartRow& row = rows[i];
        BarLook& b = out.bars[i];
        b.caption = QString::number(row.count);
        const bool hasDistrict = row.districtId > 0;
        if (hasDistrict)
            r = districtRow(row.districtId);
        const double bandwidth = base::roundSix(row.highMHz - row.lowMHz);
        out.bandwidthsMHz.push_back(bandwidth);
        const int type = row.typeId.value_or(-1);
        const int status = row.statusId.value_or(-1);
        if (status == reg::kStatusPlanned && type != reg::kTypeBand && type != reg::kTypeItuAllocation &&
            std::find(out.plannedBandwidthsMHz.begin() + 1, out.plannedBandwidthsMHz.end(), bandwidth) ==
                out.plannedBandwidthsMHz.end())
            out.plannedBandwidthsMHz.push_back(bandwidth);
        const BarGeometry g = scale.place(row.lowMHz, bandwidth);
        b.left = g.left;
        b.width = g.width;

        auto plain = [&](double top, QColor colour) {
            b.top = top;
            b.height = 150;
            b.colour = colour;
            b.caption.clear();
        };
        // A status 5 licence: a half-height bar without caption in the lower
        // half of its district's row. Left open for one without a district:
        // it lies at Top 1300, drawn as the same half-height bar so that it
        // reads, and presses, as a licence; it keeps its count.
        auto licensed5 = [&] {
            b.colour = kLicensed5Colour;
            b.height = 100;
            if (hasDistrict) {
                b.caption.clear();
                b.top = rowTop(r) + 50;
            }
        };
        if (type == reg::kTypeBand) {
            plain(1150, kBandColour);
        } else if (type == reg::kTypeManagementRight) {
            plain(600, kManagementRightColour);
        } else if (type == reg::kTypeItuAllocation) {
            out.ituRecordIndexes.push_back(qint16(i));
            plain(0, ituServiceColour(row.serviceId));
        } else {
            if (hasDistrict)
                b.top = rowTop(r);
            else if (status == reg::kStatusLicensed || status == reg::kStatusLicensed5)
                b.top = 1300;
            else if (status == reg::kStatusPlanned)
                b.top = 750;
            if (status == reg::kStatusLicensed) {
                b.colour = kLicensedColour;
                // Type 4: left open; with no planned record in the window nothing
                // else sets its height, so it takes the height of a licence row.
                b.height = 200;
            } else if (status == reg::kStatusPlanned) {
                b.colour = kPlannedColour;
                if (type != reg::kTypeLicence4) {  // a type 4 planned record keeps its count
                    b.caption.clear();
                    b.height = 150;
                }
            } else if (status == reg::kStatusLicensed5) {
                licensed5();
            }
        }
    }

    // Planned bandwidths get sub-rows of the planned row, widest first; the
    // pass sizes every bar by its colour.
    const int planned = int(out.plannedBandwidthsMHz.size()) - 1;
    if (planned > 0) {
        sortPlannedBandwidths(out.plannedBandwidthsMHz, planned);
        const qint16 h = qint16(plannedRowHeight(planned));
        for (size_t i = 0; i < out.bars.size(); ++i) {
            BarLook& b = out.bars[i];
            b.height = 200;
            const QColor c = b.colour.value_or(i < before.size() ? before[i] : QColor());
            if (c == kPlannedColour) {
                b.height = h;
                for (int k = 1; k <= planned; ++k)
                    if (out.plannedBandwidthsMHz[size_t(k)] == out.bandwidthsMHz[i])
                        b.top = qint16(750 + qint16(k - 1) * h);
            }
            if (c == kLicensed5Colour)
                b.height = 100;
            if (c == kLicensedColour)
                b.height = 200;
            if (c == kManagementRightColour || c == kBandColour)
                b.height = 150;
        }
    }
    stackItuAllocations(out, rows);
    return out;
}

}  // namespace spectrum
