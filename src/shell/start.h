#pragma once

namespace shell {

// The entry procedure: the splash window, the main window and its load, then
// the event loop. Returns the program's exit status.
int modStart();

}  // namespace shell
