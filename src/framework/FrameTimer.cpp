#include "framework/FrameTimer.h"

#include <algorithm>
#include <memory>

#include "platform/Clock.h"

namespace {
std::unique_ptr<FrameTimer>& slot() {
    static std::unique_ptr<FrameTimer> instance;
    return instance;
}
// Sleep until this close to the deadline (a little over the usual oversleep
// of a timer), then nap half the time left each time (never less than a short
// nap), so the last stretch costs two or three wake-ups, each of which costs
// the process CPU time. No final spin: a frame that starts a few hundredths of a millisecond
// late is harmless, but frames locked exactly to 1/60 s would keep landing on
// the same instants of every second, and the events gated on whole multiples
// of the millisecond tick (the start countdown above all) could then miss
// their tick for minutes on end.
constexpr float kSleepMargin = 0.0005f;
constexpr double kNapSeconds = 0.0001;
}  // namespace

FrameTimer* FrameTimer::get() {
    auto& s = slot();
    if (!s) s = std::make_unique<FrameTimer>();
    return s.get();
}

void FrameTimer::destroy() { slot().reset(); }

void FrameTimer::init() {
    auto& clock = platform::clock();
    ticksPerSecond = clock.frequency();
    if (ticksPerSecond > 0) {
        usesPerformanceCounter = true;
        secondsPerTick = 1.0f / static_cast<float>(static_cast<double>(ticksPerSecond));
        lastTicks = clock.counter();
    } else {
        usesPerformanceCounter = false;
        secondsPerTick = 0.001f;
        lastTicks = static_cast<std::int64_t>(static_cast<std::uint32_t>(clock.milliseconds()));
    }
    fps = 0;
    framesThisSecond = 0;
    fpsTimeElapsed = 0;
    world = 0;
}

void FrameTimer::tick(float lockFps) {
    auto& clock = platform::clock();
    const float frameSeconds = lockFps > 0.0f ? 1.0f / lockFps : 0.0f;
    for (;;) {
        currentTicks = usesPerformanceCounter
                           ? clock.counter()
                           : static_cast<std::int64_t>(
                                 static_cast<std::uint32_t>(clock.milliseconds()));
        elapsed = static_cast<float>(static_cast<double>(currentTicks - lastTicks)) * secondsPerTick;
        if (!(elapsed < frameSeconds)) break;
        const float remaining = frameSeconds - elapsed;
        clock.sleep(remaining > kSleepMargin
                        ? remaining - kSleepMargin
                        : std::max(static_cast<double>(remaining) / 2, kNapSeconds));
    }
    lastTicks = currentTicks;
    fpsTimeElapsed += elapsed;
    world += elapsed;
    if (fpsTimeElapsed > 1.0f) {
        fps = framesThisSecond;
        framesThisSecond = 0;
        fpsTimeElapsed = 0;
    }
    ++framesThisSecond;
}
