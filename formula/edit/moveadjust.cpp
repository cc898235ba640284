#include "formula/edit/moveadjust.h"

#include "formula/edit/qualifierpaths.h"
#include "formula/edit/storedplaces.h"
#include "formula/textscan.h"
#include "model/cellrecord.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <charconv>

namespace vl {

namespace {

// One part of an R1C1 reference: a distance ("R[2]", a bare "C" for 0) or an index ("R17").
struct Axis {
    bool present = false, relative = false;
    int64_t value = 0;
    size_t at = 0, length = 0;
};

struct Ref {
    Axis row, column;
};

Ref ParseRef(std::string_view ref) {
    Ref out;
    size_t i = 0;
    while (i < ref.size()) {
        const char letter = AsciiUpper(ref[i]);
        if (letter != 'R' && letter != 'C') break;
        R1C1Part part;
        if (!ReadR1C1Part(ref, i, part)) return {};
        const size_t end = part.end;
        (letter == 'R' ? out.row : out.column) = {true, part.relative, part.value, i, end - i};
        i = end;
    }
    return out;
}

// Where the formula stood and stands, and where the block went.
struct Place {
    int64_t beforeColumn, beforeRow, afterColumn, afterRow;
};

// The cells one axis of a reference reads: [lo, hi]; false for an index off the sheet, which
// no rule follows.
bool Extent(const Axis& a, int64_t before, int64_t limit, int64_t& lo, int64_t& hi) {
    if (!a.present) return lo = 0, hi = limit - 1, true;
    lo = hi = a.relative ? before + a.value : a.value;
    return a.relative || (lo >= 0 && lo < limit);
}

void WriteAxis(std::string& out, std::string_view ref, const Axis& a, int64_t target, int64_t after,
               size_t& copied) {
    if (!a.present) return;
    const int64_t written = a.relative ? target - after : target;
    if (written == a.value) return;
    out.append(ref.substr(copied, a.at - copied));
    out += ref[a.at];
    if (a.relative) {
        if (written != 0) {
            out += '[';
            out += std::to_string(written);
            out += ']';
        }
    } else {
        out += std::to_string(written + 1);
    }
    copied = a.at + a.length;
}

// One end of a reference rewritten to read (column, row) (an absent part keeps reading all).
void WriteRef(std::string& out, std::string_view ref, const Ref& r, int64_t column, int64_t row,
              const Place& p) {
    size_t copied = 0;
    const bool rowFirst = r.row.at < r.column.at;
    if (rowFirst) WriteAxis(out, ref, r.row, row, p.afterRow, copied);
    WriteAxis(out, ref, r.column, column, p.afterColumn, copied);
    if (!rowFirst) WriteAxis(out, ref, r.row, row, p.afterRow, copied);
    out.append(ref.substr(copied));
}

// The ends of a reference (one end twice for a cell alone) and whether the cells they span
// lie wholly in the block; `targets` receives each end's column and row before the move.
bool InBlock(const Ref* ends, int count, const Place& p, const CellRange& block,
             int64_t (*targets)[2], CellRange* spans = nullptr, bool* fixed = nullptr) {
    int64_t c1 = kMaxColumns, c2 = -1, r1 = kMaxRows, r2 = -1;
    bool followed = true;
    for (int i = 0; i < count; ++i) {
        int64_t clo, chi, rlo, rhi;
        followed = Extent(ends[i].column, p.beforeColumn, kMaxColumns, clo, chi) && followed;
        followed = Extent(ends[i].row, p.beforeRow, kMaxRows, rlo, rhi) && followed;
        targets[i][0] = clo;
        targets[i][1] = rlo;
        c1 = std::min(c1, clo), c2 = std::max(c2, chi);
        r1 = std::min(r1, rlo), r2 = std::max(r2, rhi);
    }
    if (spans) *spans = {uint16_t(c1), uint32_t(r1), uint16_t(c2), uint32_t(r2)};
    if (fixed) *fixed = followed;
    return followed && c1 >= block.c1 && c2 <= block.c2 && r1 >= block.r1 && r2 <= block.r2;
}

bool Holds(const CellRange& outer, const CellRange& inner) {
    return inner.c1 >= outer.c1 && inner.c2 <= outer.c2 && inner.r1 >= outer.r1 &&
           inner.r2 <= outer.r2;
}

bool Meets(const CellRange& a, const CellRange& b) {
    return a.c1 <= b.c2 && b.c1 <= a.c2 && a.r1 <= b.r2 && b.r1 <= a.r2;
}

// A range a turn leaves neither whole nor in place: it reaches into the block without lying
// in it or holding the block and where the block turns to.
bool Scattered(const BlockMove& move, const CellRange& spans) {
    return move.turn && Meets(spans, move.source) && !Holds(move.source, spans) &&
           !(Holds(spans, move.source) && Holds(spans, MovedRange(move)));
}

} // namespace

bool AdjustFormulaTextForMove(CEvalContext& ctx, std::string_view text, uint16_t column,
                              uint32_t row, const BlockMove& move, bool moved,
                              const CCellStore* own, const CCellStore* edited, std::string& out,
                              ReferenceMemo* memo) {
    out.clear();
    bool whole = true;
    // A moved formula stood where the move took it from: a turn is its own inverse.
    int64_t beforeColumn = column, beforeRow = row;
    if (moved && move.turn)
        MovedCell(move, beforeColumn, beforeRow);
    else if (moved)
        beforeColumn -= move.dc, beforeRow -= move.dr;
    const Place p{beforeColumn, beforeRow, column, row};
    ReferenceMemo local;
    if (!memo) memo = &local;
    if (!memo->valid || memo->own != own || memo->edited != edited || memo->text != text) {
        ctx.BeginFormula(uint16_t(p.beforeColumn), uint32_t(p.beforeRow));
        ReadReferences(ctx, text, own, edited, own == edited, *memo);
    }
    size_t pos = 0;
    const auto& pieces = memo->pieces;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const ReferencePiece& piece = pieces[i];
        const bool pair = piece.role == 1 && i + 1 < pieces.size();
        const ReferencePiece& far = pair ? pieces[i + 1] : piece;
        if (pair) ++i;
        // Target 2 is nothing a rule follows (a folder range, another workbook): as written.
        if (piece.target == 2) continue;
        const std::string_view first = text.substr(piece.start, piece.end - piece.start);
        const std::string_view second = text.substr(far.start, far.end - far.start);
        const Ref ends[2] = {ParseRef(first), ParseRef(second)};
        int64_t targets[2][2];
        CellRange spans;
        bool fixed = false;
        const bool follows = InBlock(ends, pair ? 2 : 1, p, move.source, targets, &spans, &fixed) &&
                             piece.target == 0;
        // A turned formula's range that the block does not hold keeps its cells.
        if (piece.target == 0 && fixed && !moved && Scattered(move, spans)) whole = false;
        if (follows)
            for (int e = 0; e < (pair ? 2 : 1); ++e) MovedCell(move, targets[e][0], targets[e][1]);
        // Across worksheets a followed reference names where the block went, and a moved
        // formula names the worksheet it left for what it read there.
        const bool bare = piece.qualified >= piece.start;
        if (move.into && follows && !(moved && bare)) {
            out.append(text.substr(pos, piece.qualified - pos));
            out.append(move.intoQualifier);
        } else if (move.into && moved && !follows && piece.target == 0 && bare) {
            out.append(text.substr(pos, piece.start - pos));
            out.append(move.fromQualifier);
        } else {
            out.append(text.substr(pos, piece.start - pos));
        }
        WriteRef(out, first, ends[0], targets[0][0], targets[0][1], p);
        if (pair) {
            out.append(text.substr(piece.end, far.start - piece.end));
            WriteRef(out, second, ends[1], targets[1][0], targets[1][1], p);
        }
        pos = far.end;
    }
    out.append(text.substr(pos));
    return whole;
}

