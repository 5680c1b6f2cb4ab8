// The surface standing for the window's client area: the controller copies
// the back buffer into it at the end of each frame, and the entry point shows
// it (or the headless harness reads it).
#pragma once

#include "platform/Win32Types.h"

HDC windowSurface();
void destroyWindowSurface();
