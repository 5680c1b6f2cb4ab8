#include <gtest/gtest.h>

#include "FakeClock.h"
#include "framework/FrameTimer.h"

using testing_support::ScopedFakeClock;

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FrameTimer::destroy();
        FrameTimer::get()->init();
    }
    void TearDown() override { FrameTimer::destroy(); }
    ScopedFakeClock time;
    FrameTimer& timer() { return *FrameTimer::get(); }
};

TEST_F(FrameTimerTest, NoFrameIsShorterThanASixtieth) {
    // With nothing else happening the wait alone decides the frame length.
    for (int i = 0; i < 200; ++i) {
        timer().tick(60.0f);
        EXPECT_GE(timer().elapsedTime(), 0.016666668f);
        EXPECT_LT(timer().elapsedTime(), 0.0175f);
    }
}

TEST_F(FrameTimerTest, SlowFrameIsMeasuredWhole) {
    time.clock.advanceMs(250);  // a long stall, such as loading
    timer().tick(60.0f);
    EXPECT_NEAR(timer().elapsedTime(), 0.25f, 1e-4);
    EXPECT_NEAR(timer().worldTime(), 0.25f, 1e-4);
}

TEST_F(FrameTimerTest, SecondBoundaryPublishesCountAndRestartsAtOne) {
    // Frames of exactly 0.1 s: the eleventh passes one second.
    for (int i = 1; i <= 10; ++i) {
        time.clock.advanceMs(100);
        timer().tick(60.0f);
        EXPECT_EQ(timer().frameRate(), 0) << "frame " << i;
    }
    time.clock.advanceMs(100);
    timer().tick(60.0f);
    EXPECT_EQ(timer().frameRate(), 10);  // the frames before the closing one
    // The closing frame counted toward the next second: nine more reach ten.
    for (int i = 0; i < 10; ++i) {
        time.clock.advanceMs(100);
        timer().tick(60.0f);
    }
    EXPECT_EQ(timer().frameRate(), 10);
    EXPECT_NEAR(timer().worldTime(), 2.1f, 1e-3);
}

TEST_F(FrameTimerTest, WorldTimeAccumulatesAndMarkTimeIsLeftAlone) {
    timer().markTime = 12.5f;
    for (int i = 0; i < 60; ++i) timer().tick(60.0f);
    EXPECT_NEAR(timer().worldTime(), 1.0f, 0.01f);
    EXPECT_EQ(timer().markTime, 12.5f);
    timer().init();
    EXPECT_EQ(timer().worldTime(), 0.0f);
    EXPECT_EQ(timer().frameRate(), 0);
}

}  // namespace
