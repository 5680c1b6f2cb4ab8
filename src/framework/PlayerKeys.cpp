#include "framework/PlayerKeys.h"

#include "framework/KeyState.h"
#include "platform/Canvas.h"

namespace playerKeys {

namespace {
constexpr COLORREF kCursorColor = RGB(255, 60, 150);
constexpr COLORREF kHoldingColor = RGB(255, 200, 40);
constexpr COLORREF kCursorEdge = RGB(30, 30, 40);

RECT grown(const RECT& r, int by) { return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// By direction: the arrow, the d-pad, the left stick.
constexpr int kDirectionKeys[4][3] = {
    {VK_LEFT, VK_GAMEPAD_DPAD_LEFT, VK_GAMEPAD_LEFT_THUMBSTICK_LEFT},
    {VK_RIGHT, VK_GAMEPAD_DPAD_RIGHT, VK_GAMEPAD_LEFT_THUMBSTICK_RIGHT},
    {VK_UP, VK_GAMEPAD_DPAD_UP, VK_GAMEPAD_LEFT_THUMBSTICK_UP},
    {VK_DOWN, VK_GAMEPAD_DPAD_DOWN, VK_GAMEPAD_LEFT_THUMBSTICK_DOWN}};
}  // namespace

bool anyPressed(std::initializer_list<int> keys) {
    bool any = false;
    for (int key : keys) any = KeyState::get()->wasPressed(key) || any;
    return any;
}

int directionPressed() {
    int found = kNone;
    for (int direction = kLeft; direction <= kDown; ++direction) {
        const auto& k = kDirectionKeys[direction];
        if (anyPressed({k[0], k[1], k[2]}) && found == kNone) found = direction;
    }
    return found;
}

int directionOf(int key) {
    for (int direction = kLeft; direction <= kDown; ++direction) {
        for (int k : kDirectionKeys[direction])
            if (k == key) return direction;
    }
    return kNone;
}

void drawCursor(HDC dc, const RECT& over, bool holding) {
    if (!dc) return;
    platform::frameRect(*dc, grown(over, 1), kCursorEdge);
    for (int by = 0; by >= -2; --by) {
        platform::frameRect(*dc, grown(over, by), holding ? kHoldingColor : kCursorColor);
    }
    platform::frameRect(*dc, grown(over, -3), kCursorEdge);
}

}  // namespace playerKeys
