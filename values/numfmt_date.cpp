#include "values/numfmt_date.h"

#include "values/dateinput.h"
#include "values/inttext.h"
#include "values/isodate.h"
#include "values/localenames.h"
#include "values/numfmt_cache.h"

#include <algorithm>
#include <optional>

namespace vl {

namespace {

constexpr uint32_t kDateKinds = kFmtYear | kFmtMonth | kFmtDay;

bool AddNumber(RenderedList& out, int64_t value, uint8_t letters) {
    return out.AddText(IntText(value, letters >= 2 ? 2 : 0));
}

// Digit placeholders after the seconds take the millisecond digits in turn.
class CMillisecondDigits {
public:
    explicit CMillisecondDigits(int32_t ms) : digits_(IntText(ms, 3)) {}
    bool Add(RenderedList& out, uint8_t placeholder) {
        if (next_ < digits_.size()) return out.Add(kFmtLiteral, digits_[next_++]);
        if (placeholder == '0') return out.Add(kFmtLiteral, '0');
        if (placeholder == '?') return out.Add(kRenderedBlank, '0');
        return true;
    }

private:
    std::string digits_;
    std::size_t next_ = 0;
};

// Lays out a section's tokens: `part` writes a date or time part and gives its result, or
// nothing for a token that is no part (the millisecond digits and literals, laid out here).
template <class Part>
bool RenderTokens(RenderedList& out, const FormatSection& s, const FormatToken* tokens,
                  CMillisecondDigits& ms, Part part) {
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k) {
        const FormatToken& t = tokens[k];
        std::optional<bool> ok = part(k, t);
        if (!ok) ok = t.kind == kFmtDigit ? ms.Add(out, t.ch) : out.Add(t.kind, char(t.ch));
        if (!*ok) return false;
    }
    return true;
}

bool DayTokenBefore(const FormatToken* tokens, uint16_t first, uint16_t at) {
    for (uint16_t k = first; k < at; ++k)
        if ((tokens[k].kind & ~kFmtElapsed) == kFmtDay && tokens[k].ch <= 2) return true;
    return false;
}

bool AddMonth(RenderedList& out, const IsoDateTime& r, const FormatToken* tokens,
              const FormatSection& s, uint16_t k, uint8_t locale) {
    uint8_t letters = tokens[k].ch;
    int month = r.month - 1;
    switch (letters) {
    case 1:
    case 2:
        return AddNumber(out, r.month, letters);
    case 3:
        return out.AddText(GetLocaleMonthName(month, locale, true));
    case 4:
        if (DayTokenBefore(tokens, s.firstToken, k))
            return out.AddText(GetLocaleGenitiveMonthName(month, locale));
        return out.AddText(GetLocaleDateName(month, locale));
    default:
        return out.AddText(GetLocaleMonthName(month, locale, true).substr(0, 1));
    }
}

bool AddDay(RenderedList& out, const IsoDateTime& r, uint8_t letters, uint8_t locale) {
    if (letters <= 2) return AddNumber(out, r.day, letters);
    return out.AddText(GetLocaleDayName(r.dayOfWeek - 1, locale, letters == 3));
}

bool AddHour(RenderedList& out, int32_t hour, uint8_t letters, bool twelveHour) {
    if (twelveHour) {
        if (hour == 0)
            hour = 12;
        else if (hour > 12)
            hour -= 12;
    }
    return AddNumber(out, hour, letters);
}

bool RenderTextSection(RenderedList& out, std::string_view text, const FormatSection& s,
                       const FormatToken* tokens) {
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k) {
        bool ok = tokens[k].kind == kFmtText ? out.AddText(text)
                                             : out.Add(tokens[k].kind, char(tokens[k].ch));
        if (!ok) return false;
    }
    return true;
}

bool RenderSection(RenderedList& out, std::string_view iso, const FormatSection& s,
                   const FormatToken* tokens, uint8_t locale, bool textSection) {
    if (s.kinds & kFmtElapsed) return RenderTimeParts(out, iso, s, tokens);
    if (s.kinds & kFmtDateTimeKinds) return RenderDateParts(out, iso, s, tokens, locale);
    return textSection && RenderTextSection(out, iso, s, tokens);
}

} // namespace

bool RenderDateParts(RenderedList& out, std::string_view iso, const FormatSection& s,
                     const FormatToken* tokens, uint8_t locale) {
    IsoDateTime r;
    // A zone is shown as written: the time is the one the text gives, not shifted by the
    // offset into neither the written time nor UTC.
    if (!ParseIsoDateTime(r, iso)) return false;
    // A time alone has no calendar fields to show.
    if ((s.kinds & kDateKinds) && !r.hasDate) return false;
    if (r.hasDate) DayOfYear(r);
    bool twelveHour = (s.kinds & kFmtAmPm) != 0;
    CMillisecondDigits ms(r.millisecond);
    return RenderTokens(out, s, tokens, ms, [&](uint16_t k, const FormatToken& t) {
        std::optional<bool> ok;
        switch (t.kind) {
        case kFmtDay:
            ok = AddDay(out, r, t.ch, locale);
            break;
        case kFmtMonth:
            ok = AddMonth(out, r, tokens, s, k, locale);
            break;
        case kFmtYear:
            // Two digits only where they read back as the year; others are shown whole.
            ok = (t.ch == 2 && ShowsTwoDigitYear(r.year)) ? AddNumber(out, r.year % 100, 2)
                                                          : AddNumber(out, r.year, 0);
            break;
        case kFmtHour:
            ok = AddHour(out, r.hour, t.ch, twelveHour);
            break;
        case kFmtMinute:
            ok = AddNumber(out, r.minute, t.ch);
            break;
        case kFmtSecond:
            ok = AddNumber(out, r.second, t.ch);
            break;
        case kFmtAmPm:
            ok = t.ch == 3 ? out.Add(kFmtLiteral, r.hour < 12 ? 'A' : 'P')
                           : out.AddText(r.hour < 12 ? "AM" : "PM");
            break;
        }
        return ok;
    });
}

