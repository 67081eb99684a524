#include "register/criteria.h"

#include "base/numbers.h"
#include "register/schema.h"

namespace reg {

QString Edge::text() const
{
    switch (form) {
    case SixDecimal: return base::sixDecimalText(mhz);
    case RecordEdge: return base::exactSignSpacedText(mhz);
    case SignSpaced: break;
    }
    return base::signSpacedText(mhz);
}

Criteria Criteria::of(Rule rule, Edge low, Edge high)
{
    Criteria c;
    c.rule_ = rule;
    c.low_ = low;
    c.high_ = high;
    return c;
}

Criteria Criteria::searched(double low, double high)
{
    return of(Rule::Searched, {low, Edge::SignSpaced}, {high, Edge::SignSpaced});
}

Criteria Criteria::listing(Edge low, Edge high, bool overlapOn)
{
    return of(overlapOn ? Rule::Overlapping : Rule::Inside, low, high);
}

// A record's own edges, found again by equality: written so as to read back
// as the very numbers the record holds.
Criteria Criteria::exact(double low, double high)
{
    return of(Rule::Exact, {low, Edge::RecordEdge}, {high, Edge::RecordEdge});
}

Criteria Criteria::inDistrict(double districtId) const
{
    Criteria c = *this;
    c.district_ = districtId;
    return c;
}

Criteria Criteria::ofKind(Kind kind, int serviceId) const
{
    Criteria c = *this;
    c.kind_ = kind;
    c.serviceId_ = serviceId;
    return c;
}

namespace {

QString typeIs(int type) { return QStringLiteral(" and spectrumtypeid = ") + QString::number(type); }

}  // namespace

QString Criteria::text() const
{
    const QString a = low_.text(), b = high_.text();
    QString t;
    switch (rule_) {
    case Rule::None: return QString();
    case Rule::Searched: t = QStringLiteral("spectrumhigh > ") + a + QStringLiteral(" and SpectrumLow <= ") + b; break;
    case Rule::Overlapping: t = QStringLiteral("spectrumhigh > ") + a + QStringLiteral(" and spectrumlow < ") + b; break;
    case Rule::Inside: t = QStringLiteral("spectrumlow >= ") + a + QStringLiteral(" and spectrumhigh <= ") + b; break;
    case Rule::Exact: t = QStringLiteral("spectrumlow = ") + a + QStringLiteral(" and spectrumhigh = ") + b; break;
    }
    if (district_)
        t += QStringLiteral(" and location.districtid = ") + base::signSpacedText(*district_);
    switch (kind_) {
    case Kind::Any: break;
    case Kind::Band: t += typeIs(kTypeBand); break;
    case Kind::ManagementRight: t += typeIs(kTypeManagementRight); break;
    case Kind::Planned:
        t += QStringLiteral(" and spectrumtypeid in (%1, %2) and spectrumstatusid = %3")
                 .arg(kTypeLicence4)
                 .arg(kTypeLicence5)
                 .arg(kStatusPlanned);
        break;
    case Kind::ItuAllocation:
        t += typeIs(kTypeItuAllocation) + QStringLiteral(" and serviceid = ") + base::signSpacedText(serviceId_);
        break;
    }
    return t;
}

}  // namespace reg
