#include "formula/edit/transposerefs.h"

#include "formula/textscan.h"
#include "formula/tokenizer.h"
#include "model/cellrecord.h"
#include "model/clearset.h"
#include "model/rangeops.h"
#include "platform/core/cp1252.h"

#include <algorithm>

namespace vl {

namespace {

// One part of an R1C1 reference ("R", "R[-2]", "R17"): its letter, its text after the letter
// and whether it is a distance.
struct RefPart {
    char letter = 0;
    std::string_view tail;
    bool relative = false;
};

// The part at `i`, moving `i` past it; false when the text holds no part there.
bool ReadPart(std::string_view ref, size_t& i, RefPart& part) {
    if (i >= ref.size()) return false;
    part.letter = ref[i];
    const size_t start = ++i;
    if (At(ref, i) == '[') {
        const size_t close = ref.find(']', i);
        if (close == std::string_view::npos) return false;
        i = close + 1;
        part.relative = true;
    } else {
        while (IsAsciiDigit(At(ref, i))) ++i;
        part.relative = i == start;
    }
    part.tail = ref.substr(start, i - start);
    return true;
}

// The reference turned about the diagonal, or empty when it stays as it is.
std::string TurnedReference(std::string_view ref) {
    size_t i = 0;
    RefPart row, column;
    if (!ReadPart(ref, i, row) || !ReadPart(ref, i, column) || i != ref.size()) return {};
    if (AsciiUpper(row.letter) != 'R' || AsciiUpper(column.letter) != 'C' || !row.relative ||
        !column.relative)
        return {};
    std::string out;
    out += row.letter;
    out.append(column.tail);
    out += column.letter;
    out.append(row.tail);
    return out;
}

void ReleaseToken(CEvalContext& ctx, uint16_t type) {
    if (type == kTokenText) ctx.stringPool.PopTempString();
    if (type == kTokenArray)
        if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
}

} // namespace

std::string TransposeRelativeReferences(CEvalContext& ctx, std::string_view text, uint16_t column,
                                        uint32_t row) {
    std::string out(text);
    size_t pos = !text.empty() && (text[0] == '=' || text[0] == '+') ? 1 : 0;
    ctx.BeginFormula(column, row);
    for (;;) {
        const size_t start = SkipBlanks(text, pos);
        pos = start;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, text, pos, token, InternalSyntax());
        if (type == 0 || type == kTokenEnd) break;
        ReleaseToken(ctx, type);
        if (type != kTokenReference) continue;
        const std::string turned = TurnedReference(text.substr(start, pos - start));
        if (!turned.empty()) out.replace(start, turned.size(), turned);
    }
    ctx.BeginFormula(column, row);
    return out;
}

bool TurnCutsArray(const CCellStore& store, const CellRange& source, const CellRange& turned) {
    const auto meets = [](const CellRange& a, const CellRange& b) {
        return a.c1 <= b.c2 && b.c1 <= a.c2 && a.r1 <= b.r2 && b.r1 <= a.r2;
    };
    const auto holds = [](const CellRange& outer, const CellRange& inner) {
        return inner.c1 >= outer.c1 && inner.c2 <= outer.c2 && inner.r1 >= outer.r1 &&
               inner.r2 <= outer.r2;
    };
    CRecordWalk walk(store);
    while (const uint8_t* r = walk.Next()) {
        if (cell::Row(r) > std::max(source.r2, turned.r2)) break;
        if (!IsSpreadArrayAnchor(r)) continue;
        const CellRange area = SpreadArrayArea(r);
        if (holds(source, area)) continue;
        if (meets(area, source) || (meets(area, turned) && !holds(turned, area))) return true;
    }
    return false;
}

bool TransposeFormulasIn(CEvalContext& ctx, CCellStore& store, const CellRange& rect) {
    try {
        std::vector<FormulaText> texts;
        CellCursor cursor{kAdvance, store.StartPageForRow(rect.r1), 0};
        while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
            if (!cell::IsFormula(r)) continue;
            const std::string_view formula = cell::Formula(r);
            std::string turned =
                TransposeRelativeReferences(ctx, formula, cell::Column(r), cell::Row(r));
            if (turned != formula)
                texts.push_back({cell::Column(r), cell::Row(r), std::move(turned)});
        }
        return ReplaceFormulaTexts(store, texts);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace vl