namespace {

// The seconds in one unit of a day, hour, minute or second field; 0 for other kinds.
int64_t UnitSeconds(uint32_t kind) {
    switch (kind) {
    case kFmtDay:
        return 86400;
    case kFmtHour:
        return 3600;
    case kFmtMinute:
        return 60;
    case kFmtSecond:
        return 1;
    default:
        return 0;
    }
}

} // namespace

namespace {

// The length of a duration, or of a time of day counted from midnight, in seconds and
// milliseconds; false for other texts and for a duration with years or months, which has
// no fixed length.
bool ElapsedLength(std::string_view text, int64_t& total, int32_t& milliseconds, bool& negative) {
    IsoDuration d;
    std::size_t end = 0;
    if (ParseIsoDuration(d, text, end) && end == text.size()) {
        if (d.years != 0 || d.months != 0) return false;
        total =
            int64_t(d.days) * 86400 + int64_t(d.hours) * 3600 + int64_t(d.minutes) * 60 + d.seconds;
        milliseconds = d.milliseconds;
        negative = d.negative && (total != 0 || milliseconds != 0);
        return true;
    }
    IsoDateTime t;
    if (!ParseIsoDateTime(t, text) || t.hasDate || !t.hasTime) return false;
    total = int64_t(t.hour) * 3600 + int64_t(t.minute) * 60 + t.second;
    milliseconds = t.millisecond;
    negative = false;
    return true;
}

} // namespace

bool RenderTimeParts(RenderedList& out, std::string_view text, const FormatSection& s,
                     const FormatToken* tokens) {
    int64_t total = 0;
    int32_t milliseconds = 0;
    bool negative = false;
    if (!ElapsedLength(text, total, milliseconds, negative)) return false;
    // A negative duration shows its sign once, before the fields.
    if (negative && !out.Add(kFmtLiteral, '-')) return false;
    CMillisecondDigits ms(milliseconds);
    // The largest field of the section holds the whole duration, the others what is left
    // of it: PT63H30M through [mm]:ss is 3810:00, P1DT2H through [h]:mm is 26:00.
    int64_t largest = 1;
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k)
        largest = std::max(largest, UnitSeconds(tokens[k].kind & ~kFmtElapsed));
    auto field = [&](int64_t unit, int64_t perNext) {
        return unit == largest ? total / unit : total / unit % perNext;
    };
    return RenderTokens(out, s, tokens, ms, [&](uint16_t, const FormatToken& t) {
        std::optional<bool> ok;
        switch (t.kind & ~kFmtElapsed) {
        case kFmtDay:
            ok = AddNumber(out, total / 86400, t.ch);
            break;
        case kFmtHour:
            ok = AddNumber(out, field(3600, 24), t.ch);
            break;
        case kFmtMinute:
            ok = AddNumber(out, field(60, 60), t.ch);
            break;
        case kFmtSecond:
            ok = AddNumber(out, field(1, 60), t.ch);
            break;
        case kFmtYear:
        case kFmtMonth:
        case kFmtAmPm:
            ok = true; // a duration has no calendar parts
            break;
        }
        return ok;
    });
}

bool FormatDateTimeValue(RenderedList& out, std::string_view iso, std::string_view code,
                         const SeparatorSet* set) {
    out.Clear();
    if (code.empty()) {
        // No code, as for chart labels: the text laid out as it is.
        return out.AddText(iso);
    }
    const CompiledFormat* f = CompileCachedFormat(code);
    if (!f || f->sectionCount == 0) return false;
    uint8_t locale = set ? set->localeChoice : UserSeparators().localeChoice;
    // A text shows through the fourth section, or through the last of two or three that
    // holds "@"; a code of one section shows a date through its fields or a text through
    // its "@". An empty fourth section shows nothing.
    const int declared = f->declaredSections;
    const FormatSection* s = nullptr;
    if (declared == 4) {
        s = &f->sections[3];
        if (s->tokenCount > 0 && !RenderSection(out, iso, *s, f->tokens, locale, true))
            return false;
    } else if (declared > 1 && f->sections[declared - 1].textAt) {
        s = &f->sections[declared - 1];
        if (!RenderSection(out, iso, *s, f->tokens, locale, true)) return false;
    } else if (declared == 1) {
        s = &f->sections[0];
        if (!RenderSection(out, iso, *s, f->tokens, locale, s->textAt != 0)) return false;
    } else if (!out.AddText(iso)) {
        return false;
    }
    if (s) ApplySectionColor(out, *s);
    if (set) ApplySeparators(out, *set);
    return true;
}

bool FormatDateText(std::string_view iso, std::string_view code, std::string& text,
                    const SeparatorSet* set) {
    RenderedList list;
    if (!FormatDateTimeValue(list, iso, code, set)) {
        text.assign(iso);
        return false;
    }
    text = list.Text();
    return true;
}

} // namespace vl
