// The keyboard and the game controller seen together, for play without a
// mouse, and the cursor they move. Each test polls every key of its group
// through KeyState's shared latches, so no key's latch is left stale behind
// another of the group.
#pragma once

#include <initializer_list>

#include "platform/Input.h"
#include "platform/Win32Types.h"

namespace playerKeys {

// Directions as the grid numbers them.
inline constexpr int kLeft = 0;
inline constexpr int kRight = 1;
inline constexpr int kUp = 2;
inline constexpr int kDown = 3;
inline constexpr int kNone = 4;

// The direction pressed this frame: the arrows, the d-pad or the left stick;
// kNone when none.
int directionPressed();
// The direction a key stands for (an arrow, the d-pad, the left stick), or kNone.
int directionOf(int key);

// True when any of the keys was pressed this frame.
bool anyPressed(std::initializer_list<int> keys);

// Choosing what the cursor is on, or the live button: Return, Space, pad A.
inline bool choosePressed() { return anyPressed({VK_RETURN, VK_SPACE, VK_GAMEPAD_A}); }

// The cursor over a tile, a glyph or a panel row, alike everywhere: a pink
// ring between dark lines, gold while it holds a pick, drawn mostly inside
// the rectangle.
void drawCursor(HDC dc, const RECT& over, bool holding = false);

}  // namespace playerKeys
