#include "formula/edit/formulaadjust.h"

#include "formula/externalref.h"
#include "formula/folderrange.h"
#include "formula/textscan.h"
#include "formula/tokenizer.h"
#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/worksheet.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace vl {

namespace {

// The span and the edit as one dimension: rows for modes 1 and 2, columns for 3 and 4.
struct Edit {
    bool rows;
    bool inserted;
    int64_t first, last, count, limit;
};

Edit MakeEdit(uint8_t mode, const RangeDescriptor& range) {
    const bool rows = mode == kAdjustRowsInserted || mode == kAdjustRowsRemoved;
    const int64_t first = rows ? range.r1 : range.c1;
    const int64_t last = rows ? range.r2 : range.c2;
    return {rows,
            mode == kAdjustRowsInserted || mode == kAdjustColumnsInserted,
            first,
            last,
            last - first + 1,
            rows ? int64_t(kMaxRows) : int64_t(kMaxColumns)};
}

enum class Outcome { kKeep, kMove, kFail };

// Where row (column) x of the edited worksheet stands after the edit. A removed one goes
// where the plain arithmetic of a removal takes it, before the span, so that removal and
// insertion undo each other for every other target.
int64_t Moved(const Edit& e, int64_t x) {
    if (x < e.first) return x;
    return e.inserted ? x + e.count : x - e.count;
}

// Where a formula of the edited worksheet stood before the edit, from where it stands now;
// false for one inside inserted rows, put back as it was kept and left alone.
bool StoodBefore(const Edit& e, int64_t now, int64_t& before) {
    if (now < e.first) return before = now, true;
    if (e.inserted && now <= e.last) return false;
    before = e.inserted ? now - e.count : now + e.count;
    return true;
}

// A formula's position along the edited dimension before and after the edit, and whether
// the worksheet a part reads is the edited one.
struct PartPlace {
    int64_t before, after;
    bool targetMoves;
};

// The rule for one part, relative (a distance from the formula cell) or absolute (a row or
// column index): the part keeps reaching the cell it reached, wherever the edit took that
// cell and the formula. `written` is the part's new value. A target on the sheet pushed off
// it by an insertion fails, whether or not the part's text would change (a distance kept
// because the formula moved as far). A target on the sheet's last row (column) fails too:
// as a range's end it stays there, which only the reading of the whole range knows.
// `reached` is set when, before a removal, the part reached into the removed span.
Outcome Rule(const Edit& e, bool relative, int64_t value, const PartPlace& p, int64_t& written,
             bool& reached) {
    const int64_t t0 = relative ? p.before + value : value;
    if (!relative && (t0 < 0 || t0 >= e.limit)) return Outcome::kKeep;
    int64_t t1 = t0;
    if (p.targetMoves) {
        t1 = Moved(e, t0);
        reached = reached || (!e.inserted && t0 >= e.first && t0 <= e.last);
        if (t0 == e.limit - 1 || (e.inserted && t0 >= 0 && t0 < e.limit && t1 >= e.limit))
            return Outcome::kFail;
    }
    written = relative ? t1 - p.after : t1;
    return written == value ? Outcome::kKeep : Outcome::kMove;
}

// Whether the edit leaves the text of a formula of the edited worksheet as it is, found
// without reading its tokens: every bracketed distance and every number after an R or a C
// is taken for a part along the edited dimension (more than the parts the reading
// rewrites), and none moves or reaches the span. A qualifier may name another worksheet,
// whose parts follow other rules: such texts, and false, are left to the reading.
bool KeptByEdit(const Edit& e, std::string_view text, int64_t row, int64_t column) {
    constexpr size_t kLongestDistance = 9;
    PartPlace place{0, e.rows ? row : column, true};
    if (!StoodBefore(e, place.after, place.before)) return false;
    // A plain loop: formulas are short, and a library search per bracket costs more.
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '!') return false;
        const bool bracket = c == '[';
        const char up = AsciiUpper(c);
        if (!bracket && !((up == 'R' || up == 'C') && IsAsciiDigit(At(text, i + 1)))) continue;
        const bool back = bracket && At(text, ++i) == '-';
        if (back) ++i;
        if (!bracket) ++i;
        const size_t digits = i;
        int64_t n = 0;
        while (IsAsciiDigit(At(text, i)) && i - digits < kLongestDistance)
            n = n * 10 + (text[i++] - '0');
        if (i == digits || (bracket && At(text, i) != ']') || IsAsciiDigit(At(text, i)))
            return false;
        int64_t written = 0;
        bool reached = false;
        const int64_t value = bracket ? (back ? -n : n) : n - 1;
        if (Rule(e, bracket, value, place, written, reached) != Outcome::kKeep || reached)
            return false;
        if (!bracket) --i; // the loop steps past the last digit
    }
    return true;
}

