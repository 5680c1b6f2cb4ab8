#include "framework/KeyState.h"

#include <memory>

#include "platform/Input.h"

namespace {
std::unique_ptr<KeyState>& slot() {
    static std::unique_ptr<KeyState> instance;
    return instance;
}
}  // namespace

KeyState* KeyState::get() {
    auto& s = slot();
    if (!s) s = std::make_unique<KeyState>();
    return s.get();
}

void KeyState::destroy() { slot().reset(); }

void KeyState::clear() {
    releasedLatch.fill(0);
    pressedLatch.fill(0);
}

bool KeyState::wasPressed(int key) {
    key &= 0xFF;
    if (isDown(key)) {
        if (pressedLatch[key] == 0) {
            pressedLatch[key] = 1;
            return true;
        }
        return false;
    }
    pressedLatch[key] = 0;
    return false;
}

bool KeyState::wasReleased(int key) {
    key &= 0xFF;
    if (isDown(key)) {
        releasedLatch[key] = 1;
        return false;
    }
    if (releasedLatch[key] == 1) {
        releasedLatch[key] = 0;
        return true;
    }
    return false;
}

bool KeyState::isDown(int key) const { return platform::input().isDown(key & 0xFF); }

bool KeyState::isToggled(int key) const { return platform::input().isToggled(key & 0xFF); }
