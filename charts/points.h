#pragma once
// Reading and writing the points of a series' point list in place, page by page, without
// going through the page index.

#include "model/chart.h"

#include <cstdint>
#include <cstring>

namespace vl {

constexpr uint32_t kPointsPerPage = kPagePayload / sizeof(ChartPoint);
constexpr uint32_t kLabelsPerPage = kPagePayload / sizeof(ChartLabel);

inline ChartPoint LoadPoint(const uint8_t* at) {
    ChartPoint p;
    std::memcpy(&p, at, sizeof p);
    return p;
}
inline void StorePoint(uint8_t* at, const ChartPoint& p) {
    std::memcpy(at, &p, sizeof p);
}

// Calls fn(point, index) for every point in list order; a point changed by fn is stored.
template <class Fn> void ForEachPoint(CPagedList& list, Fn fn) {
    uint32_t index = 0;
    for (Page* page = list.FirstPage(); page; page = page->next) {
        for (uint32_t at = 0; at + sizeof(ChartPoint) <= page->used; at += sizeof(ChartPoint)) {
            ChartPoint p = LoadPoint(page->payload + at);
            fn(p, index++);
            StorePoint(page->payload + at, p);
        }
    }
}

} // namespace vl