void AppendPart(std::string& out, char letter, int64_t distance) {
    out += letter;
    if (distance == 0) return;
    out += '[';
    if (distance < 0) out += '-';
    char digits[24];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, uint64_t(distance < 0 ? -distance : distance))
            .ptr;
    out.append(digits, end);
    out += ']';
}

void AppendIndex(std::string& out, char letter, int64_t index) {
    out += letter;
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, index + 1).ptr);
}

// The part of one R1C1 reference text along the edited dimension: a distance ("R[2]",
// "C[-1]", a bare "R" for 0) or an index ("R17", 1 the first), with where it stands.
struct Part {
    bool present = false, relative = false;
    int64_t value = 0;
    size_t at = 0, length = 0;
};

Part FindPart(const Edit& e, std::string_view ref) {
    Part part;
    size_t i = 0;
    while (i < ref.size()) {
        const bool along = (AsciiUpper(ref[i]) == 'R') == e.rows;
        R1C1Part read;
        if (!ReadR1C1Part(ref, i, read)) return {};
        const size_t end = read.end;
        if (along) return {true, read.relative, read.value, i, end - i};
        i = end;
    }
    return part;
}

// Where a part reads along the edited dimension before the edit; false for an index off the
// sheet, which no rule follows.
bool TargetOf(const Edit& e, const Part& part, const PartPlace& p, int64_t& t) {
    t = part.relative ? p.before + part.value : part.value;
    return part.relative || (t >= 0 && t < e.limit);
}

bool InSpan(const Edit& e, int64_t t) {
    return !e.inserted && t >= e.first && t <= e.last;
}

// The reference text with its part rewritten to reach `target`, as it stood written.
void WritePart(std::string& out, std::string_view ref, const Part& part, const PartPlace& p,
               int64_t target) {
    const int64_t written = part.relative ? target - p.after : target;
    if (!part.present || written == part.value) return out.append(ref), void();
    out.append(ref.substr(0, part.at));
    if (part.relative)
        AppendPart(out, ref[part.at], written);
    else
        AppendIndex(out, ref[part.at], written);
    out.append(ref.substr(part.at + part.length));
}

constexpr std::string_view kRemovedReference = "#REF!";

// A reference alone: it keeps reaching its cell, or, the cell removed, reads #REF!. False
// when an insertion pushes the cell off the sheet. `whole` is the reference with its
// qualifier, `ref` the reference.
bool RewriteSingle(const Edit& e, std::string_view whole, std::string_view ref, const PartPlace& p,
                   std::string& out, bool& reached) {
    const Part part = FindPart(e, ref);
    int64_t t0 = 0;
    if (!part.present || !TargetOf(e, part, p, t0)) return out.append(whole), true;
    int64_t t1 = t0;
    if (p.targetMoves) {
        if (InSpan(e, t0)) {
            reached = true;
            return out.append(kRemovedReference), true;
        }
        t1 = Moved(e, t0);
        if (e.inserted && t0 >= 0 && t0 < e.limit && t1 >= e.limit) return false;
    }
    out.append(whole.substr(0, size_t(ref.data() - whole.data())));
    WritePart(out, ref, part, p, t1);
    return true;
}

