// The frame loop's driver: pumps the window's events, steps the game and shows
// the frame, until the window is closed. On the desktop a plain loop (the
// step paces itself to 60 a second). In a page the browser calls us once per
// display refresh; the game still steps exactly 60 times per second of real
// time, none to a few per call, and the call never returns (RunLoopWeb.cpp).
#pragma once

#include <functional>

namespace platform {

class Window;

void runFrames(Window& window, const std::function<void()>& step, const std::function<void()>& show);

// Whether work may go to threads beside the frame loop (decoding pictures
// ahead, say). A page served as plain files has one thread only: there such
// work is done when it is asked for.
bool spareThreads();

}  // namespace platform
