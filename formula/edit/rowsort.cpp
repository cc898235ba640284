#include "formula/edit/rowsort.h"

#include "formula/edit/permsort.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"

#include <cmath>
#include <string_view>
#include <vector>

namespace vl {

namespace {

enum class KeyKind : uint8_t { kEmpty, kNumber, kText };

// One key cell as the comparison sees it. Texts are read in place from the record, so no
// comparison copies or allocates them, and no text is too long to compare.
struct KeyValue {
    KeyKind kind = KeyKind::kEmpty;
    uint8_t error = 0; // the record's error code (1 to 12), 0 for none
    double number = 0;
    std::string_view text;
};

KeyValue MakeKeyValue(const uint8_t* r) {
    KeyValue v;
    if (!r) return v;
    v.error = cell::Error(r);
    if (cell::IsText(r)) {
        v.kind = KeyKind::kText;
        v.text = cell::Text(r);
    } else if (cell::IsNumber(r)) {
        v.kind = KeyKind::kNumber;
        v.number = cell::Number(r);
    } else if (cell::ResultFlags(r) & kResultText) {
        v.kind = KeyKind::kText;
        v.text = cell::CachedText(r);
    } else {
        v.kind = KeyKind::kNumber;
        v.number = cell::CachedNumber(r);
    }
    return v;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A text compared with a number: the number it spells (blanks around it allowed), or empty
// when it spells none.
KeyValue TextAsNumber(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    KeyValue v;
    double number = 0;
    const NumberScan scan = ScanNumber(text.substr(begin, end - begin), number);
    if (scan.length == 0 || scan.length != end - begin || scan.overflow || !std::isfinite(number))
        return v;
    v.kind = KeyKind::kNumber;
    v.number = number;
    return v;
}

// Upper-cased byte by byte in the program's code page; a text that ends first is smaller.
int CompareTextNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(CharUpper1252(a[i]));
        const auto cb = static_cast<unsigned char>(CharUpper1252(b[i]));
        if (ca != cb) return ca > cb ? 1 : -1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int Sign(bool less, bool greater) {
    return less ? -1 : greater ? 1 : 0;
}

// Two values after the mixed kinds were resolved.
int CompareSameKind(const KeyValue& a, const KeyValue& b, int direction) {
    // Empty values go last in both directions.
    if (a.kind == KeyKind::kEmpty || b.kind == KeyKind::kEmpty) {
        if (a.kind == b.kind) return 0;
        return a.kind == KeyKind::kEmpty ? 1 : -1;
    }
    if (a.kind == KeyKind::kNumber) {
        const bool less = a.number<b.number, greater = a.number> b.number;
        return direction * Sign(less, greater);
    }
    return direction * CompareTextNoCase(a.text, b.text);
}

int CompareKey(const KeyValue& a, KeyValue b, bool ascending) {
    const int direction = ascending ? 1 : -1;
    if (a.error || b.error) {
        if (a.error && b.error) {
            const bool less = a.error<b.error, greater = a.error> b.error;
            return direction * Sign(less, greater);
        }
        return direction * (a.error ? -1 : 1);
    }
    // A number and a text meet as numbers, the text counting as empty when it spells none,
    // whichever side each is on: a comparison that changed with the order of its sides
    // would let a sort put 1 before 3 among texts.
    KeyValue first = a;
    if (a.kind == KeyKind::kNumber && b.kind == KeyKind::kText)
        b = TextAsNumber(b.text);
    else if (a.kind == KeyKind::kText && b.kind == KeyKind::kNumber)
        first = TextAsNumber(a.text);
    return CompareSameKind(first, b, direction);
}

// A row being sorted with the values of its first keys, so that the partitions, which run
// through the rows in order, read them from the array they walk instead of from the store.
constexpr uint32_t kInlineKeys = 2;

// The first keys side by side with the row, 24 bytes in all, so that more of the array
// fits the caches; each value is a number or a text as its kind says. A text is read in
// place, where its record keeps its length in the two bytes before it.
struct SortItem {
    union Value {
        double number;
        const char* text;
    } values[kInlineKeys];
    uint32_t row;
    KeyKind kinds[kInlineKeys];
    uint8_t errors[kInlineKeys];

    KeyValue Key(uint32_t k) const {
        KeyValue v;
        v.kind = kinds[k];
        v.error = errors[k];
        if (v.kind == KeyKind::kText)
            v.text = {values[k].text,
                      LoadU16(reinterpret_cast<const uint8_t*>(values[k].text) - 2)};
        else
            v.number = values[k].number;
        return v;
    }
    void SetKey(uint32_t k, const uint8_t* record) {
        const KeyValue v = MakeKeyValue(record);
        kinds[k] = v.kind;
        errors[k] = v.error;
        if (v.kind == KeyKind::kText)
            values[k].text = v.text.data();
        else
            values[k].number = v.number;
    }
};

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

    // Rows as items that carry their first keys.
    bool HasKey(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (item.kinds[k] != KeyKind::kEmpty) return true;
        return HasKeyFrom(item.row, Inline());
    }
    void LoadPivot(const SortItem& item) {
        for (uint32_t k = 0; k < Inline(); ++k) pivot_[k] = item.Key(k);
        for (uint32_t k = Inline(); k < keys_; ++k) pivot_[k] = Key(item.row, k);
    }
    int RowToPivot(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (const int c = CompareKey(item.Key(k), pivot_[k], ascending_[k] != 0)) return c;
        return RowToPivotFrom(item.row, Inline());
    }
    int PivotToRow(const SortItem& item) const {
        for (uint32_t k = 0; k < Inline(); ++k)
            if (const int c = CompareKey(pivot_[k], item.Key(k), ascending_[k] != 0)) return c;
        return PivotToRowFrom(item.row, Inline());
    }
    uint32_t Inline() const { return keys_ < kInlineKeys ? keys_ : kInlineKeys; }

private:
    KeyValue Key(uint32_t row, uint32_t k) const {
        return MakeKeyValue(FindCell(store_, row, columns_[k]));
    }
    bool HasKeyFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (FindCell(store_, row, columns_[k])) return true;
        return false;
    }
    int RowToPivotFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (const int c = CompareKey(Key(row, k), pivot_[k], ascending_[k] != 0)) return c;
        return 0;
    }
    int PivotToRowFrom(uint32_t row, uint32_t first) const {
        for (uint32_t k = first; k < keys_; ++k)
            if (const int c = CompareKey(pivot_[k], Key(row, k), ascending_[k] != 0)) return c;
        return 0;
    }

    const CCellStore& store_;
    uint32_t keys_;
    const uint16_t* columns_;
    const uint8_t* ascending_;
    KeyValue pivot_[kMaxSortKeys];
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
        if (const int c = CompareKey(MakeKeyValue(a[k]), MakeKeyValue(b[k]), ascending[k] != 0))
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
