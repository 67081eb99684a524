#pragma once
// The program's log: one category a subsystem, every message at the info
// level, so that nothing is written unless asked for, for example
//   QT_LOGGING_RULES="orvane.*.info=true" orvane
// Every fallback (a slower way taken because the faster one failed) and
// every refusal (a file, a statement or a request turned down) is logged,
// so that a user's report can carry what happened.

#include <QLoggingCategory>

namespace base {

Q_DECLARE_LOGGING_CATEGORY(lcRegister)  // orvane.register: opening the register, its statements
Q_DECLARE_LOGGING_CATEGORY(lcAccess)    // orvane.access: reading an Access register
Q_DECLARE_LOGGING_CATEGORY(lcSearch)    // orvane.search: the chart's search and its index
Q_DECLARE_LOGGING_CATEGORY(lcListing)   // orvane.listing: listings, details, the hover readout, printing
Q_DECLARE_LOGGING_CATEGORY(lcMap)       // orvane.map: the map sheets and site plots
Q_DECLARE_LOGGING_CATEGORY(lcHelp)      // orvane.help: the help file
Q_DECLARE_LOGGING_CATEGORY(lcFind)      // orvane.find: the index of licences and its queries
Q_DECLARE_LOGGING_CATEGORY(lcWindow)    // orvane.window: errors no handler expected

}  // namespace base
