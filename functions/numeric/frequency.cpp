#include "functions/numeric/frequency.h"

namespace vl {

std::vector<uint32_t> CountFrequencies(const std::vector<double>& bins,
                                       const std::vector<double>& data) {
    std::vector<uint32_t> counts(bins.size() + 1, 0);
    std::size_t last = bins.size();
    for (double v : data) {
        std::size_t r = 0;
        while (r < last && !(v <= bins[r] && (r == 0 || v > bins[r - 1]))) ++r;
        ++counts[r];
    }
    return counts;
}

} // namespace vl
