#include "engine/bitmapPicture.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <tuple>
#include <utility>

#include "platform/SurfaceSimd.h"
#include "support/TestFiles.h"

using platform::Canvas;
using platform::Surface;
using testing_support::makeSurface;
using testing_support::same;

namespace {

constexpr std::uint32_t kKey = 0x00FF00FF;  // magenta, as a pixel and as a COLORREF
constexpr std::uint32_t kGround = 0x00102030;

Surface ground(int w, int h) {
    Surface s(w, h);
    s.fill(kGround);
    return s;
}

class BitmapPictureTest : public ::testing::Test {
protected:
    // Loads through a BMP file at the pixels' own size, so what is drawn is
    // exactly what was written.
    void load(bitmapPicture& p, const Surface& pixels, bool keyed, int framesX = 0, int framesY = 0) {
        const std::string path = dir.write("pic" + std::to_string(files++) + ".bmp", testing_support::bmpBytes(pixels));
        ASSERT_EQ(framesX ? p.initFrames(path.c_str(), pixels.width(), pixels.height(), framesX, framesY, keyed, MAGENTA)
                          : p.init(path.c_str(), pixels.width(), pixels.height(), keyed, MAGENTA),
                  S_OK);
    }
    testing_support::TempDir dir;
    int files = 0;
};

// Any rectangle, in or past the picture and the destination: render is the
// clipped copy, and the keyed blend equals three steps through a blend
// surface of the picture's size (copy what lies under the picture, draw the
// picture keyed over the copy, blend the copy back). Alpha 0 draws nothing
// and 255 draws as render does.
TEST_F(BitmapPictureTest, RenderAndAlphaRenderMatchTheirDefinitionsForAnyRectangle) {
    std::mt19937 rng(7);
    const Surface pixels = makeSurface(37, 21, [&](int, int) { return rng() % 3 == 0 ? kKey : rng() & 0x00FFFFFFu; });
    const Surface start = makeSurface(50, 40, [&](int, int) { return rng() & 0x00FFFFFFu; });
    bitmapPicture pics[2];
    load(pics[0], pixels, false);
    load(pics[1], pixels, true);
    for (int round = 0; round < 600; ++round) {
        const bool keyed = round % 2, whole = round % 8 < 2;
        const int dx = int(rng() % 80) - 30, dy = int(rng() % 70) - 30;
        const int sx = whole ? 0 : int(rng() % 60) - 15, sy = whole ? 0 : int(rng() % 40) - 10;
        const int w = whole ? 37 : int(rng() % 60), h = whole ? 21 : int(rng() % 40);
        const std::uint8_t alpha = round % 10 < 2 ? (round % 10 ? 255 : 0) : std::uint8_t(rng());
        SCOPED_TRACE(testing::Message() << "round " << round << " dest " << dx << "," << dy << " src " << sx
                                        << "," << sy << " " << w << "x" << h << " alpha " << int(alpha));
        Canvas rendered(start), blended(start);
        Surface wantRendered = start, wantBlended = start;
        whole ? pics[keyed].render(&rendered, dx, dy) : pics[keyed].render(&rendered, dx, dy, sx, sy, w, h);
        whole ? pics[keyed].alphaRender(&blended, dx, dy, alpha) : pics[keyed].alphaRender(&blended, dx, dy, sx, sy, w, h, alpha);
        if (keyed) {
            platform::keyedCopy(wantRendered, dx, dy, w, h, pixels, sx, sy, MAGENTA);
            Surface blend(37, 21);
            platform::copyRect(blend, 0, 0, w, h, wantBlended, dx, dy);
            platform::keyedCopy(blend, 0, 0, w, h, pixels, sx, sy, MAGENTA);
            platform::alphaBlend(wantBlended, dx, dy, w, h, blend, 0, 0, alpha);
        } else {
            platform::copyRect(wantRendered, dx, dy, w, h, pixels, sx, sy);
            platform::alphaBlend(wantBlended, dx, dy, w, h, pixels, sx, sy, alpha);
        }
        ASSERT_TRUE(same(rendered.pixels(), wantRendered));
        ASSERT_TRUE(same(blended.pixels(), wantBlended));
        ASSERT_TRUE(alpha != 0 || same(blended.pixels(), start));
        // (The keyed blend's area is cut to the picture's size first, so only then.)
        ASSERT_TRUE(alpha != 255 || (keyed && (w > 37 || h > 21)) || same(blended.pixels(), rendered.pixels()));
    }
}

// A keyed picture drawn into after loading (as the back buffer is, every
// frame) draws what it holds now, including colour where it had key.
TEST_F(BitmapPictureTest, APictureDrawnIntoAfterLoadingDrawsItsNewPixels) {
    bitmapPicture p, ink;
    load(p, makeSurface(12, 4, [](int x, int) { return x < 6 ? kKey : 0x00112233u; }), true);
    load(ink, makeSurface(4, 4, [](int x, int y) { return 0x00400000u + 16 * y + x; }), false);
    ink.render(p.getMemDC(), 1, 0);
    Canvas copied(ground(12, 4)), blended(ground(12, 4));
    p.render(&copied, 0, 0);
    p.alphaRender(&blended, 0, 0, 100);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x) {
            const std::uint32_t want = x >= 1 && x < 5 ? 0x00400000u + 16 * y + x - 1 : x < 6 ? kGround : 0x00112233u;
            ASSERT_EQ(copied.pixel(x, y), want) << x << "," << y;
            ASSERT_EQ(blended.pixel(x, y), want == kGround ? kGround : platform::simd::mixPixel(want, kGround, 100));
        }
}

