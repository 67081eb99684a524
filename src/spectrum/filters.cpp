// The district and overlap filters: listing a district's licences in the
// window shown, and the rule a listing's records must meet.

#include "inspect/texts.h"
#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/numbers.h"

namespace shell {

using namespace spectrum;

bool FrmSpectrum::overlapOn() const { return mnuOverlap->isChecked(); }

void FrmSpectrum::resetDistrictLabels()
{
    for (int i = 0; i <= 16; ++i)
        (*lblDistrict)(i)->setBackColor(QColor(0x00, 0x80, 0x00));
}

void FrmSpectrum::releaseSelectedBar()
{
    if (search.selectedBarIndex < 0)
        return;
    forms::Label* bar = lblSpectrum->at(search.selectedBarIndex);
    if (!bar)
        return;
    if (bar->backColor() == kSelectedColour)
        bar->setBackColor(kLicensedColour);
    bar->zOrder(1);
    lblUnsearchedLow->zOrder(1);
    lblUnsearchedHigh->zOrder(1);
}

void FrmSpectrum::lblDistrict_MouseDown(int index, int, int, double, double)
{
    const QString lowCaption = lblLowFrequency->caption();
    const QString a = signSpacedText(lowCaption.isEmpty() ? 0.0 : numberValue(lowCaption).value_or(0.0));
    const QString b = lblHighFrequency->caption();
    const double district = index + 1;
    const QString criteria = inspect::overlapCriteria(a, b, overlapOn()) + inspect::districtRestriction(district);
    // Read first: a listing the register cannot give leaves the window as it was.
    ListingRows rows;
    if (!readListing(criteria, rows))
        return;
    lblOverlap->setVisible(true);
    lblSelect->setHeight(200);
    lblSelect->setTop(rowTop(districtRow(district)));
    lblSelect->setWidth(5000 / window.zoomFactor);
    lblSelect->setLeft(hsbFrequency->value());
    lblSelect->setVisible(true);
    lblSelect->zOrder(1);
    releaseSelectedBar();
    resetDistrictLabels();
    (*lblDistrict)(index)->setBackColor(QColor(0, 0, 0));
    filter.selectedDistrictId = district;
    search.rangeCriteria = criteria;
    lblOverlap->setCaption(overlapOn() ? QStringLiteral("Overlap ON") : QStringLiteral("Overlap OFF"));
    {
        const forms::BusyPointer busy;
        showListing(std::move(rows));
    }
    imgMapContainer->setPicture(QImage());
    search.selectedBarIndex = -1;
}

void FrmSpectrum::mnuOverlap_Click()
{
    if (mnuOverlap->isChecked()) {
        mnuOverlap->setChecked(false);
        mnuOverlap->setCaption("Overlap Off");
    } else {
        mnuOverlap->setChecked(true);
        mnuOverlap->setCaption("Overlap On");
    }
}

void FrmSpectrum::lblOverlap_MouseMove(int, int, double, double)
{
    setMousePointer(forms::vbDefault);
    lblMapDistrict->setVisible(false);
    txtEasting->setText(QString());
    txtNorthing->setText(QString());
    txtMap->setShownFlag(false);
    txtReference->setShownFlag(false);
}

}  // namespace shell
