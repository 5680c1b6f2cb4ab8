// One colour over the whole of an SDL window, through SDL's own frame of it:
// for drivers where the game has no cheaper way to paint.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform {

inline void fillWindowSurface(SDL_Window* window, std::uint32_t rgb) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) return;
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    SDL_UpdateWindowSurface(window);
}

}  // namespace platform
