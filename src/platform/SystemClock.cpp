#include "platform/SystemClock.h"

#include <SDL.h>

#include <chrono>
#include <thread>

namespace platform {
namespace {

class RealClock : public Clock {
public:
    RealClock() : frequency_(SDL_GetPerformanceFrequency()) {}
    std::int64_t counter() override { return static_cast<std::int64_t>(SDL_GetPerformanceCounter()); }
    std::int64_t frequency() override { return static_cast<std::int64_t>(frequency_); }
    // Counted from the system's start, so the random seed taken from it
    // differs from run to run.
    std::uint64_t milliseconds() override {
        const std::uint64_t perMs = frequency_ >= 1000 ? frequency_ / 1000 : 1;
        return SDL_GetPerformanceCounter() / perMs;
    }
    void sleep(double seconds) override {
        // Zero or less: return at once.
        if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }

private:
    std::uint64_t frequency_;
};

}  // namespace

Clock& systemClock() {
    static RealClock real;
    return real;
}

}  // namespace platform
