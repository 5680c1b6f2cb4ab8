// The drawing operations under every game picture: exact pixels, clipping at
// every edge, keys compared on the colour alone, and blends exact in every
// instruction-set kernel.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/Surface.h"
#include "platform/Picture.h"
#include "platform/KeyRuns.h"
#include "platform/SurfaceSimd.h"
#include "support/TestFiles.h"

using platform::Surface;
using testing_support::makeSurface;
namespace simd = platform::simd;

namespace {

// The versions of one kernel this processor runs: SSE2 (or the plain one),
// then AVX2 and AVX-512 where it has them.
template <class Kernel>
std::vector<Kernel> runnable(Kernel sse2, Kernel avx2, Kernel avx512 = nullptr) {
    std::vector<Kernel> out{sse2};
    if (simd::haveAvx2()) out.push_back(avx2);
    if (avx512 && simd::haveAvx512bw()) out.push_back(avx512);
    return out;
}

// Every pixel differs from the others and from 0.
Surface patterned(int w, int h, std::uint32_t seed, std::uint32_t topByte = 0) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t v = (x + 1) * 2654435761u ^ (y + 7) * 40503u ^ seed * 97u;
            s.setPixel(x, y, ((v ^ v >> 13) & 0xFFFFFF) | topByte << 24);
        }
    return s;
}

// The blend as written down: per channel, with a real division.
std::uint32_t byFormula(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    std::uint32_t out = 0;
    for (int sh : {0, 8, 16}) out |= ((((s >> sh) & 255) * a + ((d >> sh) & 255) * (255 - a)) / 255) << sh;
    return out;
}

// One character a pixel: '.' black, R G B W the pure colours, values 'a'..'z'
// as themselves, '#' anything else.
std::string picture(const Surface& s) {
    const std::pair<std::uint32_t, char> named[] = {{0, '.'}, {0xFF0000, 'R'}, {0xFF00, 'G'}, {0xFF, 'B'}, {0xFFFFFF, 'W'}};
    std::string out;
    for (int y = 0; y < s.height(); ++y, out += '/')
        for (int x = 0; x < s.width(); ++x) {
            const std::uint32_t p = s.pixel(x, y) & 0xFFFFFF;
            char c = p >= 'a' && p <= 'z' ? char(p) : '#';
            for (auto [v, n] : named) c = p == v ? n : c;
            out += c;
        }
    return out;
}

using Draw = std::function<void(Surface&, int, int, int, int, const Surface&, int, int)>;

// Draws from awkward placements (negative, past every edge, huge sizes) and
// checks each destination pixel against a naive model: it changes only when it
// lies in the destination rectangle and its source pixel exists.
void expectClipped(const Draw& draw, const Surface& src,
                   const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& rule) {
    const Surface before = patterned(21, 6, 2);
    for (int dx : {INT_MIN, -25, -3, -1, 0, 1, 4, 17, 20, INT_MAX})
        for (int dy : {-7, -1, 0, 2, 6})
            for (int sx : {-21, -2, 0, 3, 18, 19})
                for (int sy : {INT_MIN, -6, -1, 0, 4, 5})
                    for (int w : {INT_MIN, -3, 0, 1, 4, 5, 9, 13, 40, INT_MAX})
                        for (int h : {-1, 0, 1, 3, INT_MAX}) {
                            Surface dst = before;
                            draw(dst, dx, dy, w, h, src, sx, sy);
                            for (int y = 0; y < dst.height(); ++y)
                                for (int x = 0; x < dst.width(); ++x) {
                                    const long long ox = x - (long long)dx, oy = y - (long long)dy;
                                    const long long px = sx + ox, py = sy + oy;
                                    const bool in = ox >= 0 && oy >= 0 && ox < w && oy < h && px >= 0 &&
                                                    py >= 0 && px < src.width() && py < src.height();
                                    const std::uint32_t old = before.pixel(x, y);
                                    ASSERT_EQ(dst.pixel(x, y), in ? rule(src.pixel(int(px), int(py)), old) : old)
                                        << "dx " << dx << " dy " << dy << " sx " << sx << " sy " << sy
                                        << " w " << w << " h " << h << " at " << x << "," << y;
                                }
                        }
}

