// SDL's input events as the input state sees them, the same for the desktop
// window and the page's canvas: keys and typed text, the mouse (touch arrives
// as SDL's mouse events made from it), and the game controllers the window
// has opened (buttons as their virtual keys, the left stick as four
// direction keys, nothing left held by a controller that went away).
#pragma once

#include <functional>
#include <vector>

union SDL_Event;
struct _SDL_GameController;

namespace platform {

class InputState;

class EventInput {
public:
    // Maps a point of the window to client pixels in place; false where it
    // reaches no client pixel (the bars around a scaled picture).
    using ToClient = std::function<bool(int& x, int& y)>;

    EventInput() = default;
    ~EventInput();  // closes every controller still open
    EventInput(const EventInput&) = delete;
    EventInput& operator=(const EventInput&) = delete;

    // Closes every controller; the window does so before it lets the
    // controller support go.
    void closePads();

    // Takes the key, text, mouse and controller events; false for any other.
    bool handle(const SDL_Event& e, InputState& input, const ToClient& toClient);

private:
    bool handlePad(const SDL_Event& e, InputState& input);
    void stick(InputState& input, int axis, int value);
    void closePad(int id, InputState& input);

    std::vector<_SDL_GameController*> pads_;
};

}  // namespace platform
