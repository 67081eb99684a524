// The chart's bars: loaded for a search's rows, laid out by the model,
// re-placed by the zoom and the scroll, and the selected bar released.

#include "spectrum/chart.h"

#include "base/log.h"
#include "forms/widgets.h"
#include "register/connection.h"
#include "register/spectrum_index.h"
#include "register/statements.h"

#include <stdexcept>

namespace spectrum {

Chart::Chart(const Controls& controls, const reg::Connection& c) : c_(controls), register_(c)
{
    // Bars 0 and 1 as they were built: what a bar no rule colours keeps
    // (the other bars are made anew by each search, from bar 0).
    for (int i = 0; i < 2; ++i)
        colours_.push_back((*c_.lblSpectrum)(i)->backColor());
}

Chart::~Chart() = default;

ChartRows Chart::readRows(double low, double high)
{
    // The index of the records' edges is built once; a build the budget
    // stopped is tried again by the next search.
    if (!spectrumIndexTried_) {
        try {
            spectrumIndex_ = reg::SpectrumIndex::build(register_);
            spectrumIndexTried_ = true;
        } catch (const reg::RegisterError& e) {
            if (e.tooLong())
                throw;
            spectrumIndexTried_ = true;
            qCInfo(base::lcSearch).noquote() << "no index of the records' edges; every search runs the whole"
                                             << "statement:" << e.message();
        }
    }
    return chartRows(reg::searchRows(register_, spectrumIndex_.get(), low, high, kMaxSearchRecords));
}

void Chart::loadBars(ChartRows rows)
{
    if (searchLoaded) {
        (*c_.lblSpectrum)(0)->setVisible(false);
        (*c_.lblSpectrum)(1)->setVisible(false);
        c_.lblSpectrum->unloadFrom(2);
    }
    const int n = rows.count;
    lastRecordIndex = qint16(n - 1);
    for (int i = 2; i < n; ++i) {
        if (c_.lblSpectrum->exists(i))
            c_.lblSpectrum->unload(i);
        c_.lblSpectrum->load(i);
    }
    rows_ = std::move(rows);
    layout_ = ChartLayout();
}

void Chart::layoutChart(const ChartScale& searched)
{
    const int count = lastRecordIndex + 1;
    // Bars 0 and 1 keep their colours; a new bar has the colour it copied from bar 0.
    std::vector<QColor> before;
    for (int i = 0; i < count; ++i)
        before.push_back(colours_[size_t(i < 2 ? i : 0)]);
    layout_ = layoutBars(rows_.rows, searched, before);
    for (size_t i = 0; i < layout_.bars.size(); ++i) {
        const BarLook& look = layout_.bars[i];
        forms::Label* bar = (*c_.lblSpectrum)(int(i));
        bar->setCaption(look.caption);
        if (look.colour)
            bar->setBackColor(*look.colour);
        bar->place(look.left, look.top.value_or(bar->top()), look.width, look.height.value_or(bar->height()));
    }
    for (size_t i = 0; i < 2 && i < layout_.bars.size(); ++i)
        colours_[i] = layout_.bars[i].colour.value_or(before[i]);
    if (!rows_.complete)
        throw std::runtime_error("Invalid use of Null");  // a row without its service or edges
}

void Chart::showBars()
{
    for (int k = 0; k <= lastRecordIndex; ++k) {
        forms::Label* bar = (*c_.lblSpectrum)(k);
        bar->zOrder(0);
        bar->setVisible(true);
    }
}

void Chart::hideBars()
{
    for (int i = 0; i <= lastRecordIndex; ++i)
        (*c_.lblSpectrum)(i)->setVisible(false);
}

void Chart::rescaleBars(const ChartScale& shown)
{
    for (int i = 0; i <= lastRecordIndex; ++i) {
        const BarGeometry g = shown.place(recordLowMHz(i), recordBandwidthMHz(i));
        forms::Label* bar = (*c_.lblSpectrum)(i);
        bar->setLeft(g.left);
        bar->setWidth(g.width);
    }
}

void Chart::slideBars(double by)
{
    for (int i = 0; i <= lastRecordIndex; ++i)
        (*c_.lblSpectrum)(i)->setLeft(recordLeftTwips(i) + by);
}

int Chart::licenceBarOf(double low, double high, double districtId) const
{
    for (int i = 0; i <= lastRecordIndex && size_t(i) < layout_.bars.size(); ++i) {
        const ChartRow& r = rows_.rows[size_t(i)];
        const std::optional<QColor>& colour = layout_.bars[size_t(i)].colour;
        if (r.lowMHz == low && r.highMHz == high && r.districtId == districtId && colour &&
            (*colour == kLicensedColour || *colour == kLicensed5Colour))
            return i;
    }
    return -1;
}

void Chart::releaseSelectedBar()
{
    if (selectedBarIndex < 0)
        return;
    forms::Label* bar = c_.lblSpectrum->at(selectedBarIndex);
    if (!bar)
        return;
    if (bar->backColor() == kSelectedColour)
        bar->setBackColor(kLicensedColour);
    bar->zOrder(1);
    c_.lblUnsearchedLow->zOrder(1);
    c_.lblUnsearchedHigh->zOrder(1);
}

const ChartRow* Chart::row(int i) const
{
    return i >= 0 && size_t(i) < rows_.rows.size() && i <= lastRecordIndex ? &rows_.rows[size_t(i)] : nullptr;
}

double Chart::recordLowMHz(int i) const { return row(i) ? row(i)->lowMHz : 0; }
double Chart::recordHighMHz(int i) const { return row(i) ? row(i)->highMHz : 0; }
double Chart::recordDistrictId(int i) const { return row(i) ? row(i)->districtId : 0; }
qint16 Chart::recordServiceId(int i) const { return row(i) ? qint16(row(i)->serviceId) : qint16(0); }

double Chart::recordBandwidthMHz(int i) const
{
    return row(i) && size_t(i) < layout_.bandwidthsMHz.size() ? layout_.bandwidthsMHz[size_t(i)] : 0;
}

double Chart::recordLeftTwips(int i) const
{
    return row(i) && size_t(i) < layout_.bars.size() ? layout_.bars[size_t(i)].left : 0;
}

}  // namespace spectrum
