// Image codecs on a full-HD picture: reading JPEG (target at least 100 MB of pixels a
// second) and PNG (at least 50 MB/s); writing PNG beside a plain libpng encode of the same
// rows with the same settings (target at least 0.9 of its speed); the Julia renderer (at
// least 100 million iterations a second).

#include "platform/core/imagecodecs.h"
#include "platform/core/julia.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <vector>

using namespace vl;

namespace {

const COLORREF kPalette[16] = {
    0x00FF00, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFFFF00, 0x808080, 0x808000, 0xFF00FF,
    0x008080, 0x800080, 0xFFFFFF, 0x000080, 0x008000, 0x800000, 0xC0C0C0, 0x000000,
};
const JuliaParams kDefaults{0.11, 0.66, -1.1, 1.1, -1.1, 1.1};
constexpr int32_t kWidth = 1920, kHeight = 1080;

const PackedDib& Picture() {
    static PackedDib dib = [] {
        PackedDib d;
        uint8_t error;
        RenderJuliaRows(d, 0, kHeight - 1, kWidth, kHeight, kPalette, kDefaults, &error);
        return d;
    }();
    return dib;
}

void BM_LoadJpeg(benchmark::State& state) {
    std::vector<uint8_t> file;
    uint8_t error;
    SaveJpeg(Picture(), file, 90, &error);
    for (auto _ : state) benchmark::DoNotOptimize(LoadJpeg(file.data(), file.size(), &error));
    state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 3);
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);

void BM_LoadPng(benchmark::State& state) {
    std::vector<uint8_t> file;
    uint8_t error;
    SavePng(Picture(), file, 0, &error);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPng(file.data(), file.size(), false, 0, &error));
    state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 3);
}
BENCHMARK(BM_LoadPng)->Unit(benchmark::kMillisecond);

void BM_SavePng(benchmark::State& state) {
    std::vector<uint8_t> out;
    uint8_t error;
    for (auto _ : state) SavePng(Picture(), out, 0, &error);
    state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 3);
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond);

// The reference: libpng writing the same rows into a growing vector.
void AppendBytes(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

void BM_PlainLibpngEncode(benchmark::State& state) {
    const uint8_t* rows = Picture().Data() + kDibHeaderSize;
    const size_t stride = size_t(DibStride(kWidth, 24));
    std::vector<png_bytep> table(kHeight);
    for (int y = 0; y < kHeight; ++y) table[y] = const_cast<uint8_t*>(rows + stride * y);
    for (auto _ : state) {
        std::vector<uint8_t> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, AppendBytes, NoFlush);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_gAMA(png, info, 1 / 2.2);
        png_write_info(png, info);
        png_set_bgr(png);
        png_write_image(png, table.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kWidth) * kHeight * 3);
}
BENCHMARK(BM_PlainLibpngEncode)->Unit(benchmark::kMillisecond);

void BM_RenderJuliaRows(benchmark::State& state) {
    constexpr int32_t w = 640, h = 360;
    int64_t iterations = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int n = JuliaEntry(-1.1 + x * (2.2 / w), -1.1 + y * (2.2 / h), 0.11, 0.66);
            iterations += n ? n : 1;
        }
    for (auto _ : state) {
        PackedDib block;
        uint8_t error;
        RenderJuliaRows(block, 0, h - 1, w, h, kPalette, kDefaults, &error);
        benchmark::DoNotOptimize(block.Data());
    }
    state.SetItemsProcessed(state.iterations() * iterations);
}
BENCHMARK(BM_RenderJuliaRows)->Unit(benchmark::kMillisecond);

} // namespace
