#include "platform/X11WindowWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace platform {
namespace {

// Xlib's error handler takes no context: what it saw is kept here, for the
// one window the game has.
bool refused = false;
XErrorHandler previousHandler = nullptr;

int onXError(Display* display, XErrorEvent* event) {
    if (event->error_code == BadWindow || event->error_code == BadDrawable) {
        refused = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, event) : 0;
}

}  // namespace

std::unique_ptr<X11WindowWatch> X11WindowWatch::watch(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    return std::unique_ptr<X11WindowWatch>(new X11WindowWatch(info.info.x11.display, info.info.x11.window));
}

X11WindowWatch::X11WindowWatch(_XDisplay* display, unsigned long window) : display_(display), window_(window) {
    refused = false;
    const XErrorHandler previous = XSetErrorHandler(onXError);
    if (previous != onXError) previousHandler = previous;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

X11WindowWatch::~X11WindowWatch() {
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
    // A lost window may still be named by SDL on its way out: the handler stays.
    if (!lost()) XSetErrorHandler(previousHandler);
}

bool X11WindowWatch::lost() const { return destroyed_ || refused; }

bool X11WindowWatch::handle(const SDL_Event& e) {
    if (e.type != SDL_SYSWMEVENT || !e.syswm.msg || e.syswm.msg->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& x = e.syswm.msg->msg.x11.event;
    if (x.type != DestroyNotify || x.xdestroywindow.window != window_) return false;
    destroyed_ = true;
    return true;
}

void X11WindowWatch::sync() { XSync(display_, False); }

}  // namespace platform
