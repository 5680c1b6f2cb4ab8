#include "engine/bitmapPicture.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "EngineTestFiles.h"

using testing_support::makeSurface;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kKey = 0x00FF00FF;  // magenta, as a pixel and as a COLORREF
constexpr std::uint32_t kGround = 0x00102030;

class BitmapPictureTest : public ::testing::Test {
protected:
    // Loads the pixels through a BMP file at their own size, so what is drawn
    // is exactly what was written.
    void load(bitmapPicture& p, const platform::Surface& pixels, bool keyed, int framesX = 0,
              int framesY = 0) {
        const std::string path = dir.file("pic" + std::to_string(files++) + ".bmp");
        testing_support::writeBytes(path, testing_support::bmpBytes(pixels));
        const HRESULT hr =
            framesX ? p.initFrames(path.c_str(), pixels.width(), pixels.height(), framesX,
                                   framesY, keyed, MAGENTA)
                    : p.init(path.c_str(), pixels.width(), pixels.height(), keyed, MAGENTA);
        ASSERT_EQ(hr, S_OK);
    }
    static platform::Surface ground(int w, int h) {
        platform::Surface s(w, h);
        s.fill(kGround);
        return s;
    }
    static bool same(const platform::Surface& a, const platform::Surface& b) {
        if (a.width() != b.width() || a.height() != b.height()) return false;
        return std::equal(a.pixels(), a.pixels() + a.width() * a.height(), b.pixels());
    }

    TempDir dir;
    int files = 0;
};

// 4 x 3: a keyed pixel in each row at x == y, the rest coloured by position.
platform::Surface keyedPattern() {
    return makeSurface(4, 3, [](int x, int y) {
        return x == y ? kKey : 0x00010000u * (x + 1) + 0x100u * (y + 1) + 7;
    });
}

