#pragma once
// The index of the register's spectrum edges, so that the search statement
// groups no more than the chart can show. The chart shows the first 500 groups in spectrumlow order;
// every group's records share one low edge, so the groups of the records up
// to a cut-off low edge are complete. An in-memory index of the records'
// edges (sorted by low edge, with the largest high edge of each stretch)
// finds those records without scanning the rest, and the statement is run
// on them alone: its rows are exactly the first rows of the whole statement.

#include <QtGlobal>
#include <memory>
#include <vector>

namespace reg {

class Connection;

class SpectrumIndex {
public:
    // The most records the index holds: 24 bytes each (and 40 while they are sorted).
    static constexpr size_t kMaxRecords = 4000000;

    // Reads the edges of the records the search can show.
    // Throws RegisterError (also when the register holds more than kMaxRecords).
    static std::shared_ptr<SpectrumIndex> build(const Connection& c);

    struct Candidates {
        std::vector<qint64> rowids;
        bool all = false;  // every record in the range is among them
    };
    // The records reaching above `low` and starting at or below `high`, in
    // low-edge order: at least `wanted` of them (when there are so many),
    // and every record sharing the low edge of the last one taken.
    Candidates candidates(double low, double high, size_t wanted) const;
    size_t size() const { return low_.size(); }

private:
    // The first index at or after `from` whose high edge is above `low`,
    // among the first `end` records; `end` when there is none.
    size_t nextReaching(size_t from, size_t end, double low) const;
    std::vector<double> low_, high_;
    std::vector<qint64> rowid_;
    // The largest high edge of each stretch of kBlock records, and of each
    // stretch of kBlock * kBlock: records that cannot reach a window are
    // passed a stretch at a time.
    static constexpr size_t kBlock = 64;
    std::vector<double> blockHigh_, superHigh_;
};

}  // namespace reg
