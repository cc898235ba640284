#include "values/dateinput.h"

#include "platform/core/cp1252.h"
#include "values/localenames.h"
#include "values/localtime.h"
#include "values/numberinput.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vl {

namespace {

constexpr int32_t kMaxTypedYear = 49919;
// Duration fields stay below this, so that the duration text reads back.
constexpr int64_t kMaxDurationField = 214748353;

class CDateMatcher {
public:
    CDateMatcher(const CompiledFormat& f, std::string_view text, IsoDateTime& rec,
                 const SeparatorSet& set, IsoDuration* elapsed)
        : f_(f), t_(text), r_(rec), set_(set), elapsed_(elapsed) {}

    bool Run(std::size_t& end);

private:
    bool Token(const FormatToken& t);
    bool Elapsed(const FormatToken& t);
    bool Digits(int maxDigits, int64_t limit, int32_t& value);
    bool Names(bool months, bool full, bool genitive, int& index);
    bool AmPm(uint8_t letters);
    bool Fraction();
    bool Char(char c) {
        if (pos_ >= t_.size() || t_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    void SkipBlanks() {
        while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
    }
    bool Finish();

    const CompiledFormat& f_;
    std::string_view t_;
    IsoDateTime& r_;
    const SeparatorSet& set_;
    IsoDuration* elapsed_;
    std::size_t pos_ = 0;
    bool year_ = false, month_ = false, day_ = false, time_ = false, isElapsed_ = false;
    bool fractionRead_ = false;
};

bool CDateMatcher::Run(std::size_t& end) {
    if (f_.sectionCount == 0) return false;
    const FormatSection& s = f_.sections[0];
    isElapsed_ = (s.kinds & kFmtElapsed) != 0;
    if (isElapsed_ && !elapsed_) return false;
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k) {
        SkipBlanks();
        if (!Token(f_.tokens[k])) return false;
        SkipBlanks();
    }
    if (!Finish()) return false;
    end = pos_;
    return true;
}

bool CDateMatcher::Digits(int maxDigits, int64_t limit, int32_t& value) {
    std::size_t start = pos_;
    int64_t v = 0;
    while (pos_ < t_.size() && IsAsciiDigit(t_[pos_]) &&
           (maxDigits == 0 || int(pos_ - start) < maxDigits)) {
        v = v * 10 + (t_[pos_++] - '0');
        if (v > limit) return false;
    }
    value = int32_t(v);
    return pos_ > start;
}

// The month and day names of a locale, read once per locale and kept upper-cased: typed
// input tries every date style on every text, and reading the names is the costliest part.
struct LocaleNames {
    uint8_t locale = 0;
    bool read = false;
    std::string dateNames[12], shortMonths[12], genitiveMonths[12], days[7], shortDays[7];
};

std::string Upper(std::string name) {
    for (char& c : name) c = CharUpper1252(c);
    return name;
}

const LocaleNames& NamesOf(uint8_t locale) {
    thread_local LocaleNames names;
    if (!names.read || names.locale != locale) {
        for (int k = 0; k < 12; ++k) {
            names.dateNames[k] = Upper(GetLocaleDateName(k, locale));
            names.shortMonths[k] = Upper(GetLocaleMonthName(k, locale, true));
            names.genitiveMonths[k] = Upper(GetLocaleGenitiveMonthName(k, locale));
        }
        for (int k = 0; k < 7; ++k) {
            names.days[k] = Upper(GetLocaleDayName(k, locale, false));
            names.shortDays[k] = Upper(GetLocaleDayName(k, locale, true));
        }
        names.locale = locale;
        names.read = true;
    }
    return names;
}

bool CDateMatcher::Names(bool months, bool full, bool genitive, int& index) {
    // The text at the position, upper-cased once for every name it is held against.
    char upper[64];
    const std::size_t n = std::min<std::size_t>(t_.size() - pos_, sizeof upper);
    for (std::size_t k = 0; k < n; ++k) upper[k] = CharUpper1252(t_[pos_ + k]);
    const std::string_view rest(upper, n);
    const LocaleNames& names = NamesOf(set_.localeChoice);
    std::size_t best = 0;
    for (int k = 0; k < (months ? 12 : 7); ++k) {
        std::string_view candidates[2];
        if (months) {
            candidates[0] = full ? names.dateNames[k] : names.shortMonths[k];
            if (genitive) candidates[1] = names.genitiveMonths[k];
        } else {
            candidates[0] = names.days[k];
            candidates[1] = names.shortDays[k];
        }
        for (std::string_view name : candidates) {
            if (name.size() > best && rest.substr(0, name.size()) == name) {
                best = name.size();
                index = k;
            }
        }
    }
    pos_ += best;
    return best > 0;
}

bool CDateMatcher::AmPm(uint8_t letters) {
    char c = pos_ < t_.size() ? AsciiUpper(t_[pos_]) : '\0';
    if (c != 'A' && c != 'P') return false;
    if (letters == 5 && (pos_ + 1 >= t_.size() || AsciiUpper(t_[pos_ + 1]) != 'M')) return false;
    pos_ += letters == 5 ? 2 : 1;
    if (c == 'A' && r_.hour >= 12) r_.hour -= 12;
    if (c == 'P' && r_.hour < 12) r_.hour += 12;
    return true;
}

// Placeholders after the seconds: the first reads the fraction of a second to
// milliseconds; digits beyond the third are passed over.
bool CDateMatcher::Fraction() {
    static constexpr int kScale[3] = {100, 10, 1};
    if (fractionRead_) return true;
    fractionRead_ = true;
    for (int n = 0; pos_ < t_.size() && IsAsciiDigit(t_[pos_]); ++n, ++pos_)
        if (n < 3) r_.millisecond += (t_[pos_] - '0') * kScale[n];
    return true;
}

bool CDateMatcher::Elapsed(const FormatToken& t) {
    int32_t value = 0;
    if (!Digits(0, kMaxDurationField, value)) return false;
    switch (t.kind & ~kFmtElapsed) {
    case kFmtDay:
        elapsed_->days = value;
        break;
    case kFmtHour:
        elapsed_->hours = value;
        break;
    case kFmtMinute:
        elapsed_->minutes = value;
        break;
    default:
        elapsed_->seconds = value;
        break;
    }
    return true;
}

bool CDateMatcher::Token(const FormatToken& t) {
    if (t.kind & kFmtElapsed) return Elapsed(t);
    int32_t value = 0;
    int index = 0;
    switch (t.kind) {
    case kFmtDay:
        day_ = true;
        if (t.ch <= 2) return Digits(2, 99, r_.day);
        if (!Names(false, true, false, index)) return false;
        r_.dayOfWeek = uint16_t(index + 1);
        return true;
    case kFmtMonth:
        month_ = true;
        if (t.ch <= 2) return Digits(2, 99, r_.month);
        if (!Names(true, t.ch == 4, t.ch == 4, index)) return false;
        r_.month = index + 1;
        return true;
    case kFmtYear:
        year_ = true;
        {
            std::size_t start = pos_;
            if (!Digits(0, kMaxTypedYear, value)) return false;
            r_.year = pos_ - start == 2 ? TwoDigitYear(value) : value;
        }
        return true;
    case kFmtHour:
        time_ = true;
        return Digits(2, 23, r_.hour);
    case kFmtMinute:
        time_ = true;
        if (!Digits(2, 59, value)) return false;
        (isElapsed_ ? elapsed_->minutes : r_.minute) = value;
        return true;
    case kFmtSecond:
        time_ = true;
        if (!Digits(2, 59, value)) return false;
        (isElapsed_ ? elapsed_->seconds : r_.second) = value;
        return true;
    case kFmtAmPm:
        return AmPm(t.ch);
    case kFmtDigit:
        return Fraction();
    case kFmtDateSep:
        return Char(set_.date);
    case kFmtTimeSep:
        return Char(set_.time);
    case kFmtDecimal:
        return Char(set_.decimal);
    case kFmtLiteral:
        return t.ch == ' ' || Char(char(t.ch));
    default:
        return false;
    }
}

bool CDateMatcher::Finish() {
    if (isElapsed_) {
        elapsed_->milliseconds = r_.millisecond;
        r_ = IsoDateTime{};
        return true;
    }
    if (month_ && day_ && !year_) r_.year = CurrentYear();
    if (month_ && year_ && !day_) r_.day = 1;
    r_.hasDate = (year_ || month_ || day_) ? 1 : 0;
    r_.hasTime = time_ ? 1 : 0;
    if (!r_.hasDate) return r_.hasTime != 0;
    // Only dates that exist become ISO text.
    return r_.year >= 1 && r_.year <= kMaxTypedYear && r_.month >= 1 && r_.month <= 12 &&
           r_.day >= 1 && r_.day <= DaysInMonth(Year(r_.year), Month(r_.month));
}

} // namespace

int32_t CurrentYear() {
    return LocalDateTime().year;
}

bool ParseDateParts(const CompiledFormat& format, std::string_view text, std::size_t& end,
                    IsoDateTime& rec, const SeparatorSet& set, IsoDuration* elapsed) {
    if (elapsed) *elapsed = IsoDuration{};
    return CDateMatcher(format, text, rec, set, elapsed).Run(end);
}

namespace {

// Where the date or time separator is also a separator of numbers, a text that is a
// number stays one: "1.5" with a point that is decimal and date separator alike is not
// the first of May, nor "1.234" with a thousands point January of the year 234.
bool ReadsAsNumber(std::string_view text, const SeparatorSet& set) {
    bool shared = set.date == set.decimal || set.date == set.thousands || set.time == set.decimal ||
                  set.time == set.thousands;
    if (!shared) return false;
    auto scan = std::make_unique<NumberScanRecord>();
    return MatchNumberPattern(*scan, text, set);
}

// The compiled form of a style's code (null when it does not compile). A style's code is a
// function of its kind, its parameters and the user's date orders (it is written with the
// internal separators), so the few codes the styles make are built and compiled once and
// kept. Every typed text asks for them in the same order, so the entry after the last one
// found is looked at first.
const CompiledFormat* CompiledStyle(uint8_t kind, const uint8_t* params) {
    using Key = std::array<uint8_t, kStandardFormatParams + 3>;
    struct Entry {
        Key key;
        std::unique_ptr<CompiledFormat> format;
    };
    thread_local std::vector<Entry> compiled;
    thread_local std::size_t next = 0;
    Key key;
    key[0] = kind;
    std::memcpy(key.data() + 1, params, kStandardFormatParams);
    key[kStandardFormatParams + 1] = UserSeparators().shortDateOrder;
    key[kStandardFormatParams + 2] = UserSeparators().longDateOrder;
    for (std::size_t tried = 0; tried < compiled.size(); ++tried) {
        const std::size_t at = (next + tried) % compiled.size();
        if (compiled[at].key == key) {
            next = at + 1;
            return compiled[at].format.get();
        }
    }
    auto format = std::make_unique<CompiledFormat>();
    if (!CompileFormatCode(*format, BuildStandardFormatCode(kind, params))) format.reset();
    // Cells' own styles add codes of their own: the list starts again when they pile up.
    if (compiled.size() >= 256) compiled.clear();
    compiled.push_back({key, std::move(format)});
    next = compiled.size();
    return compiled.back().format.get();
}

// Matches the code of one standard date (4) or time (5) style against the text.
bool MatchStyle(uint8_t kind, const uint8_t* params, std::string_view text, std::size_t& end,
                IsoDateTime& rec, const SeparatorSet& set, IsoDuration* elapsed) {
    const CompiledFormat* format = CompiledStyle(kind, params);
    rec = IsoDateTime{};
    return format && ParseDateParts(*format, text, end, rec, set, elapsed);
}

void JoinTime(IsoDateTime& date, const IsoDateTime& time) {
    date.hasTime = 1;
    date.hour = time.hour;
    date.minute = time.minute;
    date.second = time.second;
    date.millisecond = time.millisecond;
    date.zoneNegative = time.zoneNegative;
    date.zoneHours = time.zoneHours;
    date.zoneMinutes = time.zoneMinutes;
}

// The cell's own style of `first` (4 date, 5 time); a rest is matched with the other
// style when the cell is a date-time. 1 matched, 0 no match, -1 matched only in part.
int MatchOwnStyle(uint8_t first, uint8_t& kind, uint8_t* params, std::string_view text,
                  IsoDateTime& result, const SeparatorSet& set, IsoDuration* elapsed) {
    using namespace fmtparam;
    IsoDateTime rec;
    std::size_t end = 0;
    if (!MatchStyle(first, params, text, end, rec, set, first == 5 ? elapsed : nullptr)) return 0;
    if (end == text.size()) {
        kind = first;
        result = rec;
        return 1;
    }
    if (kind == STD_STYLE_DATE_TIME) {
        uint8_t second = first == 4 ? 5 : 4;
        std::string_view rest = text.substr(end);
        IsoDateTime other;
        std::size_t restEnd = 0;
        if (MatchStyle(second, params, rest, restEnd, other, set, nullptr) &&
            restEnd == rest.size()) {
            IsoDateTime& date = first == 4 ? rec : other;
            JoinTime(date, first == 4 ? other : rec);
            params[kTimeFirst] = first == 5 ? 1 : 0;
            result = date;
            return 1;
        }
    }
    kind = STD_STYLE_DEFAULT;
    return -1;
}

// An ISO date and time with one blank between them in place of the "T":
// "2006-01-31 08:05:09".
bool ParseIsoWithBlank(IsoDateTime& rec, std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return false;
    IsoDateTime date;
    if (!ParseIsoDateTime(date, text.substr(0, blank)) || !date.hasDate || date.hasTime)
        return false;
    std::string joined(text);
    joined[blank] = 'T';
    return ParseIsoDateTime(rec, joined);
}

} // namespace

bool ParseDateText(std::string_view text, IsoDateTime& result, uint8_t& kind,
                   uint8_t params[kStandardFormatParams], const SeparatorSet& set,
                   IsoDuration* elapsed) {
    using namespace fmtparam;
    if (kind == STD_STYLE_DATE || kind == STD_STYLE_DATE_TIME) {
        int m = MatchOwnStyle(4, kind, params, text, result, set, elapsed);
        if (m > 0) return true;
    }
    if (kind == STD_STYLE_TIME || kind == STD_STYLE_DATE_TIME) {
        if (MatchOwnStyle(5, kind, params, text, result, set, elapsed) > 0) return true;
    }
    IsoDateTime iso;
    if (ParseIsoDateTime(iso, text) || ParseIsoWithBlank(iso, text)) {
        std::memset(params, 0, kStandardFormatParams);
        kind = iso.hasDate && iso.hasTime ? STD_STYLE_DATE_TIME
               : iso.hasDate              ? STD_STYLE_DATE
                                          : STD_STYLE_TIME;
        if (kind == STD_STYLE_DATE_TIME) params[kDateOrderFlag] = 1;
        // Typed seconds are shown: 13:10:55 with "h:mm:ss", not cut to 13:10.
        if (iso.hasTime && (iso.second != 0 || iso.millisecond != 0)) params[kTimeStyle] = 4;
        result = iso;
        return true;
    }
    if (ReadsAsNumber(text, set)) {
        kind = STD_STYLE_DEFAULT;
        return false;
    }
    uint8_t trial[kStandardFormatParams] = {};
    // Typed dates are in the user's order; the format remembers to show them so.
    trial[kDateOrderFlag] = 1;
    for (uint8_t style = 0; style <= 10; ++style) {
        trial[kDateStyle] = style;
        IsoDateTime rec;
        std::size_t end = 0;
        if (MatchStyle(STD_STYLE_DATE, trial, text, end, rec, set, nullptr) && end == text.size()) {
            std::memcpy(params, trial, kStandardFormatParams);
            kind = STD_STYLE_DATE;
            result = rec;
            return true;
        }
    }
    std::memset(trial, 0, sizeof trial);
    for (uint8_t style = 0; style <= 9; ++style) {
        trial[kTimeStyle] = style;
        IsoDateTime rec;
        std::size_t end = 0;
        if (MatchStyle(STD_STYLE_TIME, trial, text, end, rec, set, elapsed) && end == text.size()) {
            std::memcpy(params, trial, kStandardFormatParams);
            kind = STD_STYLE_TIME;
            result = rec;
            return true;
        }
    }
    // A date and a time in one text, either first, as a date-time format shows them (and a
    // text export writes them).
    for (const bool timeFirst : {false, true}) {
        for (uint8_t first = 0; first <= (timeFirst ? 9 : 10); ++first) {
            std::memset(trial, 0, sizeof trial);
            trial[kDateOrderFlag] = 1;
            trial[timeFirst ? kTimeStyle : kDateStyle] = first;
            IsoDateTime head;
            std::size_t end = 0;
            if (!MatchStyle(timeFirst ? STD_STYLE_TIME : STD_STYLE_DATE, trial, text, end, head,
                            set, nullptr) ||
                end == 0 || end >= text.size())
                continue;
            const std::string_view rest = text.substr(end);
            for (uint8_t second = 0; second <= (timeFirst ? 10 : 9); ++second) {
                trial[timeFirst ? kDateStyle : kTimeStyle] = second;
                IsoDateTime tail;
                std::size_t restEnd = 0;
                if (!MatchStyle(timeFirst ? STD_STYLE_DATE : STD_STYLE_TIME, trial, rest, restEnd,
                                tail, set, nullptr) ||
                    restEnd != rest.size() || !(timeFirst ? tail : head).hasDate ||
                    !(timeFirst ? head : tail).hasTime)
                    continue;
                IsoDateTime& date = timeFirst ? tail : head;
                JoinTime(date, timeFirst ? head : tail);
                trial[kTimeFirst] = timeFirst ? 1 : 0;
                std::memcpy(params, trial, kStandardFormatParams);
                kind = STD_STYLE_DATE_TIME;
                result = date;
                return true;
            }
        }
    }
    kind = STD_STYLE_DEFAULT;
    return false;
}

} // namespace vl
