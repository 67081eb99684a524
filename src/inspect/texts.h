#pragma once
// Texts of record inspection without widgets: the kind of a bar, the
// bandwidth and range readouts, and the record details.

#include "register/criteria.h"

#include <QColor>
#include <QString>

namespace inspect {

// The kind of record a bar's colour stands for.
enum class BarKind { Band, ManagementRight, Planned, ItuAllocation, Licence };
BarKind kindOfColour(const QColor& c);

// "25kHz)", "2MHz)", "500Hz)", "0Hz)": the bandwidth text of a readout.
QString bandwidthText(double bandwidthMHz);
// "157.1 - 157.1125 (BW 12.5kHz)".
QString rangeReadout(double lowMHz, double highMHz, double bandwidthMHz);

// The criteria's kind of record for a bar's kind (Any for a licence).
reg::Criteria::Kind criteriaKind(BarKind kind);

// The text of the details box for a detail kind.
QString detailText(BarKind kind, double lowMHz, double highMHz, const QString& label, const QString& remarks,
                   int managementRightId);

// The hover readout's label prefix: "(CH 5) " for a label longer than one
// character once trimmed, the label as fetched otherwise.
QString labelPrefix(const QString& label);

// Remarks as the details box shows them: at most kShownRemarksMax characters
// (an ellipsis ends a longer text), and a break opportunity (an invisible
// zero-width space) inside every run of more than 80 characters without a
// blank, so that one long word cannot make laying the text out take minutes.
// Characters are counted as the reader sees them: a break never falls inside
// a surrogate pair or between a letter and its accent.
constexpr int kShownRemarksMax = 65536;
QString shownRemarks(const QString& remarks);

}  // namespace inspect
