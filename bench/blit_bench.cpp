// The game's own pictures drawn as the game draws them, each against SDL's
// blit of the same picture in the same run and against a memcpy of the same
// bytes: the keyed copy and the keyed constant-alpha blend of every
// full-screen layer of the intro, the play scene and the ranking, a cell of the
// light sweep and of a tile, and the runner strip's keyed front layer tiled
// while it scrolls. SDL gets its fastest paths: RLE for every keyed picture.
//
// Pictures are loaded from the run folder (build/game/img) through the game's
// own loader, as the scenes load them. After the timings the program prints
// the table of ratios and a second one with the least any draw must do on the
// same drawn pixels (write them; copy them; read them and those under them
// and write the latter), then checks every draw pixel for pixel: the keyed copy
// against SDL's and against the plain per-pixel rule, the keyed blend against
// (src*a + dst*(255-a)) / 255 on every channel; any difference fails the
// program. (SDL's blend is off by one on many channels; that is only shown.)
//   bench_blit_bench [--benchmark_min_time=0.1]
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/bitmapPicture.h"
#include "platform/KeyRuns.h"
#include "platform/Canvas.h"
#include "platform/Picture.h"
#include "platform/Surface.h"
#include "framework/GameNames.h"
#include "support/Harness.h"

namespace {

constexpr int kW = names::kClientWidth, kH = names::kClientHeight;
constexpr std::uint8_t kAlpha = 200;
constexpr std::uint32_t kKey = 0x00FF00FF;

// One draw the game makes: the source rectangle of a picture, at (0, 0).
struct Case {
    std::string name;
    std::unique_ptr<bitmapPicture> picture;
    platform::Surface pixels;        // its pixels, for the plain loops
    int sx = 0, sy = 0, w = 0, h = 0;
    double drawn = 0;                // share of the rectangle's pixels that are not key
    struct Run { int y, x, n; };
    std::vector<Run> runs;           // the rectangle's drawn pixels, row by row
    SDL_Surface* sdlKeyed = nullptr; // colour key, RLE
    SDL_Surface* sdlBlend = nullptr; // colour key, RLE, alpha mod, blend mode
};

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

// A back buffer with the sky drawn in it, and SDL's back buffer alike. (Not
// SDL's view of ours: a picture with no key pixels drawn over the whole of
// ours is shared, not copied, and ours then holds other memory.)
struct Target {
    platform::Canvas back{kW, kH};
    SDL_Surface* sdl = nullptr;
    std::vector<std::uint8_t> from, to;  // for the memcpy of each case's bytes
    std::vector<std::uint32_t> floor = std::vector<std::uint32_t>(std::size_t(kW) * kH);
} target;

SDL_Surface* sdlCopyOf(const platform::Surface& s, int sx, int sy, int w, int h) {
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
    if (!out) return nullptr;
    for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<char*>(out->pixels) + y * out->pitch, s.row(sy + y) + sx, 4 * std::size_t(w));
    return out;
}

bool addCase(const std::string& name, const std::string& file, int width, int height, int frames,
             int cell) {
    auto picture = std::make_unique<bitmapPicture>();
    const std::string path = testing_support::gameDir() + "/img/" + file;
    if (picture->initFrames(path.c_str(), width, height, frames, 1, true, MAGENTA) != S_OK) {
        std::fprintf(stderr, "blit_bench: cannot load %s (build the game first)\n", path.c_str());
        return false;
    }
    Case c;
    c.name = name;
    c.w = picture->getFrameWidth();
    c.h = picture->getFrameHeight();
    c.sx = cell * c.w;
    c.pixels = picture->getPicture()->copy();
    const platform::Surface& pixels = c.pixels;
    long drawn = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w;) {
            auto keyed = [&](int at) { return (pixels.pixel(c.sx + at, y) & 0xFFFFFF) == kKey; };
            if (keyed(x)) { ++x; continue; }
            const int from = x;
            while (x < c.w && !keyed(x)) ++x;
            c.runs.push_back({y, from, x - from});
            drawn += x - from;
        }
    c.drawn = double(drawn) / (double(c.w) * c.h);
    // SDL gets the whole picture too, and blits the same cell of it.
    c.sdlKeyed = sdlCopyOf(pixels, 0, 0, pixels.width(), pixels.height());
    c.sdlBlend = sdlCopyOf(pixels, 0, 0, pixels.width(), pixels.height());
    if (!c.sdlKeyed || !c.sdlBlend) return false;
    for (SDL_Surface* s : {c.sdlKeyed, c.sdlBlend}) {
        SDL_SetColorKey(s, SDL_TRUE, SDL_MapRGB(s->format, 255, 0, 255));
        SDL_SetSurfaceRLE(s, 1);
    }
    SDL_SetSurfaceBlendMode(c.sdlBlend, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(c.sdlBlend, kAlpha);
    c.picture = std::move(picture);
    cases().push_back(std::move(c));
    return true;
}

