#include "platform/Input.h"

int mouseX = 0;
int mouseY = 0;

namespace platform {

bool InputState::isDown(int vk) const { return down_[vk & 0xFF] != 0; }

bool InputState::isToggled(int vk) const { return toggled_[vk & 0xFF] != 0; }

void InputState::keyDown(int vk, bool repeat) {
    vk &= 0xFF;
    if (!repeat && !down_[vk]) toggled_[vk] ^= 1;
    down_[vk] = 1;
    pressedInDrain_[vk] = 1;
    heldRelease_[vk] = 0;
}

void InputState::keyUp(int vk) {
    vk &= 0xFF;
    if (pressedInDrain_[vk]) {
        heldRelease_[vk] = 1;  // the frame must still see this press
    } else {
        down_[vk] = 0;
    }
}

void InputState::mouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
}

void InputState::beginDrain() { pressedInDrain_.fill(0); }

void InputState::endFrame() {
    for (int vk = 0; vk < 256; ++vk) {
        if (heldRelease_[vk]) {
            down_[vk] = 0;
            heldRelease_[vk] = 0;
        }
    }
    pressedInDrain_.fill(0);
}

void InputState::reset() {
    down_.fill(0);
    toggled_.fill(0);
    pressedInDrain_.fill(0);
    heldRelease_.fill(0);
    mouseX = 0;
    mouseY = 0;
}

InputState& input() {
    static InputState state;
    return state;
}

}  // namespace platform
