// Entry point: opens the window, starts the game and runs the frame loop
// until the window is closed.
#include <cstdio>
#include <string>

#include "app/mainGame.h"
#include "engine/pictureRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/FrameLoop.h"
#include "framework/GameNames.h"
#include "framework/WindowSurface.h"
#include "platform/Image.h"
#include "platform/Input.h"
#include "platform/Window.h"

int main() {
    std::string error;
    auto window = platform::Window::open(names::kWindowTitle, names::kClientWidth,
                                         names::kClientHeight, &error);
    if (!window) {
        std::fprintf(stderr, "swapsprint: cannot open the game window: %s\n", error.c_str());
        return 1;
    }
    // The installed icon, when the run folder has one; without it the window
    // keeps the desktop's default.
    if (auto icon = platform::loadPng("img/icon.png")) window->setIcon(*icon);
    backBuffer();  // the back buffer exists before the game starts

    mainGame game;
    if (game.init() < 0) return 0;
    while (window->pumpEvents(platform::input())) {
        runFrame(game);
        window->present(*windowSurface());
    }
    game.release();
    destroyWindowSurface();
    return 0;
}
