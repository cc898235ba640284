#pragma once
// FREQUENCY: how many values fall into each bin. Bins keep the order they were given
// in; one more count takes the values above every bin.

#include <cstdint>
#include <vector>

namespace vl {

// counts[r] for r < bins.size(): values v with v <= bins[r] and (r = 0 or v > bins[r−1]);
// counts[bins.size()]: the rest.
std::vector<uint32_t> CountFrequencies(const std::vector<double>& bins,
                                       const std::vector<double>& data);

} // namespace vl
