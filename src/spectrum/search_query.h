#pragma once
// Running the search statement so that the engine groups no more than the
// chart can show: the first 500 groups in spectrumlow order are exactly those
// of the whole statement, found by grouping only the records up to a cut-off
// low edge that already yields 500 groups.

#include "register/connection.h"

namespace spectrum {

// The search statement for the range, with the chart's ordering, run so that
// its first `limit` rows are those of the full statement.
reg::Recordset runSearchStatement(reg::Connection& c, double low, double high, int limit);

}  // namespace spectrum
