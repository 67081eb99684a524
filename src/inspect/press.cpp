// Pressing a bar: the details of a band, management right, planned channel
// or allocation while the button is held; the licences behind any other bar.

#include "base/log.h"
#include "base/numbers.h"
#include "base/shown_text.h"
#include "forms/widgets.h"
#include "inspect/inspection.h"
#include "inspect/listing.h"
#include "inspect/texts.h"
#include "map/site_map.h"
#include "register/statements.h"
#include "spectrum/chart.h"

namespace inspect {

Inspection::Inspection(const Controls& controls, const reg::Connection& c, const spectrum::FrequencyWindow& window,
                       spectrum::Chart& chart, Listing& listing, nzmap::SiteMap& map)
    : c_(controls), register_(c), window_(window), chart_(chart), listing_(listing), map_(map)
{
}

void Inspection::fetchRecordDetails()
{
    detailManagementRightId = 0;
    detailLabel.clear();
    detailRemarks.clear();
    const reg::RecordDetails d = reg::recordDetails(register_, chart_.rangeCriteria);
    if (!d.found)
        return;
    if (d.managementRightId)
        detailManagementRightId = qint16(*d.managementRightId);
    if (d.label)
        detailLabel = base::boundedText(*d.label, base::kShownTextMax);
    if (d.remarks && !d.remarks->isEmpty())
        detailRemarks = shownRemarks(*d.remarks);
}

void Inspection::lblSpectrum_MouseDown(int i, int button, int, double, double)
{
    if (i < 0 || i > chart_.lastRecordIndex || size_t(i) >= chart_.rows().rows.size())
        return;
    forms::Label* bar = (*c_.lblSpectrum)(i);
    resetDistrictLabels();
    c_.lblOverlap->setVisible(true);
    c_.lblSelect->setVisible(false);
    const BarKind kind = kindOfColour(bar->backColor());
    const double low = chart_.recordLowMHz(i);
    const double high = chart_.recordHighMHz(i);

    if (kind != BarKind::Licence) {
        c_.txtSpectrumInfo->setShownFlag(true);
        chart_.rangeCriteria = reg::Criteria::exact(low, high).ofKind(criteriaKind(kind), chart_.recordServiceId(i));
        try {
            fetchRecordDetails();
        } catch (const reg::RegisterError& e) {
            c_.txtSpectrumInfo->setShownFlag(false);
            Listing::reportListingFailure(e);
            return;
        }
        c_.txtSpectrumInfo->setText(
            detailText(kind, low, high, detailLabel, detailRemarks, detailManagementRightId));
        return;
    }

    // A middle-button press lists as a left press does.
    const int b = button == forms::vbMiddleButton ? forms::vbLeftButton : button;
    const reg::Criteria range = reg::Criteria::listing({low, reg::Edge::RecordEdge}, {high, reg::Edge::RecordEdge},
                                                       overlapOn());
    reg::Criteria criteria = chart_.rangeCriteria;
    if (b == forms::vbLeftButton)
        criteria = range.inDistrict(chart_.recordDistrictId(i));
    else if (b == forms::vbRightButton)
        criteria = range;
    // The listing is read before the window changes: a listing the register
    // cannot give leaves the window as it was.
    ListingRows rows;
    if (!listing_.readListing(criteria, rows))
        return;

    chart_.releaseSelectedBar();
    c_.StatusBar1->setPanelText(1, rangeReadout(low, high, chart_.recordBandwidthMHz(i)));
    chart_.rangeCriteria = criteria;
    if (b == forms::vbLeftButton) {
        c_.lblOverlap->setCaption(overlapCaption());
        selectedDistrictId = chart_.recordDistrictId(i);
    } else if (b == forms::vbRightButton) {
        c_.lblSelect->setLeft(bar->left());
        c_.lblSelect->setWidth(bar->width());
        c_.lblOverlap->setCaption(overlapCaption());
        selectedDistrictId = 0;
        c_.lblSelect->setHeight(2800);
        c_.lblSelect->setTop(1500);
        c_.lblSelect->setVisible(true);
        c_.lblSelect->zOrder(1);
    }
    if (bar->backColor() == spectrum::kLicensedColour)
        bar->setBackColor(spectrum::kSelectedColour);
    bar->zOrder(0);
    chart_.selectedBarIndex = qint16(i);
    {
        const forms::BusyPointer busy;  // the default pointer comes back however the work ends
        listing_.showListing(std::move(rows), selectedDistrictId);
    }
    c_.imgMapContainer->setPicture(QImage());
}

void Inspection::lblSpectrum_MouseUp(int, int, int, double, double)
{
    c_.StatusBar1->setPanelText(1, QString());
    c_.txtSpectrumInfo->setShownFlag(false);
}

}  // namespace inspect