// A range "a:b" (`whole` with the qualifier): each end keeps reaching its cell; of a range
// that loses some of its cells the survivors stay, one that loses them all reads #REF!, and
// an end at the sheet's last row (column) stays there, so that the range keeps reaching to
// the end. False when an insertion pushes an end off the sheet.
bool RewriteRange(const Edit& e, std::string_view whole, std::string_view first,
                  std::string_view second, const PartPlace& p, std::string& out, bool& reached) {
    const Part a = FindPart(e, first), b = FindPart(e, second);
    int64_t ta = 0, tb = 0;
    const bool followed = TargetOf(e, a, p, ta) && TargetOf(e, b, p, tb);
    if (!a.present || !b.present || !followed) {
        // No pair to follow: each end as it would be alone.
        const size_t head = size_t(first.data() + first.size() - whole.data());
        if (!RewriteSingle(e, whole.substr(0, head), first, p, out, reached)) return false;
        out.append(first.data() + first.size(), second.data());
        return RewriteSingle(e, second, second, p, out, reached);
    }
    int64_t na = ta, nb = tb;
    if (p.targetMoves) {
        const bool ascending = ta <= tb;
        const int64_t lo = ascending ? ta : tb, hi = ascending ? tb : ta;
        if (InSpan(e, lo) && InSpan(e, hi)) {
            reached = true;
            return out.append(kRemovedReference), true;
        }
        reached = reached || InSpan(e, lo) || InSpan(e, hi);
        const int64_t last = e.limit - 1;
        const int64_t newLo = InSpan(e, lo) ? e.first : Moved(e, lo);
        const int64_t newHi = InSpan(e, hi) ? e.first - 1 : hi == last ? last : Moved(e, hi);
        const auto pushedOff = [&](int64_t t, int64_t moved) {
            return e.inserted && t >= 0 && t < e.limit && moved >= e.limit;
        };
        if (pushedOff(lo, newLo) || pushedOff(hi, newHi)) return false;
        na = ascending ? newLo : newHi;
        nb = ascending ? newHi : newLo;
    }
    out.append(whole.substr(0, size_t(first.data() - whole.data())));
    WritePart(out, first, a, p, na);
    out.append(first.data() + first.size(), second.data());
    WritePart(out, second, b, p, nb);
    return true;
}

// Drops what reading a token left on the context's stacks; a text token's text is kept in
// `text`, as the name a qualifier may follow.
void ReleaseToken(CEvalContext& ctx, uint16_t type, std::string& text) {
    if (type == kTokenText) text = ctx.stringPool.PopTempString();
    if (type == kTokenArray)
        if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
}

// What the references after a qualifier read, for the rules.
enum class Target : uint32_t {
    kMoves,     // the edited worksheet: its targets move with its cells
    kStays,     // another worksheet: its targets stay where they are
    kAsWritten, // nothing a rule follows: a folder range (it names the folder and stays as it
                // is), another workbook, a name found in a cell, a name that finds nothing
};