TEST(SurfaceBlit, EachBlitDrawsExactlyTheOverlapOfBothSurfaces) {
    // Every third pixel is the key, with junk in its top byte that the
    // comparison must ignore; 19 wide, for vector bodies and tails.
    Surface keyed = patterned(19, 5, 1);
    for (int i = 0; i < 19 * 5; i += 3) keyed.setPixel(i % 19, i / 19, 0xA5102030);
    // Per-pixel alphas spread over 0..255, key pixels (opaque ones too) on the diagonal.
    Surface alphas = patterned(19, 5, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 19; ++x)
            alphas.setPixel(x, y, (x == 2 * y ? 0x00FF00 : alphas.pixel(x, y)) | ((x * 37 + y * 91) & 255) << 24);

    expectClipped([](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
        platform::copyRect(d, dx, dy, w, h, s, sx, sy);
    }, patterned(19, 5, 1), [](auto s, auto) { return s; });
    expectClipped([](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx,
                     int sy) { platform::alphaBlend(d, dx, dy, w, h, s, sx, sy, 200); },
                  patterned(19, 5, 1, 0x7F), [](auto s, auto d) { return byFormula(s, d, 200); });
    // The keyed draws again from the picture frozen with its runs: the same pixels.
    const auto analysed = platform::Picture::freeze(keyed, 0x102030);
    ASSERT_NE(analysed->keyRuns(0x102030), nullptr);
    for (const bool byRuns : {false, true}) {
        expectClipped([&](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
            if (byRuns) platform::keyedCopy(d, dx, dy, w, h, *analysed, sx, sy, RGB(0x10, 0x20, 0x30));
            else platform::keyedCopy(d, dx, dy, w, h, s, sx, sy, RGB(0x10, 0x20, 0x30));
        }, keyed, [](auto s, auto d) { return (s & 0xFFFFFF) == 0x102030u ? d : s; });
        expectClipped([&](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
            if (byRuns) platform::keyedBlend(d, dx, dy, w, h, *analysed, sx, sy, RGB(0x10, 0x20, 0x30), 99);
            else platform::keyedBlend(d, dx, dy, w, h, s, sx, sy, RGB(0x10, 0x20, 0x30), 99);
        }, keyed, [](auto s, auto d) { return (s & 0xFFFFFF) == 0x102030u ? d : byFormula(s, d, 99); });
    }
    expectClipped([](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx,
                     int sy) { platform::alphaPixelCopy(d, dx, dy, w, h, s, sx, sy, true, 0x00FF00); },
                  alphas, [](auto s, auto d) { return (s & 0xFFFFFF) == 0x00FF00 ? d : byFormula(s, d, s >> 24); });
}

TEST(SurfaceBlit, DrawingOntoItselfWorksLikeACopyFromBefore) {
    const Surface original = patterned(13, 9, 5);
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {2, 3}, {-2, -3}}) {
        Surface copied = original, keyed = original;
        platform::copyRect(copied, 2 + dx, 2 + dy, 8, 5, copied, 2, 2);
        platform::keyedCopy(keyed, 2 + dx, 2 + dy, 8, 5, keyed, 2, 2, RGB(1, 2, 3));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) {
                const bool moved = x >= 2 + dx && x < 10 + dx && y >= 2 + dy && y < 7 + dy;
                const std::uint32_t want = original.pixel(moved ? x - dx : x, moved ? y - dy : y);
                ASSERT_EQ(copied.pixel(x, y), want) << dx << "," << dy << " at " << x << "," << y;
                ASSERT_EQ(keyed.pixel(x, y), want);
            }
    }
}

constexpr std::uint32_t kKey = 0x00FF00FF;

// A keyed picture shaped like the game's: each row is empty, full, a few long
// runs or many short ones (which the analysis treats as dense), and the width
// crosses 64-pixel words. Drawn pixels carry junk top bytes.
Surface runsPicture(std::mt19937& rng, int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y) {
        const int style = int(rng() % 4), meanRun = style == 2 ? 40 : 2;
        bool drawn = style == 1 || rng() % 2;
        for (int x = 0; x < w;) {
            const int run = style < 2 ? w : 1 + int(rng() % (2 * meanRun));
            for (int i = 0; i < run && x < w; ++i, ++x)
                s.setPixel(x, y, drawn && style != 0 ? (rng() & 0xFFFFFF) | 0x7F000000 : kKey);
            drawn = !drawn;
        }
    }
    return s;
}

