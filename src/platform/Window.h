// The game window: a 600 x 1024 client picture shown whole at any window size
// (resizable, F11 or Alt+Return for the whole screen), with the mouse mapped
// back to client pixels. It opens at the largest whole multiple that fits the
// screen, or scaled down where even 1x does not. Keys, text, focus and game
// controllers reach the game through the input state.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/Box.h"
#include "platform/Surface.h"

namespace platform {

class InputState;

class Window {
public:
    // nullptr and a one-line reason in error when no window can be made.
    static std::unique_ptr<Window> open(const std::string& title, int width, int height,
                                        std::string* error);
    virtual ~Window() = default;

    // Drains every pending event into input; false once the window was closed.
    virtual bool pumpEvents(InputState& input) = 0;
    // Fills the whole window with one 0xRRGGBB colour and shows it at once:
    // the window's own background, seen until the first frame is drawn.
    virtual void paintBackground(std::uint32_t rgb) = 0;
    // Shows the frame where it changed: only the boxes (frame pixels) in
    // changed need reach the screen; the rest is already there.
    virtual void present(const Surface& frame, std::span<const Box> changed) = 0;
    // Gives the window a 0xAARRGGBB picture as its icon; an empty one is ignored.
    virtual void setIcon(const Surface& picture) = 0;
};

}  // namespace platform
