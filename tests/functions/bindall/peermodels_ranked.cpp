// The model of the ranked data: LARGE, SMALL, PERCENTILE, QUARTILE, PERCENTRANK, RANK and
// TRIMMEAN over the data argument's items sorted as a worksheet sort orders them.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vl::test::peermodel {

namespace {

// One datum: a number, a text that spells one (its text kept, LARGE and SMALL give it back),
// or an error cell, which counts as 0 where it is walked past.
struct Item {
    double number = 0;
    bool isText = false;
    std::string text;
    int error = 0;
};

bool BlanksOnly(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// Stored cells only; a text that spells no number (a heading, "") is no datum.
std::vector<Item> ReadItems(const Argument& a) {
    std::vector<Item> items;
    for (const Answer& v : a.values) {
        Item item;
        if (v.kind == 'b') continue;
        if (v.kind == 'e') {
            item.error = ErrorCode(v) ? ErrorCode(v) : 5;
        } else if (v.kind == 't') {
            if (BlanksOnly(v.text) || !NumericText(v.text)) continue;
            item.isText = true;
            item.text = v.text;
            item.number = std::atof(v.text.c_str());
        } else {
            item.number = v.number;
        }
        items.push_back(item);
    }
    return items;
}

int NoCase(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int ca = std::toupper(static_cast<unsigned char>(a[i]));
        int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Ascending: errors by code, then numbers by value, a number before a text of its value.
// Descending reverses each class and puts the errors last.
void SortItems(std::vector<Item>& items, bool ascending) {
    auto inClass = [](const Item& a, const Item& b) {
        if (a.error) return a.error < b.error ? -1 : a.error > b.error;
        if (a.number != b.number) return a.number < b.number ? -1 : 1;
        if (a.isText != b.isText) return a.isText ? 1 : -1;
        return NoCase(a.text, b.text);
    };
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (bool(a.error) != bool(b.error)) return ascending ? bool(a.error) : bool(b.error);
        int c = inClass(a, b);
        return ascending ? c < 0 : c > 0;
    });
}

// A parameter as the functions read it: a number, a text that spells one, an empty cell 0;
// another text #NUM!, blanks too where a fraction or a value is asked (0 where a whole number
// is), an error its code. False when it is no single value.
bool ReadParameter(const Argument& a, bool whole, double& x, int& worst) {
    if (a.values.size() != 1) return false;
    const Answer& v = a.values.front();
    x = 0;
    if (v.kind == 'e')
        worst = std::max(worst, ErrorCode(v) ? ErrorCode(v) : 5);
    else if (v.kind == 't' && (BlanksOnly(v.text) ? !whole : !ReadNumber(v, x)))
        worst = std::max(worst, 5);
    else if (v.kind == 'n')
        x = v.number;
    return true;
}

// A whole-number parameter: rounded half away from zero, then within its bounds.
void Whole(double& x, double low, double high, int& worst) {
    x = RoundHalfAway(x);
    if (x < low || x > high || x <= -2147483647.0 || x >= 2147483647.0) worst = std::max(worst, 5);
}

Answer Error(int code) {
    return ErrorOfCode(code);
}

Answer Num(double x, int error = 0) {
    return error ? Error(error) : Answer{'n', x, ""};
}

Answer Percentile(const std::vector<Item>& v, double k) {
    const std::size_t n = v.size();
    if (n == 0) return Error(5);
    if (n == 1) return Num(v[0].number, v[0].error);
    const double last = double(n - 1);
    std::size_t i = 0;
    while (i < n - 1 && !(k <= i / last)) ++i;
    if (k == i / last || i == 0) return Num(v[i].number, v[i].error);
    const double lo = v[i - 1].number, hi = v[i].number, tl = (i - 1) / last;
    return Num(lo + (hi - lo) * (k - tl) / (i / last - tl), std::max(v[i - 1].error, v[i].error));
}

Answer PercentRank(const std::vector<Item>& v, double x, int decimals) {
    const std::size_t n = v.size();
    if (n == 0) return Error(5);
    std::size_t i = 0;
    while (i < n && x > v[i].number) ++i;
    if (i == n) return Error(7);
    const double last = double(n - 1);
    double r = 0;
    if (x == v[i].number)
        r = n == 1 ? 1 : i / last;
    else if (i > 0)
        r = (x - v[i - 1].number) / (v[i].number - v[i - 1].number) / last + (i - 1) / last;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, r);
    return Num(std::atof(text), v[i].error);
}

