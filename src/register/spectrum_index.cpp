#include "register/spectrum_index.h"

#include "register/connection.h"
#include "register/statements.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace reg {

std::shared_ptr<SpectrumIndex> SpectrumIndex::build(const Connection& c)
{
    auto index = std::make_shared<SpectrumIndex>();
    Statement st = c.database().prepare(QStringLiteral("select spectrum.rowid, spectrumlow, spectrumhigh from spectrum "
                                                       "where spectrumlow > 0 and spectrumhigh is not null and ") +
                                        shownStatusFilter());
    // Read straight from the engine: 150 000 rows a national register. Edges
    // that are not finite are the register's fault: such records are left
    // out (the chart could not place them). Past kMaxRecords the index would
    // take more memory than it saves time: the whole statement runs instead.
    while (st.next()) {
        // A view's records have no row numbers to pick them by.
        if (st.isNull(0))
            throw RegisterError(QStringLiteral("The spectrum records have no row numbers"));
        const double low = st.real(1), high = st.real(2);
        if (!std::isfinite(low) || !std::isfinite(high))
            continue;
        if (index->low_.size() >= kMaxRecords)
            throw RegisterError(QStringLiteral("The register has too many records for the index of edges"));
        index->rowid_.push_back(st.integer(0));
        index->low_.push_back(low);
        index->high_.push_back(high);
    }
    // In low-edge order (ties by row), sorted here rather than by the engine.
    std::vector<size_t> order(index->low_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return index->low_[a] != index->low_[b] ? index->low_[a] < index->low_[b] : index->rowid_[a] < index->rowid_[b];
    });
    auto permute = [&order](auto& v) {
        std::remove_reference_t<decltype(v)> sorted(v.size());
        for (size_t i = 0; i < order.size(); ++i)
            sorted[i] = v[order[i]];
        v.swap(sorted);
    };
    permute(index->low_);
    permute(index->high_);
    permute(index->rowid_);
    const size_t n = index->low_.size();
    const double none = -std::numeric_limits<double>::infinity();
    index->blockHigh_.assign((n + kBlock - 1) / kBlock, none);
    index->superHigh_.assign((n + kBlock * kBlock - 1) / (kBlock * kBlock), none);
    for (size_t i = 0; i < n; ++i) {
        double& block = index->blockHigh_[i / kBlock];
        double& super = index->superHigh_[i / (kBlock * kBlock)];
        block = std::max(block, index->high_[i]);
        super = std::max(super, index->high_[i]);
    }
    return index;
}

size_t SpectrumIndex::nextReaching(size_t from, size_t end, double low) const
{
    // A stretch whose largest high edge does not reach above `low` is passed
    // whole from its start: at most 2 * kBlock records and n / kBlock^2
    // stretches are looked at.
    size_t i = from;
    while (i < end) {
        if (i % (kBlock * kBlock) == 0 && superHigh_[i / (kBlock * kBlock)] <= low) {
            i += kBlock * kBlock;
        } else if (i % kBlock == 0 && blockHigh_[i / kBlock] <= low) {
            i += kBlock;
        } else {
            if (high_[i] > low)
                return i;
            ++i;
        }
    }
    return end;
}

SpectrumIndex::Candidates SpectrumIndex::candidates(double low, double high, size_t wanted) const
{
    Candidates out;
    // Records starting at or below `high` are the first `end` ones.
    const size_t end = size_t(std::upper_bound(low_.begin(), low_.end(), high) - low_.begin());
    size_t i = nextReaching(0, end, low);
    double lastLow = 0;
    while (i < end) {
        // Past the wanted number, only records of the same low edge as the
        // last one taken still belong to its groups.
        if (out.rowids.size() >= wanted && low_[i] != lastLow)
            break;
        out.rowids.push_back(rowid_[i]);
        lastLow = low_[i];
        i = nextReaching(i + 1, end, low);
    }
    out.all = i >= end;
    return out;
}

}  // namespace reg
