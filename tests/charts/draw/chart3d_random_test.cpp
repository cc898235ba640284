// Random 3D charts laid out and drawn: random stored matrices, perspectives and lamp angles,
// data with empty, zero and constant series, every 3D kind. Nothing crashes, the layout is
// finite and every point handed to the canvas lies inside the device range.

#include "charts/draw/chart3ddevice.h"
#include "tests/charts/draw/chart3dtestutil.h"
#include "tests/render/rendertest.h"

#include <QImage>
#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace vl {
namespace {

using charttest::Chart3D;
using charttest::kEmpty;

float RandomMatrixElement(std::mt19937& random) {
    static const float kSpecial[] = {0, 1, -1, 1e-30f, 1e30f, -1e38f, FLT_MAX, INFINITY, NAN};
    if (random() % 4 == 0) return kSpecial[random() % 9];
    return std::uniform_real_distribution<float>(-3, 3)(random);
}

std::vector<double> RandomValues(std::mt19937& random) {
    const uint32_t count = random() % 40;
    const double constant = double(int(random() % 7) - 3);
    std::vector<double> values;
    for (uint32_t j = 0; j < count; ++j) {
        switch (random() % 6) {
        case 0:
            values.push_back(kEmpty);
            break;
        case 1:
            values.push_back(0);
            break;
        case 2:
            values.push_back(constant);
            break;
        default:
            values.push_back(std::uniform_real_distribution<double>(-1e3, 1e3)(random));
        }
    }
    return values;
}

TEST(Chart3DRandom, AnyViewLaysOutFiniteAndDrawsInsideTheDevice) {
    std::mt19937 random(20261207);
    rendertest::CFixedMetricsDC measure(6, 10);
    int drawn = 0;
    for (int round = 0; round < 400; ++round) {
        Chart3D f;
        CChart& chart = *f.chart;
        const uint8_t kind = uint8_t(7 + random() % 5);
        const bool stacked = random() % 2;
        const uint16_t series = uint16_t(1 + random() % 4);
        for (uint16_t n = 0; n < series; ++n) {
            CChartSeries& s = f.Series(n, RandomValues(random), 1, random() % 4 ? kind : 7);
            s.settings.stacked = stacked;
            s.settings.labels = uint8_t(random() % 5);
            s.settings.axisType = uint8_t(random() % 4);
        }
        for (float& m : chart.viewMatrix) m = RandomMatrixElement(random);
        chart.settings.perspective = uint16_t(random());
        chart.settings.lightDirectionX = uint16_t(random());
        chart.settings.lightDirectionY = uint16_t(random());
        chart.settings.pieSplit = uint8_t(random() % 101);
        if (!UpdateChartScales(chart)) continue;
        CCanvas canvas;
        canvas.AttachDC(&measure);
        const DcRect rect{0, 0, int32_t(random() % 500) - 20, int32_t(random() % 400) - 20};
        if (!DrawChartLayout(chart, &canvas, rect, 100, 100)) {
            EXPECT_EQ(chart.error, kErrorChartMemory) << round;
            continue;
        }
        for (uint32_t i = 0; i < chart.vertices.ItemCount(); ++i) {
            const ChartVertex v = f.Vertex(i);
            ASSERT_TRUE(std::isfinite(v.viewX) && std::isfinite(v.viewY) && std::isfinite(v.viewZ))
                << round << " " << i;
        }
        for (const ChartFace& face : f.Faces())
            for (int k = 0; k < 3; ++k)
                ASSERT_TRUE(std::isfinite(face.viewNormal[k]) && std::isfinite(face.lightNormal[k]))
                    << round;
        // On the device: the centre of a 300 x 200 image, as the container painter does.
        for (uint32_t i = 0; i < chart.vertices.ItemCount(); ++i) {
            ChartVertex v = f.Vertex(i);
            v.viewX += 150, v.viewY = 100 - v.viewY;
            StoreVertex(chart, i, v);
            const DcPoint p = DevicePoint(v);
            ASSERT_TRUE(std::abs(p.x) <= kMaxDeviceCoordinate &&
                        std::abs(p.y) <= kMaxDeviceCoordinate)
                << round;
        }
        QImage image = rendertest::WhiteImage(300, 200);
        auto dc = CDeviceContext::ForImage(image);
        CCanvas draw;
        draw.AttachDC(dc.get());
        chart.canvas = &draw;
        DrawChart3D(chart, random() % 2);
        ++drawn;
    }
    EXPECT_GT(drawn, 100);
}

} // namespace
} // namespace vl