Answer Rank(const std::vector<Item>& v, double x, bool ascending) {
    if (v.empty()) return Error(5);
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i].number == x) return Num(double(i + 1), v[i].error);
        if (ascending ? v[i].number > x : v[i].number < x) {
            if (i == 0) return Error(7);
            const double before = v[i - 1].number;
            return Num(i + (x - before) / (v[i].number - before), v[i].error);
        }
    }
    return Error(7);
}

// The even count at or below n x percent is dropped, half from each end.
Answer TrimMean(const std::vector<Item>& v, double percent) {
    const std::size_t n = v.size();
    const double x = double(n) * percent;
    // A product a unit of the last place below a whole number is that number.
    std::size_t m = std::size_t(std::floor(x * (1 + 0x1p-50)));
    m -= m % 2;
    if (m >= n) return Error(5);
    double sum = 0;
    bool refused = false;
    for (std::size_t i = m / 2; i < n - m / 2; ++i) {
        sum += v[i].number;
        refused = refused || v[i].error;
    }
    return Num(sum / double(n - m), refused ? 5 : 0);
}

Answer Picked(const std::vector<Item>& v, double k) {
    if (k < 1 || k > double(v.size())) return Error(5);
    const Item& item = v[std::size_t(k) - 1];
    if (item.error) return Error(7);
    return item.isText ? Answer{'t', 0, item.text} : Num(item.number);
}

std::string RankedData(const ModelCase& m) {
    const bool rank = m.name == "RANK";
    const std::size_t data = rank ? 1 : 0;
    // The data: an area of this worksheet, an array, or an area qualified with a place (another
    // worksheet's, a folder's stacked, or one that names nothing).
    const std::string& written = m.args[data].text;
    if (m.args.size() < 2 || m.args.size() > 3 ||
        !(IsReference(written) || written.front() == '{' || written.find('!') != std::string::npos))
        return Expect(false, m, "a ranked function over an area");
    int worst = 0;
    double p[3] = {0, 0, 0};
    // PERCENTILE's and TRIMMEAN's fraction, PERCENTRANK's and RANK's value are no whole numbers.
    const bool wholeSecond = m.name == "LARGE" || m.name == "SMALL" || m.name == "QUARTILE";
    for (std::size_t i = 0; i < m.args.size(); ++i)
        if (i != data && !ReadParameter(m.args[i], i == 2 || (i == 1 && wholeSecond), p[i], worst))
            return Expect(false, m, "one value for each parameter");
    const bool thirdGiven = m.args.size() > 2 && !m.args[2].text.empty();
    bool ascending = true;
    if (m.name == "LARGE" || m.name == "SMALL") {
        Whole(p[1], 1, INT_MAX, worst);
        ascending = m.name == "SMALL";
    } else if (m.name == "PERCENTILE" || m.name == "TRIMMEAN") {
        if (p[1] < 0 || p[1] > 1) worst = std::max(worst, 5);
    } else if (m.name == "QUARTILE") {
        Whole(p[1], 0, 4, worst);
    } else if (m.name == "PERCENTRANK") {
        if (!thirdGiven) p[2] = 3;
        Whole(p[2], 1, 14, worst);
    } else if (rank) {
        Whole(p[2], 0, 1, worst);
        ascending = thirdGiven && p[2] == 1;
    } else {
        return Expect(false, m, "a ranked function");
    }
    if (worst) return Expect(Agree(m.ours, Error(worst)), m, "the parameters' largest error");
    std::vector<Item> items = ReadItems(m.args[data]);
    SortItems(items, ascending);
    Answer want;
    if (m.name == "LARGE" || m.name == "SMALL")
        want = Picked(items, p[1]);
    else if (m.name == "PERCENTILE")
        want = Percentile(items, p[1]);
    else if (m.name == "QUARTILE")
        want = Percentile(items, p[1] * 0.25);
    else if (m.name == "PERCENTRANK")
        want = PercentRank(items, p[1], int(p[2]));
    else if (rank)
        want = Rank(items, p[0], ascending);
    else
        want = TrimMean(items, p[1]);
    return Expect(Agree(m.ours, want), m, "the sorted data picked by position");
}

} // namespace

void AddRankedModels(std::map<std::string, Model>& models) {
    models.insert({{"ranked data", [](TestBook&, const ModelCase& m) { return RankedData(m); }}});
}

} // namespace vl::test::peermodel
