#include "dialogs/previewimage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vl {

namespace {

constexpr int kBandRows = 64; // rows of the reduced sheet played back at a time

constexpr int kInked = 224; // a pixel below this grey level carries ink

bool Inked(QRgb pixel) {
    return qGray(pixel) < kInked;
}

// Whether column x of the band is inked from row y0 to row y1 (exclusive); false outside.
bool InkedColumn(const QImage& band, int x, int y0, int y1) {
    if (x < 0 || x >= band.width()) return false;
    for (int y = y0; y < y1; ++y)
        if (!Inked(reinterpret_cast<const QRgb*>(band.constScanLine(y))[x])) return false;
    return true;
}

bool InkedRow(const QImage& band, int y, int x0, int x1) {
    if (y < 0 || y >= band.height()) return false;
    const QRgb* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
    for (int x = x0; x < x1; ++x)
        if (!Inked(pixels[x])) return false;
    return true;
}

// The colour of the n x n block at (x0, y0) of the band: its average, as text and shapes come
// out when made smaller; but a thin line that crosses the whole block keeps its darkness, so
// that one-pixel gridlines and borders stay. A line is a run of inked rows (or columns) across
// the block with no ink on either side of it: the edge of a letter's stroke, inked on, stays
// averaged and the letters keep their weight.
QRgb BlockValue(const QImage& band, int x0, int y0, int n) {
    const int x1 = std::min(band.width(), x0 + n), y1 = std::min(band.height(), y0 + n);
    int sum[3] = {0, 0, 0};
    for (int y = y0; y < y1; ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            sum[0] += qRed(pixels[x]);
            sum[1] += qGreen(pixels[x]);
            sum[2] += qBlue(pixels[x]);
        }
    }
    const int count = std::max(1, (x1 - x0) * (y1 - y0));
    int out[3];
    for (int c = 0; c < 3; ++c) out[c] = (sum[c] + count / 2) / count;
    auto darken = [&out](QRgb pixel) {
        out[0] = std::min(out[0], qRed(pixel));
        out[1] = std::min(out[1], qGreen(pixel));
        out[2] = std::min(out[2], qBlue(pixel));
    };
    // Runs of inked columns bounded by uninked ones, then the same for rows; the line's colour
    // is the lightest of each of its pixels' channels along it, at most its darkest.
    for (int x = x0; x < x1;) {
        if (!InkedColumn(band, x, y0, y1)) {
            ++x;
            continue;
        }
        int end = x;
        while (end < x1 && InkedColumn(band, end, y0, y1)) ++end;
        const bool thin = !InkedColumn(band, x - 1, y0, y1) && !InkedColumn(band, end, y0, y1);
        for (int c = x; thin && c < end; ++c) {
            int lightest[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const QRgb p = reinterpret_cast<const QRgb*>(band.constScanLine(y))[c];
                lightest[0] = std::max(lightest[0], qRed(p));
                lightest[1] = std::max(lightest[1], qGreen(p));
                lightest[2] = std::max(lightest[2], qBlue(p));
            }
            darken(qRgb(lightest[0], lightest[1], lightest[2]));
        }
        x = end;
    }
    for (int y = y0; y < y1;) {
        if (!InkedRow(band, y, x0, x1)) {
            ++y;
            continue;
        }
        int end = y;
        while (end < y1 && InkedRow(band, end, x0, x1)) ++end;
        const bool thin = !InkedRow(band, y - 1, x0, x1) && !InkedRow(band, end, x0, x1);
        for (int r = y; thin && r < end; ++r) {
            const QRgb* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(r));
            int lightest[3] = {0, 0, 0};
            for (int x = x0; x < x1; ++x) {
                lightest[0] = std::max(lightest[0], qRed(pixels[x]));
                lightest[1] = std::max(lightest[1], qGreen(pixels[x]));
                lightest[2] = std::max(lightest[2], qBlue(pixels[x]));
            }
            darken(qRgb(lightest[0], lightest[1], lightest[2]));
        }
        y = end;
    }
    return qRgb(out[0], out[1], out[2]);
}

} // namespace

int PreviewReduction(double factor) {
    if (!(factor > 0) || factor >= 1) return 1;
    // Drawn at n x factor, at least 1: a smaller scale would drop whole rows again.
    return std::max(1, int(std::ceil(1.0 / factor - 1e-9)));
}

QImage ReducedSheet(const QPicture& picture, QSize paper, int n) {
    n = std::max(1, n);
    if (paper.isEmpty()) return {};
    const int width = (paper.width() + n - 1) / n, height = (paper.height() + n - 1) / n;
    QImage out(width, height, QImage::Format_RGB32);
    QImage band(paper.width(), kBandRows * n, QImage::Format_RGB32);
    for (int top = 0; top < height; top += kBandRows) {
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.translate(0, -top * n);
            painter.drawPicture(0, 0, picture);
        }
        const int rows = std::min(kBandRows, height - top);
        for (int y = 0; y < rows; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(top + y));
            for (int x = 0; x < width; ++x) line[x] = BlockValue(band, x * n, y * n, n);
        }
    }
    return out;
}

} // namespace vl
