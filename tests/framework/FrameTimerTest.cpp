// The frame timer on the fake clock: the 1/60 s floor, a long frame counted
// whole, and the frame-rate count at each second boundary.
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "framework/FrameTimer.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override { FrameTimer::get()->init(); }
    void TearDown() override { FrameTimer::destroy(); }
    testing_support::ScopedFakeClock time;
    FrameTimer& timer() { return *FrameTimer::get(); }
};

TEST_F(FrameTimerTest, NoFrameIsShorterThanASixtiethAndAStallCountsWhole) {
    for (int i = 0; i < 200; ++i) {  // nothing else happening: the wait decides
        timer().tick(60.0f);
        ASSERT_GE(timer().elapsedTime(), 0.016666668f);
        ASSERT_LT(timer().elapsedTime(), 0.0175f);
    }
    const float before = timer().worldTime();
    time.clock.advanceMs(250);  // a long stall, such as loading
    timer().tick(60.0f);
    EXPECT_NEAR(timer().elapsedTime(), 0.25f, 1e-4);
    EXPECT_NEAR(timer().worldTime() - before, 0.25f, 1e-3);
}

TEST_F(FrameTimerTest, SecondBoundaryPublishesTheCountBeforeItAndInitStartsOver) {
    // Frames of exactly 0.1 s: the eleventh passes one second.
    for (int i = 1; i <= 10; ++i) {
        time.clock.advanceMs(100);
        timer().tick(60.0f);
        EXPECT_EQ(timer().frameRate(), 0) << "frame " << i;
    }
    time.clock.advanceMs(100);
    timer().tick(60.0f);
    EXPECT_EQ(timer().frameRate(), 10);
    // The closing frame counted toward the next second: nine more reach ten.
    for (int i = 0; i < 10; ++i) {
        time.clock.advanceMs(100);
        timer().tick(60.0f);
    }
    EXPECT_EQ(timer().frameRate(), 10);
    EXPECT_NEAR(timer().worldTime(), 2.1f, 1e-3);
    timer().init();
    EXPECT_EQ(timer().worldTime(), 0.0f);
    EXPECT_EQ(timer().frameRate(), 0);
}

}  // namespace
