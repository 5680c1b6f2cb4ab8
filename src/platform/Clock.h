// Time sources: the high-resolution counter and the millisecond tick. All game
// time comes from here, so tests can install a clock of their own.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t counter() = 0;    // high-resolution counter
    virtual std::int64_t frequency() = 0;  // counter units per second
    virtual std::uint64_t milliseconds() = 0;  // whole ms since the clock started
    // Gives the time away; a real clock sleeps, a fake one advances (by at
    // least a little, so a waiting caller always makes progress).
    virtual void sleep(double seconds) = 0;
};

// The installed clock; the real one unless a test installed another.
Clock& clock();
// nullptr puts the real clock back. The caller keeps ownership.
void installClock(Clock* c);

// The millisecond count in the steps of the system clock interval, 15.625 ms:
// n = ms * 8 / 125, tick = n * 125 / 8 (integer division).
constexpr std::uint64_t steppedTick(std::uint64_t ms) { return (ms * 8 / 125) * 125 / 8; }
std::uint64_t tickCount64();
std::uint32_t tickCount();  // low 32 bits of tickCount64

}  // namespace platform
