#include "inspect/texts.h"

#include "register/recordset.h"

#include "spectrum/chart.h"
#include "spectrum/numbers.h"

namespace inspect {

using spectrum::plainText;
using spectrum::roundSix;
using spectrum::signSpacedText;

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

QString overlapCriteria(const QString& low, const QString& high, bool overlapOn)
{
    if (overlapOn)
        return QStringLiteral("spectrumhigh > ") + low + QStringLiteral(" and spectrumlow < ") + high;
    return QStringLiteral("spectrumlow >= ") + low + QStringLiteral(" and spectrumhigh <= ") + high;
}

QString districtRestriction(double districtId)
{
    return QStringLiteral(" and location.districtid = ") + signSpacedText(districtId);
}

QString exactRangeCriteria(double low, double high)
{
    return QStringLiteral("spectrumlow = ") + signSpacedText(low) + QStringLiteral(" and spectrumhigh = ") +
           signSpacedText(high);
}

QString typeClause(BarKind kind, int serviceId)
{
    switch (kind) {
    case BarKind::Band: return QStringLiteral(" and spectrumtypeid = 1");
    case BarKind::ManagementRight: return QStringLiteral(" and spectrumtypeid = 7");
    case BarKind::Planned: return QStringLiteral(" and spectrumtypeid in (4, 5)") + QStringLiteral(" and spectrumstatusid = 4");
    case BarKind::ItuAllocation:
        return QStringLiteral(" and spectrumtypeid = 8") + QStringLiteral(" and serviceid = ") + signSpacedText(serviceId);
    case BarKind::Licence: break;
    }
    return QString();
}

QString detailStatement(const QString& criteria)
{
    return QStringLiteral("select * from ") + QStringLiteral("spectrum where ") + criteria +
           QStringLiteral(" and spectrumlow > 0 ") + QStringLiteral("order by spectrum.spectrumlow");
}

QString plannedLabelStatement(const QString& criteria)
{
    return QStringLiteral("select * from ") + QStringLiteral("spectrum where ") + criteria +
           QStringLiteral(" and spectrumlow > 0 and spectrumtypeid = 4 ") + QStringLiteral("order by spectrum.spectrumlow");
}

QString licenceStatement(const QString& criteria)
{
    return QStringLiteral("select spectrum.spectrumlow, spectrum.spectrumhigh, spectrum.spectrumlabel, ") +
           QStringLiteral("location.locationname, issuingoffice.officecode, ") +
           QStringLiteral("licence.licencenumber, licence.managementrightid, ") +
           QStringLiteral("clientname.name, licence.licenceid from ") +
           QStringLiteral("spectrum, transmitconfiguration, location, issuingoffice, ") +
           QStringLiteral("licence, clientname where ") +
           QStringLiteral("spectrum.licenceid = transmitconfiguration.licenceid and ") +
           QStringLiteral("transmitconfiguration.locationid = location.locationid and ") +
           QStringLiteral("location.districtid = issuingoffice.officeid and ") +
           QStringLiteral("licence.clientid = clientname.clientid and ") + QStringLiteral("clientname.legal_order = 1 and ") +
           QStringLiteral("spectrum.licenceid = licence.licenceid and ") + criteria +
           QStringLiteral(" and spectrumlow > 0 and spectrumtypeid <> 7 and ") +
           QStringLiteral("spectrum.spectrumstatusid in (1,5) order by spectrum.spectrumlow ASC, spectrum.spectrumhigh "
                          "ASC, location.districtid, licence.licencenumber");
}

QString detailText(BarKind kind, double low, double high, const QString& label, const QString& remarks,
                   int managementRightId)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString range = QStringLiteral("from ") + plainText(roundSix(low)) + QStringLiteral(" to ") +
                          plainText(roundSix(high)) + QStringLiteral(" MHz");
    switch (kind) {
    case BarKind::Planned:
        return QStringLiteral("Planned Spectrum ") + spectrum::trimBlanks(label) + crlf + range + crlf + spectrum::trimBlanks(remarks);
    case BarKind::ManagementRight:
        return QStringLiteral("ManagementRight ") + signSpacedText(managementRightId) + crlf + range + crlf +
               spectrum::trimBlanks(remarks);
    case BarKind::Band:
        return QStringLiteral("Spectrum Band ") + crlf + range + crlf + spectrum::trimBlanks(remarks);
    case BarKind::ItuAllocation:
        return QStringLiteral("ITU Region 3 Allocation ") + crlf + range + crlf + spectrum::trimBlanks(remarks);
    case BarKind::Licence: break;
    }
    return QString();
}

QString labelPrefix(const QString& label)
{
    const QString t = spectrum::trimBlanks(label);
    if (t.size() > 1)
        return QStringLiteral("(") + t + QStringLiteral(") ");
    return label;
}

QString shownRemarks(const QString& remarks)
{
    const QString bounded = reg::boundedText(remarks, kShownRemarksMax);
    QString out;
    out.reserve(bounded.size() + bounded.size() / 80);
    int run = 0;
    for (const QChar c : bounded) {
        if (c.isSpace()) {
            run = 0;
        } else if (++run > 80) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

}  // namespace inspect
