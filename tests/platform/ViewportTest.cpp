// Where the 600 x 1024 picture lands in windows of any size, and the size a
// window opens at on each screen. (Which points reach it: the window's tests.)
#include <gtest/gtest.h>

#include <tuple>

#include "platform/Viewport.h"

namespace {

using platform::Viewport;
constexpr int W = 600, H = 1024;

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
        EXPECT_EQ(std::tuple(v.x, v.y, v.w, v.h), std::tuple(c.shown.x, c.shown.y, c.shown.w, c.shown.h)) << c.areaW << "x" << c.areaH;
        EXPECT_EQ(platform::wholeMultiple(v, W, H), c.whole) << c.areaW << "x" << c.areaH;
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
