#include "platform/WindowEvents.h"

#include <SDL.h>

#include "platform/Input.h"
#include "platform/X11WindowWatch.h"

namespace platform {
namespace {

// F11 and Alt+Return switch between the window and the whole screen; they are
// the window's keys, never the game's.
bool isFullscreenKey(const SDL_Keysym& key) {
    if (key.sym == SDLK_F11) return true;
    return (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && (key.mod & KMOD_ALT);
}

}  // namespace

WindowEvents::~WindowEvents() {
    input_.closePads();
    if (padsLookedFor_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

WindowEvents::Seen WindowEvents::drain(InputState& input, const EventInput::ToClient& toClient) {
    if (!padsLookedFor_ && ++drains_ >= kDrainsBeforePads) {
        padsLookedFor_ = true;
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    Seen seen;
    input.beginDrain();
    SDL_Event e;
    while (SDL_PollEvent(&e)) handle(e, input, toClient, seen);
    if (watch_ && watch_->lost()) seen.closed = true;
    return seen;
}

void WindowEvents::handle(const SDL_Event& e, InputState& input, const EventInput::ToClient& toClient, Seen& seen) {
    switch (e.type) {
        case SDL_QUIT:
            seen.closed = true;
            return;
        case SDL_SYSWMEVENT:
            if (watch_ && watch_->handle(e)) seen.closed = true;
            return;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE: seen.closed = true; break;
                case SDL_WINDOWEVENT_FOCUS_LOST: input.focusLost(); break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED: seen.showWhole = true; break;
                default: break;
            }
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (isFullscreenKey(e.key.keysym)) {
                if (e.type == SDL_KEYDOWN && !e.key.repeat) seen.toggleFullscreen = !seen.toggleFullscreen;
                return;
            }
            break;
        default:
            break;
    }
    input_.handle(e, input, toClient);
}

}  // namespace platform
