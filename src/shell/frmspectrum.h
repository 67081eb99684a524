#pragma once
// The main window: the spectrum chart with its district column, the
// frequency controls, and the map or licence grid on the right. The window
// owns every control and wires its events to the subsystems that handle
// them: the frequency window and tuning, the chart, inspection (hover,
// presses, district filters), the listing and printing, the map, and help.
// Each subsystem holds its own state and is given the controls it drives.

#include "forms/events.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "register/connection.h"

#include <QImage>
#include <QString>
#include <memory>
#include <type_traits>
#include <vector>

class QMenu;

namespace spectrum {
class Chart;
class FrequencyWindow;
}  // namespace spectrum
namespace inspect {
class Inspection;
class Listing;
}  // namespace inspect
namespace nzmap {
class SiteMap;
}
namespace help {
class Help;
}
namespace find {
class FrmFind;
}
namespace reg {
struct FindRow;
}

namespace shell {

class FrmSpectrum : public forms::Form {
    Q_OBJECT

public:
    explicit FrmSpectrum(QWidget* parent = nullptr);
    ~FrmSpectrum() override;

    // The load handler: the starting state, the register, the map sheets, the
    // display width and the first search. Throws on a failure that ends the program.
    void formLoad();

    const reg::Connection& registerConnection() const { return *registerConnection_; }
    reg::Connection& registerConnection() { return *registerConnection_; }
    void setRegisterProgress(reg::ProgressFn fn) { registerConnection_->setProgress(std::move(fn)); }

    // The subsystems.
    spectrum::FrequencyWindow& frequency() { return *frequency_; }
    spectrum::Chart& chart() { return *chart_; }
    inspect::Inspection& inspection() { return *inspection_; }
    inspect::Listing& listing() { return *listing_; }
    nzmap::SiteMap& siteMap() { return *siteMap_; }
    help::Help& help() { return *help_; }

    // --- the window's own handlers ---
    // The status bar: the quiet parts of the window clear panel 1.
    void clearPanel1OnHover();
    void mnuExit_Click();
    void mnuAbout_Click();
    void cmdITU_Click();
    void tmrITU_Timer();
    // Find: the window (made at its first use), and a licence it hands back
    // shown as a user would reach it: the chart searched around the
    // record's range and its bar pressed.
    void mnuFind_Click();
    find::FrmFind* findWindow() const { return frmFind_; }
    void showFindResult(const reg::FindRow& row);

    // The chart's bars and the other controls (public so tests and the
    // inspector can reach them; the object names are the same).
    forms::StatusBar* StatusBar1 = nullptr;

    // Spectrum chart
    forms::PictureBox* picSpectrum = nullptr;
    forms::Shape* Shape2 = nullptr;
    forms::Line *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr, *Line5 = nullptr,
                *Line6 = nullptr, *Line7 = nullptr, *Line8 = nullptr, *Line9 = nullptr, *Line10 = nullptr,
                *Line11 = nullptr, *Line12 = nullptr, *Line13 = nullptr, *Line14 = nullptr, *Line15 = nullptr,
                *Line16 = nullptr, *Line17 = nullptr, *Line20 = nullptr, *Line21 = nullptr;
    std::unique_ptr<forms::ControlArray<forms::Label>> lblSpectrum;
    forms::Label* lblUnsearchedLow = nullptr;
    forms::Label* lblUnsearchedHigh = nullptr;
    forms::Label* lblSelect = nullptr;
    forms::TextBox* txtSpectrumInfo = nullptr;
    forms::Label* lblScroll = nullptr;
    forms::Label* lblZoom = nullptr;

    // District column
    forms::PictureBox* picDistricts = nullptr;
    forms::CommandButton* cmdITU = nullptr;
    forms::Label *lblMR = nullptr, *lblPlan = nullptr, *lblBand = nullptr, *lblUnspec = nullptr;
    std::unique_ptr<forms::ControlArray<forms::Label>> lblDistrict;

    // Frequency controls
    forms::TextBox* txtFrequencyDisplay = nullptr;
    forms::ScrollBar* hsbFrequency = nullptr;
    forms::TextBox* txtMinusLabel2 = nullptr;
    forms::TextBox* txtPlusLabel2 = nullptr;
    forms::Label* lblLowFrequency = nullptr;
    forms::Label* lblHighFrequency = nullptr;
    forms::Frame* fraWidth = nullptr;
    forms::Frame* fraTuning = nullptr;
    std::vector<forms::OptionButton*> Option1;  // elements 0 to 15
    forms::PictureBox* Picture1 = nullptr;
    forms::Shape* shpSpinner = nullptr;
    forms::CommandButton* cmdMinus = nullptr;
    forms::CommandButton* cmdPlus = nullptr;
    forms::CommandButton* cmdZoomIn = nullptr;
    forms::CommandButton* cmdZoomOut = nullptr;
    forms::Label* lblSpectrumZoom = nullptr;

