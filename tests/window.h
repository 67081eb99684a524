#pragma once
// The main window opened on the register in the working directory, with the
// tuning and blink clocks left to the test (it runs their ticks itself), and
// the subsystems a test reaches through it.

#include "help/help.h"
#include "inspect/inspection.h"
#include "inspect/listing.h"
#include "inspect/printing.h"
#include "map/site_map.h"
#include "shell/frmspectrum.h"
#include "spectrum/chart.h"
#include "spectrum/frequency_window.h"

#include <memory>

namespace testing {

inline std::unique_ptr<shell::FrmSpectrum> openWindow()
{
    auto w = std::make_unique<shell::FrmSpectrum>();
    w->formLoad();
    w->tmrSearch->setInterval(24 * 3600 * 1000);
    w->tmrFlash->setInterval(24 * 3600 * 1000);
    return w;
}

// Lists the licences overlapping a range, in every district, as a press on
// a bar with the right button does; false when the register cannot give them.
inline bool listRange(shell::FrmSpectrum& w, double low, double high)
{
    const reg::Criteria c = reg::Criteria::listing({low, reg::Edge::SignSpaced}, {high, reg::Edge::SignSpaced}, true);
    inspect::ListingRows rows;
    if (!w.listing().readListing(c, rows))
        return false;
    w.listing().showListing(std::move(rows), 0);
    return true;
}

}  // namespace testing
