#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Surface.h"
#include "platform/SurfaceSimd.h"

using platform::Surface;

namespace {

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
    for (int sh : {0, 8, 16})
        out |= ((((s >> sh) & 255) * a + ((d >> sh) & 255) * (255 - a)) / 255) << sh;
    return out;
}

// One character per pixel: '.' for 0, else the given letter for each value.
std::string picture(const Surface& s,
                    const std::vector<std::pair<std::uint32_t, char>>& names = {}) {
    std::string out;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            char c = s.pixel(x, y) ? '#' : '.';
            for (auto [v, n] : names)
                if (s.pixel(x, y) == v) c = n;
            out += c;
        }
        out += '/';
    }
    return out;
}

// Names the pixel values 'a'.. as those letters, for pictures of letters.
std::vector<std::pair<std::uint32_t, char>> letters(char last) {
    std::vector<std::pair<std::uint32_t, char>> out;
    for (char c = 'a'; c <= last; ++c) out.emplace_back(c, c);
    return out;
}

using Draw = std::function<void(Surface&, int, int, int, int, const Surface&, int, int)>;
using Rule = std::function<std::uint32_t(std::uint32_t s, std::uint32_t d)>;

// Draws from awkward placements (negative, past every edge, huge sizes) and
// checks each destination pixel against a naive model: it changes only when
// it lies in the destination rectangle and its source pixel exists.
void expectClipped(const Draw& draw, const Surface& src, const Rule& rule) {
    const Surface before = patterned(21, 6, 2);
    const int places[] = {INT_MIN, -25, -3, -1, 0, 1, 4, 17, 20, INT_MAX};
    for (int dx : places)
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
                                    const bool in = ox >= 0 && oy >= 0 && ox < w && oy < h &&
                                                    px >= 0 && py >= 0 && px < src.width() &&
                                                    py < src.height();
                                    const std::uint32_t old = before.pixel(x, y);
                                    const std::uint32_t want =
                                        in ? rule(src.pixel(int(px), int(py)), old) : old;
                                    ASSERT_EQ(dst.pixel(x, y), want)
                                        << "dx " << dx << " dy " << dy << " sx " << sx << " sy "
                                        << sy << " w " << w << " h " << h << " at " << x << ","
                                        << y;
                                }
                        }
}

using BlendKernel = void (*)(std::uint32_t*, const std::uint32_t*, int, int);
using KeyedKernel = void (*)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t);

// Every instruction-set version this processor can run.
std::vector<std::pair<const char*, BlendKernel>> blendKernels() {
    std::vector<std::pair<const char*, BlendKernel>> k{{"sse2", platform::simd::blendRowSse2}};
    if (platform::simd::haveAvx2()) k.emplace_back("avx2", platform::simd::blendRowAvx2);
    if (platform::simd::haveAvx512bw()) k.emplace_back("avx512", platform::simd::blendRowAvx512);
    return k;
}

}  // namespace

TEST(SurfaceBasics, NewSurfaceIsBlackAndOutsideAccessIsHarmless) {
    Surface s(3, 2);
    EXPECT_EQ(picture(s), ".../.../");
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        s.setPixel(x, y, 0xFFFFFF);
        EXPECT_EQ(s.pixel(x, y), 0u);
    }
    EXPECT_EQ(picture(s), ".../.../");
    EXPECT_TRUE(Surface(-4, 3).empty());
}

// --- the four blits, clipped at every edge ----------------------------------

TEST(SurfaceBlit, EachBlitDrawsExactlyTheOverlapOfBothSurfaces) {
    Surface keyed = patterned(19, 5, 1);  // every third pixel the key, for vector bodies and tails
    for (int i = 0; i < 19 * 5; i += 3) keyed.setPixel(i % 19, i / 19, 0x102030);
    Surface alphas = patterned(19, 5, 1);  // alphas 0..255 spread out, key pixels on the diagonal
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 19; ++x)
            alphas.setPixel(x, y,
                            (x == 2 * y ? 0x00FF00 : alphas.pixel(x, y)) | ((x * 37 + y * 91) & 255)
                                                                               << 24);

    expectClipped(platform::copyRect, patterned(19, 5, 1), [](auto s, auto) { return s; });
    expectClipped(
        [](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
            platform::keyedCopy(d, dx, dy, w, h, s, sx, sy, RGB(0x10, 0x20, 0x30));
        },
        keyed, [](auto s, auto d) { return s == 0x102030u ? d : s; });
    expectClipped([](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx,
                     int sy) { platform::alphaBlend(d, dx, dy, w, h, s, sx, sy, 200); },
                  patterned(19, 5, 1, 0x7F), [](auto s, auto d) { return byFormula(s, d, 200); });
    expectClipped(
        [](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
            platform::alphaPixelCopy(d, dx, dy, w, h, s, sx, sy, true, 0x00FF00);
        },
        alphas,
        [](auto s, auto d) { return (s & 0xFFFFFF) == 0x00FF00 ? d : byFormula(s, d, s >> 24); });
}

