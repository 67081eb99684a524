// The main window: construction, its subsystems, the wiring of its events to
// their handlers, and the load handler.

#include "shell/frmspectrum.h"

#include "base/numbers.h"
#include "find/frmfind.h"
#include "help/help.h"
#include "inspect/inspection.h"
#include "inspect/listing.h"
#include "map/site_map.h"
#include "shell/pictures.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLineEdit>
#include <QShortcut>

namespace shell {

using namespace forms;

FrmSpectrum::FrmSpectrum(QWidget* parent)
    : Form(QStringLiteral("frmSpectrum"), 11820, 7335, parent), registerConnection_(std::make_unique<reg::Connection>())
{
    setCaption(QStringLiteral("Orvane Zaru"));
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
    buildSubsystems();
    connectHandlers();
    // The time the user spends in a message box or dialog is not the
    // register's: its budgets stand still meanwhile.
    previousModalObserver_ = forms::setModalObserver(
        [this](bool open) { registerConnection_->database().pauseBudgets(open); });
}

FrmSpectrum::~FrmSpectrum() { forms::setModalObserver(std::move(previousModalObserver_)); }

void FrmSpectrum::buildSubsystems()
{
    const reg::Connection& c = *registerConnection_;
    chart_ = std::make_unique<spectrum::Chart>(
        spectrum::Chart::Controls{lblSpectrum.get(), lblSelect, lblUnsearchedLow, lblUnsearchedHigh}, c);
    spectrum::FrequencyWindow::Controls window;
    window.form = this;
    window.StatusBar1 = StatusBar1;
    window.txtFrequencyDisplay = txtFrequencyDisplay;
    window.hsbFrequency = hsbFrequency;
    window.lblLowFrequency = lblLowFrequency;
    window.lblHighFrequency = lblHighFrequency;
    window.Option1 = Option1;
    window.lblUnsearchedLow = lblUnsearchedLow;
    window.lblUnsearchedHigh = lblUnsearchedHigh;
    window.lblSelect = lblSelect;
    window.lblScroll = lblScroll;
    window.lblZoom = lblZoom;
    window.shpSpinner = shpSpinner;
    window.tmrSearch = tmrSearch;
    window.tmrITU = tmrITU;
    window.cmdITU = cmdITU;
    frequency_ = std::make_unique<spectrum::FrequencyWindow>(window, *chart_);

    nzmap::SiteMap::Controls map;
    map.form = this;
    map.StatusBar1 = StatusBar1;
    map.imgMapContainer = imgMapContainer;
    map.picMap = picMap;
    map.lblMapDistrict = lblMapDistrict;
    map.lblLocationName = lblLocationName;
    map.lblLocationRef = lblLocationRef.get();
    map.hsbEasting = hsbEasting;
    map.vsbNorthing = vsbNorthing;
    map.vsbMapZoom = vsbMapZoom;
    map.lblEasting = lblEasting;
    map.lblNorthing = lblNorthing;
    map.lblMapZoom = lblMapZoom;
    map.txtEasting = txtEasting;
    map.txtNorthing = txtNorthing;
    map.txtPlusLabel1 = txtPlusLabel1;
    map.txtMinusLabel1 = txtMinusLabel1;
    map.txtMap = txtMap;
    map.txtReference = txtReference;
    map.cmdMapGrid = cmdMapGrid;
    map.cmdSiteStepNorth = cmdSiteStepNorth;
    map.cmdSiteStepSouth = cmdSiteStepSouth;
    map.grid = MSHFlexGrid1;
    map.tmrFlash = tmrFlash;
    map.mnuFlash = mnuFlash;
    map.mnuMapDistrict = mnuMapDistrict;
    map.mnuNZMS260 = mnuNZMS260;
    map.mnuMapLabels = mnuMapLabels;
    siteMap_ = std::make_unique<nzmap::SiteMap>(map, reliefMap_, grabbingHandCursor());

    listing_ = std::make_unique<inspect::Listing>(inspect::Listing::Controls{this, MSHFlexGrid1, cmdPrintGrid}, c,
                                                  *siteMap_);
    inspect::Inspection::Controls inspection;
    inspection.form = this;
    inspection.StatusBar1 = StatusBar1;
    inspection.lblSpectrum = lblSpectrum.get();
    inspection.lblDistrict = lblDistrict.get();
    inspection.lblSelect = lblSelect;
    inspection.lblOverlap = lblOverlap;
    inspection.txtSpectrumInfo = txtSpectrumInfo;
    inspection.imgMapContainer = imgMapContainer;
    inspection.mnuOverlap = mnuOverlap;
    inspection.lblMapDistrict = lblMapDistrict;
    inspection_ = std::make_unique<inspect::Inspection>(inspection, c, *frequency_, *chart_, *listing_, *siteMap_);
    help_ = std::make_unique<help::Help>(applicationIcon());
}

void FrmSpectrum::connectHandlers()
{
    connectChart();
    connectDistrictColumn();
    connectFrequencyControls();
    connectMapAndGrid();
    connectMenus();
}

void FrmSpectrum::connectChart()
{
    spectrum::FrequencyWindow* w = frequency_.get();
    inspect::Inspection* inspect = inspection_.get();
    on(picSpectrum, &Control::mouseMove, [w](int b, int s, double x, double y) { w->picSpectrum_MouseMove(b, s, x, y); });
    on(lblSelect, &GraphicControl::mouseMove,
       [w](int b, int s, double x, double y) { w->lblSelect_MouseMove(b, s, x, y); });
    on(lblOverlap, &GraphicControl::mouseMove,
       [inspect](int b, int s, double x, double y) { inspect->lblOverlap_MouseMove(b, s, x, y); });
    // The bars, present and to come.
    auto connectBar = [this, inspect](Label* bar) {
        on(bar, &GraphicControl::mouseDown,
           [inspect, bar](int b, int s, double x, double y) { inspect->lblSpectrum_MouseDown(bar->index(), b, s, x, y); });
        on(bar, &GraphicControl::mouseUp,
           [inspect, bar](int b, int s, double x, double y) { inspect->lblSpectrum_MouseUp(bar->index(), b, s, x, y); });
        on(bar, &GraphicControl::mouseMove,
           [inspect, bar](int b, int s, double x, double y) { inspect->lblSpectrum_MouseMove(bar->index(), b, s, x, y); });
    };
    lblSpectrum->setConnector(connectBar);
    connectBar((*lblSpectrum)(0));
    connectBar((*lblSpectrum)(1));
    // The hover rule: the quiet parts of the chart and its column clear status panel 1.
    for (GraphicControl* g : std::initializer_list<GraphicControl*>{lblBand, lblMR, lblPlan, lblUnspec, lblScroll, lblZoom})
        on(g, &GraphicControl::mouseMove, &FrmSpectrum::clearPanel1OnHover);
}

void FrmSpectrum::connectDistrictColumn()
{
    on(picDistricts, &Control::mouseMove, &FrmSpectrum::clearPanel1OnHover);
    on(cmdITU, &Control::clicked, &FrmSpectrum::cmdITU_Click);
    on(tmrITU, &Timer::timer, &FrmSpectrum::tmrITU_Timer);
    inspect::Inspection* inspect = inspection_.get();
    for (int i = 0; i < 17; ++i) {
        Label* d = (*lblDistrict)(i);
        on(d, &GraphicControl::mouseMove,
           [inspect, i](int b, int s, double x, double y) { inspect->lblDistrict_MouseMove(i, b, s, x, y); });
        on(d, &GraphicControl::mouseDown,
           [inspect, i](int b, int s, double x, double y) { inspect->lblDistrict_MouseDown(i, b, s, x, y); });
    }
}

void FrmSpectrum::connectFrequencyControls()
{
    spectrum::FrequencyWindow* w = frequency_.get();
    nzmap::SiteMap* map = siteMap_.get();
    for (OptionButton* o : Option1) {
        const int index = o->index();
        on(o, &OptionButton::selected, [w, index] { w->Option1_Click(index); });
    }
    on(txtFrequencyDisplay, &Control::clicked, [w] { w->txtFrequencyDisplay_Click(); });
    on(txtFrequencyDisplay, &TextBox::keyPress, [w](int key) { w->txtFrequencyDisplay_KeyPress(key); });
    on(txtFrequencyDisplay, &Control::mouseMove, &FrmSpectrum::clearPanel1OnHover);
    on(hsbFrequency, &ScrollBar::change, [w] { w->hsbFrequency_Change(); });
    on(cmdZoomIn, &Control::clicked, [w] { w->cmdZoomIn_Click(); });
    on(cmdZoomOut, &Control::clicked, [w] { w->cmdZoomOut_Click(); });
    on(cmdMinus, &Control::mouseDown, [w](int b, int s, double x, double y) { w->cmdMinus_MouseDown(b, s, x, y); });
    on(cmdPlus, &Control::mouseDown, [w](int b, int s, double x, double y) { w->cmdPlus_MouseDown(b, s, x, y); });
    on(cmdMinus, &Control::mouseUp, [w](int b, int s, double x, double y) { w->cmdMinus_MouseUp(b, s, x, y); });
    on(cmdPlus, &Control::mouseUp, [w](int b, int s, double x, double y) { w->cmdPlus_MouseUp(b, s, x, y); });
    on(tmrSearch, &Timer::timer, [w] { w->tmrSearch_Timer(); });
    on(Picture1, &Control::mouseMove, [w](int b, int s, double x, double y) { w->Picture1_MouseMove(b, s, x, y); });
    // The window's own surface: the tuning's rest, and the map's readout cleared.
    on(surface(), &Control::mouseMove, [w, map](int b, int s, double x, double y) {
        w->Form_MouseMove(b, s, x, y);
        map->clearReadout();
    });
}

void FrmSpectrum::connectMapAndGrid()
{
    nzmap::SiteMap* map = siteMap_.get();
    inspect::Listing* listing = listing_.get();
    for (ScrollBar* b : {hsbEasting, vsbNorthing, vsbMapZoom})
        on(b, &ScrollBar::change, [map] { map->drawMapView(); });
    on(cmdMapGrid, &Control::clicked, [map] { map->cmdMapGrid_Click(); });
    on(picMap, &Control::mouseDown, [map](int b, int s, double x, double y) { map->picMap_MouseDown(b, s, x, y); });
    on(picMap, &Control::mouseMove, [map](int b, int s, double x, double y) { map->picMap_MouseMove(b, s, x, y); });
    on(imgMapContainer, &GraphicControl::mouseMove,
       [map](int b, int s, double x, double y) { map->imgMapContainer_MouseMove(b, s, x, y); });
    on(cmdSiteStepNorth, &Control::clicked, [map] { map->cmdSiteStepNorth_Click(); });
    on(cmdSiteStepSouth, &Control::clicked, [map] { map->cmdSiteStepSouth_Click(); });
    // The site markers, present and to come.
    auto connectMarker = [this, map](Label* m) {
        on(m, &GraphicControl::mouseMove,
           [map, m](int b, int s, double x, double y) { map->lblLocationRef_MouseMove(m->index(), b, s, x, y); });
    };
    lblLocationRef->setConnector(connectMarker);
    for (int i = 0; i < 2; ++i)
        connectMarker((*lblLocationRef)(i));
    on(tmrFlash, &Timer::timer, [map] { map->tmrFlash_Timer(); });
    on(cmdPrintGrid, &Control::clicked, [listing] { listing->cmdPrintGrid_Click(); });
    on(MSHFlexGrid1, &Control::mouseMove,
       [listing](int b, int s, double x, double y) { listing->MSHFlexGrid1_MouseMove(b, s, x, y); });
}

void FrmSpectrum::connectMenus()
{
    nzmap::SiteMap* map = siteMap_.get();
    help::Help* h = help_.get();
    on(mnuFind, &MenuItem::click, &FrmSpectrum::mnuFind_Click);
    on(mnuPrint, &MenuItem::click, [l = listing_.get()] { l->mnuPrint_Click(); });
    on(mnuExportGrid, &MenuItem::click, [l = listing_.get()] { l->mnuExportGrid_Click(); });
    on(mnuExportSites, &MenuItem::click, [l = listing_.get()] { l->mnuExportSites_Click(); });
    on(mnuOverlap, &MenuItem::click, [i = inspection_.get()] { i->mnuOverlap_Click(); });
    on(mnuFlash, &MenuItem::click, [map] { map->mnuFlash_Click(); });
    on(mnuMapDistrict, &MenuItem::click, [map] { map->mnuMapDistrict_Click(); });
    on(mnuNZMS260, &MenuItem::click, [map] { map->mnuNZMS260_Click(); });
    on(mnuMapLabels, &MenuItem::click, [map] { map->mnuMapLabels_Click(); });
    on(mnuExit, &MenuItem::click, &FrmSpectrum::mnuExit_Click);
    on(mnuHelp, &MenuItem::click, [h] { h->mnuHelp_Click(); });
    // F1 anywhere in the window opens the help, as the Help menu does.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setObjectName(QStringLiteral("kbdHelp"));
    on(f1, &QShortcut::activated, [h] { h->mnuHelp_Click(); });
    on(mnuAbout, &MenuItem::click, &FrmSpectrum::mnuAbout_Click);
}

void FrmSpectrum::mnuExit_Click()
{
    // Unload and end at once: no timer ticks after this.
    for (Timer* t : {tmrSearch, tmrFlash, tmrITU})
        t->setEnabled(false);
    hide();
    QCoreApplication::exit(0);
}

void FrmSpectrum::mnuFind_Click()
{
    if (!frmFind_) {
        frmFind_ = new find::FrmFind(*registerConnection_, this);
        frmFind_->setWindowIcon(windowIcon());
        on(frmFind_, &find::FrmFind::chosen, &FrmSpectrum::showFindResult);
    }
    frmFind_->show();
    frmFind_->raise();
    frmFind_->activateWindow();
    frmFind_->txtFind->setFocus();
    frmFind_->txtFind->selectAll();
}

void FrmSpectrum::showFindResult(const reg::FindRow& row)
{
    frequency_->showRange(row.lowMHz, row.highMHz);
    const int bar = chart_->licenceBarOf(row.lowMHz, row.highMHz, row.districtId);
    if (bar >= 0)
        inspection_->lblSpectrum_MouseDown(bar, vbLeftButton, 0, 0, 0);
    raise();
    activateWindow();
}

void FrmSpectrum::clearPanel1OnHover() { StatusBar1->setPanelText(1, QString()); }

void FrmSpectrum::formLoad()
{
    siteMap_->mapShown = false;
    siteMap_->extraSiteMarkers = 0;
    cmdMapGrid->setCaption("Display Map");
    frequency_->knobAngleDegrees = 0;
    frequency_->scanFrequencyMHz = 0;
    Line1->zOrder(0);
    lblUnsearchedLow->zOrder(1);
    lblUnsearchedHigh->zOrder(1);
    chart_->selectedBarIndex = -1;
    // The open call throws when the register cannot be opened: past it, the
    // connection is open. (Its results are read into the program's memory as
    // the classic engine's client-side cursor would have them.)
    registerConnection_->open(reg::connectionString, QString(), QString());
    // A statement that runs long keeps the window painted and shows the
    // hourglass; past its action's budget it is abandoned.
    registerConnection_->setWaitingHooks(
        [] {
            forms::setScreenPointer(vbHourglass);
            forms::keepPainting();
        },
        [] { forms::setScreenPointer(vbDefault); });
    const reg::Budget startUp(&registerConnection_->database(), reg::kStartUpBudgetMs);
    chart_->searchLoaded = false;
    setMousePointer(vbDefault);
    hsbFrequency->setEnabledFlag(true);
    txtFrequencyDisplay->setText(base::sixDecimalText(1));
    siteMap_->loadMapSheetDistricts(*registerConnection_);
    frequency_->readDisplayWidth();
    frequency_->searchRegister();
    show();
}

}  // namespace shell
