#include "framework/PlayerKeys.h"

#include "framework/KeyState.h"

namespace playerKeys {

bool anyPressed(std::initializer_list<int> keys) {
    bool any = false;
    for (int key : keys) any = KeyState::get()->wasPressed(key) || any;
    return any;
}

int directionPressed() {
    static constexpr int kKeys[4][3] = {
        {VK_LEFT, VK_GAMEPAD_DPAD_LEFT, VK_GAMEPAD_LEFT_THUMBSTICK_LEFT},
        {VK_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT},
        {VK_UP, VK_GAMEPAD_DPAD_UP, VK_GAMEPAD_LEFT_THUMBSTICK_UP},
        {VK_DOWN, VK_GAMEPAD_DPAD_DOWN, VK_GAMEPAD_LEFT_THUMBSTICK_DOWN}};
    int found = kNone;
    for (int direction = kLeft; direction <= kDown; ++direction) {
        const auto& k = kKeys[direction];
        if (anyPressed({k[0], k[1], k[2]}) && found == kNone) found = direction;
    }
    return found;
}

}  // namespace playerKeys
