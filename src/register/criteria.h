#pragma once
// The criteria of a statement on the register's spectrum records, as a
// value: the frequency range and how a record must lie in it, the district,
// and the kind of record. Written as SQL text in one place, text().

#include <QString>
#include <optional>

namespace reg {

// A range edge: its number and how the criteria write it.
struct Edge {
    enum Form {
        SignSpaced,  // " .75", "-.3", " 157.1125"
        SixDecimal,  // "1.250000", ".700000" (a frequency label's text)
        RecordEdge,  // a record's own edge: sign-spaced with the digits it needs to read back as itself
    };
    double mhz = 0;
    Form form = SignSpaced;
    QString text() const;
    bool operator==(const Edge&) const = default;
};

class Criteria {
public:
    // How a record must lie relative to the range.
    enum class Rule {
        None,         // no criteria (empty text)
        Searched,     // the chart's search: reaching above low, starting at or below high
        Overlapping,  // a listing with overlap on: overlapping the open range
        Inside,       // a listing with overlap off: lying wholly inside the range
        Exact,        // a record of exactly the range
    };
    // The kind of record (details of a pressed bar).
    enum class Kind { Any, Band, ManagementRight, Planned, ItuAllocation };

    Criteria() = default;
    static Criteria searched(double lowMHz, double highMHz);
    static Criteria listing(Edge low, Edge high, bool overlapOn);
    static Criteria exact(double lowMHz, double highMHz);
    // The same criteria restricted to a district, or to a kind of record
    // (an ITU allocation with its service).
    Criteria inDistrict(double districtId) const;
    Criteria ofKind(Kind kind, int serviceId = 0) const;

    bool isEmpty() const { return rule_ == Rule::None; }

    // The criteria as the statements insert them, for example
    // "spectrumhigh >  .75 and spectrumlow < 1.250000 and location.districtid =  2".
    QString text() const;
    bool operator==(const Criteria&) const = default;

private:
    static Criteria of(Rule rule, Edge low, Edge high);
    Rule rule_ = Rule::None;
    Edge low_, high_;
    std::optional<double> district_;
    Kind kind_ = Kind::Any;
    int serviceId_ = 0;
};

}  // namespace reg
