// A range or container image saved through automation with the real document services: the
// gamma written into the PNG file, at its last accepted and first refused values.

#include "platform/com/errorinfo.h"
#include "print/printerservice.h"
#include "program/documentservices.h"
#include "tests/automation/automationtestutil.h"
#include "tests/print/fakeprinters.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace vl {

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kContainerId = 4;
constexpr HRESULT kPngWriteHr = HRESULT(0x80040000u + kPngWriteError);

class ImageGammaTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        SetDocumentServices(&services);
        NewDocument();
        PutNumber("$A$1", 6);
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = kContainerId;
        c->settings.right = 40;
        c->settings.bottom = 30;
        LinkContainer(*Doc().tree.active, std::move(c));
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        AutomationTest::TearDown();
    }
    // The gAMA value of a written file in 100,000ths, or -1 without one.
    static int64_t FileGamma(const std::string& path) {
        const std::vector<uint8_t> bytes = tempfiles::ReadBytes(path);
        const std::string text(bytes.begin(), bytes.end());
        const size_t at = text.find("gAMA");
        if (at == std::string::npos || at + 8 > bytes.size()) return -1;
        const uint8_t* v = bytes.data() + at + 4;
        return int64_t(v[0]) << 24 | v[1] << 16 | v[2] << 8 | v[3];
    }

    printtest::FakePrinters printers;
    CScreenDocumentServices services{printers};
};

} // namespace

// The file keeps the gamma in 100,000ths: 0.00016 (16) to 6,250 (625,000,000) are written;
// past either end, a negative, infinite or missing number is error 54 (a PNG that cannot be
// written), never error 6, and leaves no file.
TEST_F(ImageGammaTest, BadGammasAre54AndWriteNothing) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct Case {
        double gamma;
        int64_t written; // -1: refused
    } cases[] = {
        {0, 45455},    {1, 100000},        {0.00016, 16},     {6250, 625000000}, {0.00015, -1},
        {6250.01, -1}, {-1, -1},           {-0.0001, -1},     {1e300, -1},       {inf, -1},
        {-inf, -1},    {std::nan(""), -1}, {21474.83648, -1},
    };
    for (const Case& c : cases) {
        for (const bool container : {false, true}) {
            const std::string path = folder.Path("gamma.png");
            Doc().error = kErrorNone;
            const HRESULT hr = container
                                   ? obj->SaveContainerAsImage(kContainerId, CBstr(path), c.gamma)
                                   : obj->SaveRangeAsImage("$A$1:$B$2", CBstr(path), c.gamma);
            if (c.written < 0) {
                EXPECT_EQ(hr, kPngWriteHr) << c.gamma << " " << container;
                EXPECT_FALSE(fs::exists(path)) << c.gamma;
                EXPECT_TRUE(fs::is_empty(folder.Dir())) << c.gamma;
            } else {
                EXPECT_EQ(hr, S_OK) << c.gamma << " " << container;
                EXPECT_EQ(FileGamma(path), c.written) << c.gamma;
            }
            fs::remove(path);
        }
    }
}

} // namespace vl
