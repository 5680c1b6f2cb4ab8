#include "platform/Surface.h"
#include "platform/SurfaceSimd.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using platform::Surface;

namespace {

// A surface whose every pixel differs from every other and from 0.
Surface patterned(int w, int h, std::uint32_t seed, std::uint32_t topByte = 0) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t v = (x + 1) * 2654435761u ^ (y + 7) * 40503u ^ seed * 97u;
            v ^= v >> 13;
            s.setPixel(x, y, (v & 0x00FFFFFFu) | (topByte << 24));
        }
    return s;
}

std::uint32_t channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// The blend as it is written down: per channel, with a real division.
std::uint32_t blendByFormula(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= ((channel(s, shift) * a + channel(d, shift) * (255 - a)) / 255) << shift;
    return out;
}

using PixelRule = std::function<std::uint32_t(std::uint32_t s, std::uint32_t d)>;
using Draw = std::function<void(Surface& dst, int dx, int dy, int w, int h, const Surface& src,
                                int sx, int sy)>;

// Draws with every combination of awkward placements and compares each
// destination pixel with a naive per-pixel model: a pixel changes only when
// it lies in the destination rectangle and its source pixel exists.
void expectClippedLike(const Draw& draw, const Surface& src, const PixelRule& rule) {
    const Surface before = patterned(21, 6, 2);
    const int places[] = {INT_MIN, -25, -20, -3, -1, 0, 1, 4, 17, 20, 22, INT_MAX};
    const int sizes[] = {INT_MIN, -3, 0, 1, 4, 5, 9, 13, 40, INT_MAX};
    for (int dx : places)
        for (int dy : {-7, -1, 0, 2, 5, 6})
            for (int sx : {-21, -2, 0, 3, 18, 19})
                for (int sy : {INT_MIN, -6, -1, 0, 2, 4, 5, INT_MAX})
                    for (int w : sizes)
                        for (int h : {-1, 0, 1, 3, 10}) {
                            Surface dst = before;
                            draw(dst, dx, dy, w, h, src, sx, sy);
                            for (int y = 0; y < dst.height(); ++y)
                                for (int x = 0; x < dst.width(); ++x) {
                                    const long long ox = (long long)x - dx, oy = (long long)y - dy;
                                    const long long px = sx + ox, py = sy + oy;
                                    const bool inside = ox >= 0 && oy >= 0 && ox < w && oy < h &&
                                                        px >= 0 && py >= 0 && px < src.width() &&
                                                        py < src.height();
                                    const std::uint32_t old = before.pixel(x, y);
                                    const std::uint32_t want =
                                        inside ? rule(src.pixel(int(px), int(py)), old) : old;
                                    if (dst.pixel(x, y) != want) {
                                        FAIL() << "dx " << dx << " dy " << dy << " sx " << sx
                                               << " sy " << sy << " w " << w << " h " << h
                                               << " at (" << x << ", " << y << ") got " << std::hex
                                               << dst.pixel(x, y) << " want " << want;
                                    }
                                }
                        }
}

}  // namespace

// --- the surface itself -----------------------------------------------------

TEST(SurfaceBasics, NewSurfaceIsBlackAndOutsideAccessIsHarmless) {
    Surface s(3, 2);
    EXPECT_EQ(s.width(), 3);
    EXPECT_EQ(s.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(s.pixel(x, y), 0u);
    s.setPixel(2, 1, 0x123456);
    EXPECT_EQ(s.row(1)[2], 0x123456u);
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        s.setPixel(x, y, 0xFFFFFF);
        EXPECT_EQ(s.pixel(x, y), 0u);
    }
    s.fill(0xABCDEF);
    EXPECT_EQ(s.pixel(0, 0), 0xABCDEFu);
    EXPECT_EQ(s.pixel(2, 1), 0xABCDEFu);
    EXPECT_TRUE(Surface().empty());
    EXPECT_TRUE(Surface(-4, 3).empty());
}

// --- the blits, clipped at every edge ---------------------------------------
// Placements include negative and huge coordinates and sizes; widths cover
// whole vector steps and leftovers.

TEST(SurfaceBlit, CopyDrawsExactlyTheOverlap) {
    expectClippedLike(platform::copyRect, patterned(19, 5, 1),
                      [](std::uint32_t s, std::uint32_t) { return s; });
}

