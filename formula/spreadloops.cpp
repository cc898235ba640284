#include "formula/spreadloops.h"

#include <functional>
#include <queue>

namespace vl {

void CReadGraph::Clear(std::size_t formulas) {
    for (uint32_t id : nodes_) place_[id] = kAbsent;
    place_.resize(formulas, kAbsent);
    nodes_.clear();
    edges_.clear();
    elementEdges_.clear();
    start_.clear();
    group_.clear();
    groupSize_.clear();
}

bool CReadGraph::Add(uint32_t id) {
    if (Has(id)) return false;
    place_[id] = uint32_t(nodes_.size());
    nodes_.push_back(id);
    return true;
}

void CReadGraph::Reads(uint32_t writer, uint32_t reader, bool elements) {
    edges_.push_back({place_[writer], place_[reader]});
    if (elements) elementEdges_.push_back({place_[reader], place_[writer]});
}

// Tarjan's search, with a work stack of our own so that a chain of any length fits.
void CReadGraph::FindLoops() {
    for (auto* list : {&edges_, &elementEdges_}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    const uint32_t n = uint32_t(nodes_.size());
    start_.assign(n + 1, 0);
    for (const auto& e : edges_) ++start_[e.first + 1];
    for (uint32_t i = 0; i < n; ++i) start_[i + 1] += start_[i];

    std::vector<uint32_t> index(n, kAbsent), low(n, 0), stack;
    std::vector<bool> onStack(n, false);
    struct Frame {
        uint32_t node, edge;
    };
    std::vector<Frame> frames;
    group_.assign(n, kAbsent);
    uint32_t counter = 0;
    const auto enter = [&](uint32_t v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack[v] = true;
        frames.push_back({v, start_[v]});
    };
    for (uint32_t s = 0; s < n; ++s) {
        if (index[s] != kAbsent) continue;
        enter(s);
        while (!frames.empty()) {
            const uint32_t v = frames.back().node;
            if (frames.back().edge < start_[v + 1]) {
                const uint32_t w = edges_[frames.back().edge++].second;
                if (index[w] == kAbsent)
                    enter(w);
                else if (onStack[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            if (low[v] == index[v]) {
                const uint32_t g = uint32_t(groupSize_.size());
                groupSize_.push_back(0);
                uint32_t w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[w] = false;
                    group_[w] = g;
                    ++groupSize_[g];
                } while (w != v);
            }
            frames.pop_back();
            if (!frames.empty())
                low[frames.back().node] = std::min(low[frames.back().node], low[v]);
        }
    }
}

std::vector<uint32_t> CReadGraph::Order(const std::vector<uint32_t>& ids,
                                        const std::vector<bool>& chosen) const {
    const std::size_t groups = groupSize_.size();
    std::vector<std::vector<uint32_t>> members(groups);
    for (uint32_t id : ids)
        if (chosen[id]) members[Group(id)].push_back(id);
    std::vector<uint32_t> waiting(groups, 0);
    const auto between = [&](const std::pair<uint32_t, uint32_t>& e) {
        return chosen[nodes_[e.first]] && chosen[nodes_[e.second]] &&
               group_[e.first] != group_[e.second];
    };
    for (const auto& e : edges_)
        if (between(e)) ++waiting[group_[e.second]];
    using Ready = std::pair<uint32_t, uint32_t>; // the group's first formula, the group
    std::priority_queue<Ready, std::vector<Ready>, std::greater<>> ready;
    for (uint32_t g = 0; g < groups; ++g) {
        std::sort(members[g].begin(), members[g].end());
        if (!members[g].empty() && waiting[g] == 0) ready.push({members[g].front(), g});
    }
    std::vector<uint32_t> order;
    while (!ready.empty()) {
        const uint32_t g = ready.top().second;
        ready.pop();
        for (uint32_t id : members[g]) {
            order.push_back(id);
            const uint32_t p = place_[id];
            for (uint32_t e = start_[p]; e < start_[p + 1]; ++e) {
                if (!between(edges_[e])) continue;
                const uint32_t to = group_[edges_[e].second];
                if (--waiting[to] == 0) ready.push({members[to].front(), to});
            }
        }
    }
    return order;
}

} // namespace vl
