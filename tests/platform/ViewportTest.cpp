// Where the 600 x 1024 picture lands in windows of any size, which window
// points reach it, and the size a window opens at on each screen.
#include <gtest/gtest.h>

#include "platform/Viewport.h"

namespace {

using platform::Viewport;
constexpr int W = 600, H = 1024;

bool same(const Viewport& a, const Viewport& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

TEST(Viewport, FitsWholeCentredAndKnowsItsWholeMultiples) {
    const struct {
        int areaW, areaH;
        Viewport shown;
        bool whole;
    } cases[] = {
        {600, 1024, {0, 0, 600, 1024}, true},
        {1200, 2048, {0, 0, 1200, 2048}, true},
        {1920, 1080, {644, 0, 632, 1080}, false},   // bars left and right
        {1200, 4000, {0, 976, 1200, 2048}, true},   // bars above and below
        {3840, 2160, {1287, 0, 1265, 2160}, false},
        {1800, 3072, {0, 0, 1800, 3072}, true},
        {426, 728, {0, 0, 426, 727}, false},
        {0, 768, {0, 0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        const Viewport v = platform::fitPicture(c.areaW, c.areaH, W, H);
        EXPECT_TRUE(same(v, c.shown)) << c.areaW << "x" << c.areaH << ": " << v.x << "," << v.y << " "
                                      << v.w << "x" << v.h;
        EXPECT_EQ(platform::wholeMultiple(v, W, H), c.whole) << c.areaW << "x" << c.areaH;
    }
}

TEST(Viewport, WindowPointsMapToClientPixelsAndTheBarsAreOutside) {
    const Viewport wide = platform::fitPicture(1920, 1080, W, H);  // 632 x 1080 at x 644
    const Viewport twice{0, 0, 1200, 2048};
    const struct {
        Viewport shown;
        int x, y;
        bool inside;
        int px, py;
    } cases[] = {
        {twice, 0, 0, true, 0, 0},
        {twice, 1199, 2047, true, 599, 1023},
        {twice, 1200, 100, false, 0, 0},
        {twice, 91, 829, true, 45, 414},  // a pixel's second row and column still belong to it
        {wide, 643, 500, false, 0, 0},    // the left bar
        {wide, 644, 0, true, 0, 0},
        {wide, 1275, 1079, true, 599, 1023},
        {wide, 1276, 500, false, 0, 0},   // the right bar
        {wide, 644 + 316, 540, true, 300, 512},
        {wide, 500, -1, false, 0, 0},
    };
    for (const auto& c : cases) {
        int px = -7, py = -7;
        const bool inside = platform::toPicture(c.shown, W, H, c.x, c.y, px, py);
        EXPECT_EQ(inside, c.inside) << c.x << "," << c.y;
        if (c.inside && inside) {
            EXPECT_EQ(px, c.px) << c.x << "," << c.y;
            EXPECT_EQ(py, c.py) << c.x << "," << c.y;
        }
    }
}

TEST(Viewport, OpensAtTheLargestWholeMultipleThatFitsElseScaledDown) {
    const struct {
        int usableW, usableH, w, h;
    } cases[] = {
        {1280, 1100, 600, 1024},   // 1x fits: the direct path
        {1920, 1080, 600, 1024},   // just, under the title bar
        {1920, 1040, 585, 1000},   // a panel takes the room: scaled down
        {1024, 768, 426, 728},
        {3840, 2160, 1200, 2048},  // 2x
        {7680, 4320, 2400, 4096},  // 4x
        {1000, 40, 600, 1024},     // nonsense bounds: 1x, and the player resizes
    };
    for (const auto& c : cases) {
        const Viewport v = platform::openingSize(c.usableW, c.usableH, W, H, 40);
        EXPECT_EQ(v.w, c.w) << c.usableW << "x" << c.usableH;
        EXPECT_EQ(v.h, c.h) << c.usableW << "x" << c.usableH;
    }
}

}  // namespace
