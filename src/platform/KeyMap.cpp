#include "platform/KeyMap.h"

#include <SDL.h>

#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace platform {

int virtualKeyOfKey(int key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    // The number pad has its own codes: its digits are not the digit keys.
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0: return VK_NUMPAD0;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        default: return -1;
    }
}

int virtualKeyOfPadButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return VK_GAMEPAD_A;
        case SDL_CONTROLLER_BUTTON_B: return VK_GAMEPAD_B;
        case SDL_CONTROLLER_BUTTON_X: return VK_GAMEPAD_X;
        case SDL_CONTROLLER_BUTTON_Y: return VK_GAMEPAD_Y;
        case SDL_CONTROLLER_BUTTON_START: return VK_GAMEPAD_MENU;
        case SDL_CONTROLLER_BUTTON_BACK: return VK_GAMEPAD_VIEW;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_GAMEPAD_DPAD_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_GAMEPAD_DPAD_DOWN;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_GAMEPAD_DPAD_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_GAMEPAD_DPAD_RIGHT;
        default: return -1;
    }
}

int virtualKeyOfMouseButton(int button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return VK_LBUTTON;
        case SDL_BUTTON_RIGHT: return 0x02;
        case SDL_BUTTON_MIDDLE: return 0x04;
        default: return -1;
    }
}

}  // namespace platform
