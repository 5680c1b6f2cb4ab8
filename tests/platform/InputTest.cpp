// The platform's key bits as the game polls them: a quick click is never
// lost, codes wrap into the table, and rectangle edges.
#include <gtest/gtest.h>

#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace {

TEST(Input, AReleaseInThePressesDrainWaitsOneFrameALaterOneDoesNot) {
    platform::InputState& in = platform::input();
    in.reset();
    const struct {
        int events;  // 1 down, 2 down up, 3 down up down, in one drain
        bool downThisFrame, downNextFrame;
    } cases[] = {{1, true, true}, {2, true, false}, {3, true, true}};
    for (const auto& c : cases) {
        in.beginDrain();
        for (int e = 0; e < c.events; ++e) e % 2 ? in.keyUp(VK_LBUTTON) : in.keyDown(VK_LBUTTON);
        EXPECT_EQ(in.isDown(VK_LBUTTON), c.downThisFrame) << c.events;
        in.endFrame();
        EXPECT_EQ(in.isDown(VK_LBUTTON), c.downNextFrame) << c.events;
        in.beginDrain();
        in.keyUp(VK_LBUTTON);  // a release in a later drain is immediate
        EXPECT_FALSE(in.isDown(VK_LBUTTON)) << c.events;
        in.endFrame();
    }
    in.keyDown(0x141);  // never out of bounds
    EXPECT_TRUE(in.isDown(0x41));
    in.reset();
}

TEST(Rects, PointAndIntersectionEdges) {
    RECT r{10, 20, 30, 40};
    EXPECT_TRUE(PtInRect(r, 10, 20));
    EXPECT_FALSE(PtInRect(r, 30, 25));
    EXPECT_FALSE(PtInRect(r, 15, 40));
    RECT out;
    EXPECT_FALSE(IntersectRect(&out, r, RECT{30, 20, 50, 40}));  // touching edge
    EXPECT_TRUE(IntersectRect(&out, r, RECT{29, 39, 50, 60}));
    EXPECT_EQ(out, (RECT{29, 39, 30, 40}));
}

}  // namespace