std::string_view Trim(std::string_view name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

// The target of a qualifier's name as the evaluator resolves it: from the worksheet's
// folder unless it starts at the root.
Target QualifiedTarget(CEvalContext& ctx, std::string_view name, const CCellStore* own,
                       const CCellStore* edited) {
    name = Trim(name);
    if (!own || name.empty()) return Target::kAsWritten;
    CTreeItem* item = nullptr;
    if (name.front() == '[') {
        // Another workbook's worksheet, followed when the edited one is open in a window.
        const CWorksheet* ws = FindOpenExternalWorksheet(name);
        return ws && &ws->cells == edited ? Target::kMoves : Target::kAsWritten;
    }
    if (!ctx.qualifiers.Find(own, name, item)) {
        std::string path;
        if (name.front() != '\\') GetFolderPath(ctx, own, path);
        path.append(name);
        item = FindNodeByPath(ctx, path);
        ctx.qualifiers.Note(own, name, item);
    }
    const CWorksheet* ws = AsWorksheet(item);
    if (!ws) return Target::kAsWritten;
    return &ws->cells == edited ? Target::kMoves : Target::kStays;
}

// The rewrites of every formula of the store; false when one fails. `only` limits the walk to
// formulas standing before the span (those an insertion does not move).
bool CollectFormulaTexts(CEvalContext& ctx, const CCellStore& store, uint8_t mode,
                         const RangeDescriptor& range, bool onlyBefore,
                         std::vector<FormulaText>& out, std::vector<FormulaText>* lost) {
    const Edit e = MakeEdit(mode, range);
    std::string text;
    ReferenceMemo memo;
    CRecordWalk walk(store);
    while (const uint8_t* r = walk.Next()) {
        if (!cell::IsFormula(r)) continue;
        const int64_t position = e.rows ? cell::Row(r) : cell::Column(r);
        if (onlyBefore && position >= e.first) continue;
        const std::string_view formula = cell::Formula(r);
        if (KeptByEdit(e, formula, cell::Row(r), cell::Column(r))) continue;
        bool reached = false;
        if (!AdjustFormulaText(ctx, formula, cell::Column(r), cell::Row(r), mode, range, text,
                               &reached, &store, &store, true, &memo))
            return false;
        if (onlyBefore) continue;
        if (text != formula) out.push_back({cell::Column(r), cell::Row(r), text});
        if (reached && lost) {
            // The cell it stood in before the removal, where an insertion puts it again.
            const int64_t before = position >= e.first ? position + e.count : position;
            lost->push_back({e.rows ? cell::Column(r) : uint16_t(before),
                             e.rows ? uint32_t(before) : cell::Row(r), std::string(formula)});
        }
    }
    return true;
}

} // namespace

void ReadReferences(CEvalContext& ctx, std::string_view text, const CCellStore* own,
                    const CCellStore* edited, bool onEdited, ReferenceMemo& memo) {
    memo.valid = false;
    memo.pieces.clear();
    size_t pos = !text.empty() && (text[0] == '=' || text[0] == '+') ? 1 : 0;
    uint16_t previous = 0, beforePrevious = 0;
    const Target unqualified = onEdited ? Target::kMoves : Target::kStays;
    Target qualifier = unqualified; // what the latest qualifier names
    Target last = unqualified;      // what the latest reference read, for a range's far end
    size_t textStart = 0, qualifierStart = 0;
    std::string name;
    for (;;) {
        const size_t start = SkipBlanks(text, pos);
        pos = start;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, text, pos, token, InternalSyntax());
        if (type == 0 || type == kTokenEnd) break;
        ReleaseToken(ctx, type, name);
        if (type == kTokenText) textStart = start;
        if (type == kTokenQualifier) {
            qualifier = previous == kTokenText ? QualifiedTarget(ctx, name, own, edited)
                                               : Target::kAsWritten;
            qualifierStart = previous == kTokenText ? textStart : start;
        }
        if (type == kTokenReference) {
            // A qualifier names the worksheet also for the far end of its range.
            const bool qualified = previous == kTokenQualifier;
            const bool secondEnd = previous == kTokenRange && beforePrevious == kTokenReference &&
                                   !memo.pieces.empty() && memo.pieces.back().role == 0;
            last = qualified ? qualifier : previous == kTokenRange ? last : unqualified;
            if (secondEnd) memo.pieces.back().role = 1;
            memo.pieces.push_back({uint32_t(start), uint32_t(pos),
                                   uint32_t(qualified ? qualifierStart : start), uint8_t(last),
                                   uint8_t(secondEnd ? 2 : 0)});
        } else if (type != kTokenRange) {
            last = unqualified;
        }
        beforePrevious = previous;
        previous = type;
    }
    memo.text.assign(text);
    memo.own = own;
    memo.edited = edited;
    memo.valid = true;
}

