// The page's clock. A page cannot sleep, and the game's motion is counted per
// frame, so the frame loop decides when a step runs (RunLoopWeb.cpp) and the
// clock tells the game the time of the step: the counter moves exactly 1/60 s
// a step, so the frame timer never waits; the millisecond tick follows the
// real time each step ran at (never less than 16 ms after the last one, so a
// 60-a-second update sees each value of the 15.625 ms tick at most once), and
// with it the small unevenness of real frames that keeps the tick-gated
// events from locking onto one phase.
#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/SystemClock.h"

namespace platform {
namespace {

constexpr std::int64_t kUnitsPerSecond = 60000;
constexpr std::int64_t kUnitsPerStep = kUnitsPerSecond / 60;
// The frame timer divides in single precision: one step must come out at
// least 1/60 s there, or it would wait for the rest.
static_assert(static_cast<float>(kUnitsPerStep) * (1.0f / static_cast<float>(kUnitsPerSecond)) >=
              1.0f / 60.0f);
constexpr double kLeastStepMs = 16.0;

class StepClock : public Clock {
public:
    StepClock()
        : wallAtStart_(static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::system_clock::now().time_since_epoch())
                                              .count())),
          realAtStart_(emscripten_get_now()),
          stepMs_(realAtStart_) {}

    std::int64_t counter() override { return units_; }
    std::int64_t frequency() override { return kUnitsPerSecond; }
    // Counted from the epoch, so the random seed taken from it differs from
    // one visit to the next.
    std::uint64_t milliseconds() override {
        const double real = stepping_ ? stepMs_ : emscripten_get_now();
        return static_cast<std::uint64_t>(wallAtStart_ + (real - realAtStart_));
    }
    // Nothing to wait for in a page; a waiter still sees the time go by.
    void sleep(double seconds) override {
        if (seconds > 0) units_ += static_cast<std::int64_t>(std::ceil(seconds * kUnitsPerSecond));
    }

    void beginStep(double realMs) {
        units_ += kUnitsPerStep;
        stepMs_ = stepping_ ? std::max(realMs, stepMs_ + kLeastStepMs) : realMs;
        stepping_ = true;
    }

private:
    double wallAtStart_;
    double realAtStart_;
    double stepMs_;
    bool stepping_ = false;
    std::int64_t units_ = 0;
};

StepClock& stepClock() {
    static StepClock clock;
    return clock;
}

}  // namespace

Clock& systemClock() { return stepClock(); }

void beginWebStep(double realMs) { stepClock().beginStep(realMs); }

}  // namespace platform
