#include "platform/Clock.h"

#include "platform/SystemClock.h"

namespace platform {
namespace {

Clock* installed = nullptr;

}  // namespace

Clock& clock() {
    if (installed) return *installed;
    return systemClock();
}

void installClock(Clock* c) { installed = c; }

std::uint64_t tickCount64() { return steppedTick(clock().milliseconds()); }

std::uint32_t tickCount() { return static_cast<std::uint32_t>(tickCount64()); }

}  // namespace platform