bool loadCases() {
    for (int i = 0; i <= 9; ++i) {
        const std::string n = std::to_string(i);
        if (!addCase("main" + n, "main" + n + ".bmp", kW, kH, 1, 0)) return false;
    }
    return addCase("light cell", "light.bmp", 4256, kH, 8, 3) &&
           addCase("bg", "bg.bmp", kW, kH, 1, 0) &&
           addCase("rankMarlo", "rankMarlo.bmp", kW, kH, 1, 0) &&
           addCase("rankframe", "rankframe.bmp", kW, kH, 1, 0) &&
           addCase("block1 cell", "block1.bmp", 128, 64, 2, 1) &&
           addCase("marlo cell", "marlo.bmp", 1278, 200, 8, 2);
}

void sdlBlit(SDL_Surface* src, const Case& c) {
    SDL_Rect from{c.sx, c.sy, c.w, c.h}, at{0, 0, c.w, c.h};
    SDL_BlitSurface(src, &from, target.sdl, &at);
}

void bytesPerIteration(benchmark::State& state, const Case& c) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.w * c.h * 4);
}

void KeyedCopyOurs(benchmark::State& state, const Case* c) {
    for (auto _ : state) {
        c->picture->render(&target.back, 0, 0, c->sx, c->sy, c->w, c->h);
        benchmark::ClobberMemory();
    }
    bytesPerIteration(state, *c);
}

void KeyedCopySdl(benchmark::State& state, const Case* c) {
    sdlBlit(c->sdlKeyed, *c);  // the first blit encodes the runs
    for (auto _ : state) {
        sdlBlit(c->sdlKeyed, *c);
        benchmark::ClobberMemory();
    }
    bytesPerIteration(state, *c);
}

void KeyedBlendOurs(benchmark::State& state, const Case* c) {
    for (auto _ : state) {
        c->picture->alphaRender(&target.back, 0, 0, c->sx, c->sy, c->w, c->h, kAlpha);
        benchmark::ClobberMemory();
    }
    bytesPerIteration(state, *c);
}

void KeyedBlendSdl(benchmark::State& state, const Case* c) {
    sdlBlit(c->sdlBlend, *c);
    for (auto _ : state) {
        sdlBlit(c->sdlBlend, *c);
        benchmark::ClobberMemory();
    }
    bytesPerIteration(state, *c);
}

void Memcpy(benchmark::State& state, const Case* c) {
    const std::size_t bytes = std::size_t(c->w) * c->h * 4;
    for (auto _ : state) {
        std::memcpy(target.to.data(), target.from.data(), bytes);
        benchmark::ClobberMemory();
    }
    bytesPerIteration(state, *c);
}

// The least any draw of a picture must do, whatever its method, on its drawn
// pixels alone: write them, reading nothing; copy them (a memcpy per run);
// read them and the pixels under them and write the latter, as a blend must
// (an exclusive or stands in for the blend's arithmetic).
void DrawnWritten(benchmark::State& state, const Case* c) {
    for (auto _ : state) {
        for (const Case::Run& r : c->runs) std::fill_n(target.floor.data() + r.y * kW + r.x, r.n, 0x00123456u);
        benchmark::ClobberMemory();
    }
}

void DrawnCopied(benchmark::State& state, const Case* c) {
    const platform::Surface& pic = c->pixels;
    for (auto _ : state) {
        for (const Case::Run& r : c->runs)
            std::memcpy(target.floor.data() + r.y * kW + r.x, pic.row(c->sy + r.y) + c->sx + r.x, 4 * std::size_t(r.n));
        benchmark::ClobberMemory();
    }
}

