// The game window: logical 600 x 1024, not resizable, scaled down to fit a
// smaller screen with the mouse mapped back to client pixels.
#pragma once

#include <memory>
#include <string>

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
    // Shows the back buffer.
    virtual void present(const Surface& backBuffer) = 0;
    // Gives the window a 0xAARRGGBB picture as its icon; an empty one is ignored.
    virtual void setIcon(const Surface& picture) = 0;
};

}  // namespace platform
