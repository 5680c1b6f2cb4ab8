#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FakeClock.h"
#include "platform/Clock.h"

namespace {

TEST(Tick, ValuesAreTheIntegerPartsOfMultiplesOfTheInterval) {
    std::uint64_t previous = 0;
    for (std::uint64_t ms = 0; ms < 5000; ++ms) {
        std::uint64_t t = platform::steppedTick(ms);
        std::uint64_t n = static_cast<std::uint64_t>(std::floor(ms / 15.625));
        EXPECT_EQ(t, static_cast<std::uint64_t>(std::floor(n * 15.625))) << ms;
        EXPECT_LE(t, ms);
        EXPECT_GE(t, previous);
        previous = t;
    }
}

TEST(Tick, MultiplesOfTenFallEightTimesASecondAtFixedPlaces) {
    std::vector<std::uint64_t> seen;
    std::uint64_t last = ~0ull;
    for (std::uint64_t ms = 7000; ms < 8000; ++ms) {
        std::uint64_t t = platform::steppedTick(ms);
        if (t != last && t % 10 == 0) seen.push_back(t - 7000);
        last = t;
    }
    EXPECT_EQ(seen, (std::vector<std::uint64_t>{0, 140, 250, 390, 500, 640, 750, 890}));
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
