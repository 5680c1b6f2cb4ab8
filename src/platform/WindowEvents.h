// The window's events, drained once a frame. Closing, focus, the window's
// size and the fullscreen keys are the window's own; keys, text, the mouse
// and game controllers go on to the input state.
#pragma once

#include "platform/EventInput.h"

namespace platform {

class InputState;
class X11WindowWatch;

class WindowEvents {
public:
    // What the window has to do after a drain.
    struct Seen {
        bool closed = false;
        bool toggleFullscreen = false;  // F11 or Alt+Return, pressed an odd number of times
        bool showWhole = false;         // resized or uncovered: every pixel is shown again
    };

    // watch: the X11 window's, or null on any other display.
    explicit WindowEvents(X11WindowWatch* watch) : watch_(watch) {}
    ~WindowEvents();  // closes the controllers and their support
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    Seen drain(InputState& input, const EventInput::ToClient& toClient);

private:
    void handle(const SDL_Event& e, InputState& input, const EventInput::ToClient& toClient, Seen& seen);

    X11WindowWatch* watch_;
    EventInput input_;
    // A game controller is welcome but never needed: looked for half a
    // second in (about 1.5 ms of work), not while the window opens nor in
    // the first frames, which have their own pictures to make.
    static constexpr int kDrainsBeforePads = 30;
    int drains_ = 0;
    bool padsLookedFor_ = false;
};

}  // namespace platform