TEST(SurfaceBlit, KeyedCopySkipsKeyPixelsAndDrawsExactlyTheOverlap) {
    const COLORREF key = RGB(0x10, 0x20, 0x30);
    Surface src = patterned(19, 5, 1);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if ((x + 2 * y) % 3 == 0) src.setPixel(x, y, 0x102030);
    auto draw = [&](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
        platform::keyedCopy(d, dx, dy, w, h, s, sx, sy, key);
    };
    expectClippedLike(draw, src, [](std::uint32_t s, std::uint32_t d) {
        return s == 0x102030u ? d : s;
    });
}

TEST(SurfaceBlit, ConstantBlendDrawsExactlyTheOverlap) {
    auto draw = [](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
        platform::alphaBlend(d, dx, dy, w, h, s, sx, sy, 200);
    };
    expectClippedLike(draw, patterned(19, 5, 1, 0x7F),
                      [](std::uint32_t s, std::uint32_t d) { return blendByFormula(s, d, 200); });
}

TEST(SurfaceBlit, PerPixelAlphaDrawsExactlyTheOverlap) {
    // Alphas 0..255 spread over the picture, and some pixels hidden by the key.
    Surface src = patterned(19, 5, 1);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const std::uint32_t a = (x * 37 + y * 91) & 0xFF;
            src.setPixel(x, y, (x == 2 * y ? 0x00FF00u : src.pixel(x, y)) | a << 24);
        }
    auto draw = [](Surface& d, int dx, int dy, int w, int h, const Surface& s, int sx, int sy) {
        platform::alphaPixelCopy(d, dx, dy, w, h, s, sx, sy, true, 0x00FF00);
    };
    expectClippedLike(draw, src, [](std::uint32_t s, std::uint32_t d) {
        return (s & 0xFFFFFF) == 0x00FF00 ? (d & 0xFFFFFF) : blendByFormula(s, d, s >> 24);
    });
}

TEST(SurfaceBlit, KeyComparesRgbOnlyAndTakesAColourRef) {
    Surface src(4, 1), dst(4, 1);
    dst.fill(0x00123456);
    src.setPixel(0, 0, 0x00FF0000);  // red: the key below, as a pixel
    src.setPixel(1, 0, 0xAAFF0000);  // red with a stray top byte: still the key
    src.setPixel(2, 0, 0x000000FF);  // blue: what a key with swapped bytes would hide
    src.setPixel(3, 0, 0x00FF0001);  // one off the key
    platform::keyedCopy(dst, 0, 0, 4, 1, src, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(dst.pixel(0, 0), 0x00123456u);
    EXPECT_EQ(dst.pixel(1, 0), 0x00123456u);
    EXPECT_EQ(dst.pixel(2, 0), 0x000000FFu);
    EXPECT_EQ(dst.pixel(3, 0), 0x00FF0001u);
}

TEST(SurfaceBlit, DrawingOntoItselfWorksLikeACopyFromBefore) {
    const Surface original = patterned(13, 9, 5);
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {3, 2}, {-2, -3}}) {
        Surface copied = original, keyed = original, blended = original;
        platform::copyRect(copied, 2 + dx, 2 + dy, 8, 5, copied, 2, 2);
        platform::keyedCopy(keyed, 2 + dx, 2 + dy, 8, 5, keyed, 2, 2, RGB(1, 2, 3));
        platform::alphaBlend(blended, 2 + dx, 2 + dy, 8, 5, blended, 2, 2, 255);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) {
                const bool moved = x >= 2 + dx && x < 10 + dx && y >= 2 + dy && y < 7 + dy;
                const std::uint32_t want =
                    moved ? original.pixel(x - dx, y - dy) : original.pixel(x, y);
                ASSERT_EQ(copied.pixel(x, y), want) << dx << "," << dy << " at " << x << "," << y;
                ASSERT_EQ(keyed.pixel(x, y), want);
                ASSERT_EQ(blended.pixel(x, y), want);
            }
    }
}

// --- constant-alpha blend ----------------------------------------------------

namespace {

using BlendKernel = void (*)(std::uint32_t*, const std::uint32_t*, int, int);

// Every instruction-set version this processor can run.
std::vector<std::pair<const char*, BlendKernel>> blendKernels() {
    std::vector<std::pair<const char*, BlendKernel>> k{{"sse2", platform::simd::blendRowSse2}};
    if (platform::simd::haveAvx2()) k.emplace_back("avx2", platform::simd::blendRowAvx2);
    if (platform::simd::haveAvx512bw()) k.emplace_back("avx512", platform::simd::blendRowAvx512);
    return k;
}

}  // namespace

