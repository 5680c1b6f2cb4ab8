// Costs of the picture draws on the per-frame path, each against a memcpy of
// the same bytes and, for the keyed alpha draw, against SDL's own keyed,
// alpha-modulated blit on the same surfaces, all measured in one run.
//   bench_picture_bench --benchmark_min_time=0.5
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/bitmapPicture.h"
#include "framework/GameNames.h"
#include "platform/Surface.h"

namespace {

constexpr int kW = names::kClientWidth, kH = names::kClientHeight;
constexpr std::uint32_t kKey = 0x00FF00FF;

// How much of the full-frame picture is keyed: 0 = none, 1 = shapes over a
// keyed background (about half, in runs, like an intro layer), 2 = mostly
// keyed (about nine tenths).
std::uint32_t framePixel(int x, int y, int coverage) {
    const std::uint32_t colour = ((x * 7 + y * 3) & 0xFF) << 16 | ((x ^ y) & 0xFF) << 8 | (y & 0xFF);
    if (coverage == 0) return colour == kKey ? 0x00FE00FF : colour;
    const int cx = x % 150 - 75, cy = y % 128 - 64;
    const int r2 = cx * cx + cy * cy;
    const bool shape = coverage == 1 ? r2 < 64 * 64 * 4 / 5 : r2 < 24 * 24;
    return shape && colour != kKey ? colour : kKey;
}

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("swapsprint_bench_" + std::to_string(::getpid()) + "_" + name))
        .string();
}

// Writes pixels as a 24-bit BMP and loads it as a picture at its own size.
void loadPicture(bitmapPicture& p, const platform::Surface& s, bool keyed) {
    const int w = s.width(), h = s.height(), stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> b(54 + static_cast<std::size_t>(stride) * h, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = &b[54 + static_cast<std::size_t>(h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            row[3 * x] = v & 0xFF;
            row[3 * x + 1] = (v >> 8) & 0xFF;
            row[3 * x + 2] = (v >> 16) & 0xFF;
        }
    }
    const std::string path = tempPath("picture.bmp");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    const HRESULT hr = p.init(path.c_str(), w, h, keyed, MAGENTA);
    std::filesystem::remove(path);
    if (hr != S_OK) std::abort();
}

platform::Surface framePicture(int coverage) {
    platform::Surface s(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) s.setPixel(x, y, framePixel(x, y, coverage));
    return s;
}

platform::Surface backdrop(int w, int h) {
    platform::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.setPixel(x, y, static_cast<std::uint32_t>(x * 2654435761u + y) & 0x00FFFFFF);
    return s;
}

void memcpyBytes(benchmark::State& state, std::size_t bytes) {
    std::vector<std::uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_MemcpyFrame(benchmark::State& state) { memcpyBytes(state, std::size_t{kW} * kH * 4); }

void BM_AlphaRenderKeyedFrame(benchmark::State& state) {
    bitmapPicture picture;
    loadPicture(picture, framePicture(static_cast<int>(state.range(0))), true);
    platform::Surface dst = backdrop(kW, kH);
    for (auto _ : state) {
        picture.alphaRender(&dst, 0, 0, 200);
        benchmark::DoNotOptimize(dst.pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * 4);
}

// SDL's keyed blit with run-length acceleration and a surface alpha of 200,
// the nearest thing SDL has to the same draw.
void BM_SdlBlitKeyedAlphaFrame(benchmark::State& state) {
    const platform::Surface pixels = framePicture(static_cast<int>(state.range(0)));
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_RGB888);
    platform::Surface back = backdrop(kW, kH);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(back.pixels(), kW, kH, 32, kW * 4,
                                                          SDL_PIXELFORMAT_RGB888);
    if (!src || !dst) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    for (int y = 0; y < kH; ++y)
        std::memcpy(static_cast<std::uint8_t*>(src->pixels) + y * src->pitch, pixels.row(y), kW * 4);
    SDL_SetColorKey(src, SDL_TRUE | SDL_RLEACCEL, kKey);
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(src, 200);
    for (auto _ : state) {
        SDL_Rect at{0, 0, kW, kH};
        SDL_BlitSurface(src, nullptr, dst, &at);
        benchmark::DoNotOptimize(back.pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * 4);
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

constexpr int kStripW = names::kClientWidth, kStripH = 380;

void BM_MemcpyStrip(benchmark::State& state) { memcpyBytes(state, std::size_t{kStripW} * kStripH * 4); }

// The runner strip's back layer, 1728 x 486, tiled over the 600 x 380 strip
// while it scrolls (so both one-tile and two-tile frames are measured).
void BM_LoopRenderStrip(benchmark::State& state) {
    bitmapPicture layer;
    loadPicture(layer, backdrop(1728, 486), false);
    platform::Surface back = backdrop(kW, kH);
    const RECT strip{0, 0, kStripW, kStripH};
    int offset = 0;
    for (auto _ : state) {
        layer.loopRender(&back, &strip, offset);
        offset = (offset + 7) % 1728;
        benchmark::DoNotOptimize(back.pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kStripW * kStripH * 4);
}

}  // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_AlphaRenderKeyedFrame)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_SdlBlitKeyedAlphaFrame)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_MemcpyStrip);
BENCHMARK(BM_LoopRenderStrip);
BENCHMARK_MAIN();
