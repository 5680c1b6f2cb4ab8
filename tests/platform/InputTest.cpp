#include <gtest/gtest.h>

#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { platform::input().reset(); }
    void TearDown() override { platform::input().reset(); }
    platform::InputState& in() { return platform::input(); }
};

TEST_F(InputTest, QuickClickWithinOneDrainIsHeldThroughTheNextFrame) {
    in().beginDrain();
    in().keyDown(VK_LBUTTON);
    in().keyUp(VK_LBUTTON);
    EXPECT_TRUE(in().isDown(VK_LBUTTON));  // the frame sees the press
    in().endFrame();
    EXPECT_FALSE(in().isDown(VK_LBUTTON));  // and the release after it
}

TEST_F(InputTest, ReleaseInALaterDrainIsImmediate) {
    in().beginDrain();
    in().keyDown(VK_LBUTTON);
    in().endFrame();
    EXPECT_TRUE(in().isDown(VK_LBUTTON));
    in().beginDrain();
    in().keyUp(VK_LBUTTON);
    EXPECT_FALSE(in().isDown(VK_LBUTTON));
}

TEST_F(InputTest, PressAgainAfterAHeldReleaseStaysDown) {
    in().beginDrain();
    in().keyDown('A');
    in().keyUp('A');
    in().keyDown('A');  // down, up, down in one drain: it ends down
    in().endFrame();
    EXPECT_TRUE(in().isDown('A'));
}

TEST_F(InputTest, KeyCodesOutsideTheTableWrap) {
    in().keyDown(0x141);  // never out of bounds
    EXPECT_TRUE(in().isDown(0x41));
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
