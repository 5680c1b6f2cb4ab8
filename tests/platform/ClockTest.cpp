// The millisecond tick the game's gates read: whole multiples of 15.625 ms,
// as the timings of the game need, on whatever clock is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FakeClock.h"
#include "platform/Clock.h"

namespace {

TEST(Tick, ValuesAreTheIntegerPartsOfMultiplesOfTheIntervalAndTensComeEightTimesASecond) {
    std::uint64_t last = ~0ull;
    std::vector<std::uint64_t> tens;
    for (std::uint64_t ms = 0; ms < 8000; ++ms) {
        const std::uint64_t t = platform::steppedTick(ms);
        ASSERT_EQ(t, static_cast<std::uint64_t>(std::floor(std::floor(ms / 15.625) * 15.625))) << ms;
        if (ms >= 7000 && t != last && t % 10 == 0) tens.push_back(t - 7000);
        last = t;
    }
    EXPECT_EQ(tens, (std::vector<std::uint64_t>{0, 140, 250, 390, 500, 640, 750, 890}));
}

TEST(Tick, FollowsTheInstalledClock) {
    testing_support::ScopedFakeClock time;
    time.clock.setMs(1000);
    EXPECT_EQ(platform::tickCount64(), 1000u);
    time.clock.advanceMs(15);
    EXPECT_EQ(platform::tickCount64(), 1000u);
    time.clock.advanceMs(1);
    EXPECT_EQ(platform::tickCount64(), 1015u);
    time.clock.setMs((1ull << 32) + 5000);
    EXPECT_EQ(platform::tickCount(), static_cast<std::uint32_t>(platform::tickCount64()));
}

}  // namespace
