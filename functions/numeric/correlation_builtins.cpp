// PEARSON, RSQ and STEYX over paired cells, and the least-squares lines INTERCEPT, SLOPE,
// LINEST and TREND over positions.
#include "functions/numeric/correlation.h"
#include "functions/numeric/linefit.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <vector>

namespace vl {

namespace {

// Walks the stored cells of both areas side by side; pairs with a text that is no number
// and pairs whose errors agree are skipped, pairs whose errors differ and walks of unequal
// length are #N/A!.
FormulaError PairWalk(CEvalContext& ctx, uint16_t xIndex, uint16_t yIndex, PairSums& sums) {
    AreaWalk second(ctx), first(ctx);
    FormulaError error = second.Take(Argument(ctx, 1));
    error = JoinError(error, first.Take(Argument(ctx, 0)));
    if (error) return error;
    if (first.walk.Rows() != second.walk.Rows() && first.walk.Columns() != second.walk.Columns())
        return kErrNA;
    AreaWalk& xs = xIndex == 0 ? first : second;
    AreaWalk& ys = yIndex == 0 ? first : second;
    for (;;) {
        ListValue x, y;
        bool moreX = NextCellNumber(ctx, xs, x);
        bool moreY = NextCellNumber(ctx, ys, y);
        if (moreX != moreY) return kErrNA;
        if (!moreX) return 0;
        if (x.leftOut || y.leftOut) continue;
        if (x.error != y.error) return kErrNA;
        if (!x.error) sums.Add(x.number, y.number);
    }
}

void Correlation(CEvalContext& ctx, StatResult (*statistic)(const PairSums&), bool xFirst) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    GuardStatMemory(ctx, [&] {
        PairSums sums;
        FormulaError error = PairWalk(ctx, xFirst ? 0 : 1, xFirst ? 1 : 0, sums);
        StatResult r = error ? StatError(error) : statistic(sums);
        ReturnNumber(ctx, r.value, r.error);
    });
}

// The known points of a line: y and x position by position (x generated as the row
// number plus 2 when omitted), and the constant flag.
struct LinePoints {
    Matrix y, x;
    uint32_t rows = 0, columns = 0;
};

// x for a position of row r (from 0) when array_x is omitted.
double GeneratedX(uint32_t row) {
    return double(row) + 2;
}

bool Omitted(const FormulaToken& slot) {
    return slot.type == kTokenEmpty && slot.error == 0;
}

FormulaError FillGenerated(Matrix& m, uint32_t rows, uint32_t columns) {
    if (!MatrixResize(m, rows, columns, 0)) return kErrMemory;
    for (uint32_t r = 1; r <= rows; ++r)
        for (uint32_t c = 1; c <= columns; ++c) *MatrixAt(m, r, c) = GeneratedX(r - 1);
    return 0;
}

// Reads array_y at 0 and array_x at 1 (the later one first).
FormulaError ReadLinePoints(CEvalContext& ctx, LinePoints& points, bool xMayBeOmitted) {
    if (!(xMayBeOmitted && Omitted(Argument(ctx, 1)))) {
        bool sameShape = true;
        FormulaError error = ReadPairedAreas(ctx, 0, 1, points.y, points.x, sameShape);
        if (!error && !sameShape) error = kErrValue;
        points.rows = points.y.rows;
        points.columns = points.y.cols;
        return error;
    }
    AreaWalk area(ctx);
    FormulaError error = area.Take(Argument(ctx, 0));
    if (!error) error = ReadAreaPositions(ctx, area, points.y);
    if (error) return error;
    points.rows = points.y.rows;
    points.columns = points.y.cols;
    return FillGenerated(points.x, points.rows, points.columns);
}

LineFit Fit(const LinePoints& points, bool constant) {
    return FitLine(points.x.data.get(), points.y.data.get(),
                   std::size_t(points.rows) * points.columns, constant);
}

void InterceptOrSlope(CEvalContext& ctx, bool slope) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    LinePoints points;
    FormulaError error = ReadLinePoints(ctx, points, false);
    if (error) {
        ReturnError(ctx, error);
        return;
    }
    LineFit fit = Fit(points, true);
    ReturnNumber(ctx, slope ? fit.slope : fit.intercept, fit.error);
}

FormulaError CopyPositions(const Matrix& from, Matrix& to) {
    if (!MatrixResize(to, from.rows, from.cols, 0)) return kErrMemory;
    for (std::size_t i = 0; i < std::size_t(from.rows) * from.cols; ++i) to.data[i] = from.data[i];
    return 0;
}

// TREND's new x: a range or array position by position, or one value typed or named.
FormulaError ReadNewX(CEvalContext& ctx, FormulaToken& slot, Matrix& newX) {
    if (!(slot.type & kAreaOrArray)) {
        double x = 0;
        FormulaError error = GetNumberArg(ctx, slot, x);
        if (!error && !MatrixResize(newX, 1, 1, 0)) error = kErrMemory;
        if (!error) *MatrixAt(newX, 1, 1) = x;
        return error;
    }
    AreaWalk area(ctx);
    FormulaError error = area.Take(slot);
    return error ? error : ReadAreaPositions(ctx, area, newX);
}

FormulaError ReadConstant(CEvalContext& ctx, uint16_t index, int32_t& constant) {
    constant = 1;
    return GetIntArg(ctx, Argument(ctx, index), constant, 0, 1);
}

} // namespace

void PearsonBuiltin(CEvalContext& ctx) {
    Correlation(ctx, Pearson, true);
}
void RsqBuiltin(CEvalContext& ctx) {
    Correlation(ctx, RSquared, true);
}
void SteyxBuiltin(CEvalContext& ctx) {
    Correlation(ctx, Steyx, false);
}
void InterceptBuiltin(CEvalContext& ctx) {
    InterceptOrSlope(ctx, false);
}
void SlopeBuiltin(CEvalContext& ctx) {
    InterceptOrSlope(ctx, true);
}

void LinestBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    int32_t constant = 1;
    FormulaError error = ReadConstant(ctx, 2, constant);
    LinePoints points;
    error = JoinError(error, ReadLinePoints(ctx, points, true));
    if (error) {
        ReturnError(ctx, error);
        return;
    }
    LineFit fit = Fit(points, constant != 0);
    if (fit.error) {
        ReturnError(ctx, fit.error);
        return;
    }
    const double column[2] = {fit.intercept, fit.slope};
    ReturnColumn(ctx, column, 2);
}

void TrendBuiltin(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4)) return;
    GuardStatMemory(ctx, [&] {
        int32_t constant = 1;
        FormulaError error = ReadConstant(ctx, 3, constant);
        Matrix newX;
        bool newOmitted = Omitted(Argument(ctx, 2));
        if (!newOmitted) error = JoinError(error, ReadNewX(ctx, Argument(ctx, 2), newX));
        LinePoints points;
        error = JoinError(error, ReadLinePoints(ctx, points, true));
        // Without new x the line is read at the known x.
        if (!error && newOmitted) error = CopyPositions(points.x, newX);
        LineFit fit = error ? LineFit{} : Fit(points, constant != 0);
        error = JoinError(error, fit.error);
        if (error) {
            ReturnError(ctx, error);
            return;
        }
        std::vector<double> predicted(std::size_t(newX.rows) * newX.cols);
        for (std::size_t i = 0; i < predicted.size(); ++i)
            predicted[i] = LineValue(fit, newX.data[i]);
        ReturnColumn(ctx, predicted.data(), uint32_t(predicted.size()));
    });
}

} // namespace vl
