#include "dialogs/previewimage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vl {

namespace {

constexpr int kBandRows = 64; // rows of the reduced sheet played back at a time

// Each channel's smallest value over the n x n block at (x, y) of the band.
QRgb Darkest(const QImage& band, int x0, int y0, int n) {
    int r = 255, g = 255, b = 255;
    const int x1 = std::min(band.width(), x0 + n), y1 = std::min(band.height(), y0 + n);
    for (int y = y0; y < y1; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            r = std::min(r, qRed(line[x]));
            g = std::min(g, qGreen(line[x]));
            b = std::min(b, qBlue(line[x]));
        }
    }
    return qRgb(r, g, b);
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
            for (int x = 0; x < width; ++x) line[x] = Darkest(band, x * n, y * n, n);
        }
    }
    return out;
}

} // namespace vl
