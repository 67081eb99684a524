// The district and overlap filters: listing a district's licences in the
// window shown, and the rule a listing's records must meet.

#include "base/numbers.h"
#include "forms/widgets.h"
#include "inspect/inspection.h"
#include "inspect/listing.h"
#include "map/site_map.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

namespace inspect {

bool Inspection::overlapOn() const { return c_.mnuOverlap->isChecked(); }

QString Inspection::overlapCaption() const
{
    return overlapOn() ? QStringLiteral("Overlap ON") : QStringLiteral("Overlap OFF");
}

void Inspection::resetDistrictLabels()
{
    for (int i = 0; i <= 16; ++i)
        (*c_.lblDistrict)(i)->setBackColor(QColor(0x00, 0x80, 0x00));
}

void Inspection::lblDistrict_MouseMove(int, int, int, double, double)
{
    // Over a district label the pointer is the cross-hair and panel 1 is emptied.
    c_.form->setMousePointer(forms::vbCrosshair);
    c_.StatusBar1->setPanelText(1, QString());
}

void Inspection::lblDistrict_MouseDown(int index, int, int, double, double)
{
    // The window shown, as its edge readouts give it: the low edge's number
    // (0 when the window reaches below 0), the high edge as its text shows.
    const reg::Edge low{window_.lowEdgeShownMHz().value_or(0.0), reg::Edge::SignSpaced};
    const reg::Edge high{window_.highEdgeShownMHz(), reg::Edge::SixDecimal};
    const double district = index + 1;
    const reg::Criteria criteria = reg::Criteria::listing(low, high, overlapOn()).inDistrict(district);
    // Read first: a listing the register cannot give leaves the window as it was.
    ListingRows rows;
    if (!listing_.readListing(criteria, rows))
        return;
    c_.lblOverlap->setVisible(true);
    c_.lblSelect->setHeight(200);
    c_.lblSelect->setTop(spectrum::rowTop(spectrum::districtRow(district)));
    c_.lblSelect->setWidth(spectrum::kChartTwips / window_.zoomFactor);
    c_.lblSelect->setLeft(window_.scrollValue());
    c_.lblSelect->setVisible(true);
    c_.lblSelect->zOrder(1);
    chart_.releaseSelectedBar();
    resetDistrictLabels();
    (*c_.lblDistrict)(index)->setBackColor(QColor(0, 0, 0));
    selectedDistrictId = district;
    chart_.rangeCriteria = criteria;
    c_.lblOverlap->setCaption(overlapCaption());
    {
        const forms::BusyPointer busy;
        listing_.showListing(std::move(rows), selectedDistrictId);
    }
    c_.imgMapContainer->setPicture(QImage());
    chart_.selectedBarIndex = -1;
}

void Inspection::mnuOverlap_Click()
{
    if (c_.mnuOverlap->isChecked()) {
        c_.mnuOverlap->setChecked(false);
        c_.mnuOverlap->setCaption("Overlap Off");
    } else {
        c_.mnuOverlap->setChecked(true);
        c_.mnuOverlap->setCaption("Overlap On");
    }
}

void Inspection::lblOverlap_MouseMove(int, int, double, double)
{
    c_.form->setMousePointer(forms::vbDefault);
    c_.lblMapDistrict->setVisible(false);
    map_.clearReadout();
}

}  // namespace inspect