// The keyed copy and blend from runs, against the pixel-by-pixel rule, for
// random pictures, rectangles past every edge, frame cells and tile offsets:
// through keyedCopy and keyedBlend, and through each kernel this processor runs.
TEST(SurfaceKeyed, RunsDrawWhatThePixelByPixelRuleDraws) {
    const auto copies = runnable(simd::copyRunsSse2, simd::copyRunsAvx2, simd::copyRunsAvx512);
    const auto blends = runnable(simd::blendRunsSse2, simd::blendRunsAvx2, simd::blendRunsAvx512);
    std::mt19937 rng(11);
    for (auto [w, h] : {std::pair{150, 40}, {64, 9}, {1, 7}, {700, 3}}) {
        // Kept only as runs, the picture still gives back every pixel it had.
        const Surface before = runsPicture(rng, w, h);
        const auto frozen = platform::Picture::freeze(before, kKey);
        const platform::Picture& pic = *frozen;
        const platform::KeyRuns* runs = pic.keyRuns(kKey);
        ASSERT_NE(runs, nullptr);
        ASSERT_EQ(runs->holdsAll(), true);
        ASSERT_FALSE(pic.suits(std::nullopt));  // no pixels of its own
        const Surface background = makeSurface(90, 50, [&](int, int) { return std::uint32_t(rng()); });
        for (int round = 0; round < 300; ++round) {
            const int dx = int(rng() % 120) - 30, dy = int(rng() % 70) - 20;
            const int sx = int(rng() % (w + 40)) - 20, sy = int(rng() % (h + 10)) - 5;
            const int rw = int(rng() % (w + 20)), rh = int(rng() % (h + 5));
            const std::uint8_t alpha = round % 5 ? std::uint8_t(rng()) : 255;  // 0 leaves dst whole
            for (std::size_t k = 0; k <= copies.size(); ++k) {  // first through keyedCopy and keyedBlend
                Surface copied = background, blended = background;
                platform::Blit b;
                if (k == 0) {
                    platform::keyedCopy(copied, dx, dy, rw, rh, pic, sx, sy, MAGENTA);
                    platform::keyedBlend(blended, dx, dy, rw, rh, pic, sx, sy, MAGENTA, alpha);
                } else if (platform::clipBlit(90, 50, w, h, dx, dy, sx, sy, rw, rh, b)) {
                    copies[k - 1](copied.row(b.dy) + b.dx, 90, *runs, b.sx, b.sy, b.w, b.h);
                    if (alpha) blends[k - 1](blended.row(b.dy) + b.dx, 90, *runs, b.sx, b.sy, b.w, b.h, alpha);
                }
                for (int y = 0; y < background.height(); ++y)
                    for (int x = 0; x < background.width(); ++x) {
                        const int px = sx + x - dx, py = sy + y - dy;
                        const std::uint32_t p = before.pixel(px, py), d = background.pixel(x, y);
                        const bool drawn = x >= dx && x < dx + rw && y >= dy && y < dy + rh && px >= 0 &&
                                           py >= 0 && px < w && py < h && (p & 0xFFFFFF) != kKey;
                        ASSERT_EQ(copied.pixel(x, y), drawn ? p : d) << w << "x" << h << " round " << round;
                        ASSERT_EQ(blended.pixel(x, y), drawn && alpha ? byFormula(p, d, alpha) : d) << w << "x" << h << " round " << round;
                    }
            }
        }
        ASSERT_TRUE(testing_support::same(pic, before));
        for (int i = 0; i < w * h; i += 7) ASSERT_EQ(pic.pixel(i % w, i / w), before.pixel(i % w, i / w));
    }
}

// Runs long enough for the stores to be lined up with the cache, starting at
// every offset within a line, copied whole by every kernel.
TEST(SurfaceKeyed, LongRunsAreCopiedWholeWhereverTheyStart) {
    constexpr int kW = 700;
    // Row 0 drawn whole; row 1 a run of 600 between key pixels.
    const Surface before = makeSurface(kW, 2, [](int x, int y) {
        return y == 1 && (x < 50 || x >= 650) ? kKey : std::uint32_t(x * 7919 + y) | 0xFF000000u;
    });
    const auto pic = platform::Picture::freeze(before, kKey);
    const platform::KeyRuns* runs = pic->keyRuns(kKey);
    ASSERT_NE(runs, nullptr);
    for (auto copyRuns : runnable(simd::copyRunsSse2, simd::copyRunsAvx2, simd::copyRunsAvx512))
        for (int dx = 0; dx < 17; ++dx)
            for (int sx : {0, 3, 50, 61})
                for (int n : {255, 256, 257, 300, 531}) {
                    Surface out = makeSurface(kW + 20, 2, [](int, int) { return 0x11u; });
                    copyRuns(out.row(0) + dx, out.width(), *runs, sx, 0, n, 2);
                    for (int y = 0; y < 2; ++y)
                        for (int x = 0; x < out.width(); ++x) {
                            const int px = x - dx + sx;
                            const bool inside = x >= dx && x < dx + n && px < kW;
                            const std::uint32_t p = inside ? before.pixel(px, y) : kKey;
                            ASSERT_EQ(out.pixel(x, y), (p & 0xFFFFFF) == kKey ? 0x11u : p)
                                << "dx " << dx << " sx " << sx << " n " << n << " y " << y << " x " << x;
                        }
                }
}

