// The machine's own clock, behind clock() when no test installed another. On
// the desktop it reads the high-resolution counter and sleeps; in a page the
// browser calls the frame loop, and the clock shows the time of the frame
// being stepped (SystemClockWeb.cpp).
#pragma once

#include "platform/Clock.h"

namespace platform {

Clock& systemClock();

}  // namespace platform

#ifdef __EMSCRIPTEN__
namespace platform {

// The page's frame loop starts a step of exactly 1/60 s, run at realMs on
// the page's own clock (emscripten_get_now).
void beginWebStep(double realMs);

}  // namespace platform
#endif
