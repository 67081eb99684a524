#pragma once
// The map: the relief map of New Zealand in the area it shares with the
// licence grid, its zoom and pan, the sites of the listed licences as
// markers (stepped through from north to south), the pointer's NZMG
// readout with the NZMS260 sheet and its district, and the markers' blink.

#include "register/statements.h"

#include <QCursor>
#include <QImage>
#include <QList>
#include <QString>
#include <vector>

namespace forms {
class CommandButton;
class Control;
class Form;
class Image;
class Label;
class MenuItem;
class PictureBox;
class ScrollBar;
class StatusBar;
class TextBox;
class Timer;
template <class T>
class ControlArray;
}  // namespace forms

namespace reg {
class Connection;
}

namespace nzmap {

class SiteMap {
public:
    // The counters of the map are 16-bit: a listing plots at most so many sites.
    static constexpr int kMaxSites = 32767;

    // The controls the map drives.
    struct Controls {
        forms::Form* form = nullptr;
        forms::StatusBar* StatusBar1 = nullptr;
        forms::Image* imgMapContainer = nullptr;
        forms::PictureBox* picMap = nullptr;
        forms::Label* lblMapDistrict = nullptr;
        forms::Label* lblLocationName = nullptr;
        forms::ControlArray<forms::Label>* lblLocationRef = nullptr;  // the markers
        forms::ScrollBar* hsbEasting = nullptr;
        forms::ScrollBar* vsbNorthing = nullptr;
        forms::ScrollBar* vsbMapZoom = nullptr;
        forms::Label* lblEasting = nullptr;
        forms::Label* lblNorthing = nullptr;
        forms::Label* lblMapZoom = nullptr;
        forms::TextBox* txtEasting = nullptr;
        forms::TextBox* txtNorthing = nullptr;
        forms::TextBox* txtPlusLabel1 = nullptr;
        forms::TextBox* txtMinusLabel1 = nullptr;
        forms::TextBox* txtMap = nullptr;
        forms::TextBox* txtReference = nullptr;
        forms::CommandButton* cmdMapGrid = nullptr;
        forms::CommandButton* cmdSiteStepNorth = nullptr;
        forms::CommandButton* cmdSiteStepSouth = nullptr;
        forms::Control* grid = nullptr;  // the licence grid, shown in the map's place
        forms::Timer* tmrFlash = nullptr;
        forms::MenuItem* mnuFlash = nullptr;
        forms::MenuItem* mnuMapDistrict = nullptr;
        forms::MenuItem* mnuNZMS260 = nullptr;
        forms::MenuItem* mnuMapLabels = nullptr;
    };
    SiteMap(const Controls& controls, const QImage& reliefMap, const QCursor& grabbingHand);

    // The map's state.
    bool mapShown = false;
    qint16 baseClipWidth = 0, baseClipHeight = 0;
    qint16 viewOriginX = 0, viewOriginY = 0;
    qint16 dragStartX = 0, dragStartY = 0;
    qint16 clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
    qint16 mapSheetCount = 0;
    std::vector<QString> mapSheetNames, mapSheetDistricts;
    std::vector<QString> siteNames;
    std::vector<qint16> siteMapX, siteMapY;
    // Each plotted site's NZMG position, as the register gives it.
    std::vector<double> siteEasting, siteNorthing;
    qint16 lastSiteIndex = 0;
    qint16 extraSiteMarkers = 0;
    qint16 currentSiteIndex = 0;
    // The district the plotted listing is restricted to (0 for none).
    double plottedDistrictId = 0;

    // The table of sheets and their districts, read at start-up. Throws RegisterError.
    void loadMapSheetDistricts(const reg::Connection& c);

    // The view.
    void drawMapView();
    void centreMapView();
    void toggleMapView();
    void hideMapView();
    void cmdMapGrid_Click();
    void picMap_MouseDown(int button, int shift, double x, double y);
    void showSiteName(int index);
    // The sites of a listing (restricted to a district above 0), or none.
    void showLicenceSites(const std::vector<reg::SiteRow>& sites, double selectedDistrictId);
    void hideSites();
    void chooseSiteView();
    void cmdSiteStepNorth_Click();
    void cmdSiteStepSouth_Click();
    void lblLocationRef_MouseMove(int index, int button, int shift, double x, double y);
    static QString steppingText(int position, int total);
    // The readout.
    void picMap_MouseMove(int button, int shift, double x, double y);
    void imgMapContainer_MouseMove(int button, int shift, double x, double y);
    // The readout boxes emptied and the sheet boxes hidden, as the pointer leaves the map.
    void clearReadout();
    void mnuMapDistrict_Click();
    void mnuNZMS260_Click();
    void mnuMapLabels_Click();
    void tmrFlash_Timer();
    void mnuFlash_Click();

private:
    QList<forms::Control*> mapGroup() const;
    void showMapGroup(bool shown);
    void dragMap(int button, double x, double y);
    void stepSite(bool north);
    Controls c_;
    QImage reliefMap_;
    QCursor grabbingHand_;
};

}  // namespace nzmap