// Copies by flat stretches give exactly the picture's pixels, wherever a copy
// starts and ends: in a stretch, on its edge, or past the picture.
TEST(SurfaceFlat, CopiesByStretchesAreExactCopies) {
    std::mt19937 rng(17);
    for (auto [w, h] : {std::pair{150, 40}, {33, 9}, {700, 3}}) {
        // Bands of one colour of every length, around and between varied pixels.
        Surface pic(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w;) {
                const int n = int(rng() % 60) + 1;
                const std::uint32_t band = rng();
                for (int i = 0; i < n && x < w; ++i, ++x) pic.setPixel(x, y, n > 3 ? band : std::uint32_t(rng()));
            }
        const Surface plain = pic;
        const auto frozen = platform::Picture::freeze(std::move(pic), std::nullopt, true);
        ASSERT_NE(frozen->flatRows(), nullptr) << w;
        const Surface background = makeSurface(90, 50, [&](int, int) { return std::uint32_t(rng()); });
        for (int round = 0; round < 400; ++round) {
            const int dx = int(rng() % 120) - 30, dy = int(rng() % 70) - 20;
            const int sx = int(rng() % (w + 40)) - 20, sy = int(rng() % (h + 10)) - 5;
            const int rw = int(rng() % (w + 20)), rh = int(rng() % (h + 5));
            Surface got = background, want = background;
            platform::copyRect(got, dx, dy, rw, rh, *frozen, sx, sy);
            platform::copyRect(want, dx, dy, rw, rh, plain, sx, sy);
            ASSERT_TRUE(std::equal(got.pixels(), got.pixels() + 90 * 50, want.pixels())) << w << " round " << round;
        }
    }
    // Pictures mostly of varied pixels are not worth it.
    EXPECT_EQ(platform::Picture::freeze(patterned(64, 8, 3), std::nullopt, true)->flatRows(), nullptr);
}

TEST(SurfaceBlend, EveryAlphaAndRowLengthMatchesTheFormulaInEveryKernel) {
    // 256 x 256 pixels carry every (src, dst) pair of channel values; junk top
    // bytes must not leak into the opaque result. Alpha 0 leaves dst as it is.
    Surface src(256, 256), base(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            src.setPixel(x, y, 0xC3000000u | x << 16 | y << 8 | (x ^ y));
            base.setPixel(x, y, 0x5A000000u | y << 16 | (255 - x) << 8 | x);
        }
    const auto kernels = runnable(simd::blendRowSse2, simd::blendRowAvx2, simd::blendRowAvx512);
    for (std::size_t k = 0; k <= kernels.size(); ++k)  // first through alphaBlend
        for (int a = k ? 1 : 0; a < 256; ++a) {
            // Each kernel row starts misaligned and stops short by 0..36, so
            // every leftover count after the last whole vector is drawn.
            Surface dst = base;
            if (k)
                for (int y = 0; y < 256; ++y) kernels[k - 1](dst.row(y) + y % 3, src.row(y) + y % 3, 253 - y % 37, a);
            else
                platform::alphaBlend(dst, 0, 0, 256, 256, src, 0, 0, static_cast<std::uint8_t>(a));
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const std::uint32_t s = src.pixel(x, y), d = base.pixel(x, y);
                    const bool drawn = !k || (x >= y % 3 && x < y % 3 + 253 - y % 37);
                    ASSERT_EQ(dst.pixel(x, y), a == 0 || !drawn ? d : byFormula(s, d, a)) << "version " << k << " alpha " << a;
                }
        }
}

