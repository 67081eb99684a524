#include "base/log.h"

namespace base {

// Warnings and above only by default: the program logs at the info level.
Q_LOGGING_CATEGORY(lcRegister, "orvane.register", QtWarningMsg)
Q_LOGGING_CATEGORY(lcAccess, "orvane.access", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSearch, "orvane.search", QtWarningMsg)
Q_LOGGING_CATEGORY(lcListing, "orvane.listing", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMap, "orvane.map", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHelp, "orvane.help", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFind, "orvane.find", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWindow, "orvane.window", QtWarningMsg)

}  // namespace base
