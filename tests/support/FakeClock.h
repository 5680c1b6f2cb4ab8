// A clock under test control: time moves only when the test (or a waiting
// frame timer) moves it. Counter units are nanoseconds.
#pragma once

#include <cstdint>

#include "platform/Clock.h"

namespace testing_support {

class FakeClock : public platform::Clock {
public:
    static constexpr std::int64_t kFrequency = 1'000'000'000;

    std::int64_t counter() override { return nanos_; }
    std::int64_t frequency() override { return kFrequency; }
    std::uint64_t milliseconds() override { return static_cast<std::uint64_t>(nanos_ / 1'000'000); }
    void sleep(double seconds) override {
        // Always some progress, so a caller waiting for a deadline gets there.
        std::int64_t step = static_cast<std::int64_t>(seconds * 1e9);
        nanos_ += step > 1000 ? step : 1000;
        // A real sleep returns a little late, by a varying amount; a repeatable
        // sequence of up to 60 microseconds stands in for the scheduler.
        if (seconds > 0) {
            lateness_ = lateness_ * 1103515245u + 12345u;
            nanos_ += (lateness_ >> 16) % 60'000;
        }
    }

    void advanceMs(double ms) { nanos_ += static_cast<std::int64_t>(ms * 1e6); }
    void setMs(std::uint64_t ms) { nanos_ = static_cast<std::int64_t>(ms) * 1'000'000; }
    // On to the next step of the millisecond tick (15.625 ms) whose value
    // modulo `modulus` is `rest`: the gates of the game open on such ticks.
    void toTick(int modulus, int rest) {
        for (std::uint64_t n = milliseconds() * 8 / 125 + 1;; ++n)
            if (n * 125 / 8 % modulus == static_cast<std::uint64_t>(rest)) return setMs((n * 125 + 7) / 8);
    }

private:
    std::int64_t nanos_ = 0;
    std::uint32_t lateness_ = 1;
};

// Installs a fake clock for the lifetime of the guard.
class ScopedFakeClock {
public:
    ScopedFakeClock() { platform::installClock(&clock); }
    ~ScopedFakeClock() { platform::installClock(nullptr); }
    FakeClock clock;
};

}  // namespace testing_support
