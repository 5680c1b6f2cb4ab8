// The game controllers a window has opened, as the input state sees them:
// buttons as their virtual keys, the left stick as four direction keys, and
// nothing left held by a controller that went away. The desktop window and
// the page's canvas share it.
#pragma once

#include <vector>

union SDL_Event;
struct _SDL_GameController;

namespace platform {

class InputState;

class GamePads {
public:
    GamePads() = default;
    ~GamePads();  // closes every controller still open
    GamePads(const GamePads&) = delete;
    GamePads& operator=(const GamePads&) = delete;

    // Closes every controller; the window does so before it lets the
    // controller support go.
    void closeAll();

    // Takes the controller events (added, removed, buttons, left stick);
    // false for any other event.
    bool handle(const SDL_Event& e, InputState& input);

private:
    void stick(InputState& input, int axis, int value);
    void close(int id, InputState& input);

    std::vector<_SDL_GameController*> pads_;
};

}  // namespace platform
