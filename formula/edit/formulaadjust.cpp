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

// The records of a store in order, read straight from its pages: the walks below pass over
// every record at each row or column edit.
class CRecordWalk {
public:
    explicit CRecordWalk(const CCellStore& store) : page_(store.FirstPage()) {}
    const uint8_t* Next() {
        while (page_ && offset_ >= page_->used) {
            page_ = page_->next;
            offset_ = 0;
        }
        if (!page_) return nullptr;
        const uint8_t* r = page_->payload + offset_;
        offset_ += cell::Length(r);
        return r;
    }

private:
    const Page* page_;
    uint32_t offset_ = 0;
};

enum class Outcome { kKeep, kMove, kFail };

// The rule for one relative part: r the formula cell's position after the edit, t the target
// the part reaches from there. A formula inside inserted rows was put back as it was kept and
// is left alone, so the insertion rules start past the span. Targets move by plain
// arithmetic, also those already off the sheet, so that removal and insertion undo each
// other; only a target on the sheet pushed off it by an insertion fails. `reached` is set
// when, before a removal, the part reached into the removed span.
Outcome Rule(const Edit& e, int64_t r, int64_t t, int64_t& target, bool& reached) {
    const int64_t f = e.first, l = e.last, c = e.count;
    if (t < r) { // upward or leftward
        if (e.inserted && r > l && t - c < f) return target = t - c, Outcome::kMove;
        if (!e.inserted && r + c > l) {
            reached = reached || (t + c >= f && t + c <= l);
            if (t + c < f) return target = t + c, Outcome::kMove;
        }
    } else if (t > r) {
        // The target moved when it stood at the first changed row or below it.
        if (e.inserted && r < f && t >= f) {
            target = t + c;
            return t < e.limit && target >= e.limit ? Outcome::kFail : Outcome::kMove;
        }
        if (!e.inserted && r < f) {
            reached = reached || (t >= f && t <= l);
            if (t + c > l) return target = t - c, Outcome::kMove;
        }
    }
    return Outcome::kKeep;
}

