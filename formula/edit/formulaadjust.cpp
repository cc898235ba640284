#include "formula/edit/formulaadjust.h"

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
// cell and the formula. `written` is the part's new value. Only a target on the sheet pushed
// off it by an insertion fails; a part whose text stays never fails. `reached` is set when,
// before a removal, the part reached into the removed span.
Outcome Rule(const Edit& e, bool relative, int64_t value, const PartPlace& p, int64_t& written,
             bool& reached) {
    const int64_t t0 = relative ? p.before + value : value;
    if (!relative && (t0 < 0 || t0 >= e.limit)) return Outcome::kKeep;
    int64_t t1 = t0;
    if (p.targetMoves) {
        t1 = Moved(e, t0);
        reached = reached || (!e.inserted && t0 >= e.first && t0 <= e.last);
    }
    written = relative ? t1 - p.after : t1;
    if (written == value) return Outcome::kKeep;
    if (p.targetMoves && e.inserted && t0 >= 0 && t0 < e.limit && t1 >= e.limit)
        return Outcome::kFail;
    return Outcome::kMove;
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

// Rewrites the parts of one R1C1 reference text along the edited dimension: distances
// ("R[2]", "C[-1]", a bare "R" for 0) and indexes ("R17", 1 the first).
bool RewriteReference(const Edit& e, std::string_view ref, const PartPlace& place, std::string& out,
                      bool& reached) {
    size_t i = 0;
    while (i < ref.size()) {
        const char letter = ref[i];
        const bool along = (AsciiUpper(letter) == 'R') == e.rows;
        size_t end = i + 1;
        const bool bracket = At(ref, end) == '[';
        int64_t value = 0;
        if (bracket) {
            const size_t close = ref.find(']', end);
            if (close == std::string_view::npos) return out.append(ref.substr(i)), true;
            const bool back = At(ref, end + 1) == '-';
            std::from_chars(ref.data() + end + 1 + (back ? 1 : 0), ref.data() + close, value);
            if (back) value = -value;
            end = close + 1;
        } else {
            while (IsAsciiDigit(At(ref, end))) value = value * 10 + (ref[end++] - '0');
            value -= 1; // an index; a bare letter is a distance of 0
        }
        const bool relative = bracket || end == i + 1;
        if (!bracket && relative) value = 0;
        int64_t written = 0;
        const Outcome outcome =
            along ? Rule(e, relative, value, place, written, reached) : Outcome::kKeep;
        if (outcome == Outcome::kFail) return false;
        if (outcome == Outcome::kKeep)
            out.append(ref.substr(i, end - i));
        else if (relative)
            AppendPart(out, letter, written);
        else
            AppendIndex(out, letter, written);
        i = end;
    }
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
    if (!own || name.empty() || name.front() == '[') return Target::kAsWritten;
    CTreeItem* item = nullptr;
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

// Where each reference of the text stands (start, end) and what it reads, into the memo.
void ReadReferences(CEvalContext& ctx, std::string_view text, const CCellStore* own,
                    const CCellStore* edited, bool onEdited, ReferenceMemo& memo) {
    memo.valid = false;
    memo.pieces.clear();
    size_t pos = !text.empty() && (text[0] == '=' || text[0] == '+') ? 1 : 0;
    uint16_t previous = 0;
    const Target unqualified = onEdited ? Target::kMoves : Target::kStays;
    Target qualifier = unqualified; // what the latest qualifier names
    Target last = unqualified;      // what the latest reference read, for a range's far end
    std::string name;
    for (;;) {
        const size_t start = SkipBlanks(text, pos);
        pos = start;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, text, pos, token, InternalSyntax());
        if (type == 0 || type == kTokenEnd) break;
        ReleaseToken(ctx, type, name);
        if (type == kTokenQualifier)
            qualifier = previous == kTokenText ? QualifiedTarget(ctx, name, own, edited)
                                               : Target::kAsWritten;
        if (type == kTokenReference) {
            // A qualifier names the worksheet also for the far end of its range.
            last = previous == kTokenQualifier ? qualifier
                   : previous == kTokenRange   ? last
                                               : unqualified;
            memo.pieces.insert(memo.pieces.end(), {uint32_t(start), uint32_t(pos), uint32_t(last)});
        } else if (type != kTokenRange) {
            last = unqualified;
        }
        previous = type;
    }
    memo.text.assign(text);
    memo.own = own;
    memo.edited = edited;
    memo.valid = true;
}

} // namespace

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
    for (size_t i = 0; i + 2 < memo->pieces.size(); i += 3) {
        const size_t start = memo->pieces[i], end = memo->pieces[i + 1];
        const auto target = Target(memo->pieces[i + 2]);
        out.append(text.substr(pos, start - pos));
        pos = end;
        const std::string_view piece = text.substr(start, end - start);
        if (target == Target::kAsWritten) {
            out.append(piece);
            continue;
        }
        place.targetMoves = target == Target::kMoves;
        // A distance that reaches off the sheet from where the cell now stands may come back
        // onto it: the rules read the text, not the resolved place.
        if (!RewriteReference(e, piece, place, out, reached)) return false;
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
