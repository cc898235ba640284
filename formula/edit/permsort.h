#pragma once
// The quicksort of a row permutation without recursion. The elements are rows (or records
// that carry their row with what the comparison reads first); how two compare is the
// caller's `Keys`:
//   bool HasKey(const Element&)      the row has a key cell (a pivot candidate)
//   void LoadPivot(const Element&)   takes the row as the pivot of the next partition
//   int RowToPivot(const Element&)   negative when the row goes before the pivot
//   int PivotToRow(const Element&)   negative when the pivot goes before the row
//   uint32_t Position(const Element&) the element's place before the sort
// Elements that compare equal keep their places' order, so the sort is stable and gives one
// result for every order of its input. Nothing else is assumed of the comparisons:
// whatever they return, every scan stays inside its part and the sort ends with a
// permutation of what it was given.

#include <algorithm>
#include <cstdint>
#include <utility>

namespace vl {

template <class Keys, class Element = uint32_t> class CPermutationSort {
public:
    CPermutationSort(Keys& keys, Element* permutation) : keys_(keys), perm_(permutation) {}

    void Sort(uint32_t count) {
        // Each pushed part is the larger of two, so the depth stays below 33 for any count.
        Part stack[64];
        int depth = 0;
        Part part{0, int64_t(count) - 1};
        for (;;) {
            const int64_t at = part.high > part.low ? FindPivot(part.low, part.high) : -1;
            if (at >= 0) {
                keys_.LoadPivot(perm_[at]);
                pivotPosition_ = keys_.Position(perm_[at]);
                Part left, right;
                Partition(part.low, part.high, left, right);
                if (left.high - left.low < right.high - right.low) std::swap(left, right);
                if (left.high > left.low) stack[depth++] = left;
                part = right;
                continue;
            }
            // The rows of a part without key cells all tie: they go by their places.
            if (part.high > part.low)
                std::sort(perm_ + part.low, perm_ + part.high + 1,
                          [this](const Element& a, const Element& b) {
                              return keys_.Position(a) < keys_.Position(b);
                          });
            if (depth == 0) break;
            part = stack[--depth];
        }
    }

private:
    struct Part {
        int64_t low, high;
    };

    // The middle row, or the nearest with a key cell, the lower side tried first at each
    // distance; -1 when no row of the part has one.
    int64_t FindPivot(int64_t low, int64_t high) const {
        const int64_t middle = (low + high) / 2;
        if (keys_.HasKey(perm_[middle])) return middle;
        for (int64_t d = 1; middle - d >= low || middle + d <= high; ++d) {
            if (middle - d >= low && keys_.HasKey(perm_[middle - d])) return middle - d;
            if (middle + d <= high && keys_.HasKey(perm_[middle + d])) return middle + d;
        }
        return -1;
    }

    // Splits [low, high] around the pivot; both parts come back smaller than the whole.
    void Partition(int64_t low, int64_t high, Part& left, Part& right) {
        int64_t i = low, j = high;
        while (i <= j) {
            while (i <= high && RowToPivot(perm_[i]) < 0) ++i;
            while (j >= low && PivotToRow(perm_[j]) < 0) --j;
            if (i <= j) std::swap(perm_[i++], perm_[j--]);
        }
        left = {low, j};
        right = {i, high};
        // Only comparisons that contradict themselves leave a part whole: the row at its far
        // end is then taken as placed, so that every step makes the work smaller.
        if (left.high >= high) left.high = high - 1, right = {high, high};
        if (right.low <= low) right.low = low + 1, left = {low, low};
    }

    // The comparisons with ties broken by place.
    int RowToPivot(const Element& e) const {
        if (const int c = keys_.RowToPivot(e)) return c;
        return ComparePositions(keys_.Position(e), pivotPosition_);
    }
    int PivotToRow(const Element& e) const {
        if (const int c = keys_.PivotToRow(e)) return c;
        return ComparePositions(pivotPosition_, keys_.Position(e));
    }
    static int ComparePositions(uint32_t a, uint32_t b) { return a < b ? -1 : a > b ? 1 : 0; }

    Keys& keys_;
    Element* perm_;
    uint32_t pivotPosition_ = 0;
};

} // namespace vl
