// PEARSON, RSQ and STEYX over paired cells, and the least-squares lines INTERCEPT, SLOPE,
// LINEST and TREND over positions.
#include "functions/numeric/correlation.h"
#include "functions/numeric/linefit.h"
#include "functions/numeric/statargs.h"
#include "functions/numeric/statbuiltins.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

// The pairs of the two area arguments; areas that differ in rows and in columns are #N/A!.
FormulaError PairWalk(CEvalContext& ctx, uint16_t xIndex, uint16_t yIndex, PairSums& sums) {
    std::vector<double> first, second;
    bool sameShape = true;
    FormulaError error = ReadPairs(ctx, 0, 1, first, second, sameShape);
    if (error) return error;
    if (!sameShape) return kErrNA;
    const std::vector<double>& xs = xIndex == 0 ? first : second;
    const std::vector<double>& ys = yIndex == 0 ? first : second;
    for (std::size_t k = 0; k < xs.size(); ++k) sums.Add(xs[k], ys[k]);
    return 0;
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

// A position of the known points without a number: a gap, which LINEST and TREND refuse.
FormulaError RefuseGaps(const PositionGrid& grid) {
    for (uint8_t present : grid.present)
        if (!present) return kErrValue;
    return 0;
}

// Fills a one-column matrix with numbers.
FormulaError ColumnOf(Matrix& m, const std::vector<double>& values) {
    if (!MatrixResize(m, uint32_t(values.size()), 1, 0)) return kErrMemory;
    std::copy(values.begin(), values.end(), m.data.get());
    return 0;
}

// array_y and array_x at 0 and 1 as pairs of numbers, those with a gap on either side
// left out (SLOPE, INTERCEPT).
FormulaError ReadPointPairs(CEvalContext& ctx, LinePoints& points) {
    std::vector<double> ys, xs;
    bool sameShape = true;
    FormulaError error = ReadPairs(ctx, 0, 1, ys, xs, sameShape);
    if (!error && !sameShape) error = kErrValue;
    if (error) return error;
    points.rows = uint32_t(ys.size());
    points.columns = 1;
    error = ColumnOf(points.y, ys);
    return JoinError(error, ColumnOf(points.x, xs));
}

// A taken area's numbers position by position; a gap is #VALUE!.
FormulaError ReadWholeArea(CEvalContext& ctx, AreaWalk& area, Matrix& m) {
    PositionGrid grid;
    FormulaError error = ReadPositionGrid(ctx, area, grid, kMaxAreaPositions);
    if (!error) error = RefuseGaps(grid);
    if (error) return error;
    if (!MatrixResize(m, grid.rows, grid.columns, 0)) return kErrMemory;
    for (uint32_t r = 0; r < grid.rows; ++r)
        for (uint32_t c = 0; c < grid.columns; ++c)
            *MatrixAt(m, r + 1, c + 1) = grid.numbers[std::size_t(r) * grid.columns + c];
    return 0;
}

// Reads array_y at 0 and array_x at 1 (the later one first) position by position, as
// LINEST and TREND take them: every position must hold a number.
FormulaError ReadLinePoints(CEvalContext& ctx, LinePoints& points, bool xMayBeOmitted) {
    if (!(xMayBeOmitted && Omitted(Argument(ctx, 1)))) {
        AreaWalk b(ctx), a(ctx);
        FormulaError error = b.Take(Argument(ctx, 1));
        error = JoinError(error, a.Take(Argument(ctx, 0)));
        if (!error && (a.walk.Rows() != b.walk.Rows() || a.walk.Columns() != b.walk.Columns()))
            error = kErrValue;
        if (!error) error = ReadWholeArea(ctx, a, points.y);
        if (!error) error = ReadWholeArea(ctx, b, points.x);
        points.rows = points.y.rows;
        points.columns = points.y.cols;
        return error;
    }
    AreaWalk area(ctx);
    FormulaError error = area.Take(Argument(ctx, 0));
    if (!error) error = ReadWholeArea(ctx, area, points.y);
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
    FormulaError error = ReadPointPairs(ctx, points);
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
