#pragma once
// What the formulas met in one round of settling read of one another's results, and the loops
// among them: formulas that read one another, directly or through others, form one group, and
// the groups are taken each after every group it reads.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vl {

class CReadGraph {
public:
    // Empties the graph; formulas are numbered from 0 up to `formulas` - 1.
    void Clear(std::size_t formulas);
    // A formula met in this round; false when it was met already.
    bool Add(uint32_t id);
    bool Has(uint32_t id) const { return id < place_.size() && place_[id] != kAbsent; }
    // The formulas met, in the order met.
    const std::vector<uint32_t>& Nodes() const { return nodes_; }
    // `reader` reads what `writer` writes: with `elements`, elements of its array.
    void Reads(uint32_t writer, uint32_t reader, bool elements);

    // Groups the formulas met into loops; Group and GroupSize answer after it.
    void FindLoops();
    uint32_t Group(uint32_t id) const { return group_[place_[id]]; }
    uint32_t GroupSize(uint32_t id) const { return groupSize_[Group(id)]; }

    template <typename F> void ForEachReader(uint32_t writer, F&& f) const {
        const uint32_t w = place_[writer];
        for (uint32_t e = start_[w]; e < start_[w + 1]; ++e) f(nodes_[edges_[e].second]);
    }
    template <typename F> void ForEachElementWriter(uint32_t reader, F&& f) const {
        const uint32_t r = place_[reader];
        auto it = std::lower_bound(elementEdges_.begin(), elementEdges_.end(),
                                   std::pair<uint32_t, uint32_t>(r, 0));
        for (; it != elementEdges_.end() && it->first == r; ++it) f(nodes_[it->second]);
    }

    // The chosen formulas (`chosen[id]` for each of `ids`), each group after the groups it
    // reads, otherwise the group of the first formula in walk order first; in a group, by
    // walk order.
    std::vector<uint32_t> Order(const std::vector<uint32_t>& ids,
                                const std::vector<bool>& chosen) const;

private:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    std::vector<uint32_t> place_;                             // by formula, its place among nodes_
    std::vector<uint32_t> nodes_;                             // the formulas met, in the order met
    std::vector<std::pair<uint32_t, uint32_t>> edges_;        // (writer, reader) by place
    std::vector<std::pair<uint32_t, uint32_t>> elementEdges_; // (reader, writer) by place
    std::vector<uint32_t> start_; // the first of each writer's edges, by place
    std::vector<uint32_t> group_; // by place
    std::vector<uint32_t> groupSize_;
};

} // namespace vl