TEST_F(BitmapPictureTest, RenderCopiesWholeOrPartAndSkipsTheKey) {
    const platform::Surface pattern = keyedPattern();
    bitmapPicture keyed, opaque;
    load(keyed, pattern, true);
    load(opaque, pattern, false);

    platform::Surface dst = ground(10, 10);
    keyed.render(&dst, 2, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.pixel(2 + x, 3 + y), x == y ? kGround : pattern.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(dst.pixel(1, 3), kGround);
    EXPECT_EQ(dst.pixel(6, 3), kGround);

    dst = ground(10, 10);
    opaque.render(&dst, 0, 0, 1, 1, 2, 2);  // a 2 x 2 part from (1, 1), key drawn as a colour
    EXPECT_EQ(dst.pixel(0, 0), kKey);
    EXPECT_EQ(dst.pixel(1, 0), pattern.pixel(2, 1));
    EXPECT_EQ(dst.pixel(0, 1), pattern.pixel(1, 2));
    EXPECT_EQ(dst.pixel(2, 0), kGround);
    EXPECT_EQ(dst.pixel(0, 2), kGround);

    // Rectangles reaching outside the picture or the destination are cut,
    // never read or written past either.
    dst = ground(10, 10);
    opaque.render(&dst, 6, -1, -3, 1, 100, 100);
    EXPECT_EQ(dst.pixel(9, 0), pattern.pixel(0, 2));
    EXPECT_EQ(dst.pixel(8, 0), kGround);
    opaque.render(&dst, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX);
}

// 10 x 4 cut 3 x 2: cells are 3 x 2 and the tenth pixel column belongs to
// no cell. Each cell has its own colour, the leftover column another.
platform::Surface cellPattern() {
    return makeSurface(10, 4, [](int x, int y) {
        return x >= 9 ? 0x00ABCDEFu : 0x00110000u * (x / 3 + 1) + 0x22u * (y / 2 + 1);
    });
}

TEST_F(BitmapPictureTest, FrameRenderClampsAboveAndDrawsNothingOutsideThePicture) {
    const platform::Surface cells = cellPattern();
    bitmapPicture p;
    load(p, cells, false, 3, 2);
    EXPECT_EQ(p.getFrameWidth(), 3);  // 10 / 3, truncated
    EXPECT_EQ(p.getFrameHeight(), 2);
    EXPECT_EQ(p.getMaxFrameX(), 2);
    EXPECT_EQ(p.getMaxFrameY(), 1);

    platform::Surface dst = ground(5, 5);
    p.frameRender(&dst, 1, 1, 7, 9);  // past both ends: the last cell
    EXPECT_EQ(p.getCurrentFrameX(), 2);
    EXPECT_EQ(p.getCurrentFrameY(), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.pixel(1 + x, 1 + y), cells.pixel(6 + x, 2 + y));
    // Exactly the cell: the leftover column is not part of the last cell.
    EXPECT_EQ(dst.pixel(4, 1), kGround);
    EXPECT_EQ(dst.pixel(1, 3), kGround);

    // Below the first cell nothing is clamped and nothing is drawn.
    const platform::Surface before = dst;
    p.frameRender(&dst, 1, 1, -1, 0);
    EXPECT_EQ(p.getCurrentFrameX(), -1);
    p.frameRender(&dst, 1, 1, 0, -1);
    p.frameRender(&dst, 0, 0, INT_MIN, INT_MIN);
    EXPECT_TRUE(same(dst, before));

    p.setFrameX(99);
    p.setFrameY(-5);
    EXPECT_EQ(p.getCurrentFrameX(), 2);
    EXPECT_EQ(p.getCurrentFrameY(), -5);
}

TEST_F(BitmapPictureTest, AlphaRenderAtTheEndsIsNothingAndRender) {
    const platform::Surface pattern = keyedPattern();
    for (bool keyed : {false, true}) {
        bitmapPicture p;
        load(p, pattern, keyed);
        platform::Surface start = makeSurface(8, 8, [](int x, int y) { return (0x00050607u * (x + 8 * y)) & 0x00FFFFFFu; });

        platform::Surface dst = start;
        p.alphaRender(&dst, 1, 2, 0);
        p.alphaRender(&dst, 1, 2, 1, 0, 2, 3, 0);
        EXPECT_TRUE(same(dst, start)) << keyed;

        platform::Surface rendered = start;
        p.render(&rendered, 1, 2);
        dst = start;
        p.alphaRender(&dst, 1, 2, 255);
        EXPECT_TRUE(same(dst, rendered)) << keyed;

        rendered = start;
        p.render(&rendered, -1, 5, 1, 0, 3, 3);
        dst = start;
        p.alphaRender(&dst, -1, 5, 1, 0, 3, 3, 255);
        EXPECT_TRUE(same(dst, rendered)) << keyed;
    }
}

TEST_F(BitmapPictureTest, AlphaRenderBlendsEachChannelExactly) {
    bitmapPicture p;
    load(p, makeSurface(2, 1, [](int x, int) { return x ? kKey : 0x00C86432u; }), true);
    platform::Surface dst = ground(2, 1);
    p.alphaRender(&dst, 0, 0, 200);
    // (s * 200 + d * 55) / 255 per channel, truncated.
    const auto mix = [](std::uint32_t s, std::uint32_t d) { return (s * 200 + d * 55) / 255; };
    EXPECT_EQ(dst.pixel(0, 0), (mix(0xC8, 0x10) << 16) | (mix(0x64, 0x20) << 8) | mix(0x32, 0x30));
    EXPECT_EQ(dst.pixel(1, 0), kGround);  // keyed: unchanged
}

// The keyed blend is defined as three steps through a blend surface of the
// picture's size: copy what lies under the picture, draw the picture keyed
// over the copy, blend the copy back. The one-pass draw must give the same
// bytes, for rectangles that stick out of the picture and the destination too.
TEST_F(BitmapPictureTest, KeyedAlphaRenderEqualsTheBlendSurfaceSteps) {
    std::mt19937 rng(7);
    const platform::Surface pixels = makeSurface(37, 21, [&](int, int) {
        return rng() % 3 == 0 ? kKey : rng() & 0x00FFFFFFu;
    });
    bitmapPicture p;
    load(p, pixels, true);
    // Pictures and the back buffer hold 0x00RRGGBB.
    const platform::Surface start = makeSurface(50, 40, [&](int, int) { return rng() & 0x00FFFFFFu; });

    for (int round = 0; round < 300; ++round) {
        const int dx = static_cast<int>(rng() % 80) - 30, dy = static_cast<int>(rng() % 70) - 30;
        const int sx = static_cast<int>(rng() % 60) - 15, sy = static_cast<int>(rng() % 40) - 10;
        const int sw = static_cast<int>(rng() % 60), sh = static_cast<int>(rng() % 40);
        const auto alpha = static_cast<std::uint8_t>(rng());
        const bool whole = round % 4 == 0;

        platform::Surface expected = start;
        platform::Surface blend(pixels.width(), pixels.height());
        const int w = whole ? pixels.width() : sw, h = whole ? pixels.height() : sh;
        const int fromX = whole ? 0 : sx, fromY = whole ? 0 : sy;
        platform::copyRect(blend, 0, 0, w, h, expected, dx, dy);
        platform::keyedCopy(blend, 0, 0, w, h, pixels, fromX, fromY, MAGENTA);
        platform::alphaBlend(expected, dx, dy, w, h, blend, 0, 0, alpha);

        platform::Surface dst = start;
        if (whole)
            p.alphaRender(&dst, dx, dy, alpha);
        else
            p.alphaRender(&dst, dx, dy, sx, sy, sw, sh, alpha);
        ASSERT_TRUE(same(dst, expected)) << "round " << round << " dest " << dx << "," << dy
                                         << " src " << sx << "," << sy << " " << sw << "x" << sh
                                         << " alpha " << int(alpha);
    }
}

// 6 x 3, each column its own colour, the rows a little different.
platform::Surface stripes() {
    return makeSurface(6, 3, [](int x, int y) { return 0x00100000u * (x + 1) + y; });
}

TEST_F(BitmapPictureTest, LoopRenderTilesWithTheWrittenOffsets) {
    const platform::Surface tile = stripes();
    bitmapPicture p;
    load(p, tile, false);
    const RECT area{2, 1, 17, 8};  // 15 x 7: two and a half tiles across, vertical wrap
    const auto expectTiling = [&](const platform::Surface& dst, int offset) {
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool inside = PtInRect(area, x, y);
                const std::uint32_t want =
                    inside ? tile.pixel((x - area.left + offset) % 6, (y - area.top) % 3) : kGround;
                ASSERT_EQ(dst.pixel(x, y), want) << x << "," << y << " offset " << offset;
            }
    };
    for (int offset : {0, 1, 4, 5}) {
        platform::Surface dst = ground(20, 10);
        p.loopRender(&dst, &area, offset);
        expectTiling(dst, offset);
    }
    // -1 counts back from the right edge; a whole width is no scroll at all.
    const std::pair<int, int> equivalent[] = {{-1, 5}, {6, 0}, {-6, 0}, {-13, 5}, {INT_MIN, INT_MIN % 6 + 6}};
    for (auto [offset, as] : equivalent) {
        platform::Surface dst = ground(20, 10);
        p.loopRender(&dst, &area, offset);
        expectTiling(dst, as);
    }
}