TEST(SurfaceBlit, KeysCompareRgbOnly) {
    Surface src(4, 1), dst(4, 1);
    dst.fill(0x123456);
    for (int x = 0; x < 4; ++x)
        src.setPixel(
            x, 0,
            std::vector<std::uint32_t>{
                0x00FF0000, 0xAAFF0000, 0x000000FF,
                0x00FF0001}[x]);  // key, key with a top byte, key with bytes swapped, near key
    platform::keyedCopy(dst, 0, 0, 4, 1, src, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(picture(dst, {{0x123456, 'd'}, {0xFF, 'b'}, {0xFF0001, 'n'}}), "ddbn/");

    src.fill(0xFF494949);  // opaque but the key; then a picture without a key
    platform::alphaPixelCopy(dst, 0, 0, 2, 1, src, 0, 0, true, 0x494949);
    platform::alphaPixelCopy(dst, 2, 0, 2, 1, src, 0, 0, false, 0x494949);
    EXPECT_EQ(picture(dst, {{0x123456, 'd'}, {0x494949, 'k'}}), "ddkk/");
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
                const std::uint32_t want =
                    moved ? original.pixel(x - dx, y - dy) : original.pixel(x, y);
                ASSERT_EQ(copied.pixel(x, y), want) << dx << "," << dy << " at " << x << "," << y;
                ASSERT_EQ(keyed.pixel(x, y), want);
            }
    }
}

// --- constant-alpha blend: exact, in every kernel -----------------------------

TEST(SurfaceBlend, EveryAlphaMatchesTheFormulaOnEveryChannelPair) {
    // 256 x 256 pixels carry every (src, dst) pair of channel values; junk top
    // bytes must not leak into the opaque result. Alpha 0 leaves dst as it is.
    Surface src(256, 256), base(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            src.setPixel(x, y, 0xC3000000u | x << 16 | y << 8 | (x ^ y));
            base.setPixel(x, y, 0x5A000000u | y << 16 | (255 - x) << 8 | x);
        }
    auto kernels = blendKernels();
    kernels.emplace_back("alphaBlend", nullptr);
    for (auto [name, kernel] : kernels)
        for (int a = kernel ? 1 : 0; a < 256; ++a) {
            Surface dst = base;
            if (kernel)
                for (int y = 0; y < 256; ++y) kernel(dst.row(y), src.row(y), 256, a);
            else
                platform::alphaBlend(dst, 0, 0, 256, 256, src, 0, 0, static_cast<std::uint8_t>(a));
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const std::uint32_t s = src.pixel(x, y), d = base.pixel(x, y);
                    ASSERT_EQ(dst.pixel(x, y), a == 0 ? d : byFormula(s, d, a))
                        << name << " alpha " << a;
                }
        }
}

// Every row length up to a few vectors, from several misalignments.
TEST(SurfaceBlend, KernelsHandleEveryLeftoverCount) {
    std::vector<std::pair<const char*, KeyedKernel>> keyed{{"sse2", platform::simd::keyedRowSse2}};
    if (platform::simd::haveAvx2()) keyed.emplace_back("avx2", platform::simd::keyedRowAvx2);
    const Surface src = patterned(40, 1, 11, 0xE1), base = patterned(40, 1, 12, 0x3C);
    Surface withKeys = src;
    for (int x = 0; x < 40; x += 2) withKeys.setPixel(x + (x % 4 == 0), 0, 0x77FF00FF);
    for (int start = 0; start < 3; ++start)
        for (int n = 0; start + n <= 40; ++n) {
            auto expectRow = [&](const Surface& dst, auto want, const char* name) {
                for (int x = 0; x < 40; ++x)
                    ASSERT_EQ(dst.pixel(x, 0),
                              x >= start && x < start + n ? want(x) : base.pixel(x, 0))
                        << name << " n " << n << " x " << x;
            };
            for (auto [name, kernel] : blendKernels()) {
                Surface dst = base;
                kernel(dst.pixels() + start, src.pixels() + start, n, 77);
                expectRow(
                    dst, [&](int x) { return byFormula(src.pixel(x, 0), base.pixel(x, 0), 77); },
                    name);
            }
            for (auto [name, kernel] : keyed) {
                Surface dst = base;
                kernel(dst.pixels() + start, withKeys.pixels() + start, n, 0xFF00FF);
                const auto p = [&](int x) {
                    return withKeys.pixel(x, 0) == 0x77FF00FFu ? base.pixel(x, 0)
                                                               : withKeys.pixel(x, 0);
                };
                expectRow(dst, p, name);
            }
        }
}

// --- white fill and outlines -------------------------------------------------

