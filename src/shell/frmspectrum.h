#pragma once
// The main window: the spectrum chart with its district column, the
// frequency controls, and the map or licence grid on the right. The window
// owns every control and the state of each subsystem, grouped per subsystem;
// its procedures are defined in the files of the subsystems that own them.

#include "forms/events.h"
#include "forms/grid.h"
#include "forms/widgets.h"
#include "register/connection.h"
#include "spectrum/chart_model.h"
#include "spectrum/search_query.h"

#include "inspect/printing.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QMenu;

namespace shell {

// The frequency window shared by the whole spectrum view (MHz).
struct WindowState {
    double searchLowMHz = 0;
    double searchHighMHz = 0;
    double windowLowMHz = 0;
    double windowHighMHz = 0;
    double centreFrequencyMHz = 0;
    double displayWidthMHz = 0;
    double zoomFactor = 1;
    double tuningStepMHz = 0;
};

// The loaded records, indexed by bar, and the search's own state.
struct SearchState {
    qint16 lastRecordIndex = 0;
    bool searchLoaded = false;
    qint16 selectedBarIndex = -1;
    QString rangeCriteria;
    QString searchSql;
    reg::Recordset searchRecordset;
    std::vector<double> recordLowMHz, recordHighMHz, recordBandwidthMHz, recordDistrictId, recordLeftTwips;
    std::vector<qint16> recordServiceId;
    // The rows of the last search, read from its result once.
    spectrum::ChartRows chartRows;
    // The edges of the register's records, read at the first search.
    std::shared_ptr<spectrum::SpectrumIndex> spectrumIndex;
    bool spectrumIndexTried = false;
};

// The chart layout's lists (slot 0 never used).
struct LayoutState {
    std::vector<double> plannedBandwidthsMHz{0.0};
    qint16 plannedBandwidthCount = 0;
    std::vector<qint16> ituRecordIndexes{0};
    qint16 ituRecordCount = 0;
};

struct TuningState {
    bool tuneUpward = false;
    double scanFrequencyMHz = 0;
    double knobAngleDegrees = 0;
    bool autoscanOn = false;
};

struct FilterState {
    double selectedDistrictId = 0;
};

struct DetailState {
    QString detailLabel;
    QString detailRemarks;
    qint16 detailManagementRightId = 0;
    bool hoverFailureReported = false;
};

struct MapState {
    bool mapShown = false;
    qint16 baseClipWidth = 0, baseClipHeight = 0;
    qint16 viewOriginX = 0, viewOriginY = 0;
    qint16 dragStartX = 0, dragStartY = 0;
    qint16 clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
    qint16 mapSheetCount = 0;
    std::vector<QString> mapSheetNames, mapSheetDistricts;
    std::vector<QString> siteNames;
    std::vector<qint16> siteMapX, siteMapY;
    qint16 lastSiteIndex = 0;
    qint16 extraSiteMarkers = 0;
    qint16 currentSiteIndex = 0;
};

struct GridState {
    qint16 gridRowCount = 0;
    reg::Recordset licenceResult;
};

// The rows of a listing, read before anything on the window changes. The
// counters of the map and the grid are 16-bit: a listing shows at most
// kMaxSites sites and kMaxGridRows rows (the heading among them).
constexpr int kMaxSites = 32767;
constexpr int kMaxGridRows = 32767;
struct SiteRow {
    QString name;
    double easting = 0, northing = 0;
};
struct GridRows {
    std::vector<QStringList> cells;  // the heading row first
    int fields = 0;
    bool more = false;  // rows past the last the grid can hold
    reg::Recordset result;
};
struct ListingRows {
    std::vector<SiteRow> sites;
    bool moreSites = false;
    GridRows grid;
};

class FrmSpectrum : public forms::Form {
    Q_OBJECT

public:
    explicit FrmSpectrum(QWidget* parent = nullptr);
    ~FrmSpectrum() override;

    // The load handler: the starting state, the register, the map sheets, the
    // display width and the first search. Throws on a failure that ends the program.
    void formLoad();

    reg::Connection& registerConnection() { return *registerConnection_; }
    void setRegisterProgress(reg::ProgressFn fn) { registerProgress_ = std::move(fn); }