TEST_F(BitmapPictureTest, FramesClampAboveDrawNothingBelowAndLeaveTheRemainderUnused) {
    // 10 x 4 cut 3 x 2: cells are 3 x 2 and the tenth column belongs to no cell.
    const Surface cells = makeSurface(10, 4, [](int x, int y) { return x >= 9 ? 0x00ABCDEFu : 0x00110000u * (x / 3 + 1) + 0x22u * (y / 2 + 1); });
    bitmapPicture p;
    load(p, cells, false, 3, 2);
    EXPECT_EQ(std::tuple(p.getFrameWidth(), p.getFrameHeight(), p.getMaxFrameX(), p.getMaxFrameY()), std::tuple(3, 2, 2, 1));

    Canvas dst(ground(5, 5));
    Surface want = ground(5, 5);
    p.frameRender(&dst, 1, 1, 7, 9);  // past both ends: exactly the last cell, not the spare column
    platform::copyRect(want, 1, 1, 3, 2, cells, 6, 2);
    EXPECT_TRUE(same(dst.pixels(), want));
    EXPECT_EQ(std::pair(p.getCurrentFrameX(), p.getCurrentFrameY()), std::pair(2, 1));

    for (auto [fx, fy] : {std::pair{-1, 0}, {0, -1}, {INT_MIN, INT_MIN}}) p.frameRender(&dst, 1, 1, fx, fy);
    EXPECT_TRUE(same(dst.pixels(), want));
    EXPECT_EQ(p.getCurrentFrameX(), INT_MIN);  // not clamped from below
    p.setFrameX(99);
    p.setFrameY(-5);
    EXPECT_EQ(std::pair(p.getCurrentFrameX(), p.getCurrentFrameY()), std::pair(2, -5));
}

TEST_F(BitmapPictureTest, LoopRenderTilesFromTheAreasCornerScrolledByTheOffset) {
    const Surface tile = makeSurface(6, 3, [](int x, int y) { return 0x00100000u * (x + 1) + y; });
    bitmapPicture p;
    load(p, tile, false);
    // -1 counts back from the right edge, a whole width is no scroll; an area
    // reaching far off the surface keeps the tiling that started at its corner.
    const std::pair<RECT, int> cases[] = {
        {{2, 1, 17, 8}, 0}, {{2, 1, 17, 8}, 1}, {{2, 1, 17, 8}, 5}, {{2, 1, 17, 8}, -1},
        {{2, 1, 17, 8}, 6}, {{2, 1, 17, 8}, -13}, {{2, 1, 17, 8}, INT_MIN},
        {{-1000003, -1000001, 12, 5}, 2}, {{10, 10, 5, 5}, 0}, {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0}};
    for (auto [area, offset] : cases) {
        Canvas dst(ground(20, 10));
        p.loopRender(&dst, &area, offset);
        const long long scroll = (offset % 6 + 6) % 6;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const long long ax = x - (long long)area.left + scroll, ay = y - (long long)area.top;
                ASSERT_EQ(dst.pixel(x, y), PtInRect(area, x, y) ? tile.pixel(int(ax % 6), int(ay % 3)) : kGround)
                    << x << "," << y << " area left " << area.left << " offset " << offset;
            }
    }
}

TEST_F(BitmapPictureTest, InitAgainReplacesEverythingAndAFailedInitLeavesAnEmptyPicture) {
    bitmapPicture p;
    p.release();  // empty: nothing to do
    const std::string path = dir.write("place.bmp", testing_support::bmpBytes(Surface(6, 3)));
    ASSERT_EQ(p.init(path.c_str(), -2.7f, 10.9f, 12, 6, true, MAGENTA), S_OK);
    EXPECT_EQ(p.getBoundingRect(), (RECT{-2, 10, 10, 16}));  // scaled to the size asked, truncated toward zero
    ASSERT_EQ(p.initFrames(path.c_str(), 30, 3, 4, 1, false, 0), S_OK);
    EXPECT_EQ(std::tuple(p.getWidth(), p.getFrameWidth(), p.getX()), std::tuple(30, 7, 0.0f));

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(p.init(dir.file("missing.bmp").c_str(), 10, 10, true, MAGENTA), E_FAIL);
        EXPECT_EQ(p.getMemDC(), nullptr);
        Canvas dst(ground(4, 4));
        const RECT area{0, 0, 4, 4};
        p.render(&dst, 0, 0);
        p.alphaRender(&dst, 0, 0, 128);
        p.loopRender(&dst, &area, 3);
        p.frameRender(&dst, 0, 0, 0, 0);
        EXPECT_TRUE(same(dst.pixels(), ground(4, 4)));
        p.release();
    }
    ASSERT_EQ(p.initBlank(5, 7), S_OK);
    EXPECT_TRUE(same(p.getMemDC()->pixels(), Surface(5, 7)));
    EXPECT_EQ(p.initBlank(-5, 7), E_FAIL);
    EXPECT_EQ(p.getMemDC(), nullptr);
}

}  // namespace
