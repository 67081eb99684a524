// The chart layout: rows, heights, colours and captions of the bars.

#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/numbers.h"

#include <stdexcept>

namespace shell {

using namespace spectrum;

namespace {

double requiredNumber(const QVariant& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (v.isNull() || !ok)
        throw std::runtime_error("Invalid use of Null");
    return d;
}

// A null code equals no value; the code otherwise.
int codeOf(const QVariant& v, int none = -1) { return v.isNull() ? none : v.toInt(); }

}  // namespace

void FrmSpectrum::layoutChart()
{
    layout.plannedBandwidthCount = 0;
    layout.ituRecordCount = 0;
    layout.ituRecordIndexes.assign(1, 0);
    search.recordServiceId.assign(size_t(search.lastRecordIndex) + 1, 0);
    int r = 0;
    reg::Recordset& rs = search.searchRecordset;
    for (int i = 0; i <= search.lastRecordIndex; ++i) {
        const size_t ii = size_t(i);
        forms::Label* bar = (*lblSpectrum)(i);
        search.recordServiceId[ii] = qint16(requiredNumber(rs.value("serviceid")));
        bar->setCaption(QString::number(rs.value("distnum").toLongLong()));
        const QVariant district = rs.value("districtid");
        const double districtId = district.isNull() ? 0 : district.toDouble();
        const bool hasDistrict = districtId > 0;
        if (hasDistrict)
            r = districtRow(districtId);
        search.recordDistrictId[ii] = hasDistrict ? districtId : 0;
        const double low = requiredNumber(rs.value("spectrumlow"));
        const double high = requiredNumber(rs.value("spectrumhigh"));
        search.recordLowMHz[ii] = low;
        search.recordBandwidthMHz[ii] = roundSix(high - low);
        const int status = codeOf(rs.value("spectrumstatusid"));
        const int type = codeOf(rs.value("spectrumtypeid"));
        if (status == 4 && type != 1 && type != 8) {
            bool known = false;
            for (int k = 1; k <= layout.plannedBandwidthCount; ++k)
                known = known || layout.plannedBandwidthsMHz[size_t(k)] == search.recordBandwidthMHz[ii];
            if (!known) {
                ++layout.plannedBandwidthCount;
                layout.plannedBandwidthsMHz.push_back(search.recordBandwidthMHz[ii]);
            }
        }
        search.recordHighMHz[ii] = high;

        auto licensedTop = [&] {
            if (hasDistrict)
                bar->setTop(rowTop(r));
            else if (status == 1 || status == 5)
                bar->setTop(1300);
            else if (status == 4)
                bar->setTop(750);
        };
        switch (type) {
        case 1:
            bar->place(bar->left(), 1150, bar->width(), 150);
            bar->setBackColor(kBandColour);
            bar->setCaption(QString());
            break;
        case 7:
            bar->place(bar->left(), 600, bar->width(), 150);
            bar->setBackColor(kManagementRightColour);
            bar->setCaption(QString());
            break;
        case 8:
            ++layout.ituRecordCount;
            layout.ituRecordIndexes.push_back(qint16(i));
            bar->place(bar->left(), 0, bar->width(), 150);
            bar->setBackColor(ituServiceColour(search.recordServiceId[ii]));
            bar->setCaption(QString());
            break;
        case 4:
            licensedTop();
            if (status == 1) {
                bar->setBackColor(kLicensedColour);
                // Left open: with no planned record in the window nothing else
                // sets its height; it takes the height of a licence row.
                bar->setHeight(200);
            } else if (status == 4) {
                bar->setBackColor(kPlannedColour);
            } else if (status == 5) {
                licensed5(bar, hasDistrict, r);
            }
            break;
        default:
            licensedTop();
            if (status == 1) {
                bar->setBackColor(kLicensedColour);
                bar->setHeight(200);
            } else if (status == 4) {
                bar->setBackColor(kPlannedColour);
                bar->setCaption(QString());
                bar->setHeight(150);
            } else if (status == 5) {
                licensed5(bar, hasDistrict, r);
            }
            break;
        }
        rs.moveNext();
    }

    if (layout.plannedBandwidthCount > 0) {
        sortPlannedBandwidths();
        const qint16 h = qint16(plannedRowHeight(layout.plannedBandwidthCount));
        for (int i = 0; i <= search.lastRecordIndex; ++i) {
            forms::Label* bar = (*lblSpectrum)(i);
            bar->setHeight(200);
            const QColor c = bar->backColor();
            if (c == kPlannedColour) {
                bar->setHeight(h);
                for (int k = 1; k <= layout.plannedBandwidthCount; ++k)
                    if (layout.plannedBandwidthsMHz[size_t(k)] == search.recordBandwidthMHz[size_t(i)])
                        bar->setTop(qint16(750 + qint16(k - 1) * h));
            }
            if (c == kLicensed5Colour)
                bar->setHeight(100);
            if (c == kLicensedColour)
                bar->setHeight(200);
            if (c == kManagementRightColour)
                bar->setHeight(150);
            if (c == kBandColour)
                bar->setHeight(150);
        }
    }
    if (layout.ituRecordCount > 0)
        stackItuAllocations();
}

// A licensed record of status 5: a half-height bar in the lower half of its
// district's row, without caption. Left open for one without a district: it
// lies in row 0 at Top 1300 like the others without a district, drawn as the
// same half-height bar so that it reads, and presses, as a licence.
void FrmSpectrum::licensed5(forms::Label* bar, bool hasDistrict, int row)
{
    bar->setCaption(QString());
    bar->setBackColor(kLicensed5Colour);
    if (hasDistrict)
        bar->setTop(rowTop(row) + 50);
    bar->setHeight(100);
}

void FrmSpectrum::sortPlannedBandwidths()
{
    spectrum::sortPlannedBandwidths(layout.plannedBandwidthsMHz, layout.plannedBandwidthCount);
}

void FrmSpectrum::stackItuAllocations()
{
    std::vector<double> lows;
    for (int k = 1; k <= layout.ituRecordCount; ++k)
        lows.push_back(search.recordLowMHz[size_t(layout.ituRecordIndexes[size_t(k)])]);
    const std::vector<int> tops = stackedTops(lows);
    for (int k = 1; k <= layout.ituRecordCount; ++k) {
        forms::Label* bar = (*lblSpectrum)(layout.ituRecordIndexes[size_t(k)]);
        bar->setHeight(100);
        bar->setTop(tops[size_t(k - 1)]);
    }
}

}  // namespace shell