TEST(SurfaceFill, WhiteFillAndOutlinesAreClipped) {
    Surface s(6, 4);
    platform::fillWhite(s, -2, 2, 4, INT_MAX);
    platform::fillWhite(s, 3, 0, 0, 3);
    platform::fillWhite(s, 3, 0, 2, -3);
    platform::fillWhite(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // ends at (-2, -2)
    EXPECT_EQ(picture(s, {{0xFFFFFF, 'W'}}), "....../....../WW..../WW..../");

    // Right and bottom edges lie outside the rectangle, as for every RECT.
    Surface f(9, 6);
    platform::frameRect(f, RECT{2, 1, 7, 5}, RGB(255, 0, 0));
    platform::frameRect(f, RECT{-3, -3, 1, 2},
                        RGB(0, 0, 255));  // only its right and bottom sides show
    platform::frameRect(f, RECT{7, 4, 20, 20}, RGB(0, 255, 0));  // only its left and top sides show
    platform::frameRect(f, RECT{8, 0, 9, 3}, RGB(0, 255, 0));    // one pixel wide
    for (RECT empty :
         {RECT{1, 4, 1, 5}, RECT{5, 4, 3, 2}, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}})
        platform::frameRect(f, empty, RGB(9, 9, 9));
    EXPECT_EQ(picture(f, {{0xFF0000, 'R'}, {0x0000FF, 'B'}, {0x00FF00, 'G'}}),
              "B.......G/B.RRRRR.G/..R...R.G/..R...R../..RRRRRGG/.......G./");
}

// --- rotation ----------------------------------------------------------------

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
        EXPECT_EQ(picture(dst, letters('f')), want) << angle;
    }
}

TEST(SurfaceRotation, NoTurnIsExactlyThePerPixelCopy) {
    Surface pic = patterned(23, 9, 8);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 23; ++x)
            pic.setPixel(x, y, pic.pixel(x, y) | ((x * 29 + y * 7) & 255) << 24);
    pic.setPixel(4, 4, 0xFF494949);
    for (double angle : {0.0, 360.0, -720.0}) {
        Surface a = patterned(30, 20, 9), b = a;
        platform::rotatedAlphaCopy(a, -5, 15, 20, 8, pic, 2, 1, angle, true, 0x494949);
        platform::alphaPixelCopy(b, -5, 15, 20, 8, pic, 2, 1, true, 0x494949);
        EXPECT_EQ(picture(a), picture(b));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) ASSERT_EQ(a.pixel(x, y), b.pixel(x, y));
    }
}

TEST(SurfaceRotation, AnyAngleDrawsOnlyRealPicturePixels) {
    // The source rectangle reaches past the picture and the destination past
    // every edge: only the picture's own pixels may appear.
    Surface pic(6, 4);
    pic.fill(0xFF0000AA);
    for (double angle : {30.0, 45.0, 135.0, 200.0, 333.3})
        for (auto [dx, dy] : {std::pair{-3, -3}, {0, 0}, {9, 9}, {12, 2}, {INT_MAX, INT_MIN}}) {
            Surface dst(12, 10);
            platform::rotatedAlphaCopy(dst, dx, dy, 9, 9, pic, -2, -2, angle, false, 0);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x)
                    ASSERT_TRUE(dst.pixel(x, y) == 0 || dst.pixel(x, y) == 0xAA);
        }
    // Turned 45 degrees, a 10 x 10 square hangs below its pivot as a diamond of about its area.
    Surface dst(40, 40), square(10, 10);
    square.fill(0xFF0000FF);
    platform::rotatedAlphaCopy(dst, 20, 5, 10, 10, square, 0, 0, 45, false, 0);
    const std::string p = picture(dst);
    EXPECT_NEAR(std::count(p.begin(), p.end(), '#'), 100, 12);
    EXPECT_NE(dst.pixel(20, 12), 0u);
    EXPECT_EQ(dst.pixel(25, 6), 0u);  // right of the pivot: only a counter-clockwise turn is there
}

// --- turning, mirroring and scaling --------------------------------------------

TEST(SurfaceRotateFlip, AllEightTypes) {
    const char* want[8] = {"abc/def/", "da/eb/fc/", "fed/cba/", "cf/be/ad/",
                           "cba/fed/", "ad/be/cf/", "def/abc/", "fc/eb/da/"};
    for (int type = 0; type < 8; ++type) {
        Surface s(3, 2);
        for (int i = 0; i < 6; ++i) s.setPixel(i % 3, i / 3, 'a' + i);
        platform::rotateFlip(s, type);
        EXPECT_EQ(picture(s, letters('f')), want[type]) << "type " << type;
    }
}

TEST(SurfaceScale, NearestNeighbourNeverMixesColours) {
    Surface src(4, 2);
    for (int i = 0; i < 8; ++i) src.setPixel(i % 4, i / 4, 'a' + i);  // abcd / efgh
    // Source column x * 4 / 8 and row y * 2 / 3; then 4 -> 3 columns is 0, 1, 2.
    EXPECT_EQ(picture(platform::scaleNearest(src, 8, 3), letters('h')),
              "aabbccdd/aabbccdd/eeffgghh/");
    EXPECT_EQ(picture(platform::scaleNearest(src, 3, 1), letters('h')), "abc/");
    EXPECT_TRUE(platform::scaleNearest(src, 0, 5).empty());
    EXPECT_TRUE(platform::scaleNearest(src, 5, -1).empty());
}