bool PlanBlockMove(CEvalContext& ctx, const CWorkbook& workbook, CWorksheet& edited,
                   const BlockMove& move, std::vector<FormulaText>& inside, FormulaPlan& outside) {
    const CellRange& s = move.source;
    const CellRange drop = MovedRange(move);
    bool whole = true;
    const auto within = [](const CellRange& r, uint16_t c, uint32_t w) {
        return c >= r.c1 && c <= r.c2 && w >= r.r1 && w <= r.r2;
    };
    std::string text;
    ReferenceMemo memo;
    ctx.qualifiers.Begin();
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        const bool onEdited = ws == &edited;
        const bool onDrop = move.into ? ws == move.into : onEdited;
        SheetTexts sheet{ws, {}};
        CRecordWalk walk(ws->cells);
        while (const uint8_t* r = walk.Next()) {
            if (!cell::IsFormula(r)) continue;
            const std::string_view formula = cell::Formula(r);
            uint16_t column = cell::Column(r);
            uint32_t row = cell::Row(r);
            const bool moved = onEdited && !move.pasted && within(s, column, row);
            // A formula the block was dropped on is gone; elsewhere only a qualifier can name
            // the edited worksheet.
            if (onDrop && !moved && within(drop, column, row)) continue;
            if (!onEdited && formula.find('!') == std::string_view::npos) continue;
            if (moved) {
                int64_t c = column, w = row;
                MovedCell(move, c, w);
                column = uint16_t(c), row = uint32_t(w);
            }
            whole = AdjustFormulaTextForMove(ctx, formula, column, row, move, moved, &ws->cells,
                                             &edited.cells, text, &memo) &&
                    whole;
            if (text != formula) (moved ? inside : sheet.texts).push_back({column, row, text});
        }
        // A chart reads its ranges from no cell of its own.
        ForEachSeries(*ws, [&](uint32_t place, std::string_view formula) {
            whole = AdjustFormulaTextForMove(ctx, formula, 0, 0, move, false, &ws->cells,
                                             &edited.cells, text) &&
                    whole;
            if (text != formula) sheet.texts.push_back({kSeriesColumn, place, text});
        });
        if (!sheet.texts.empty()) outside.push_back(std::move(sheet));
    }
    ctx.qualifiers.End();
    PlanStoredPlacesAfterMove(workbook, edited, move, outside);
    return whole;
}

void PlanPastedFormulas(CEvalContext& ctx, const CWorksheet& edited, const BlockMove& move,
                        std::vector<FormulaText>& inside) {
    const CWorksheet& dropped = move.into ? *move.into : edited;
    const CellRange drop = MovedRange(move);
    std::string text;
    ReferenceMemo memo;
    ctx.qualifiers.Begin();
    CellCursor cursor{kAdvance, dropped.cells.StartPageForRow(drop.r1), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, drop)) {
        if (!cell::IsFormula(r)) continue;
        const std::string_view formula = cell::Formula(r);
        // Read as it stood at the source, on the block's own worksheet.
        AdjustFormulaTextForMove(ctx, formula, cell::Column(r), cell::Row(r), move, true,
                                 &edited.cells, &edited.cells, text, &memo);
        if (text != formula) inside.push_back({cell::Column(r), cell::Row(r), text});
    }
    ctx.qualifiers.End();
}

std::string QualifierFor(CEvalContext& ctx, const CWorksheet& ws) {
    std::string path, written;
    if (!BuildTreeItemPath(&ws, path, false) || !WrittenQualifierName(ctx, path, written))
        return {};
    return written + '!';
}

} // namespace vl
