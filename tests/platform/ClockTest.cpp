// The millisecond tick the game's gates read: whole multiples of 15.625 ms,
// as the timings of the game need. (That it follows the installed clock, every
// test on the fake clock shows.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

}  // namespace
