#pragma once
// The main window opened on the register in the working directory, with the
// tuning and blink clocks left to the test (it runs their ticks itself).

#include "shell/frmspectrum.h"

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

}  // namespace testing
