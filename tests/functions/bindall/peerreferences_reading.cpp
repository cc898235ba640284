// Reading a call's arguments as the functions' getters read them: scalars, whole numbers,
// ranges and the shapes of areas.
#include "tests/functions/bindall/peermodelsupport.h"
#include "tests/functions/bindall/peerreferences.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vl::test::reference {

using namespace peermodel;

namespace {

bool IsCell(const std::string& text) {
    Area area;
    return text.find(':') == std::string::npos && ReadArea(text, area);
}

} // namespace

bool IsAreaText(const std::string& text, Getter getter) {
    if (text.empty()) return false;
    if (getter == Getter::kMatrix)
        return text.front() != '"' && text.find_first_of(":{_") != std::string::npos;
    return text.find_first_of(":_") != std::string::npos || text.front() == '{';
}

Scalar ReadScalar(const Argument& a, Getter getter) {
    const bool matrix = getter == Getter::kMatrix;
    Scalar s;
    if (a.text.empty()) {
        s.omitted = true;
    } else if (a.reversed) {
        s.error = 6; // a range written from its far corner is #REF!
    } else if (matrix ? IsAreaText(a.text, getter) || a.values.size() != 1
                      : IsAreaText(a.text) && !IsCell(a.text)) {
        // The number readers keep an empty intersection's own error.
        s.error = !matrix && a.values.empty() && a.text.find('_') != std::string::npos ? 3 : 7;
    } else if (const Answer& v = a.values.front(); v.kind == 'e') {
        s.error = ErrorCode(v) ? ErrorCode(v) : 7;
    } else if (v.kind == 'b') {
        s.blank = true;
    } else if (v.kind == 'n') {
        s.x = v.number;
    } else if (NumericText(v.text)) {
        s.x = std::strtod(v.text.c_str(), nullptr);
        if (!matrix && !std::isfinite(s.x)) s.error = 5;
    } else if (!matrix || v.text.find_first_not_of(' ') != std::string::npos) {
        s.error = 5;
    }
    return s;
}

Scalar ReadWhole(const Argument& a, double low, double high, Getter getter) {
    Scalar s = ReadScalar(a, getter);
    if (s.error || s.Default()) return s;
    if (!(std::fabs(s.x) <= 2147483647.0)) {
        s.error = 5;
        return s;
    }
    s.x = RoundHalfAway(s.x);
    s.beyond = s.x < low || s.x > high;
    if (s.beyond) s.error = 5;
    return s;
}

int Take(const Scalar& s, double& out) {
    if (!s.Default() && (!s.error || s.beyond)) out = s.x;
    return s.error;
}

Range ReadRange(const Argument& a) {
    Range r;
    if (a.text.empty()) {
        r.given = false;
        return r;
    }
    const bool cell = IsCell(a.text);
    if (!cell && !IsAreaText(a.text)) {
        // A value where a range is asked: its own error, else #VALUE!.
        const Answer& v = a.values.front();
        r.error = v.kind == 'e' && ErrorCode(v) ? ErrorCode(v) : 7;
        return r;
    }
    if (a.values.empty() || a.reversed) {
        r.error = a.reversed ? 6 : 3;
        return r;
    }
    r.rows = a.rows;
    r.columns = a.columns;
    if (a.text.find('_') != std::string::npos) {
        // An intersection of columns: its cells stand in one column.
        r.rows = a.values.size();
        r.columns = 1;
    }
    for (const Answer& v : a.values) {
        double x = 0;
        if (v.kind == 'n')
            x = v.number;
        else if (v.kind == 't' && NumericText(v.text))
            x = std::strtod(v.text.c_str(), nullptr);
        else if (v.kind == 't')
            r.texts = true;
        r.v.push_back(std::isfinite(x) ? x : 0);
    }
    return r;
}

void ShapeOf(const Argument& a, std::size_t& rows, std::size_t& columns) {
    rows = a.rows;
    columns = a.columns;
    std::string text = a.text;
    while (text.size() > 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    std::size_t cut = text.find('_');
    Area one, two;
    if (cut == std::string::npos || !ReadArea(text.substr(0, cut), one) ||
        !ReadArea(text.substr(cut + 1), two))
        return;
    int c1 = std::max(std::min(one.c1, one.c2), std::min(two.c1, two.c2));
    int c2 = std::min(std::max(one.c1, one.c2), std::max(two.c1, two.c2));
    int r1 = std::max(std::min(one.r1, one.r2), std::min(two.r1, two.r2));
    int r2 = std::min(std::max(one.r1, one.r2), std::max(two.r1, two.r2));
    rows = r2 >= r1 ? std::size_t(r2 - r1 + 1) : 0;
    columns = c2 >= c1 ? std::size_t(c2 - c1 + 1) : 0;
}

} // namespace vl::test::reference
