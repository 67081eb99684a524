// Pressing a bar: the details of a band, management right, planned channel
// or allocation while the button is held; the licences behind any other bar.

#include "inspect/texts.h"
#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/numbers.h"

namespace shell {

using namespace inspect;
using spectrum::signSpacedText;

void FrmSpectrum::fetchRecordDetails()
{
    detail.detailManagementRightId = 0;
    detail.detailLabel.clear();
    detail.detailRemarks.clear();
    reg::Recordset rs = registerConnection_->execute(detailStatement(search.rangeCriteria));
    if (!rs.eof()) {
        rs.moveFirst();
        const QVariant mr = rs.value("managementrightid");
        if (!mr.isNull())
            detail.detailManagementRightId = qint16(mr.toInt());
        const QVariant label = rs.value("SpectrumLabel");
        if (!label.isNull())
            detail.detailLabel = reg::boundedText(label.toString(), reg::kShownTextMax);
        const QVariant remarks = rs.value("SpectrumRemarks");
        if (!remarks.isNull() && !remarks.toString().isEmpty())
            detail.detailRemarks = shownRemarks(remarks.toString());
        rs.close();
    }
}

void FrmSpectrum::lblSpectrum_MouseDown(int i, int button, int, double, double)
{
    if (i < 0 || i > search.lastRecordIndex || size_t(i) >= search.recordLowMHz.size())
        return;
    const size_t ii = size_t(i);
    forms::Label* bar = (*lblSpectrum)(i);
    resetDistrictLabels();
    lblOverlap->setVisible(true);
    lblSelect->setVisible(false);
    const BarKind kind = kindOfColour(bar->backColor());
    const double low = search.recordLowMHz[ii];
    const double high = search.recordHighMHz[ii];

    if (kind != BarKind::Licence) {
        txtSpectrumInfo->setShownFlag(true);
        search.rangeCriteria = exactRangeCriteria(low, high) + typeClause(kind, search.recordServiceId[ii]);
        try {
            fetchRecordDetails();
        } catch (const reg::RegisterError& e) {
            txtSpectrumInfo->setShownFlag(false);
            reportListingFailure(e);
            return;
        }
        txtSpectrumInfo->setText(detailText(kind, low, high, detail.detailLabel, detail.detailRemarks,
                                            detail.detailManagementRightId));
        return;
    }

    // A middle-button press lists as a left press does.
    const int b = button == forms::vbMiddleButton ? forms::vbLeftButton : button;
    const QString range = overlapCriteria(signSpacedText(low), signSpacedText(high), overlapOn());
    QString criteria = search.rangeCriteria;
    if (b == forms::vbLeftButton)
        criteria = range + districtRestriction(search.recordDistrictId[ii]);
    else if (b == forms::vbRightButton)
        criteria = range;
    // The listing is read before the window changes: a listing the register
    // cannot give leaves the window as it was.
    ListingRows rows;
    if (!readListing(criteria, rows))
        return;

    releaseSelectedBar();
    StatusBar1->setPanelText(1, rangeReadout(low, high, search.recordBandwidthMHz[ii]));
    const QString caption = overlapOn() ? QStringLiteral("Overlap ON") : QStringLiteral("Overlap OFF");
    search.rangeCriteria = criteria;
    if (b == forms::vbLeftButton) {
        lblOverlap->setCaption(caption);
        filter.selectedDistrictId = search.recordDistrictId[ii];
    } else if (b == forms::vbRightButton) {
        lblSelect->setLeft(bar->left());
        lblSelect->setWidth(bar->width());
        lblOverlap->setCaption(caption);
        filter.selectedDistrictId = 0;
        lblSelect->setHeight(2800);
        lblSelect->setTop(1500);
        lblSelect->setVisible(true);
        lblSelect->zOrder(1);
    }
    if (bar->backColor() == spectrum::kLicensedColour)
        bar->setBackColor(spectrum::kSelectedColour);
    bar->zOrder(0);
    search.selectedBarIndex = qint16(i);
    {
        const forms::BusyPointer busy;  // the default pointer comes back however the work ends
        showListing(std::move(rows));
    }
    imgMapContainer->setPicture(QImage());
}

void FrmSpectrum::lblSpectrum_MouseUp(int, int, int, double, double)
{
    StatusBar1->setPanelText(1, QString());
    txtSpectrumInfo->setShownFlag(false);
}

}  // namespace shell
