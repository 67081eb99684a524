// The main window: construction, the wiring of its events to their
// handlers, and the load handler.

#include "shell/frmspectrum.h"

#include "shell/pictures.h"
#include "spectrum/numbers.h"

#include <QCoreApplication>
#include <QIcon>

namespace shell {

using namespace forms;

namespace {

// Runs an event handler; an error no handler caught is reported, not fatal.
template <class F>
void guarded(F&& f)
{
    try {
        f();
    } catch (const forms::Error& e) {
        forms::msgBox(QStringLiteral("Unanticipated error %1: %2").arg(e.number()).arg(e.description()),
                      vbOKOnly | vbExclamation);
    } catch (const reg::RegisterError& e) {
        forms::msgBox(e.message(), vbOKOnly | vbExclamation);
    } catch (const std::exception& e) {
        forms::msgBox(QString::fromLocal8Bit(e.what()), vbOKOnly | vbExclamation);
    }
}

}  // namespace

FrmSpectrum::FrmSpectrum(QWidget* parent)
    : Form(QStringLiteral("frmSpectrum"), 11820, 7335, parent), registerConnection_(std::make_unique<reg::Connection>())
{
    setCaption(QStringLiteral("Orvane Zaru"));
    setWindowIcon(QIcon(QPixmap::fromImage(iconPicture())));
    buildControls();
    buildMenus();
    connectHandlers();
}

FrmSpectrum::~FrmSpectrum() = default;

void FrmSpectrum::connectHandlers()
{
    for (OptionButton* o : Option1) {
        const int index = o->index();
        connect(o, &OptionButton::selected, this, [this, index] { guarded([&] { Option1_Click(index); }); });
    }
    connect(txtFrequencyDisplay, &Control::clicked, this, [this] { guarded([&] { txtFrequencyDisplay_Click(); }); });
    connect(txtFrequencyDisplay, &TextBox::keyPress, this,
            [this](int key) { guarded([&] { txtFrequencyDisplay_KeyPress(key); }); });
    connect(hsbFrequency, &ScrollBar::change, this, [this] { guarded([&] { hsbFrequency_Change(); }); });
    connect(picSpectrum, &Control::mouseMove, this,
            [this](int b, int s, double x, double y) { guarded([&] { picSpectrum_MouseMove(b, s, x, y); }); });
    connect(lblSelect, &GraphicControl::mouseMove, this,
            [this](int b, int s, double x, double y) { guarded([&] { lblSelect_MouseMove(b, s, x, y); }); });
    connect(cmdZoomIn, &Control::clicked, this, [this] { guarded([&] { cmdZoomIn_Click(); }); });
    connect(cmdZoomOut, &Control::clicked, this, [this] { guarded([&] { cmdZoomOut_Click(); }); });
    connect(cmdMinus, &Control::mouseDown, this,
            [this](int b, int s, double x, double y) { guarded([&] { cmdMinus_MouseDown(b, s, x, y); }); });
    connect(cmdPlus, &Control::mouseDown, this,
            [this](int b, int s, double x, double y) { guarded([&] { cmdPlus_MouseDown(b, s, x, y); }); });
    connect(cmdMinus, &Control::mouseUp, this,
            [this](int b, int s, double x, double y) { guarded([&] { cmdMinus_MouseUp(b, s, x, y); }); });
    connect(cmdPlus, &Control::mouseUp, this,
            [this](int b, int s, double x, double y) { guarded([&] { cmdPlus_MouseUp(b, s, x, y); }); });
    connect(tmrSearch, &Timer::timer, this, [this] { guarded([&] { tmrSearch_Timer(); }); });
    connect(Picture1, &Control::mouseMove, this,
            [this](int b, int s, double x, double y) { Picture1_MouseMove(b, s, x, y); });
    connect(surface(), &Control::mouseMove, this,
            [this](int b, int s, double x, double y) { Form_MouseMove(b, s, x, y); });
    // The map.
    for (ScrollBar* b : {hsbEasting, vsbNorthing, vsbMapZoom})
        connect(b, &ScrollBar::change, this, [this] { guarded([&] { drawMapView(); }); });
    connect(cmdMapGrid, &Control::clicked, this, [this] { guarded([&] { cmdMapGrid_Click(); }); });
    connect(picMap, &Control::mouseDown, this,
            [this](int b, int s, double x, double y) { picMap_MouseDown(b, s, x, y); });
    connect(picMap, &Control::mouseMove, this,
            [this](int b, int s, double x, double y) { guarded([&] { picMap_MouseMove(b, s, x, y); }); });
    connect(imgMapContainer, &GraphicControl::mouseMove, this,
            [this](int b, int s, double x, double y) { imgMapContainer_MouseMove(b, s, x, y); });
    connect(cmdSiteStepNorth, &Control::clicked, this, [this] { guarded([&] { cmdSiteStepNorth_Click(); }); });
    connect(cmdSiteStepSouth, &Control::clicked, this, [this] { guarded([&] { cmdSiteStepSouth_Click(); }); });
    lblLocationRef->setConnector([this](Label* m) {
        connect(m, &GraphicControl::mouseMove, this, [this, m](int b, int s, double x, double y) {
            lblLocationRef_MouseMove(m->index(), b, s, x, y);
        });
    });
    for (int i = 0; i < 2; ++i) {
        Label* m = (*lblLocationRef)(i);
        connect(m, &GraphicControl::mouseMove, this, [this, m](int b, int s, double x, double y) {
            lblLocationRef_MouseMove(m->index(), b, s, x, y);
        });
    }
    connect(mnuMapDistrict, &MenuItem::click, this, [this] { mnuMapDistrict_Click(); });
    connect(mnuNZMS260, &MenuItem::click, this, [this] { mnuNZMS260_Click(); });
    connect(mnuMapLabels, &MenuItem::click, this, [this] { mnuMapLabels_Click(); });
    connect(mnuFlash, &MenuItem::click, this, [this] { mnuFlash_Click(); });
    connect(tmrFlash, &Timer::timer, this, [this] { tmrFlash_Timer(); });
    connect(tmrITU, &Timer::timer, this, [this] { tmrITU_Timer(); });
    connect(cmdITU, &Control::clicked, this, [this] { guarded([&] { cmdITU_Click(); }); });
    connect(mnuHelp, &MenuItem::click, this, [this] { guarded([&] { mnuHelp_Click(); }); });
    connect(mnuAbout, &MenuItem::click, this, [this] { guarded([&] { mnuAbout_Click(); }); });

    // The hover rule: the quiet parts of the window clear status panel 1.
    for (GraphicControl* g : std::initializer_list<GraphicControl*>{lblBand, lblMR, lblPlan, lblUnspec, lblScroll, lblZoom})
        connect(g, &GraphicControl::mouseMove, this, [this] { clearPanel1OnHover(); });
    for (Control* c : std::initializer_list<Control*>{picDistricts, txtFrequencyDisplay})
        connect(c, &Control::mouseMove, this, [this] { clearPanel1OnHover(); });
    // Over a district label the pointer is the cross-hair and panel 1 is emptied.
    for (int i = 0; i < 17; ++i) {
        Label* d = (*lblDistrict)(i);
        connect(d, &GraphicControl::mouseMove, this, [this] {
            setMousePointer(vbCrosshair);
            StatusBar1->setPanelText(1, QString());
        });
        connect(d, &GraphicControl::mouseDown, this, [this, i](int b, int s, double x, double y) {
            guarded([&] { lblDistrict_MouseDown(i, b, s, x, y); });
        });
    }
    // The chart's bars, present and to come.
    auto connectBar = [this](Label* bar) {
        connect(bar, &GraphicControl::mouseDown, this, [this, bar](int b, int s, double x, double y) {
            guarded([&] { lblSpectrum_MouseDown(bar->index(), b, s, x, y); });
        });
        connect(bar, &GraphicControl::mouseUp, this, [this, bar](int b, int s, double x, double y) {
            guarded([&] { lblSpectrum_MouseUp(bar->index(), b, s, x, y); });
        });
        connect(bar, &GraphicControl::mouseMove, this, [this, bar](int b, int s, double x, double y) {
            guarded([&] { lblSpectrum_MouseMove(bar->index(), b, s, x, y); });
        });
    };
    lblSpectrum->setConnector(connectBar);
    connectBar((*lblSpectrum)(0));
    connectBar((*lblSpectrum)(1));
    connect(cmdPrintGrid, &Control::clicked, this, [this] { guarded([&] { cmdPrintGrid_Click(); }); });
    connect(mnuPrint, &MenuItem::click, this, [this] { guarded([&] { mnuPrint_Click(); }); });
    connect(mnuOverlap, &MenuItem::click, this, [this] { mnuOverlap_Click(); });
    connect(lblOverlap, &GraphicControl::mouseMove, this,
            [this](int b, int s, double x, double y) { lblOverlap_MouseMove(b, s, x, y); });
    connect(MSHFlexGrid1, &Control::mouseMove, this,
            [this](int b, int s, double x, double y) { MSHFlexGrid1_MouseMove(b, s, x, y); });
    connect(mnuExit, &MenuItem::click, this, [this] { mnuExit_Click(); });
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
    registerConnection_->open(reg::connectionString, QString(), QString());
    if (registerConnection_->state() == reg::Connection::adStateOpen) {
        registerConnection_->setCursorLocationClient();
        search.searchLoaded = false;
        setMousePointer(vbDefault);
        hsbFrequency->setEnabledFlag(true);
    } else {
        forms::msgBox("Sorry.  The Connection could not be opened.");
    }
    txtFrequencyDisplay->setText(spectrum::sixDecimalText(1));
    loadMapSheetDistricts();
    readDisplayWidth();
    searchRegister();
    show();
}

}  // namespace shell
