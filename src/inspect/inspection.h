#pragma once
// Inspecting the chart: the readout of the bar under the pointer, a press
// on a bar (its details, or the licences behind it), a press on a district
// label (its licences in the window shown), and the overlap rule listings
// follow.

#include <QString>

namespace forms {
class Form;
class Image;
class Label;
class MenuItem;
class StatusBar;
class TextBox;
template <class T>
class ControlArray;
}  // namespace forms

namespace reg {
class Connection;
}

namespace spectrum {
class Chart;
class FrequencyWindow;
}  // namespace spectrum

namespace nzmap {
class SiteMap;
}

namespace inspect {

class Listing;

class Inspection {
public:
    // The controls inspection drives.
    struct Controls {
        forms::Form* form = nullptr;
        forms::StatusBar* StatusBar1 = nullptr;
        forms::ControlArray<forms::Label>* lblSpectrum = nullptr;
        forms::ControlArray<forms::Label>* lblDistrict = nullptr;
        forms::Label* lblSelect = nullptr;
        forms::Label* lblOverlap = nullptr;
        forms::TextBox* txtSpectrumInfo = nullptr;
        forms::Image* imgMapContainer = nullptr;
        forms::MenuItem* mnuOverlap = nullptr;
        forms::Label* lblMapDistrict = nullptr;
    };
    Inspection(const Controls& controls, const reg::Connection& c, const spectrum::FrequencyWindow& window,
               spectrum::Chart& chart, Listing& listing, nzmap::SiteMap& map);

    // The district the current listing is restricted to (0 for none).
    double selectedDistrictId = 0;
    // The record last looked up.
    QString detailLabel;
    QString detailRemarks;
    qint16 detailManagementRightId = 0;

    // The bars.
    void lblSpectrum_MouseMove(int index, int button, int shift, double x, double y);
    void lblSpectrum_MouseDown(int index, int button, int shift, double x, double y);
    void lblSpectrum_MouseUp(int index, int button, int shift, double x, double y);
    void fetchPlannedLabel();
    void fetchRecordDetails();
    // The district column and the overlap rule.
    void lblDistrict_MouseMove(int index, int button, int shift, double x, double y);
    void lblDistrict_MouseDown(int index, int button, int shift, double x, double y);
    void mnuOverlap_Click();
    bool overlapOn() const;
    void resetDistrictLabels();
    void lblOverlap_MouseMove(int button, int shift, double x, double y);

private:
    QString overlapCaption() const;
    Controls c_;
    const reg::Connection& register_;
    const spectrum::FrequencyWindow& window_;
    spectrum::Chart& chart_;
    Listing& listing_;
    nzmap::SiteMap& map_;
};

}  // namespace inspect