bool AdjustFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                       uint8_t mode, const RangeDescriptor& range, std::string& out,
                       bool* reachedSpan, const CCellStore* own, const CCellStore* edited,
                       bool cellMoves, ReferenceMemo* memo) {
    const Edit e = MakeEdit(mode, range);
    bool reached = false;
    out.clear();
    const bool onEdited = !edited || edited == own;
    const bool moves = onEdited && cellMoves;
    if (!edited) edited = own;
    PartPlace place{0, e.rows ? int64_t(row) : int64_t(column), true};
    if (!moves) {
        place.before = place.after;
    } else if (!StoodBefore(e, place.after, place.before)) {
        if (reachedSpan) *reachedSpan = false;
        return out.assign(text), true;
    }
    ReferenceMemo local;
    if (!memo) memo = &local;
    if (!memo->valid || memo->own != own || memo->edited != edited || memo->text != text) {
        ctx.BeginFormula(column, row);
        ReadReferences(ctx, text, own, edited, onEdited, *memo);
        ctx.BeginFormula(column, row);
    }
    size_t pos = 0;
    const auto& pieces = memo->pieces;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const ReferencePiece& piece = pieces[i];
        const bool pair = piece.role == 1 && i + 1 < pieces.size();
        const ReferencePiece& far = pair ? pieces[i + 1] : piece;
        const auto target = Target(piece.target);
        out.append(text.substr(pos, piece.qualified - pos));
        const std::string_view whole = text.substr(piece.qualified, far.end - piece.qualified);
        pos = far.end;
        if (pair) ++i;
        if (target == Target::kAsWritten) {
            out.append(whole);
            continue;
        }
        place.targetMoves = target == Target::kMoves;
        // A distance that reaches off the sheet from where the cell now stands may come back
        // onto it: the rules read the text, not the resolved place.
        const std::string_view ref = text.substr(piece.start, piece.end - piece.start);
        const bool rewritten =
            pair ? RewriteRange(e, whole, ref, text.substr(far.start, far.end - far.start), place,
                                out, reached)
                 : RewriteSingle(e, whole, ref, place, out, reached);
        if (!rewritten) return false;
    }
    out.append(text.substr(pos));
    if (reachedSpan) *reachedSpan = reached;
    return true;
}

bool AdjustFormulasAfterEdit(CEvalContext& ctx, CCellStore& store, uint8_t mode,
                             const RangeDescriptor& range, std::vector<FormulaText>* lost) {
    if (mode < kAdjustRowsInserted || mode > kAdjustColumnsRemoved) return false;
    try {
        std::vector<FormulaText> rewrites;
        if (!CollectFormulaTexts(ctx, store, mode, range, false, rewrites, lost)) return false;
        return ReplaceFormulaTexts(store, rewrites);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool PlanFormulasAfterEdit(CEvalContext& ctx, const CCellStore& store, uint8_t mode,
                           const RangeDescriptor& range, std::vector<FormulaText>& texts,
                           std::vector<FormulaText>* lost) {
    if (mode < kAdjustRowsInserted || mode > kAdjustColumnsRemoved) return false;
    const Edit e = MakeEdit(mode, range);
    std::string text;
    ReferenceMemo memo;
    CRecordWalk walk(store);
    while (const uint8_t* r = walk.Next()) {
        if (!cell::IsFormula(r)) continue;
        const int64_t at = e.rows ? cell::Row(r) : cell::Column(r);
        if (!e.inserted && at >= e.first && at <= e.last) continue;
        const int64_t moved =
            e.inserted ? (at >= e.first ? at + e.count : at) : (at > e.last ? at - e.count : at);
        const uint16_t column = e.rows ? cell::Column(r) : uint16_t(moved);
        const uint32_t row = e.rows ? uint32_t(moved) : cell::Row(r);
        const std::string_view formula = cell::Formula(r);
        if (KeptByEdit(e, formula, row, column)) continue;
        bool reached = false;
        if (!AdjustFormulaText(ctx, formula, column, row, mode, range, text, &reached, &store,
                               &store, true, &memo))
            return false;
        if (text != formula) texts.push_back({column, row, text});
        if (reached && lost) lost->push_back({cell::Column(r), cell::Row(r), std::string(formula)});
    }
    return true;
}

} // namespace vl
