#pragma once
// FREQUENCY: how many values fall into each bin. The counts stand in the order the bins
// were given in, whatever their order; one more count takes the values above every bin.

#include <cstdint>
#include <vector>

namespace vl {

// counts[r] for r < bins.size(): values v with v <= bins[r] and above every smaller bin
// (of equal bins the first given takes them); counts[bins.size()]: the rest.
std::vector<uint32_t> CountFrequencies(const std::vector<double>& bins,
                                       const std::vector<double>& data);

} // namespace vl