    // --- the search (spectrum/search.cpp) ---
    void searchRegister();
    void readDisplayWidth();
    // --- the chart layout (spectrum/layout.cpp) ---
    void layoutChart();
    // --- the frequency window (spectrum/window.cpp) ---
    void rerunSearch();
    void Option1_Click(int index);
    void txtFrequencyDisplay_Click();
    void txtFrequencyDisplay_KeyPress(int keyAscii);
    void hsbFrequency_Change();
    void placeUnsearchedShades();
    void picSpectrum_MouseMove(int button, int shift, double x, double y);
    void lblSelect_MouseMove(int button, int shift, double x, double y);
    void writeLowFrequencyLabel();
    void writeHighFrequencyLabel();
    // --- zoom (spectrum/zoom.cpp) ---
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();
    void zoom(bool in);
    void rescaleBars();
    // --- step tuning and autoscan (spectrum/tuning.cpp) ---
    void readTuningStep();
    void placeSpinner();
    void cmdMinus_MouseDown(int button, int shift, double x, double y);
    void cmdPlus_MouseDown(int button, int shift, double x, double y);
    void cmdMinus_MouseUp(int button, int shift, double x, double y);
    void cmdPlus_MouseUp(int button, int shift, double x, double y);
    void tmrSearch_Timer();
    void Picture1_MouseMove(int button, int shift, double x, double y);
    void Form_MouseMove(int button, int shift, double x, double y);
    // --- district and overlap filters (spectrum/filters.cpp) ---
    void lblDistrict_MouseDown(int index, int button, int shift, double x, double y);
    void mnuOverlap_Click();
    bool overlapOn() const;
    void resetDistrictLabels();
    void releaseSelectedBar();
    void lblOverlap_MouseMove(int button, int shift, double x, double y);
    // --- the licence grid (inspect/licence_grid.cpp) ---
    void fillLicenceGrid();
    GridRows readLicenceGrid(const QString& criteria);
    void showLicenceGrid(GridRows&& rows);
    void MSHFlexGrid1_MouseMove(int button, int shift, double x, double y);
    // --- bar presses and details (inspect/press.cpp) ---
    void lblSpectrum_MouseDown(int index, int button, int shift, double x, double y);
    void lblSpectrum_MouseUp(int index, int button, int shift, double x, double y);
    void fetchRecordDetails();
    // --- the bar hover readout (inspect/hover.cpp) ---
    void lblSpectrum_MouseMove(int index, int button, int shift, double x, double y);
    void fetchPlannedLabel();
    // --- printing (inspect/print.cpp) ---
    void printLicenceGrid();
    void cmdPrintGrid_Click();
    void mnuPrint_Click();
    // Makes the printer a listing goes to (the default printer unless replaced).
    std::function<std::unique_ptr<inspect::Printer>()> printerFactory;
    // --- status bar housekeeping (shell/frmspectrum.cpp) ---
    void clearPanel1OnHover();
    // --- menus, help and secondary windows (shell/menus.cpp) ---
    void mnuExit_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();
    void cmdITU_Click();
    void tmrITU_Timer();
    bool showHelpFile(const QString& fileName, QWidget* owner, int context);
    QWidget* helpViewer() const { return helpViewer_.get(); }
    // --- the map view (map/view.cpp) ---
    void drawMapView();
    void centreMapView();
    void toggleMapView();
    void hideMapView();
    void cmdMapGrid_Click();
    void picMap_MouseDown(int button, int shift, double x, double y);
    void showSiteName(int index);
    // --- site plotting (map/plot.cpp) ---
    void plotLicenceSites();
    std::vector<SiteRow> readLicenceSites(const QString& criteria, bool& more);
    void showLicenceSites(const std::vector<SiteRow>& sites);
    void hideSites();
    // A listing: its rows read first (false, with the failure reported, when
    // the register cannot give them: the window is then left as it was),
    // then shown together.
    bool readListing(const QString& criteria, ListingRows& rows);
    void showListing(ListingRows&& rows);
    void chooseSiteView();
    void cmdSiteStepNorth_Click();
    void cmdSiteStepSouth_Click();
    void lblLocationRef_MouseMove(int index, int button, int shift, double x, double y);
    static QString steppingText(int position, int total);
    // --- the map readout, sheets and blink (map/readout.cpp) ---
    void loadMapSheetDistricts();
    void picMap_MouseMove(int button, int shift, double x, double y);
    void imgMapContainer_MouseMove(int button, int shift, double x, double y);
    void mnuMapDistrict_Click();
    void mnuNZMS260_Click();
    void mnuMapLabels_Click();
    void tmrFlash_Timer();
    void mnuFlash_Click();

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
    QImage reliefMap;

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
    forms::MenuItem *mnuPrint = nullptr, *mnuOverlap = nullptr, *mnuFlash = nullptr, *mnuMapDistrict = nullptr,
                    *mnuNZMS260 = nullptr, *mnuMapLabels = nullptr, *mnuExit = nullptr, *mnuHelp = nullptr,
                    *mnuAbout = nullptr;

    // State, one struct per subsystem.
    WindowState window;
    SearchState search;
    LayoutState layout;
    TuningState tuning;
    FilterState filter;
    DetailState detail;
    MapState map;
    GridState grid;

private:
    // The steps of the search.
    void startSearch();
    void setSearchedRange(double centre);
    void readSearchRows(double centre);
    void loadBars();
    void showBars();
    void finishSearch();
    // The controls, area by area.
    void buildControls();
    void buildChart(forms::PictureBox* f);
    void buildDistrictColumn(forms::PictureBox* f);
    void buildFrequencyControls(forms::PictureBox* f);
    void buildMapAndGridArea(forms::PictureBox* f);
    void buildTitleAndLogo(forms::PictureBox* f);
    void buildTimers();
    void buildStatusBar(forms::PictureBox* f);
    void tuningButtonDown(bool upward);
    QList<forms::Control*> mapGroup() const;
    void showMapGroup(bool shown);
    void dragMap(int button, double x, double y);
    void stepSite(bool north);
    void reportListingFailure(const reg::RegisterError& e);
    void tuningButtonUp();
    void buildMenus();
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
                const reg::Connection::Budget budget(registerConnection_.get(), reg::kActionBudgetMs);
                return handler(a...);
            });
    }

    std::unique_ptr<reg::Connection> registerConnection_;
    std::unique_ptr<QWidget> helpViewer_;
    reg::ProgressFn registerProgress_;
};

}  // namespace shell
