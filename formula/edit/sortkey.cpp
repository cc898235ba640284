#include "formula/edit/sortkey.h"

#include "formula/operands.h"
#include "model/cellrecord.h"
#include "platform/core/cp1252.h"

#include <cmath>

namespace vl {

namespace {

// A text of blanks alone, which the number conversion reads as 0, spells no number: a cell
// made to look empty must not sort among the zeros.
SortKey TextKey(std::string_view text) {
    SortKey key;
    key.text = text;
    double number = 0;
    if (text.find_first_not_of(' ') != std::string_view::npos && TextAsNumber(text, number)) {
        key.sortClass = SortClass::kNumber;
        key.isText = true;
        key.number = number;
    } else {
        key.sortClass = SortClass::kText;
    }
    return key;
}

int Sign(bool less, bool greater) {
    return less ? -1 : greater ? 1 : 0;
}

// A value that is not a number at all (no cell should hold one) goes after every number, so
// that the order stays an order.
int CompareNumbers(double a, double b) {
    const bool nanA = std::isnan(a), nanB = std::isnan(b);
    if (nanA || nanB) return Sign(nanB && !nanA, nanA && !nanB);
    return Sign(a < b, b < a);
}

// The place of a class in the direction: descending keeps numbers before texts and empty
// cells last, and moves the errors from the front to behind the texts.
int ClassRank(SortClass c, bool ascending) {
    switch (c) {
    case SortClass::kError:
        return ascending ? 0 : 3;
    case SortClass::kNumber:
        return 1;
    case SortClass::kText:
        return 2;
    case SortClass::kEmpty:
        break;
    }
    return 4;
}

// Two keys of one class, ascending.
int CompareInClass(const SortKey& a, const SortKey& b) {
    switch (a.sortClass) {
    case SortClass::kError:
        return Sign(a.error < b.error, b.error < a.error);
    case SortClass::kNumber:
        if (const int c = CompareNumbers(a.number, b.number)) return c;
        if (a.isText != b.isText) return a.isText ? 1 : -1;
        return CompareTextNoCase(a.text, b.text);
    case SortClass::kText:
        return CompareTextNoCase(a.text, b.text);
    case SortClass::kEmpty:
        break;
    }
    return 0;
}

} // namespace

SortKey MakeSortKey(const uint8_t* r) {
    SortKey key;
    if (!r) return key;
    if (const uint8_t error = cell::Error(r)) {
        key.sortClass = SortClass::kError;
        key.error = error;
        return key;
    }
    if (cell::IsText(r)) return TextKey(cell::Text(r));
    if (!cell::IsNumber(r) && (cell::ResultFlags(r) & kResultText))
        return TextKey(cell::CachedText(r));
    key.sortClass = SortClass::kNumber;
    key.number = cell::IsNumber(r) ? cell::Number(r) : cell::CachedNumber(r);
    return key;
}

int CompareSortKeys(const SortKey& a, const SortKey& b, bool ascending) {
    const int rankA = ClassRank(a.sortClass, ascending), rankB = ClassRank(b.sortClass, ascending);
    if (rankA != rankB) return rankA < rankB ? -1 : 1;
    const int c = CompareInClass(a, b);
    return ascending ? c : -c;
}

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

} // namespace vl
