#include "inspect/texts.h"

#include "base/numbers.h"
#include "base/shown_text.h"
#include "spectrum/chart_rules.h"

#include <QTextBoundaryFinder>

namespace inspect {

using base::plainText;
using base::roundSix;
using base::signSpacedText;
using base::trimBlanks;

BarKind kindOfColour(const QColor& c)
{
    if (c == spectrum::kBandColour)
        return BarKind::Band;
    if (c == spectrum::kManagementRightColour)
        return BarKind::ManagementRight;
    if (c == spectrum::kPlannedColour)
        return BarKind::Planned;
    if (spectrum::isItuColour(c))
        return BarKind::ItuAllocation;
    return BarKind::Licence;
}

QString bandwidthText(double b)
{
    if (b >= 1)
        return plainText(roundSix(b)) + QStringLiteral("MHz)");
    if (b >= 0.001)
        return plainText(roundSix(b * 1000)) + QStringLiteral("kHz)");
    return plainText(roundSix(b * 1000000)) + QStringLiteral("Hz)");
}

QString rangeReadout(double low, double high, double bandwidth)
{
    return plainText(roundSix(low)) + QStringLiteral(" - ") + plainText(roundSix(high)) + QStringLiteral(" (BW ") +
           bandwidthText(bandwidth);
}

reg::Criteria::Kind criteriaKind(BarKind kind)
{
    switch (kind) {
    case BarKind::Band: return reg::Criteria::Kind::Band;
    case BarKind::ManagementRight: return reg::Criteria::Kind::ManagementRight;
    case BarKind::Planned: return reg::Criteria::Kind::Planned;
    case BarKind::ItuAllocation: return reg::Criteria::Kind::ItuAllocation;
    case BarKind::Licence: break;
    }
    return reg::Criteria::Kind::Any;
}

QString detailText(BarKind kind, double low, double high, const QString& label, const QString& remarks,
                   int managementRightId)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString range = QStringLiteral("from ") + plainText(roundSix(low)) + QStringLiteral(" to ") +
                          plainText(roundSix(high)) + QStringLiteral(" MHz");
    switch (kind) {
    case BarKind::Planned:
        return QStringLiteral("Planned Spectrum ") + trimBlanks(label) + crlf + range + crlf + trimBlanks(remarks);
    case BarKind::ManagementRight:
        return QStringLiteral("ManagementRight ") + signSpacedText(managementRightId) + crlf + range + crlf +
               trimBlanks(remarks);
    case BarKind::Band:
        return QStringLiteral("Spectrum Band ") + crlf + range + crlf + trimBlanks(remarks);
    case BarKind::ItuAllocation:
        return QStringLiteral("ITU Region 3 Allocation ") + crlf + range + crlf + trimBlanks(remarks);
    case BarKind::Licence: break;
    }
    return QString();
}

QString labelPrefix(const QString& label)
{
    const QString t = trimBlanks(label);
    if (t.size() > 1)
        return QStringLiteral("(") + t + QStringLiteral(") ");
    return label;
}

QString shownRemarks(const QString& remarks)
{
    const QString bounded = base::boundedText(remarks, kShownRemarksMax);
    QString out;
    out.reserve(bounded.size() + bounded.size() / 80);
    // By the characters the reader sees (a surrogate pair, a letter and its
    // accents): a break never falls inside one.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, bounded);
    int run = 0;
    qsizetype from = 0;
    for (qsizetype to = graphemes.toNextBoundary(); to > 0; from = to, to = graphemes.toNextBoundary()) {
        if (bounded.at(from).isSpace()) {
            run = 0;
        } else if (++run > 80) {
            out += QChar(0x200B);
            run = 1;
        }
        out += QStringView(bounded).mid(from, to - from);
    }
    return out;
}

}  // namespace inspect
