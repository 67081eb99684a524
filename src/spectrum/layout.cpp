// The chart layout: the looks of the model applied to the bars.

#include "shell/frmspectrum.h"
#include "spectrum/chart_model.h"

#include <stdexcept>

namespace shell {

using namespace spectrum;

void FrmSpectrum::layoutChart()
{
    const int count = search.lastRecordIndex + 1;
    const ChartRows& read = search.chartRows;
    std::vector<QColor> before;
    for (int i = 0; i < count; ++i)
        before.push_back((*lblSpectrum)(i)->backColor());
    const ChartLayout chart =
        layoutBars(read.rows, ChartScale(window.searchLowMHz, window.searchHighMHz), before);

    search.recordServiceId.assign(size_t(count), 0);
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const ChartRow& row = read.rows[i];
        search.recordServiceId[i] = qint16(row.serviceId);
        search.recordLowMHz[i] = row.lowMHz;
        search.recordHighMHz[i] = row.highMHz;
        search.recordBandwidthMHz[i] = chart.bandwidthsMHz[i];
        search.recordDistrictId[i] = row.districtId;
        const BarLook& look = chart.bars[i];
        forms::Label* bar = (*lblSpectrum)(int(i));
        bar->setCaption(look.caption);
        if (look.colour)
            bar->setBackColor(*look.colour);
        bar->place(look.left, look.top.value_or(bar->top()), look.width, look.height.value_or(bar->height()));
        search.recordLeftTwips[i] = bar->left();
    }
    layout.plannedBandwidthsMHz = chart.plannedBandwidthsMHz;
    layout.plannedBandwidthCount = qint16(chart.plannedBandwidthsMHz.size() - 1);
    layout.ituRecordIndexes = chart.ituRecordIndexes;
    layout.ituRecordCount = qint16(chart.ituRecordIndexes.size() - 1);
    if (!read.complete)
        throw std::runtime_error("Invalid use of Null");  // a row without its service or edges
}

}  // namespace shell