TEST(SurfaceBlend, EveryAlphaMatchesTheFormulaOnEveryChannelPair) {
    // 256 x 256 pixels carry every (src, dst) pair of channel values, in
    // different pairings on each channel; top bytes are junk that must not
    // leak into the opaque result.
    Surface src(256, 256), base(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            src.setPixel(x, y, 0xC3000000u | x << 16 | y << 8 | (x ^ y));
            base.setPixel(x, y, 0x5A000000u | y << 16 | (255 - x) << 8 | x);
        }
    std::vector<std::pair<const char*, BlendKernel>> kernels = blendKernels();
    kernels.emplace_back("alphaBlend", nullptr);
    for (auto [name, kernel] : kernels)
        for (int a = 0; a < 256; ++a) {
            Surface dst = base;
            if (kernel) {
                if (a == 0) continue;  // the operation itself never runs a kernel at 0
                for (int y = 0; y < 256; ++y) kernel(dst.row(y), src.row(y), 256, a);
            } else {
                platform::alphaBlend(dst, 0, 0, 256, 256, src, 0, 0, static_cast<std::uint8_t>(a));
            }
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const std::uint32_t s = src.pixel(x, y), d = base.pixel(x, y);
                    const std::uint32_t want = a == 0 ? d : blendByFormula(s, d, a);
                    ASSERT_EQ(dst.pixel(x, y), want) << name << " alpha " << a << " at " << x << "," << y;
                }
        }
}

TEST(SurfaceBlend, ZeroLeavesDestinationAndFullGivesSource) {
    const Surface src = patterned(11, 3, 3);
    const Surface base = patterned(11, 3, 4);
    Surface dst = base;
    platform::alphaBlend(dst, 0, 0, 11, 3, src, 0, 0, 0);
    for (int x = 0; x < 11; ++x) EXPECT_EQ(dst.pixel(x, 1), base.pixel(x, 1));
    platform::alphaBlend(dst, 0, 0, 11, 3, src, 0, 0, 255);
    for (int x = 0; x < 11; ++x) EXPECT_EQ(dst.pixel(x, 1), src.pixel(x, 1));
    // Halfway: 255 over 0 at 128 gives 128, not the 127 or 129 of a shift.
    Surface white(5, 1), black(5, 1);
    white.fill(0xFFFFFF);
    platform::alphaBlend(black, 0, 0, 5, 1, white, 0, 0, 128);
    EXPECT_EQ(black.pixel(4, 0), 0x808080u);
    platform::alphaBlend(white, 0, 0, 5, 1, Surface(5, 1), 0, 0, 128);
    EXPECT_EQ(white.pixel(4, 0), 0x7F7F7Fu);
}

// Both instruction-set versions of each row kernel, on every row length up
// to a few vectors (whole vectors plus each leftover count), from every
// misalignment the row pointers can have.
TEST(SurfaceKernels, VectorVersionsAgreeWithThePixelRules) {
    const auto blends = blendKernels();
    std::vector<std::pair<const char*, void (*)(std::uint32_t*, const std::uint32_t*, int,
                                                std::uint32_t)>>
        keyed{{"sse2", platform::simd::keyedRowSse2}};
    if (platform::simd::haveAvx2()) keyed.emplace_back("avx2", platform::simd::keyedRowAvx2);
    const Surface src = patterned(40, 1, 11, 0xE1), base = patterned(40, 1, 12, 0x3C);
    for (int start = 0; start < 3; ++start)
        for (int n = 0; start + n <= 40; ++n) {
            for (auto [name, kernel] : blends)
                for (int a : {1, 77, 128, 200, 254, 255}) {
                    Surface dst = base;
                    kernel(dst.pixels() + start, src.pixels() + start, n, a);
                    for (int x = 0; x < 40; ++x) {
                        const bool in = x >= start && x < start + n;
                        ASSERT_EQ(dst.pixel(x, 0), in ? blendByFormula(src.pixel(x, 0), base.pixel(x, 0), a)
                                                      : base.pixel(x, 0))
                            << name << " alpha " << a << " n " << n << " x " << x;
                    }
                }
            for (auto [name, kernel] : keyed) {
                // Key every pixel whose index is odd or a multiple of 5.
                Surface s = src;
                for (int x = 0; x < 40; ++x)
                    if (x % 2 || x % 5 == 0) s.setPixel(x, 0, 0x77000000u | 0xFF00FF);
                Surface dst = base;
                kernel(dst.pixels() + start, s.pixels() + start, n, 0xFF00FF);
                for (int x = 0; x < 40; ++x) {
                    const bool drawn = x >= start && x < start + n && !(x % 2 || x % 5 == 0);
                    ASSERT_EQ(dst.pixel(x, 0), drawn ? s.pixel(x, 0) : base.pixel(x, 0))
                        << name << " n " << n << " x " << x;
                }
            }
        }
}