// The other kernels against their one-pixel definitions, in every version
// this processor runs, at every row length from 0 to 70 and misaligned starts.
TEST(SurfaceKernels, KeyedCopyAndBlendInkKeyBitsAndBgrRowsMatchTheirDefinitions) {
    std::mt19937 rng(3);
    std::vector<std::uint32_t> src(80), base(80), dst(80);
    std::vector<std::uint8_t> bytes(240);
    std::vector<std::uint64_t> bits(2);
    const auto keyedRows = runnable(simd::keyedRowSse2, simd::keyedRowAvx2, simd::keyedRowAvx512);
    const auto keyedBlends = runnable(simd::keyedBlendRowSse2, simd::keyedBlendRowAvx2, simd::keyedBlendRowAvx512);
    const auto drawnBits = runnable(simd::drawnBitsSse2, simd::drawnBitsAvx2, simd::drawnBitsAvx512);
    const auto bgrRows = runnable(simd::bgrRowScalar, simd::bgrRowAvx2);
    for (int n = 0; n <= 70; ++n)
        for (int at : {0, 1, 3}) {
            const std::uint32_t key = 0x00FF00FFu - std::uint32_t(n) * 0x010203u;  // a kernel must not assume magenta
            for (std::uint32_t& p : src) p = rng() % 3 ? rng() : (key | rng() << 24);
            for (std::uint32_t& p : base) p = rng();
            for (std::uint8_t& b : bytes) b = rng() % 4 ? std::uint8_t(rng()) : 0;
            const auto inRow = [&](int i) { return i >= at && i < at + n; };
            // Key pixels carry junk in their top byte, which the comparison must ignore.
            for (auto kernel : keyedRows) {
                dst = base;
                kernel(dst.data() + at, src.data() + at, n, key);
                for (int i = 0; i < 80; ++i) ASSERT_EQ(dst[i], inRow(i) && (src[i] & 0xFFFFFF) != key ? src[i] : base[i]);
            }
            for (auto kernel : keyedBlends) {
                const int a = int(rng() % 256);
                dst = base;
                kernel(dst.data() + at, src.data() + at, n, a, key);
                for (int i = 0; i < 80; ++i)
                    ASSERT_EQ(dst[i], inRow(i) && (src[i] & 0xFFFFFF) != key ? byFormula(src[i], base[i], a) : base[i]);
            }
            dst = base;
            simd::coverageRowSse2(dst.data() + at, bytes.data() + at, n, 0x00C08040);
            for (int i = 0; i < 80; ++i)
                ASSERT_EQ(dst[i], inRow(i) ? (base[i] & 0xFF000000) | byFormula(0xC08040, base[i], bytes[i]) : base[i]);
            for (auto kernel : drawnBits) {
                bits.assign(2, ~0ull);
                kernel(src.data() + at, n, key, bits.data());
                for (int i = 0; i < (n + 63) / 64 * 64; ++i)
                    ASSERT_EQ(bits[i / 64] >> (i % 64) & 1, i < n && (src[at + i] & 0xFFFFFF) != key) << n << " " << i;
            }
            for (auto kernel : bgrRows) {
                dst = base;
                kernel(dst.data() + at, bytes.data() + 3 * at, n);
                for (int i = 0; i < 80; ++i) {
                    const std::uint8_t* b = bytes.data() + 3 * i;
                    ASSERT_EQ(dst[i], inRow(i) ? std::uint32_t(b[2] << 16 | b[1] << 8 | b[0]) : base[i]);
                }
            }
        }
}

TEST(SurfaceFill, WhiteFillAndOutlinesAreClipped) {
    Surface s(6, 4);
    platform::fillWhite(s, -2, 2, 4, INT_MAX);
    platform::fillWhite(s, 3, 0, 0, 3);
    platform::fillWhite(s, 3, 0, 2, -3);
    platform::fillWhite(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // ends at (-2, -2)
    EXPECT_EQ(picture(s), "....../....../WW..../WW..../");

    // Right and bottom edges lie outside the rectangle, as for every RECT.
    Surface f(9, 6);
    platform::frameRect(f, RECT{2, 1, 7, 5}, RGB(255, 0, 0));
    platform::frameRect(f, RECT{-3, -3, 1, 2}, RGB(0, 0, 255));   // only its right and bottom sides show
    platform::frameRect(f, RECT{7, 4, 20, 20}, RGB(0, 255, 0));   // only its left and top sides show
    platform::frameRect(f, RECT{8, 0, 9, 3}, RGB(0, 255, 0));     // one pixel wide
    for (RECT empty : {RECT{1, 4, 1, 5}, RECT{5, 4, 3, 2}, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}})
        platform::frameRect(f, empty, RGB(9, 9, 9));
    EXPECT_EQ(picture(f), "B.......G/B.RRRRR.G/..R...R.G/..R...R../..RRRRRGG/.......G./");
}

