// A window destroyed from outside (a window manager's kill, xdotool) must end
// the game like a close, not through Xlib's default handler, which exits with
// an error on the next request that names the dead window. The only code
// that knows the window is on X11.
#pragma once

#include <memory>

union SDL_Event;
struct SDL_Window;
struct _XDisplay;

namespace platform {

class X11WindowWatch {
public:
    // Null when the window is not on X11.
    static std::unique_ptr<X11WindowWatch> watch(SDL_Window* window);
    ~X11WindowWatch();  // gives Xlib its previous error handler back, the window still there
    X11WindowWatch(const X11WindowWatch&) = delete;
    X11WindowWatch& operator=(const X11WindowWatch&) = delete;

    // True once the window is gone: its destruction seen among the events,
    // or a request that named it refused.
    bool lost() const;
    // Takes the X event of the window's destruction; false for any other.
    bool handle(const SDL_Event& e);
    // Waits for the server, so errors still due arrive while the handler is ours.
    void sync();

private:
    X11WindowWatch(_XDisplay* display, unsigned long window);

    _XDisplay* display_;
    unsigned long window_;
    bool destroyed_ = false;
};

}  // namespace platform