// Whether the edit leaves a formula's text as it is, found without reading its tokens: every
// bracketed distance is taken for a part along the edited dimension (more than the parts
// the reading rewrites), and none moves or reaches the span. False leaves it to the reading.
bool KeptByEdit(const Edit& e, std::string_view text, int64_t row, int64_t column) {
    constexpr size_t kLongestDistance = 9;
    const int64_t base = e.rows ? row : column;
    // A plain loop: formulas are short, and a library search per bracket costs more.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '[') continue;
        const bool back = At(text, ++i) == '-';
        if (back) ++i;
        const size_t digits = i;
        int64_t distance = 0;
        while (IsAsciiDigit(At(text, i)) && i - digits < kLongestDistance)
            distance = distance * 10 + (text[i++] - '0');
        if (i == digits || At(text, i) != ']') return false;
        int64_t target = 0;
        bool reached = false;
        if (Rule(e, base, base + (back ? -distance : distance), target, reached) !=
                Outcome::kKeep ||
            reached)
            return false;
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

// Rewrites the parts of one R1C1 reference text written as distances ("R[2]", "C[-1]").
bool RewriteReference(const Edit& e, std::string_view ref, int64_t baseRow, int64_t baseColumn,
                      std::string& out, bool& reached) {
    size_t i = 0;
    while (i < ref.size()) {
        const char letter = ref[i];
        const bool isRow = AsciiUpper(letter) == 'R';
        size_t end = i + 1;
        if (At(ref, end) != '[') {
            while (IsAsciiDigit(At(ref, end))) ++end;
            out.append(ref.substr(i, end - i));
            i = end;
            continue;
        }
        const size_t close = ref.find(']', end);
        if (close == std::string_view::npos) return out.append(ref.substr(i)), true;
        int64_t distance = 0;
        const bool back = At(ref, end + 1) == '-';
        std::from_chars(ref.data() + end + 1 + (back ? 1 : 0), ref.data() + close, distance);
        if (back) distance = -distance;
        const int64_t base = isRow ? baseRow : baseColumn;
        int64_t target = 0;
        const Outcome outcome =
            isRow == e.rows ? Rule(e, base, base + distance, target, reached) : Outcome::kKeep;
        if (outcome == Outcome::kFail) return false;
        if (outcome == Outcome::kMove)
            AppendPart(out, letter, target - base);
        else
            out.append(ref.substr(i, close + 1 - i));
        i = close + 1;
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

// Whether a qualifier's name (as the evaluator resolves it: from the worksheet's folder
// unless it starts at the root) is the worksheet whose store `own` is.
bool NamesOwnWorksheet(const CEvalContext& ctx, std::string_view name, const CCellStore* own) {
    const size_t first = name.find_first_not_of(' ');
    if (!own || first == std::string_view::npos) return false;
    name = name.substr(first, name.find_last_not_of(' ') + 1 - first);
    if (name.front() == '[') return false; // another workbook
    std::string path;
    if (name.front() != '\\') GetFolderPath(ctx, own, path);
    path.append(name);
    const CWorksheet* ws = AsWorksheet(FindNodeByPath(ctx, path));
    return ws && &ws->cells == own;
}

// The rewrites of every formula of the store; false when one fails. `only` limits the walk to
// formulas standing before the span (those an insertion does not move).
bool CollectFormulaTexts(CEvalContext& ctx, const CCellStore& store, uint8_t mode,
                         const RangeDescriptor& range, bool onlyBefore,
                         std::vector<FormulaText>& out, std::vector<FormulaText>* lost) {
    const Edit e = MakeEdit(mode, range);
    std::string text;
    CRecordWalk walk(store);
    while (const uint8_t* r = walk.Next()) {
        if (!cell::IsFormula(r)) continue;
        const int64_t position = e.rows ? cell::Row(r) : cell::Column(r);
        if (onlyBefore && position >= e.first) continue;
        const std::string_view formula = cell::Formula(r);
        if (KeptByEdit(e, formula, cell::Row(r), cell::Column(r))) continue;
        bool reached = false;
        if (!AdjustFormulaText(ctx, formula, cell::Column(r), cell::Row(r), mode, range, text,
                               &reached, &store))
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

// Writes the rewritten texts: those of another length as new records (with the same head and
// cached result) in one rebuild, which may fail and then changes nothing; then the others in
// place.
bool ApplyFormulaTexts(CCellStore& store, const std::vector<FormulaText>& rewrites) {
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    for (const FormulaText& w : rewrites) {
        const uint8_t* r = FindCell(store, w.row, w.column);
        if (!r || cell::FormulaLength(r) == w.text.size()) continue;
        const FormulaHead head = ReadFormulaHead(r);
        CellBuffer b;
        if (!MakeFormulaCell(b, w.column, w.row, head, w.text, cell::CachedText(r))) return false;
        cells.push_back({nullptr, b.size, w.column, w.row});
        staging.insert(staging.end(), b.bytes, b.bytes + b.size);
    }
    if (!cells.empty()) {
        size_t offset = 0;
        for (PlacedCell& c : cells) c.record = staging.data() + offset, offset += c.size;
        CListFeed feed(cells);
        if (!RebuildCells(store, cells.front().row, cells.back().row, {}, feed)) return false;
    }
    for (const FormulaText& w : rewrites) {
        uint8_t* r = FindCell(store, w.row, w.column);
        if (r && cell::FormulaLength(r) == w.text.size())
            std::copy(w.text.begin(), w.text.end(), r + kFormulaHead);
    }
    return true;
}

} // namespace

bool AdjustFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                       uint8_t mode, const RangeDescriptor& range, std::string& out,
                       bool* reachedSpan, const CCellStore* own) {
    const Edit e = MakeEdit(mode, range);
    bool reached = false;
    ctx.BeginFormula(column, row);
    out.clear();
    size_t pos = !text.empty() && (text[0] == '=' || text[0] == '+') ? 1 : 0;
    out.append(text.substr(0, pos));
    uint16_t previous = 0;
    bool lastQualified = false;
    bool qualifiesOwn = false; // the latest qualifier names the edited worksheet
    std::string name;
    for (;;) {
        const size_t start = SkipBlanks(text, pos);
        out.append(text.substr(pos, start - pos));
        pos = start;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, text, pos, token, InternalSyntax());
        if (type == 0 || type == kTokenEnd) break;
        ReleaseToken(ctx, type, name);
        const std::string_view piece = text.substr(start, pos - start);
        if (type == kTokenQualifier)
            qualifiesOwn = previous == kTokenText && NamesOwnWorksheet(ctx, name, own);
        if (type == kTokenReference) {
            // A qualifier names another worksheet, also for the far end of its range, unless
            // it names the edited one.
            const bool qualified =
                previous == kTokenQualifier || (previous == kTokenRange && lastQualified);
            lastQualified = qualified;
            // A distance that reaches off the sheet from where the cell now stands may come
            // back onto it: the rules read the text, not the resolved place.
            if (!qualified || qualifiesOwn) {
                if (!RewriteReference(e, piece, row, column, out, reached)) return false;
                previous = type;
                continue;
            }
        } else if (type != kTokenRange) {
            lastQualified = false;
        }
        out.append(piece);
        previous = type;
    }
    out.append(text.substr(pos));
    ctx.BeginFormula(column, row);
    if (reachedSpan) *reachedSpan = reached;
    return true;
}

bool AdjustFormulasAfterEdit(CEvalContext& ctx, CCellStore& store, uint8_t mode,
                             const RangeDescriptor& range, std::vector<FormulaText>* lost) {
    if (mode < kAdjustRowsInserted || mode > kAdjustColumnsRemoved) return false;
    try {
        std::vector<FormulaText> rewrites;
        if (!CollectFormulaTexts(ctx, store, mode, range, false, rewrites, lost)) return false;
        return ApplyFormulaTexts(store, rewrites);
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
        if (!AdjustFormulaText(ctx, formula, column, row, mode, range, text, &reached, &store))
            return false;
        if (text != formula) texts.push_back({column, row, text});
        if (reached && lost) lost->push_back({cell::Column(r), cell::Row(r), std::string(formula)});
    }
    return true;
}

bool ReplaceFormulaTexts(CCellStore& store, const std::vector<FormulaText>& texts) {
    try {
        std::vector<FormulaText> sorted = texts;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const FormulaText& a, const FormulaText& b) {
                             return cell::Before(a.row, a.column, b.row, b.column);
                         });
        // Of several texts for one cell the last given stays.
        std::vector<FormulaText> unique;
        for (FormulaText& t : sorted) {
            if (!unique.empty() && unique.back().row == t.row && unique.back().column == t.column)
                unique.back() = std::move(t);
            else
                unique.push_back(std::move(t));
        }
        return ApplyFormulaTexts(store, unique);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

BlockPtr PackFormulaTexts(const std::vector<FormulaText>& texts, uint32_t& size) {
    size = 4;
    for (const FormulaText& t : texts) size += 8 + uint32_t(t.text.size());
    BlockPtr block(static_cast<uint8_t*>(AllocBlock(size)));
    if (!block) return block;
    uint8_t* p = block.get();
    StoreU32(p, uint32_t(texts.size()));
    p += 4;
    for (const FormulaText& t : texts) {
        StoreU16(p, t.column);
        StoreU32(p + 2, t.row);
        StoreU16(p + 6, uint16_t(t.text.size()));
        std::memcpy(p + 8, t.text.data(), t.text.size());
        p += 8 + t.text.size();
    }
    return block;
}

bool UnpackFormulaTexts(const uint8_t* block, uint32_t size, std::vector<FormulaText>& texts) {
    if (!block || size < 4) return false;
    const uint8_t* p = block + 4;
    const uint8_t* end = block + size;
    for (uint32_t n = LoadU32(block); n > 0; --n) {
        if (end - p < 8 || uint64_t(end - p) < 8u + LoadU16(p + 6)) return false;
        texts.push_back({LoadU16(p), LoadU32(p + 2),
                         std::string(reinterpret_cast<const char*>(p + 8), LoadU16(p + 6))});
        p += 8 + LoadU16(p + 6);
    }
    return true;
}

} // namespace vl
