#pragma once
// The frequency window and tuning: the centre and width the user chooses,
// the search that fills the chart for them, scrolling, zooming, the edge
// readouts, and stepping the centre with the tuning buttons and autoscan.

#include "register/criteria.h"

#include <QtGlobal>
#include <optional>
#include <vector>

namespace forms {
class Form;
class Label;
class OptionButton;
class ScrollBar;
class Shape;
class StatusBar;
class TextBox;
class Timer;
class CommandButton;
}  // namespace forms

namespace spectrum {

class Chart;

class FrequencyWindow {
public:
    // The controls the frequency window drives.
    struct Controls {
        forms::Form* form = nullptr;  // the main window (its pointer shape)
        forms::StatusBar* StatusBar1 = nullptr;
        forms::TextBox* txtFrequencyDisplay = nullptr;
        forms::ScrollBar* hsbFrequency = nullptr;
        forms::Label* lblLowFrequency = nullptr;
        forms::Label* lblHighFrequency = nullptr;
        std::vector<forms::OptionButton*> Option1;  // elements 0 to 15
        forms::Label* lblUnsearchedLow = nullptr;
        forms::Label* lblUnsearchedHigh = nullptr;
        forms::Label* lblSelect = nullptr;
        forms::Label* lblScroll = nullptr;
        forms::Label* lblZoom = nullptr;
        forms::Shape* shpSpinner = nullptr;
        forms::Timer* tmrSearch = nullptr;
        // The legend button, off for a second after each search.
        forms::Timer* tmrITU = nullptr;
        forms::CommandButton* cmdITU = nullptr;
    };
    FrequencyWindow(const Controls& controls, Chart& chart);

    // The frequency window (MHz).
    double searchLowMHz = 0;
    double searchHighMHz = 0;
    double windowLowMHz = 0;
    double windowHighMHz = 0;
    double centreFrequencyMHz = 0;
    double displayWidthMHz = 0;
    double zoomFactor = 1;
    double tuningStepMHz = 0;
    // Tuning.
    bool tuneUpward = false;
    double scanFrequencyMHz = 0;
    double knobAngleDegrees = 0;
    bool autoscanOn = false;

    // The search: the one procedure that replaces the chart.
    void searchRegister();
    void readDisplayWidth();
    void rerunSearch();
    // The frequency controls.
    void Option1_Click(int index);
    void txtFrequencyDisplay_Click();
    void txtFrequencyDisplay_KeyPress(int keyAscii);
    void hsbFrequency_Change();
    void placeUnsearchedShades();
    void picSpectrum_MouseMove(int button, int shift, double x, double y);
    void lblSelect_MouseMove(int button, int shift, double x, double y);
    void writeLowFrequencyLabel();
    void writeHighFrequencyLabel();
    // The edges of the window shown, as the readouts show them: the low
    // one's number (none when the window reaches below 0) and the high one's.
    std::optional<double> lowEdgeShownMHz() const { return lowShown_; }
    double highEdgeShownMHz() const { return highShown_; }
    // The scroll bar's value: how far the chart is slid (twips).
    int scrollValue() const;
    // Searches with the range's middle as the centre and the narrowest
    // display width that shows the whole range, as a user would choose them.
    void showRange(double lowMHz, double highMHz);
    // Zoom.
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();
    void zoom(bool in);
    // Step tuning and autoscan.
    void readTuningStep();
    void placeSpinner();
    void cmdMinus_MouseDown(int button, int shift, double x, double y);
    void cmdPlus_MouseDown(int button, int shift, double x, double y);
    void cmdMinus_MouseUp(int button, int shift, double x, double y);
    void cmdPlus_MouseUp(int button, int shift, double x, double y);
    void tmrSearch_Timer();
    void Picture1_MouseMove(int button, int shift, double x, double y);
    // The window's own surface: the pointer and status panel 1 back to
    // rest, and autoscan armed while the clock runs (the map's readouts are
    // the map's to clear).
    void Form_MouseMove(int button, int shift, double x, double y);

private:
    void startSearch();
    void setSearchedRange(double centre);
    void showSearchResult();
    void finishSearch();
    void tuningButtonDown(bool upward);
    void tuningButtonUp();
    Controls c_;
    Chart& chart_;
    std::optional<double> lowShown_;
    double highShown_ = 0;
};

}  // namespace spectrum
