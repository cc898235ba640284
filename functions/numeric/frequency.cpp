#include "functions/numeric/frequency.h"

#include <algorithm>
#include <numeric>

namespace vl {

std::vector<uint32_t> CountFrequencies(const std::vector<double>& bins,
                                       const std::vector<double>& data) {
    std::vector<uint32_t> counts(bins.size() + 1, 0);
    // The bins' places in ascending order of their values; each value falls into the
    // smallest bin at or above it.
    std::vector<std::size_t> order(bins.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return bins[a] < bins[b]; });
    std::vector<double> sorted(bins.size());
    for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = bins[order[i]];
    for (double v : data) {
        const auto at =
            std::size_t(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin());
        ++counts[at < order.size() ? order[at] : bins.size()];
    }
    return counts;
}

} // namespace vl