void DrawnReadTwice(benchmark::State& state, const Case* c) {
    const platform::Surface& pic = c->pixels;
    for (auto _ : state) {
        for (const Case::Run& r : c->runs) {
            std::uint32_t* to = target.floor.data() + r.y * kW + r.x;
            const std::uint32_t* from = pic.row(c->sy + r.y) + c->sx + r.x;
            for (int i = 0, n = r.n; i < n; ++i) to[i] ^= from[i];
        }
        benchmark::ClobberMemory();
    }
}

// A frame's start as the intro draws it: the white fill, the sky (no key
// pixels, over the whole frame: shared, not copied) and the first layer over
// it, whose draw makes the frame's own pixels row by row as it goes. So the
// sky's copy shows here, not in its own row of the table.
void FrameStartOurs(benchmark::State& state) {
    const Case& sky = cases()[0];
    const Case& layer = cases()[1];
    for (auto _ : state) {
        platform::fillWhite(target.back, 0, 0, kW, kH);
        sky.picture->render(&target.back, 0, 0);
        layer.picture->render(&target.back, 0, 0);
        benchmark::DoNotOptimize(target.back.pixels().pixels());  // read whole, as the window does
    }
}

void FrameStartSdl(benchmark::State& state) {
    const Case& sky = cases()[0];
    const Case& layer = cases()[1];
    // No white fill: the sky covers it, and SDL is given the benefit.
    for (auto _ : state) {
        sdlBlit(sky.sdlKeyed, sky);
        sdlBlit(layer.sdlKeyed, layer);
        benchmark::ClobberMemory();
    }
}

// A play frame's start as the play scene draws it: the background over the
// whole frame (shared), the white veil blended over the board, the strip's
// opaque back layer tiled over the top 380 rows as it scrolls, then the frame
// read whole as the window shows it. Rows the back layer hides are never made
// from the background.
struct PlayStart {
    std::unique_ptr<bitmapPicture> veil, back;
    SDL_Surface* sdlVeil = nullptr;
    SDL_Surface* sdlBack = nullptr;
} play;
constexpr RECT kBoard{21, 409, 578, 966};
constexpr std::uint8_t kVeilAlpha = 50;
constexpr int kBackW = 1728, kBackH = 486;

const Case& caseNamed(const std::string& name) {
    for (const Case& c : cases())
        if (c.name == name) return c;
    return cases().front();
}

void PlayStartOurs(benchmark::State& state) {
    const Case& bg = caseNamed("bg");
    const RECT strip{0, 0, kW, 380};
    int offset = 0;
    for (auto _ : state) {
        bg.picture->render(&target.back, 0, 0);
        play.veil->alphaRender(&target.back, kBoard.left, kBoard.top, kVeilAlpha);
        play.back->loopRender(&target.back, &strip, offset);
        offset = (offset + 3) % kBackW;
        benchmark::DoNotOptimize(target.back.pixels().pixels());
    }
}

void PlayStartSdl(benchmark::State& state) {
    const Case& bg = caseNamed("bg");
    int offset = 0;
    for (auto _ : state) {
        sdlBlit(bg.sdlKeyed, bg);
        SDL_Rect board{kBoard.left, kBoard.top, 0, 0};
        SDL_BlitSurface(play.sdlVeil, nullptr, target.sdl, &board);
        for (int x = 0; x < kW;) {
            const int srcX = (x + offset) % kBackW, w = std::min(kBackW - srcX, kW - x);
            SDL_Rect from{srcX, 0, w, 380}, at{x, 0, w, 380};
            SDL_BlitSurface(play.sdlBack, &from, target.sdl, &at);
            x += w;
        }
        offset = (offset + 3) % kBackW;
        benchmark::ClobberMemory();
    }
}

// The runner strip's front layer (1420 x 400, a third of it drawn), tiled over
// the strip as it scrolls: one or two tiles a frame, as the game draws it.
struct Strip {
    std::unique_ptr<bitmapPicture> picture;
    SDL_Surface* sdl = nullptr;
} strip;
constexpr int kStripW = names::kClientWidth, kStripH = 380;

void StripOurs(benchmark::State& state) {
    const RECT area{0, 0, kStripW, kStripH};
    int offset = 0;
    for (auto _ : state) {
        strip.picture->loopRender(&target.back, &area, offset);
        offset = (offset + 7) % 1420;
        benchmark::ClobberMemory();
    }
}