    // Map and grid area
    forms::Image* imgMapContainer = nullptr;
    forms::PictureBox* picMap = nullptr;
    forms::Label* lblMapDistrict = nullptr;
    forms::Label* lblLocationName = nullptr;
    std::unique_ptr<forms::ControlArray<forms::Label>> lblLocationRef;
    forms::ScrollBar* hsbEasting = nullptr;
    forms::ScrollBar* vsbNorthing = nullptr;
    forms::Label* lblEasting = nullptr;
    forms::TextBox* txtEasting = nullptr;
    forms::Label* lblNorthing = nullptr;
    forms::TextBox* txtNorthing = nullptr;
    forms::TextBox* txtPlusLabel1 = nullptr;
    forms::ScrollBar* vsbMapZoom = nullptr;
    forms::TextBox* txtMinusLabel1 = nullptr;
    forms::Label* lblMapZoom = nullptr;
    forms::TextBox* txtMap = nullptr;
    forms::TextBox* txtReference = nullptr;
    forms::Label* lblOverlap = nullptr;
    forms::Shape* Shape1 = nullptr;
    forms::CommandButton* cmdMapGrid = nullptr;
    forms::CommandButton* cmdSiteStepNorth = nullptr;
    forms::CommandButton* cmdSiteStepSouth = nullptr;
    forms::CommandButton* cmdPrintGrid = nullptr;
    forms::FlexGrid* MSHFlexGrid1 = nullptr;
    QObject* PictureClip1 = nullptr;

    // Title and logo
    forms::Label* lblDAV = nullptr;
    forms::PictureBox* picKEL = nullptr;

    // Timers
    forms::Timer* tmrSearch = nullptr;
    forms::Timer* tmrFlash = nullptr;
    forms::Timer* tmrITU = nullptr;

    // Menus
    QMenu* mnuFile = nullptr;
    QMenu* mnuHelpTop = nullptr;
    forms::MenuItem* mnuFind = nullptr;
    forms::MenuItem *mnuExportGrid = nullptr, *mnuExportSites = nullptr;
    forms::MenuItem *mnuPrint = nullptr, *mnuOverlap = nullptr, *mnuFlash = nullptr, *mnuMapDistrict = nullptr,
                    *mnuNZMS260 = nullptr, *mnuMapLabels = nullptr, *mnuExit = nullptr, *mnuHelp = nullptr,
                    *mnuAbout = nullptr;

private:
    // The controls, area by area.
    void buildControls();
    void buildChart(forms::PictureBox* f);
    void buildDistrictColumn(forms::PictureBox* f);
    void buildFrequencyControls(forms::PictureBox* f);
    void buildMapAndGridArea(forms::PictureBox* f);
    void buildTitleAndLogo(forms::PictureBox* f);
    void buildTimers();
    void buildStatusBar(forms::PictureBox* f);
    void buildMenus();
    // The subsystems, given their controls.
    void buildSubsystems();
    // Wiring the controls' events to their handlers, area by area; every
    // handler runs guarded (forms::connectGuarded).
    void connectHandlers();
    void connectChart();
    void connectDistrictColumn();
    void connectFrequencyControls();
    void connectMapAndGrid();
    void connectMenus();
    // Each handler runs within the time budget of a user action.
    template <class Sender, class Signal, class Handler>
    void on(Sender* sender, Signal signal, Handler handler)
    {
        if constexpr (std::is_member_function_pointer_v<Handler>)
            on(sender, signal,
               [this, handler](auto&&... a) -> decltype((this->*handler)(a...)) { return (this->*handler)(a...); });
        else
            forms::connectGuarded(sender, signal, this, [this, handler](auto&&... a) -> decltype(handler(a...)) {
                const reg::Budget budget(&registerConnection_->database(), reg::kActionBudgetMs);
                return handler(a...);
            });
    }

    QImage reliefMap_;
    std::unique_ptr<reg::Connection> registerConnection_;
    // The observer of modal boxes before this window's (which pauses the
    // register's budgets while the user reads one).
    forms::ModalObserver previousModalObserver_;
    std::unique_ptr<spectrum::Chart> chart_;
    std::unique_ptr<spectrum::FrequencyWindow> frequency_;
    std::unique_ptr<nzmap::SiteMap> siteMap_;
    std::unique_ptr<inspect::Listing> listing_;
    std::unique_ptr<inspect::Inspection> inspection_;
    std::unique_ptr<help::Help> help_;
    find::FrmFind* frmFind_ = nullptr;  // a child window of this one
};

}  // namespace shell
