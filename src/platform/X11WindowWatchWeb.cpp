// The page has no X window: there is nothing to watch.
#include "platform/X11WindowWatch.h"

namespace platform {

std::unique_ptr<X11WindowWatch> X11WindowWatch::watch(SDL_Window*) { return nullptr; }
X11WindowWatch::~X11WindowWatch() = default;
bool X11WindowWatch::lost() const { return false; }
bool X11WindowWatch::handle(const SDL_Event&) { return false; }
void X11WindowWatch::sync() {}

}  // namespace platform