void StripSdl(benchmark::State& state) {
    int offset = 0;
    for (auto _ : state) {
        for (int x = 0; x < kStripW;) {
            const int srcX = (x + offset) % 1420, w = std::min(1420 - srcX, kStripW - x);
            SDL_Rect from{srcX, 0, w, kStripH}, at{x, 0, w, kStripH};
            SDL_BlitSurface(strip.sdl, &from, target.sdl, &at);
            x += w;
        }
        offset = (offset + 7) % 1420;
        benchmark::ClobberMemory();
    }
}

void StripMemcpy(benchmark::State& state) {
    for (auto _ : state) {
        std::memcpy(target.to.data(), target.from.data(), std::size_t(kStripW) * kStripH * 4);
        benchmark::ClobberMemory();
    }
}

// The strip's far layer (bgBack, opaque, its sky in flat bands) tiled over
// the top 380 rows as it scrolls: by its flat stretches, as the game keeps it,
// and by plain rows. In the game it is drawn a frame after it was last read,
// out of caches the frame's other drawing and the display have gone through,
// so each is also timed after 32 MB were written elsewhere.
struct FarLayer {
    std::shared_ptr<const platform::Picture> flat, plain;
} far;

// src null: a memcpy of the same bytes.
void farLayer(benchmark::State& state, const platform::Picture* src, bool cold) {
    std::vector<char> elsewhere(cold ? 32u << 20 : 0);
    int offset = 0;
    char fill = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            std::memset(elsewhere.data(), ++fill, elsewhere.size());
            state.ResumeTiming();
        }
        if (!src) {
            std::memcpy(target.to.data(), target.from.data(), std::size_t(kW) * kStripH * 4);
        } else {
            for (int x = 0; x < kW;) {
                const int srcX = (x + offset) % kBackW, w = std::min(kBackW - srcX, kW - x);
                platform::copyRect(target.back, x, 0, w, kStripH, *src, srcX, 0);
                x += w;
            }
        }
        offset = (offset + 2) % kBackW;
        benchmark::ClobberMemory();
    }
}

// Each benchmark is repeated and judged by its fastest repetition, the least
// disturbed by whatever else the machine is doing.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

class BestOfReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> best;  // microseconds of CPU per draw

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min")
                best[r.run_name.function_name] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void registerAll() {
    auto add = [](const std::string& name, auto fn, const Case* c) {
        benchmark::RegisterBenchmark(name.c_str(), fn, c)
            ->Repetitions(5)
            ->ComputeStatistics("min", fastest)
            ->Unit(benchmark::kMicrosecond);
    };
    for (const Case& c : cases()) {
        add("copy ours/" + c.name, KeyedCopyOurs, &c);
        add("copy SDL/" + c.name, KeyedCopySdl, &c);
        add("blend ours/" + c.name, KeyedBlendOurs, &c);
        add("blend SDL/" + c.name, KeyedBlendSdl, &c);
        add("memcpy/" + c.name, Memcpy, &c);
        add("drawn written/" + c.name, DrawnWritten, &c);
        add("drawn copied/" + c.name, DrawnCopied, &c);
        add("drawn read twice/" + c.name, DrawnReadTwice, &c);
    }
    using Fn = void (*)(benchmark::State&);
    for (auto [name, fn] : {std::pair<const char*, Fn>{"strip ours", StripOurs},
                            {"strip SDL", StripSdl}, {"strip memcpy", StripMemcpy},
                            {"frame start ours", FrameStartOurs}, {"frame start SDL", FrameStartSdl},
                            {"play start ours", PlayStartOurs}, {"play start SDL", PlayStartSdl}})
        benchmark::RegisterBenchmark(name, fn)
            ->Repetitions(5)
            ->ComputeStatistics("min", fastest)
            ->Unit(benchmark::kMicrosecond);
    for (bool cold : {false, true})
        for (auto [name, src] : {std::pair<const char*, const platform::Picture*>{"far layer flat", far.flat.get()},
                                 {"far layer plain", far.plain.get()}, {"far layer memcpy", nullptr}})
            benchmark::RegisterBenchmark((std::string(name) + (cold ? " cold" : "")).c_str(),
                                         [src, cold](benchmark::State& st) { farLayer(st, src, cold); })
                ->Repetitions(5)
                ->ComputeStatistics("min", fastest)
                ->Unit(benchmark::kMicrosecond);
}

