#include "platform/EventInput.h"

#include <SDL.h>

#include <algorithm>

#include "platform/Input.h"
#include "platform/KeyMap.h"
#include "platform/Win32Types.h"

namespace platform {
namespace {

// Toward low and toward high values, for the x and y axes.
constexpr int kStickKeys[2][2] = {
    {VK_GAMEPAD_LEFT_THUMBSTICK_LEFT, VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT},
    {VK_GAMEPAD_LEFT_THUMBSTICK_UP, VK_GAMEPAD_LEFT_THUMBSTICK_DOWN}};

}  // namespace

EventInput::~EventInput() { closePads(); }

void EventInput::closePads() {
    for (SDL_GameController* pad : pads_) SDL_GameControllerClose(pad);
    pads_.clear();
}

bool EventInput::handle(const SDL_Event& e, InputState& input, const ToClient& toClient) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int vk = virtualKeyOfKey(e.key.keysym.sym);
            if (vk < 0) return true;
            if (e.type == SDL_KEYDOWN) {
                input.keyDown(vk, e.key.repeat != 0);
            } else {
                input.keyUp(vk);
            }
            return true;
        }
        case SDL_TEXTINPUT:
            input.typeText(e.text.text);
            return true;
        case SDL_MOUSEMOTION: {
            int x = e.motion.x, y = e.motion.y;
            // Motion that reaches no client pixel keeps the last position.
            if (toClient(x, y)) input.mouseMove(x, y);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN: {
            // A press that reaches no client pixel presses nothing.
            int x = e.button.x, y = e.button.y;
            if (!toClient(x, y)) return true;
            input.mouseMove(x, y);
            const int vk = virtualKeyOfMouseButton(e.button.button);
            if (vk >= 0) input.keyDown(vk);
            return true;
        }
        case SDL_MOUSEBUTTONUP: {
            const int vk = virtualKeyOfMouseButton(e.button.button);
            if (vk >= 0) input.keyUp(vk);
            return true;
        }
        default:
            return handlePad(e, input);
    }
}

bool EventInput::handlePad(const SDL_Event& e, InputState& input) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) pads_.push_back(pad);
            return true;
        case SDL_CONTROLLERDEVICEREMOVED:
            closePad(e.cdevice.which, input);
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const int vk = virtualKeyOfPadButton(e.cbutton.button);
            if (vk < 0) return true;
            if (e.type == SDL_CONTROLLERBUTTONDOWN) {
                input.keyDown(vk);
            } else {
                input.keyUp(vk);
            }
            return true;
        }
        case SDL_CONTROLLERAXISMOTION:
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) stick(input, 0, e.caxis.value);
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) stick(input, 1, e.caxis.value);
            return true;
        default:
            return false;
    }
}

void EventInput::stick(InputState& input, int axis, int value) {
    const int towardLow = kStickKeys[axis][0], towardHigh = kStickKeys[axis][1];
    auto set = [&input](int vk, bool pushed, bool resting) {
        if (pushed && !input.isDown(vk)) input.keyDown(vk);
        if (resting && input.isDown(vk)) input.keyUp(vk);
    };
    set(towardLow, value <= -kStickPress, value > -kStickRelease);
    set(towardHigh, value >= kStickPress, value < kStickRelease);
}

void EventInput::closePad(int id, InputState& input) {
    auto gone = std::find_if(pads_.begin(), pads_.end(), [id](SDL_GameController* pad) {
        return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id;
    });
    if (gone == pads_.end()) return;
    SDL_GameControllerClose(*gone);
    pads_.erase(gone);
    // Nothing stays held by a controller that went away.
    for (int vk = VK_GAMEPAD_A; vk <= VK_GAMEPAD_LEFT_THUMBSTICK_LEFT; ++vk) input.keyUp(vk);
}

}  // namespace platform