// --- per-pixel alpha ---------------------------------------------------------

TEST(SurfacePerPixelAlpha, TransparentOpaqueAndHalfPixels) {
    Surface src(4, 1), dst(4, 1);
    dst.fill(0x00204060);
    src.setPixel(0, 0, 0x00FFFFFF);  // alpha 0
    src.setPixel(1, 0, 0xFF112233);  // opaque
    src.setPixel(2, 0, 0x80FFFFFF);  // alpha 128
    src.setPixel(3, 0, 0xFF494949);  // opaque but the key
    platform::alphaPixelCopy(dst, 0, 0, 4, 1, src, 0, 0, true, 0x494949);
    EXPECT_EQ(dst.pixel(0, 0), 0x00204060u);
    EXPECT_EQ(dst.pixel(1, 0), 0x00112233u);
    EXPECT_EQ(dst.pixel(2, 0), blendByFormula(0xFFFFFF, 0x204060, 128));
    EXPECT_EQ(dst.pixel(3, 0), 0x00204060u);
    platform::alphaPixelCopy(dst, 0, 0, 4, 1, src, 0, 0, false, 0x494949);
    EXPECT_EQ(dst.pixel(3, 0), 0x00494949u);
}

// --- white fill and outlines -------------------------------------------------

TEST(SurfaceFill, WhiteFillIsClippedAndIgnoresEmptySizes) {
    Surface s(6, 4);
    platform::fillWhite(s, -2, 2, 4, 100);
    platform::fillWhite(s, 3, 0, 0, 3);
    platform::fillWhite(s, 3, 0, 2, -3);
    platform::fillWhite(s, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    platform::fillWhite(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // ends at -2, -2
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(s.pixel(x, y), (x < 2 && y >= 2) ? 0x00FFFFFFu : 0u) << x << "," << y;
    platform::fillWhite(s, 0, 0, 600, 1024);
    EXPECT_EQ(s.pixel(5, 3), 0x00FFFFFFu);
}

TEST(SurfaceFrame, OutlineLiesInsideWithRightAndBottomOutside) {
    Surface s(10, 8);
    platform::frameRect(s, RECT{2, 1, 7, 5}, RGB(255, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inRect = x >= 2 && x < 7 && y >= 1 && y < 5;
            const bool edge = inRect && (x == 2 || x == 6 || y == 1 || y == 4);
            EXPECT_EQ(s.pixel(x, y), edge ? 0x00FF0000u : 0u) << x << "," << y;
        }
}

TEST(SurfaceFrame, ClippedEmptyAndThinRectangles) {
    Surface s(6, 5);
    // Top-left corner off the surface: only the right and bottom sides show.
    platform::frameRect(s, RECT{-3, -3, 3, 2}, RGB(0, 0, 255));
    // Bottom-right corner off the surface: only the left and top sides show.
    platform::frameRect(s, RECT{4, 3, 20, 20}, RGB(0, 255, 0));
    // Empty and inverted rectangles draw nothing.
    platform::frameRect(s, RECT{1, 4, 1, 5}, RGB(255, 255, 255));
    platform::frameRect(s, RECT{5, 4, 3, 2}, RGB(255, 255, 255));
    platform::frameRect(s, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RGB(9, 9, 9));
    const char* want[] = {
        "..B...",
        "BBB...",
        "......",
        "....GG",
        "....G.",
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const char c = want[y][x];
            const std::uint32_t p = c == 'B' ? 0x0000FFu : c == 'G' ? 0x00FF00u : 0u;
            EXPECT_EQ(s.pixel(x, y), p) << x << "," << y;
        }
    Surface thin(4, 4);
    platform::frameRect(thin, RECT{1, 0, 2, 3}, RGB(1, 1, 1));  // one column wide
    for (int y = 0; y < 4; ++y) EXPECT_EQ(thin.pixel(1, y), y < 3 ? 0x010101u : 0u);
    EXPECT_EQ(thin.pixel(0, 1) | thin.pixel(2, 1), 0u);
}

// --- rotation ----------------------------------------------------------------

namespace {

// Marks which destination pixels a draw touched: it draws opaque pixels onto
// a surface that holds none of their colours.
std::string footprint(const Surface& s) {
    std::string out;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) out += s.pixel(x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

Surface opaquePicture(int w, int h) {
    Surface p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.setPixel(x, y, 0xFF000000u | (y + 1) << 8 | (x + 1));
    return p;
}

}  // namespace

TEST(SurfaceRotation, QuarterTurnsCoverTheExpectedAreas) {
    const Surface pic = opaquePicture(5, 3);
    // 90: (x - h, y) to (x, y + w); 180: (x - w, y - h) to (x, y); 270: (x, y - w) to (x + h, y).
    struct Case { double angle; int left, top, right, bottom; };
    for (Case c : {Case{90, 7, 4, 10, 9}, Case{450, 7, 4, 10, 9}, Case{180, 5, 1, 10, 4},
                   Case{270, 10, -1, 13, 4}, Case{-90, 10, -1, 13, 4}}) {
        Surface dst(16, 12);
        platform::rotatedAlphaCopy(dst, 10, 4, 5, 3, pic, 0, 0, c.angle, false, 0);
        Surface want(16, 12);
        platform::fillWhite(want, c.left, c.top, c.right - c.left, c.bottom - c.top);
        EXPECT_EQ(footprint(dst), footprint(want)) << "angle " << c.angle;
    }
}

TEST(SurfaceRotation, QuarterTurnClockwisePutsTheTopRowDownTheRightSide) {
    const Surface pic = opaquePicture(5, 3);
    Surface dst(16, 12);
    platform::rotatedAlphaCopy(dst, 10, 4, 5, 3, pic, 0, 0, 90, false, 0);
    for (int u = 0; u < 5; ++u)
        for (int v = 0; v < 3; ++v)
            EXPECT_EQ(dst.pixel(9 - v, 4 + u), pic.pixel(u, v) & 0xFFFFFF) << u << "," << v;
}

TEST(SurfaceRotation, NoTurnEqualsThePerPixelCopy) {
    Surface pic = patterned(23, 9, 8);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 23; ++x) pic.setPixel(x, y, pic.pixel(x, y) | ((x * 29 + y * 7) & 0xFF) << 24);
    pic.setPixel(4, 4, 0xFF494949);
    const Surface base = patterned(30, 20, 9);
    for (auto [dx, dy] : {std::pair{3, 2}, {-5, -4}, {20, 15}}) {
        for (double angle : {0.0, 360.0, -720.0}) {
            Surface a = base, b = base;
            platform::rotatedAlphaCopy(a, dx, dy, 20, 8, pic, 2, 1, angle, true, 0x494949);
            platform::alphaPixelCopy(b, dx, dy, 20, 8, pic, 2, 1, true, 0x494949);
            EXPECT_EQ(footprint(a), footprint(b));
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 30; ++x) ASSERT_EQ(a.pixel(x, y), b.pixel(x, y));
        }
    }
}

TEST(SurfaceRotation, AnyAngleStaysInsideTheSurfaceAndTheSourceRectangle) {
    // A source rectangle reaching past the picture and destinations past every
    // edge: only real picture pixels may appear, nothing outside is touched.
    const Surface pic = opaquePicture(6, 4);
    for (double angle : {30.0, 45.0, 135.0, 200.0, 333.3}) {
        for (auto [dx, dy] : {std::pair{-3, -3}, {0, 0}, {9, 9}, {12, 2}, {INT_MAX, INT_MIN}}) {
            Surface dst(12, 10);
            platform::rotatedAlphaCopy(dst, dx, dy, 9, 9, pic, -2, -2, angle, false, 0);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x) {
                    const std::uint32_t p = dst.pixel(x, y);
                    if (p == 0) continue;
                    EXPECT_TRUE((p & 0xFF) >= 1 && (p & 0xFF) <= 6 && (p >> 8) >= 1 && (p >> 8) <= 4)
                        << std::hex << p;
                }
        }
    }
    // A 45 degree turn of a 10 x 10 square covers about its area, diamond-shaped.
    Surface dst(40, 40), square(10, 10);
    square.fill(0xFF0000FF);
    platform::rotatedAlphaCopy(dst, 20, 5, 10, 10, square, 0, 0, 45, false, 0);
    int covered = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) covered += dst.pixel(x, y) != 0;
    EXPECT_NEAR(covered, 100, 12);
    EXPECT_NE(dst.pixel(20, 12), 0u);  // straight below the pivot, inside the diamond
    EXPECT_EQ(dst.pixel(25, 6), 0u);   // right of the pivot: outside after a clockwise turn
}