TEST_F(BitmapPictureTest, LoopRenderKeepsTilesInPlaceWhenTheAreaLeavesTheSurface) {
    const platform::Surface tile = stripes();
    bitmapPicture p;
    load(p, tile, false);
    // Starts far to the left and above: what shows must be the tiling that
    // started there, not one restarted at the surface's edge.
    const RECT area{-1000003, -1000001, 12, 5};
    platform::Surface dst = ground(20, 10);
    p.loopRender(&dst, &area, 2);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const long long ax = x - static_cast<long long>(area.left);
            const long long ay = y - static_cast<long long>(area.top);
            const std::uint32_t want = PtInRect(area, x, y)
                                           ? tile.pixel(static_cast<int>((ax + 2) % 6), static_cast<int>(ay % 3))
                                           : kGround;
            ASSERT_EQ(dst.pixel(x, y), want) << x << "," << y;
        }
    // Empty and inverted areas draw nothing.
    const platform::Surface before = dst;
    const RECT inverted{10, 10, 5, 5};
    p.loopRender(&dst, &inverted, 0);
    EXPECT_TRUE(same(dst, before));
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    p.loopRender(&dst, &huge, 0);
    EXPECT_EQ(dst.pixel(0, 0), tile.pixel(static_cast<int>((0 - static_cast<long long>(INT_MIN)) % 6),
                                          static_cast<int>((0 - static_cast<long long>(INT_MIN)) % 3)));
}

TEST_F(BitmapPictureTest, InitReleaseAndPlacement) {
    bitmapPicture p;
    p.release();  // empty: nothing to do
    EXPECT_EQ(p.getMemDC(), nullptr);

    const std::string path = dir.file("place.bmp");
    testing_support::writeBytes(path, testing_support::bmpBytes(stripes()));
    ASSERT_EQ(p.init(path.c_str(), -2.7f, 10.9f, 12, 6, true, MAGENTA), S_OK);
    EXPECT_EQ(p.getWidth(), 12);  // scaled to the size asked for
    EXPECT_EQ(p.getHeight(), 6);
    EXPECT_STREQ(p.getFileName(), path.c_str());
    EXPECT_EQ(p.getBoundingRect(), (RECT{-2, 10, 10, 16}));  // truncated toward zero
    p.setX(100.5f);
    EXPECT_EQ(p.getBoundingRect(), (RECT{100, 10, 112, 16}));

    // Initialising again replaces the picture (and its size, key and frames).
    ASSERT_EQ(p.initFrames(path.c_str(), 30, 3, 4, 1, false, 0), S_OK);
    EXPECT_EQ(p.getWidth(), 30);
    EXPECT_EQ(p.getFrameWidth(), 7);
    EXPECT_FALSE(p.isTransparent());
    EXPECT_EQ(p.getX(), 0.0f);

    // A failed init leaves an empty picture, not the previous one, and an
    // empty picture draws nothing.
    EXPECT_EQ(p.init(dir.file("missing.bmp").c_str(), 10, 10, true, MAGENTA), E_FAIL);
    EXPECT_EQ(p.getMemDC(), nullptr);
    EXPECT_EQ(p.getFileName(), nullptr);
    platform::Surface dst = ground(4, 4);
    const RECT area{0, 0, 4, 4};
    p.render(&dst, 0, 0);
    p.alphaRender(&dst, 0, 0, 128);
    p.loopRender(&dst, &area, 3);
    EXPECT_TRUE(same(dst, ground(4, 4)));
    p.release();

    ASSERT_EQ(p.initBlank(5, 7), S_OK);
    EXPECT_EQ(p.getMemDC()->width(), 5);
    EXPECT_EQ(p.getMemDC()->height(), 7);
    EXPECT_EQ(p.getFileName(), nullptr);
    EXPECT_EQ(p.initBlank(0, 7), E_FAIL);
    EXPECT_EQ(p.initBlank(-5, 7), E_FAIL);
    EXPECT_EQ(p.getMemDC(), nullptr);
}

}  // namespace