// ---------------------------------------------------------------------------
// Exactness

std::uint32_t byFormula(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    std::uint32_t out = 0;
    for (int sh : {0, 8, 16})
        out |= ((((s >> sh) & 255) * a + ((d >> sh) & 255) * (255 - a)) / 255) << sh;
    return out;
}

// Every case drawn over a busy background: ours against the rule, SDL's keyed
// copy, and the same draw from a copy of the picture that was never analysed.
// Returns the number of pixels that differ anywhere.
long checkExactness() {
    long farDiffer = 0;
    for (int offset : {0, 1, 17, 1127, kBackW - 1}) {
        platform::Surface byFlat(kW, kH), byRows(kW, kH);
        for (int x = 0; x < kW;) {
            const int srcX = (x + offset) % kBackW, w = std::min(kBackW - srcX, kW - x);
            platform::copyRect(byFlat, x, 0, w, kStripH, *far.flat, srcX, 0);
            platform::copyRect(byRows, x, 0, w, kStripH, *far.plain, srcX, 0);
            x += w;
        }
        for (int i = 0; i < kW * kH; ++i) farDiffer += byFlat.pixels()[i] != byRows.pixels()[i];
    }
    if (farDiffer) std::printf("far layer by flat stretches: %ld pixels differ\n", farDiffer);
    platform::Surface background(kW, kH);
    std::uint32_t seed = 2024;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) background.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    long differ = 0;
    for (const Case& c : cases()) {
        const platform::Surface& pic = c.pixels;
        if (!c.picture->getPicture()->keyRuns(kKey)) {
            std::printf("%s: loaded without its runs\n", c.name.c_str());
            ++differ;
        }
        const platform::Surface& plain = pic;  // the same pixels, never analysed
        for (int alpha : {-1, 0, 1, 77, 128, int{kAlpha}, 255}) {  // -1: the keyed copy
            platform::Canvas ours(background);
            platform::Surface unanalysed = background, viaSdl = background;
            SDL_Surface* sdlDst = SDL_CreateRGBSurfaceWithFormatFrom(viaSdl.pixels(), kW, kH, 32, kW * 4,
                                                                     SDL_PIXELFORMAT_RGB888);
            if (alpha < 0) {
                c.picture->render(&ours, 0, 0, c.sx, c.sy, c.w, c.h);
                platform::keyedCopy(unanalysed, 0, 0, c.w, c.h, plain, c.sx, c.sy, MAGENTA);
                SDL_Rect from{c.sx, c.sy, c.w, c.h}, at{0, 0, c.w, c.h};
                SDL_BlitSurface(c.sdlKeyed, &from, sdlDst, &at);
            } else {
                c.picture->alphaRender(&ours, 0, 0, c.sx, c.sy, c.w, c.h, std::uint8_t(alpha));
                platform::keyedBlend(unanalysed, 0, 0, c.w, c.h, plain, c.sx, c.sy, MAGENTA, std::uint8_t(alpha));
            }
            SDL_FreeSurface(sdlDst);
            long bad = 0;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const std::uint32_t d = background.pixel(x, y);
                    const bool inside = x < c.w && y < c.h;
                    const std::uint32_t s = inside ? pic.pixel(c.sx + x, c.sy + y) : kKey;
                    const bool keyed = (s & 0xFFFFFF) == kKey;
                    const std::uint32_t want = keyed || alpha == 0 ? d : alpha < 0 ? s : byFormula(s, d, alpha);
                    bad += ours.pixel(x, y) != want || unanalysed.pixel(x, y) != want ||
                           (alpha < 0 && (viaSdl.pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF));
                }
            if (bad) std::printf("%s, %s: %ld pixels differ\n", c.name.c_str(), alpha < 0 ? "keyed copy" : ("blend " + std::to_string(alpha)).c_str(), bad);
            differ += bad;
        }
    }
    return differ + farDiffer;
}