// --- turning and mirroring ---------------------------------------------------

TEST(SurfaceRotateFlip, AllEightTypes) {
    // 3 x 2 picture:  a b c
    //                 d e f
    const char* want[8] = {
        "abc/def",     // 0 none
        "da/eb/fc",    // 1 turn 90 clockwise
        "fed/cba",     // 2 turn 180
        "cf/be/ad",    // 3 turn 270
        "cba/fed",     // 4 mirror left-right
        "ad/be/cf",    // 5 turn 90 and mirror
        "def/abc",     // 6 turn 180 and mirror: upside down
        "fc/eb/da",    // 7 turn 270 and mirror
    };
    for (int type = 0; type < 8; ++type) {
        Surface s(3, 2);
        const char* letters = "abcdef";
        for (int i = 0; i < 6; ++i) s.setPixel(i % 3, i / 3, static_cast<std::uint32_t>(letters[i]));
        platform::rotateFlip(s, type);
        std::string got;
        for (int y = 0; y < s.height(); ++y) {
            if (y) got += '/';
            for (int x = 0; x < s.width(); ++x) got += static_cast<char>(s.pixel(x, y));
        }
        EXPECT_EQ(got, want[type]) << "type " << type;
    }
    Surface odd(3, 2);
    platform::rotateFlip(odd, 8);
    platform::rotateFlip(odd, -1);
    EXPECT_EQ(odd.width(), 3);
    Surface none;
    platform::rotateFlip(none, 1);
    EXPECT_TRUE(none.empty());
}

