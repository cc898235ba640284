#include "model/chartprojection.h"
#include "model/viewtransform.h"
#include "modeltestutil.h"

namespace vl {

namespace {

void ExpectMatrixNear(const float* actual, const float* expected, float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

TEST(ViewTransform, ResetGivesIdentityAndUnknownKindsChangeNothing) {
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i + 1);
    float before[16];
    std::copy(m, m + 16, before);
    for (uint8_t kind : {0, 8, 200}) {
        ApplyChartTransform(m, kind, 1.0);
        ExpectMatrixNear(m, before, 0);
    }
    ApplyChartTransform(m, kResetTransform, 5.0);
    ExpectMatrixNear(m, kIdentity, 0);
}

// Each step stands on the left of what was there: scaling x by 2 and then turning a quarter
// about z puts the scaled x axis on y (column 0 is the image of the model x axis).
TEST(ViewTransform, StepsMatchTheirTables) {
    const double q = ChartDegreesToRadians(90);
    const std::tuple<const char*, std::vector<std::pair<uint8_t, double>>, std::vector<float>,
                     float>
        cases[] = {
            {"x", {{kRotateX, q}}, {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1}, 1e-6f},
            {"y", {{kRotateY, q}}, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}, 1e-6f},
            {"z", {{kRotateZ, q}}, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 1e-6f},
            {"scale, turn",
             {{kScaleX, 2}, {kRotateZ, q}},
             {0, 1, 0, 0, -2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
             1e-6f},
            {"scales",
             {{kScaleUniform, 3}, {kScaleY, 0.5}},
             {3, 0, 0, 0, 0, 1.5, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1},
             0},
        };
    for (const auto& [name, steps, expected, tolerance] : cases) {
        SCOPED_TRACE(name);
        float m[16];
        SetIdentityMatrix(m);
        for (const auto& [kind, amount] : steps) ApplyChartTransform(m, kind, amount);
        ExpectMatrixNear(m, expected.data(), tolerance);
    }
}

TEST(ViewTransform, MatrixProductIsRowByColumn) {
    // A shear of x by y and a shear of y by x: the two orders give different products.
    const float a[16] = {1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float b[16] = {1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float ab[16] = {7, 2, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float ba[16] = {1, 2, 0, 0, 3, 7, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float out[16];
    MultiplyMatrix4(a, b, out);
    ExpectMatrixNear(out, ab, 0);
    MultiplyMatrix4(b, a, out);
    ExpectMatrixNear(out, ba, 0);
    MultiplyMatrix4(kIdentity, a, out);
    ExpectMatrixNear(out, a, 0);
}

TEST(ViewTransform, DegreesConvertThroughTheFixedConstants) {
    EXPECT_DOUBLE_EQ(ChartDegreesToRadians(180), 180 * 3.14159265358979 * 0.005555555555555556);
}

namespace {

// A chart whose XY wall spans (0,0,0)-(200,100,0) and whose floor reaches depth 40.
std::unique_ptr<CChart> Scene() {
    auto chart = NewBlockObject<CChart>(kChart3D);
    const float corners[8][3] = {{0, 0, 0}, {0, 100, 0}, {200, 100, 0}, {200, 0, 0},
                                 {0, 0, 0}, {0, 0, 40},  {200, 0, 40},  {200, 0, 0}};
    for (const auto& c : corners) {
        ChartVertex v;
        v.modelX = c[0], v.modelY = c[1], v.modelZ = c[2];
        EXPECT_TRUE(chart->vertices.AppendItem24(&v));
    }
    chart->walls[kWallXY] = {1, 1, 0, 0, {}};
    chart->walls[kWallFloor] = {1, 1, 4, 0, {}};
    chart->axes[0].firstVertex = 4;
    chart->axisCount = 1;
    ChartFace face;
    face.a = 2, face.b = 1, face.c = 0;
    EXPECT_TRUE(chart->faces.AppendItem52(&face));
    EXPECT_TRUE(chart->vertices.BuildPageIndex());
    return chart;
}

} // namespace

TEST(ChartProjection, CentreTurnLightAndNormals) {
    auto chart = Scene();
    chart->walls[kWallXY].built = 0;
    CenterChartModel(*chart, true); // without the XY wall nothing moves
    EXPECT_EQ(LoadVertex(*chart, 2).modelX, 200);
    chart->walls[kWallXY].built = 1;
    CenterChartModel(*chart, true);
    const ChartVertex far = LoadVertex(*chart, 6);
    EXPECT_EQ(std::tuple(far.modelX, far.modelY, far.modelZ), std::tuple(100.f, -50.f, 20.f));
    // A quarter turn about y: model x goes to view z, model z to view -x... by the table.
    float m[16];
    SetIdentityMatrix(m);
    ApplyChartTransform(m, kRotateY, ChartDegreesToRadians(90));
    ApplyViewMatrix(*chart, m);
    const ChartVertex v = LoadVertex(*chart, 6);
    for (auto [actual, expected] : {std::pair(v.viewX, -20.f), {v.viewY, -50.f}, {v.viewZ, 100.f}})
        EXPECT_NEAR(actual, expected, 1e-4);
    // Lamps at 90 and 90 degrees light straight along z.
    chart->settings.lightDirectionX = chart->settings.lightDirectionY = 90;
    SetIdentityMatrix(m);
    ApplyViewMatrix(*chart, m);
    ComputeLightAndNormals(*chart);
    EXPECT_NEAR(chart->light[0], 0, 1e-6);
    EXPECT_NEAR(chart->light[2], 1, 1e-6);
    // The XY wall, wound 0-1-2, faces -z; the floor and the axis band (its corners) face +y.
    EXPECT_EQ(std::vector<float>(chart->walls[kWallXY].normal, chart->walls[kWallXY].normal + 3),
              (std::vector<float>{0, 0, -1}));
    EXPECT_FLOAT_EQ(chart->walls[kWallFloor].normal[1], 1);
    EXPECT_FLOAT_EQ(chart->axes[0].normal[1], 1);
    ChartFace f = LoadFace(*chart, 0);
    EXPECT_FLOAT_EQ(f.lightNormal[2], 1); // wound 2-1-0: the other way
    EXPECT_EQ(f.viewNormal[2], 0);
    // Turned half round about y, the view normals follow; the lighting normals stay.
    ApplyChartTransform(m, kRotateY, ChartDegreesToRadians(180));
    ApplyViewMatrix(*chart, m);
    ComputeViewNormals(*chart);
    f = LoadFace(*chart, 0);
    EXPECT_NEAR(f.viewNormal[2], -1, 1e-5);
    EXPECT_FLOAT_EQ(f.lightNormal[2], 1);
    EXPECT_NEAR(chart->walls[kWallXY].normal[2], 1, 1e-5);
    // Lamps at 80 and 100 degrees, as in a new chart.
    chart->settings.lightDirectionX = 80, chart->settings.lightDirectionY = 100;
    ComputeLightAndNormals(*chart);
    const double ch = std::cos(ChartDegreesToRadians(80)),
                 cv = std::cos(ChartDegreesToRadians(100));
    EXPECT_NEAR(chart->light[0], ch / std::sqrt(ch * ch + cv * cv + 1), 1e-6);
    EXPECT_NEAR(chart->light[1], cv / std::sqrt(ch * ch + cv * cv + 1), 1e-6);
    // A degenerate triangle has no direction.
    float nx, ny, nz;
    ComputeTriangleNormal(*chart, 0, 0, 1, &nx, &ny, &nz);
    EXPECT_FALSE(std::isfinite(nx) || std::isfinite(ny) || std::isfinite(nz));
}

} // namespace vl
