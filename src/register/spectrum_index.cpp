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
    while (index->leaves_ < n)
        index->leaves_ *= 2;
    index->tree_.assign(2 * index->leaves_, -std::numeric_limits<double>::infinity());
    for (size_t i = 0; i < n; ++i)
        index->tree_[index->leaves_ + i] = index->high_[i];
    for (size_t i = index->leaves_ - 1; i >= 1; --i)
        index->tree_[i] = std::max(index->tree_[2 * i], index->tree_[2 * i + 1]);
    return index;
}

size_t SpectrumIndex::nextReaching(size_t from, size_t end, double low) const
{
    // Walk up from the leaf until a stretch to the right holds a high edge
    // above `low`, then down to its first such leaf.
    if (from >= end)
        return end;
    size_t node = leaves_ + from;
    if (tree_[node] > low)
        return from;
    while (true) {
        // Climb while this node is a right child or its sibling has nothing.
        while (node > 1 && (node % 2 == 1 || tree_[node + 1] <= low))
            node /= 2;
        if (node <= 1)
            return end;
        node += 1;  // the right sibling holds one
        while (node < leaves_)
            node = tree_[2 * node] > low ? 2 * node : 2 * node + 1;
        const size_t i = node - leaves_;
        return i < end ? i : end;
    }
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