// How far SDL's keyed blend strays from the rule, on the first full-screen layer.
void showSdlBlend() {
    const Case& c = cases().front();
    platform::Surface back(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) back.setPixel(x, y, std::uint32_t(x * 2654435761u + y) & 0xFFFFFF);
    platform::Surface viaSdl = back;
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(viaSdl.pixels(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_RGB888);
    SDL_Rect from{c.sx, c.sy, c.w, c.h}, at{0, 0, c.w, c.h};
    SDL_BlitSurface(c.sdlBlend, &from, dst, &at);
    SDL_FreeSurface(dst);
    long off = 0, worst = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const std::uint32_t s = c.pixels.pixel(x, y);
            if ((s & 0xFFFFFF) == kKey) continue;
            const std::uint32_t want = byFormula(s, back.pixel(x, y), kAlpha), got = viaSdl.pixel(x, y);
            for (int sh : {0, 8, 16}) {
                const long diff = std::labs(long((got >> sh) & 255) - long((want >> sh) & 255));
                off += diff != 0;
                worst = std::max(worst, diff);
            }
        }
    std::printf("SDL's keyed blend of %s at alpha %d: %ld channels off the rule, at most %ld\n",
                c.name.c_str(), kAlpha, off, worst);
}

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

}  // namespace

int main(int argc, char** argv) {
    if (SDL_Init(0) != 0 || !loadCases()) return 1;
    target.sdl = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_RGB888);
    if (!target.sdl) return 1;
    sdlBlit(cases().front().sdlKeyed, cases().front());
    target.from.assign(std::size_t(kW) * kH * 4, 1);
    target.to.assign(std::size_t(kW) * kH * 4, 2);
    cases().front().picture->render(&target.back, 0, 0);  // a drawn back buffer to draw over
    strip.picture = std::make_unique<bitmapPicture>();
    const std::string front = testing_support::gameDir() + "/img/bgFront.bmp";
    if (strip.picture->init(front.c_str(), 1420, 400, true, MAGENTA) != S_OK) return 1;
    strip.sdl = sdlCopyOf(strip.picture->getPicture()->copy(), 0, 0, 1420, kStripH);
    SDL_SetColorKey(strip.sdl, SDL_TRUE, SDL_MapRGB(strip.sdl->format, 255, 0, 255));
    SDL_SetSurfaceRLE(strip.sdl, 1);
    play.veil = std::make_unique<bitmapPicture>();
    play.back = std::make_unique<bitmapPicture>();
    const std::string veil = testing_support::gameDir() + "/img/white.bmp";
    const std::string back = testing_support::gameDir() + "/img/bgBack.bmp";
    if (play.veil->init(veil.c_str(), 557, 557, false, 0) != S_OK ||
        play.back->init(back.c_str(), kBackW, kBackH, false, 0) != S_OK)
        return 1;
    const platform::Surface backPixels = play.back->getPicture()->copy();
    far.plain = platform::Picture::of(backPixels);  // no analysis
    far.flat = platform::Picture::freeze(backPixels, std::nullopt, true);
    if (!far.flat->flatRows()) return 1;
    play.sdlVeil = sdlCopyOf(play.veil->getPicture()->copy(), 0, 0, 557, 557);
    play.sdlBack = sdlCopyOf(backPixels, 0, 0, kBackW, kBackH);
    if (!play.sdlVeil || !play.sdlBack) return 1;
    SDL_SetSurfaceBlendMode(play.sdlVeil, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(play.sdlVeil, kVeilAlpha);

    // Interleave the repetitions of all benchmarks, so a burst of load from
    // elsewhere on the machine spreads over ours, SDL's and memcpy alike.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string minTime = "--benchmark_min_time=0.1";
    args.insert(args.begin() + 1, {interleave.data(), minTime.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    registerAll();
    BestOfReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto& b = reporter.best;
    auto at = [&](const std::string& k) { return b.count(k) ? b.at(k) : -1.0; };
    std::printf("\n%s. CPU time per draw, fastest of 5 repetitions, us.\n", cpuModel().c_str());
    std::printf("Keyed copy and keyed blend (alpha %d) of each picture at (0, 0); memcpy of the same bytes.\n\n", kAlpha);
    std::printf("| Picture | Size | Drawn | memcpy | Copy | SDL RLE copy | Copy / memcpy | Copy / SDL | Blend | SDL RLE blend | Blend / memcpy | Blend / SDL |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Case& c : cases()) {
        const double m = at("memcpy/" + c.name), co = at("copy ours/" + c.name), cs = at("copy SDL/" + c.name);
        const double bo = at("blend ours/" + c.name), bs = at("blend SDL/" + c.name);
        if (m <= 0 || co <= 0 || cs <= 0 || bo <= 0 || bs <= 0) continue;
        std::printf("| %s | %d x %d | %.0f%% | %.1f | %.1f | %.1f | %.2f | %.2f | %.1f | %.1f | %.2f | %.2f |\n",
                    c.name.c_str(), c.w, c.h, 100 * c.drawn, m, co, cs, co / m, co / cs, bo, bs, bo / m, bo / bs);
    }
    std::printf("\nThe least any draw must do on the drawn pixels alone, in multiples of the memcpy above: write them (reading nothing),"
                " copy them (a memcpy per run), read them and the pixels under them and write those (as a blend must).\n\n");
    std::printf("| Picture | Drawn | Copy | Drawn copied | Drawn written | Blend | Drawn read twice, written once |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Case& c : cases()) {
        const double m = at("memcpy/" + c.name), co = at("copy ours/" + c.name), bo = at("blend ours/" + c.name);
        const double dw = at("drawn written/" + c.name), dc = at("drawn copied/" + c.name),
                     dr = at("drawn read twice/" + c.name);
        if (m <= 0 || co <= 0 || bo <= 0 || dw <= 0 || dc <= 0 || dr <= 0) continue;
        std::printf("| %s | %.0f%% | %.2f | %.2f | %.2f | %.2f | %.2f |\n", c.name.c_str(), 100 * c.drawn, co / m,
                    dc / m, dw / m, bo / m, dr / m);
    }
    const double so = at("strip ours"), ss = at("strip SDL"), sm = at("strip memcpy");
    if (so > 0 && ss > 0 && sm > 0)
        std::printf("\nRunner strip front layer tiled over 600 x 380: ours %.1f us, SDL RLE %.1f us, memcpy %.1f us (%.2f of memcpy, %.2f of SDL)\n",
                    so, ss, sm, so / sm, so / ss);

    const double fo = at("frame start ours"), fs = at("frame start SDL"), fm = at("memcpy/" + cases()[0].name);
    if (fo > 0 && fs > 0 && fm > 0)
        std::printf("\nA frame's start (white fill, %s, %s over it): ours %.1f us, SDL RLE %.1f us, memcpy of the frame %.1f us (%.2f of memcpy, %.2f of SDL)\n",
                    cases()[0].name.c_str(), cases()[1].name.c_str(), fo, fs, fm, fo / fm, fo / fs);
    const double po = at("play start ours"), ps = at("play start SDL");
    if (po > 0 && ps > 0 && fm > 0)
        std::printf("A play frame's start (bg, the white veil blended over the board, the strip's back layer over the top 380 rows): ours %.1f us, SDL %.1f us (%.2f of memcpy, %.2f of SDL)\n",
                    po, ps, po / fm, po / ps);

    for (const char* when : {"", " cold"}) {
        const double ff = at(std::string("far layer flat") + when), fp = at(std::string("far layer plain") + when),
                     fmc = at(std::string("far layer memcpy") + when);
        if (ff > 0 && fp > 0 && fmc > 0)
            std::printf("Strip far layer over 600 x 380%s: by flat stretches %.1f us, by plain rows %.1f us, memcpy %.1f us (%.2f of memcpy, %.2f of plain rows)\n",
                        *when ? ", caches emptied first" : "", ff, fp, fmc, ff / fmc, ff / fp);
    }

    std::printf("\n");
    showSdlBlend();
    const long differ = checkExactness();
    std::printf("exactness: %s\n", differ ? "DIFFERENCES FOUND" : "every keyed copy and blend exact, every keyed copy equal to SDL's, the far layer by its stretches equal to its rows");
    SDL_FreeSurface(target.sdl);
    for (Case& c : cases()) {
        SDL_FreeSurface(c.sdlKeyed);
        SDL_FreeSurface(c.sdlBlend);
    }
    SDL_FreeSurface(strip.sdl);
    SDL_FreeSurface(play.sdlVeil);
    SDL_FreeSurface(play.sdlBack);
    benchmark::Shutdown();
    return differ ? 1 : 0;
}
