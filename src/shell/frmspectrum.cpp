// The main window: construction, the wiring of its events to their
// handlers, and the load handler.

#include "shell/frmspectrum.h"

#include "shell/pictures.h"
#include "spectrum/numbers.h"

#include <QCoreApplication>
#include <QIcon>
#include <QShortcut>

namespace shell {

using namespace forms;

FrmSpectrum::FrmSpectrum(QWidget* parent)
    : Form(QStringLiteral("frmSpectrum"), 11820, 7335, parent)
{
    setCaption(QStringLiteral("Orvane Zaru"));
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
    connectHandlers();
}

FrmSpectrum::~FrmSpectrum() = default;

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
    on(picSpectrum, &Control::mouseMove, &FrmSpectrum::picSpectrum_MouseMove);
    on(lblSelect, &GraphicControl::mouseMove, &FrmSpectrum::lblSelect_MouseMove);
    on(lblOverlap, &GraphicControl::mouseMove, &FrmSpectrum::lblOverlap_MouseMove);
    // The bars, present and to come.
    auto connectBar = [this](Label* bar) {
        on(bar, &GraphicControl::mouseDown,
           [this, bar](int b, int s, double x, double y) { lblSpectrum_MouseDown(bar->index(), b, s, x, y); });
        on(bar, &GraphicControl::mouseUp,
           [this, bar](int b, int s, double x, double y) { lblSpectrum_MouseUp(bar->index(), b, s, x, y); });
        on(bar, &GraphicControl::mouseMove,
           [this, bar](int b, int s, double x, double y) { lblSpectrum_MouseMove(bar->index(), b, s, x, y); });
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
    for (int i = 0; i < 17; ++i) {
        Label* d = (*lblDistrict)(i);
        // Over a district label the pointer is the cross-hair and panel 1 is emptied.
        on(d, &GraphicControl::mouseMove, [this] {
            setMousePointer(vbCrosshair);
            StatusBar1->setPanelText(1, QString());
        });
        on(d, &GraphicControl::mouseDown,
           [this, i](int b, int s, double x, double y) { lblDistrict_MouseDown(i, b, s, x, y); });
    }
}

void FrmSpectrum::connectFrequencyControls()
{
    for (OptionButton* o : Option1) {
        const int index = o->index();
        on(o, &OptionButton::selected, [this, index] { Option1_Click(index); });
    }
    on(txtFrequencyDisplay, &Control::clicked, &FrmSpectrum::txtFrequencyDisplay_Click);
    on(txtFrequencyDisplay, &TextBox::keyPress, &FrmSpectrum::txtFrequencyDisplay_KeyPress);
    on(txtFrequencyDisplay, &Control::mouseMove, &FrmSpectrum::clearPanel1OnHover);
    on(hsbFrequency, &ScrollBar::change, &FrmSpectrum::hsbFrequency_Change);
    on(cmdZoomIn, &Control::clicked, &FrmSpectrum::cmdZoomIn_Click);
    on(cmdZoomOut, &Control::clicked, &FrmSpectrum::cmdZoomOut_Click);
    on(cmdMinus, &Control::mouseDown, &FrmSpectrum::cmdMinus_MouseDown);
    on(cmdPlus, &Control::mouseDown, &FrmSpectrum::cmdPlus_MouseDown);
    on(cmdMinus, &Control::mouseUp, &FrmSpectrum::cmdMinus_MouseUp);
    on(cmdPlus, &Control::mouseUp, &FrmSpectrum::cmdPlus_MouseUp);
    on(tmrSearch, &Timer::timer, &FrmSpectrum::tmrSearch_Timer);
    on(Picture1, &Control::mouseMove, &FrmSpectrum::Picture1_MouseMove);
    on(surface(), &Control::mouseMove, &FrmSpectrum::Form_MouseMove);
}

void FrmSpectrum::connectMapAndGrid()
{
    for (ScrollBar* b : {hsbEasting, vsbNorthing, vsbMapZoom})
        on(b, &ScrollBar::change, &FrmSpectrum::drawMapView);
    on(cmdMapGrid, &Control::clicked, &FrmSpectrum::cmdMapGrid_Click);
    on(picMap, &Control::mouseDown, &FrmSpectrum::picMap_MouseDown);
    on(picMap, &Control::mouseMove, &FrmSpectrum::picMap_MouseMove);
    on(imgMapContainer, &GraphicControl::mouseMove, &FrmSpectrum::imgMapContainer_MouseMove);
    on(cmdSiteStepNorth, &Control::clicked, &FrmSpectrum::cmdSiteStepNorth_Click);
    on(cmdSiteStepSouth, &Control::clicked, &FrmSpectrum::cmdSiteStepSouth_Click);
    // The site markers, present and to come.
    auto connectMarker = [this](Label* m) {
        on(m, &GraphicControl::mouseMove,
           [this, m](int b, int s, double x, double y) { lblLocationRef_MouseMove(m->index(), b, s, x, y); });
    };
    lblLocationRef->setConnector(connectMarker);
    for (int i = 0; i < 2; ++i)
        connectMarker((*lblLocationRef)(i));
    on(tmrFlash, &Timer::timer, &FrmSpectrum::tmrFlash_Timer);
    on(cmdPrintGrid, &Control::clicked, &FrmSpectrum::cmdPrintGrid_Click);
    on(MSHFlexGrid1, &Control::mouseMove, &FrmSpectrum::MSHFlexGrid1_MouseMove);
}

void FrmSpectrum::connectMenus()
{
    on(mnuPrint, &MenuItem::click, &FrmSpectrum::mnuPrint_Click);
    on(mnuOverlap, &MenuItem::click, &FrmSpectrum::mnuOverlap_Click);
    on(mnuFlash, &MenuItem::click, &FrmSpectrum::mnuFlash_Click);
    on(mnuMapDistrict, &MenuItem::click, &FrmSpectrum::mnuMapDistrict_Click);
    on(mnuNZMS260, &MenuItem::click, &FrmSpectrum::mnuNZMS260_Click);
    on(mnuMapLabels, &MenuItem::click, &FrmSpectrum::mnuMapLabels_Click);
    on(mnuExit, &MenuItem::click, &FrmSpectrum::mnuExit_Click);
    on(mnuHelp, &MenuItem::click, &FrmSpectrum::mnuHelp_Click);
    // F1 anywhere in the window opens the help, as the Help menu does.
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setObjectName(QStringLiteral("kbdHelp"));
    on(f1, &QShortcut::activated, &FrmSpectrum::mnuHelp_Click);
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

void FrmSpectrum::clearPanel1OnHover() { StatusBar1->setPanelText(1, QString()); }

void FrmSpectrum::formLoad()
{
    map.mapShown = false;
    map.extraSiteMarkers = 0;
    cmdMapGrid->setCaption("Display Map");
    tuning.knobAngleDegrees = 0;
    tuning.scanFrequencyMHz = 0;
    Line1->zOrder(0);
    lblUnsearchedLow->zOrder(1);
    lblUnsearchedHigh->zOrder(1);
    search.selectedBarIndex = -1;
    for (auto* a : {&search.recordBandwidthMHz, &search.recordLowMHz, &search.recordHighMHz, &search.recordLeftTwips,
                    &search.recordDistrictId})
        a->assign(51, 0.0);
    registerConnection_ = std::make_unique<reg::Connection>();
    search.searchRecordset = reg::Recordset();
    registerConnection_->setProgress(registerProgress_);
    // The open call throws when the register cannot be opened: past it, the
    // connection is open.
    registerConnection_->open(reg::connectionString, QString(), QString());
    // A statement that runs long keeps the window painted and shows the
    // hourglass; past its action's budget it is abandoned.
    registerConnection_->setWaitingHooks(
        [] {
            forms::setScreenPointer(vbHourglass);
            forms::keepPainting();
        },
        [] { forms::setScreenPointer(vbDefault); });
    const reg::Connection::Budget startUp(registerConnection_.get(), reg::kStartUpBudgetMs);
    registerConnection_->setCursorLocationClient();
    search.searchLoaded = false;
    setMousePointer(vbDefault);
    hsbFrequency->setEnabledFlag(true);
    txtFrequencyDisplay->setText(spectrum::sixDecimalText(1));
    loadMapSheetDistricts();
    readDisplayWidth();
    searchRegister();
    show();
}

}  // namespace shell