TEST(SurfaceRotation, QuarterTurnsAreClockwiseAboutTheDestinationPoint) {
    Surface pic(3, 2);  // a b c / d e f
    for (int i = 0; i < 6; ++i) pic.setPixel(i % 3, i / 3, 0xFF000000u | ('a' + i));
    // Drawn at (3, 3) on 6 x 6: a w x h picture turned 90 covers (x - h, y) to (x, y + w).
    const std::pair<double, const char*> cases[] = {
        {90, "....../....../....../.da.../.eb.../.fc.../"},
        {-270, "....../....../....../.da.../.eb.../.fc.../"},
        {180, "....../fed.../cba.../....../....../....../"},
        {270, "...cf./...be./...ad./....../....../....../"},
    };
    for (auto [angle, want] : cases) {
        Surface dst(6, 6);
        platform::rotatedAlphaCopy(dst, 3, 3, 3, 2, pic, 0, 0, angle, false, 0);
        EXPECT_EQ(picture(dst), want) << angle;
    }

}

TEST(SurfaceRotation, AnyAngleDrawsOnlyRealUnkeyedPicturePixels) {
    // The source rectangle reaches past the picture and the destination past
    // every edge: only the picture's own pixels may appear, and never its key.
    Surface pic(6, 4);
    pic.fill(0xFF0000AA);
    for (int y = 0; y < 4; ++y) pic.setPixel(2, y, 0xFF494949);
    for (double angle : {30.0, 45.0, 135.0, 200.0, 333.3})
        for (auto [dx, dy] : {std::pair{-3, -3}, {0, 0}, {9, 9}, {12, 2}, {INT_MAX, INT_MIN}}) {
            Surface dst(12, 10);
            platform::rotatedAlphaCopy(dst, dx, dy, 9, 9, pic, -2, -2, angle, true, 0x494949);
            EXPECT_TRUE(std::all_of(dst.pixels(), dst.pixels() + 120, [](auto p) { return p == 0 || p == 0xAA; }));
        }
    // Turned 45 degrees, a 10 x 10 square hangs below its pivot as a diamond of about its area.
    Surface dst(40, 40), square(10, 10);
    square.fill(0xFF0000FF);
    platform::rotatedAlphaCopy(dst, 20, 5, 10, 10, square, 0, 0, 45, false, 0);
    EXPECT_NEAR(std::count(dst.pixels(), dst.pixels() + 1600, 0xFFu), 100, 12);
    EXPECT_TRUE(dst.pixel(20, 12) && !dst.pixel(25, 6));  // nothing right of the pivot: that turn is the other way
}

TEST(SurfaceTurnFlipScale, AllEightTypesAndNearestNeighbourScaling) {
    const char* want[8] = {"abc/def/", "da/eb/fc/", "fed/cba/", "cf/be/ad/",
                           "cba/fed/", "ad/be/cf/", "def/abc/", "fc/eb/da/"};
    for (int type = 0; type < 8; ++type) {
        Surface s(3, 2);
        for (int i = 0; i < 6; ++i) s.setPixel(i % 3, i / 3, 'a' + i);
        platform::rotateFlip(s, type);
        EXPECT_EQ(picture(s), want[type]) << "type " << type;
    }
    Surface src(4, 2);
    for (int i = 0; i < 8; ++i) src.setPixel(i % 4, i / 4, 'a' + i);  // abcd / efgh
    // Source column x * 4 / 8 and row y * 2 / 3; then 4 -> 3 columns is 0, 1, 2.
    EXPECT_EQ(picture(platform::scaleNearest(src, 8, 3)), "aabbccdd/aabbccdd/eeffgghh/");
    EXPECT_EQ(picture(platform::scaleNearest(src, 3, 1)), "abc/");
    EXPECT_TRUE(platform::scaleNearest(src, 0, 5).empty());
    EXPECT_TRUE(platform::scaleNearest(src, 5, -1).empty());
}

}  // namespace