// --- nearest-neighbour scaling -----------------------------------------------

TEST(SurfaceScale, NearestNeighbourUpAndDown) {
    Surface src(4, 2);
    for (int x = 0; x < 4; ++x) {
        src.setPixel(x, 0, 0x10 + x);
        src.setPixel(x, 1, 0x20 + x);
    }
    const Surface up = platform::scaleNearest(src, 8, 3);
    ASSERT_EQ(up.width(), 8);
    ASSERT_EQ(up.height(), 3);
    // Columns 0 0 1 1 2 2 3 3; rows 0 0 1 (y * 2 / 3).
    const std::uint32_t row0[] = {0x10, 0x10, 0x11, 0x11, 0x12, 0x12, 0x13, 0x13};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(up.pixel(x, 0), row0[x]);
        EXPECT_EQ(up.pixel(x, 1), row0[x]);
        EXPECT_EQ(up.pixel(x, 2), row0[x] + 0x10);
    }
    const Surface down = platform::scaleNearest(src, 3, 1);  // columns 0, 1, 2
    EXPECT_EQ(down.pixel(0, 0), 0x10u);
    EXPECT_EQ(down.pixel(1, 0), 0x11u);
    EXPECT_EQ(down.pixel(2, 0), 0x12u);
    // Never a blend of neighbours: the key colour survives intact.
    Surface keyed(2, 1);
    keyed.setPixel(0, 0, 0xFF00FF);
    keyed.setPixel(1, 0, 0x00FF00);
    const Surface wide = platform::scaleNearest(keyed, 7, 2);
    for (int x = 0; x < 7; ++x) EXPECT_EQ(wide.pixel(x, 1), x < 4 ? 0xFF00FFu : 0x00FF00u);
    EXPECT_TRUE(platform::scaleNearest(src, 0, 5).empty());
    EXPECT_TRUE(platform::scaleNearest(src, 5, -1).empty());
}
