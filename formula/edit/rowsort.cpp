#include "formula/edit/rowsort.h"

#include "formula/edit/permsort.h"
#include "formula/edit/sortkey.h"

#include <vector>

namespace vl {

namespace {

// A row being sorted with the values of its first keys, so that the partitions, which run
// through the rows in order, read them from the array they walk instead of from the store.
constexpr uint32_t kInlineKeys = 2;

// The first keys side by side with the row, 48 bytes in all, so that more of the array
// fits the caches. A text is read in place, where its record keeps its length in the two
// bytes before it.
struct SortItem {
    double numbers[kInlineKeys];
    const char* texts[kInlineKeys];
    uint32_t row;
    SortClass classes[kInlineKeys];
    uint8_t errors[kInlineKeys];
    bool isText[kInlineKeys];

    SortKey Key(uint32_t k) const {
        SortKey v;
        v.sortClass = classes[k];
        v.error = errors[k];
        v.isText = isText[k];
        v.number = numbers[k];
        if (texts[k]) v.text = {texts[k], LoadU16(reinterpret_cast<const uint8_t*>(texts[k]) - 2)};
        return v;
    }
    void SetKey(uint32_t k, const uint8_t* record) {
        const SortKey v = MakeSortKey(record);
        classes[k] = v.sortClass;
        errors[k] = v.error;
        isText[k] = v.isText;
        numbers[k] = v.number;
        texts[k] = v.text.data();
    }
};

static_assert(sizeof(SortItem) == 48);

// The key cells of the rows being sorted: each partition's pivot keys are read once, the
// first key of a row from its item, later keys through the row index and only as far as
// the earlier keys tie.
class CStoreKeys {
public:
    CStoreKeys(const CCellStore& store, uint32_t keyCount, const uint16_t* columns,
               const uint8_t* ascending)
        : store_(store), keys_(keyCount), columns_(columns), ascending_(ascending) {}

    // Rows as plain numbers (when the items could not be had).
    bool HasKey(uint32_t row) const { return HasKeyFrom(row, 0); }
    void LoadPivot(uint32_t row) {
        for (uint32_t k = 0; k < keys_; ++k) pivot_[k] = Key(row, k);
    }
    int RowToPivot(uint32_t row) const { return RowToPivotFrom(row, 0); }
    int PivotToRow(uint32_t row) const { return PivotToRowFrom(row, 0); }
    uint32_t Position(uint32_t row) const { return row; }

    // Rows as items that carry their first keys.
    bool HasKey(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (item.classes[k] != SortClass::kEmpty) return true;
        return HasKeyFrom(item.row, Inline());
    }
    void LoadPivot(const SortItem& item) {
        for (uint32_t k = 0; k < Inline(); ++k) pivot_[k] = item.Key(k);
        for (uint32_t k = Inline(); k < keys_; ++k) pivot_[k] = Key(item.row, k);
    }
    int RowToPivot(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (const int c = CompareSortKeys(item.Key(k), pivot_[k], ascending_[k] != 0)) return c;
        return RowToPivotFrom(item.row, Inline());
    }
    int PivotToRow(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (const int c = CompareSortKeys(pivot_[k], item.Key(k), ascending_[k] != 0)) return c;
        return PivotToRowFrom(item.row, Inline());
    }
    uint32_t Position(const SortItem& item) const { return item.row; }
    uint32_t Inline() const { return keys_ < kInlineKeys ? keys_ : kInlineKeys; }

private:
    SortKey Key(uint32_t row, uint32_t k) const {
        return MakeSortKey(FindCell(store_, row, columns_[k]));
    }
    bool HasKeyFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (FindCell(store_, row, columns_[k])) return true;
        return false;
    }
    int RowToPivotFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (const int c = CompareSortKeys(Key(row, k), pivot_[k], ascending_[k] != 0)) return c;
        return 0;
    }
    int PivotToRowFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (const int c = CompareSortKeys(pivot_[k], Key(row, k), ascending_[k] != 0)) return c;
        return 0;
    }

    const CCellStore& store_;
    uint32_t keys_;
    const uint16_t* columns_;
    const uint8_t* ascending_;
    SortKey pivot_[kMaxSortKeys];
};

// Sorts items of the rows r1..r2, their first keys read in one walk of the store for each;
// false when the items could not be had.
bool SortItems(CStoreKeys& keys, const CCellStore& store, uint32_t r1, uint32_t r2,
               const uint16_t* columns, uint32_t* permutation) {
    std::vector<SortItem> items;
    try {
        items.resize(size_t(r2 - r1) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t i = 0; i < items.size(); ++i) {
        items[i].row = r1 + i;
        for (uint32_t k = 0; k < kInlineKeys; ++k) items[i].SetKey(k, nullptr);
    }
    for (uint32_t k = 0; k < keys.Inline(); ++k) {
        CellCursor cursor{kAdvance, store.StartPageForRow(r1), 0};
        while (const uint8_t* r = GetNextCellInRange(cursor, {columns[k], r1, columns[k], r2}))
            items[cell::Row(r) - r1].SetKey(k, r);
    }
    CPermutationSort<CStoreKeys, SortItem>(keys, items.data()).Sort(uint32_t(items.size()));
    for (uint32_t i = 0; i < items.size(); ++i) permutation[i] = items[i].row;
    return true;
}

} // namespace

int CompareRows(CEvalContext& /*ctx*/, const uint8_t* const* a, const uint8_t* const* b,
                uint32_t keyCount, const uint8_t* ascending) {
    for (uint32_t k = 0; k < keyCount; ++k)
        if (const int c = CompareSortKeys(MakeSortKey(a[k]), MakeSortKey(b[k]), ascending[k] != 0))
            return c;
    return 0;
}

bool SortRows(CEvalContext& /*ctx*/, CCellStore& store, uint32_t r1, uint32_t r2, uint32_t keyCount,
              const uint16_t* keyColumns, const uint8_t* ascending, uint32_t* permutation) {
    if (r1 > r2) return false;
    const uint32_t count = r2 - r1 + 1;
    for (uint32_t i = 0; i < count; ++i) permutation[i] = r1 + i;
    if (keyCount > kMaxSortKeys || r2 > kLastRow) return false;
    // A block the index cannot be had for is searched through its pages instead.
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t block = r1 / kRowBlockRows; block <= r2 / kRowBlockRows; ++block)
        store.BuildRowBlockIndex(block, cursor);
    CStoreKeys keys(store, keyCount, keyColumns, ascending);
    if (keyCount == 0 || !SortItems(keys, store, r1, r2, keyColumns, permutation))
        CPermutationSort<CStoreKeys>(keys, permutation).Sort(count);
    store.ClearRowIndex(false);
    return true;
}

} // namespace vl
