// Play without a mouse: a cursor over the cells, moved by the arrows, the
// controller's d-pad or its left stick. It only adds to the mouse: a pick made
// by either can be finished by either.
#include "framework/KeyState.h"
#include "framework/PlayerKeys.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Clock.h"
#include "platform/Input.h"

namespace {
static_assert(BlockBoard::kLeft == playerKeys::kLeft && BlockBoard::kRight == playerKeys::kRight &&
              BlockBoard::kUp == playerKeys::kUp && BlockBoard::kDown == playerKeys::kDown &&
              BlockBoard::kNone == playerKeys::kNone);
}  // namespace

void BlockBoard::placeCursor() {
    // On the pick, else on the cell under the mouse, else where it was.
    if (picked && selected) {
        cursorCol = selected->col;
        cursorRow = selected->row;
        return;
    }
    for (int i = 0; i < cellCount; ++i) {
        if (PtInRect(cellRects[i], mouseX, mouseY)) {
            cursorCol = i % 8;
            cursorRow = i / 8;
            return;
        }
    }
}

void BlockBoard::handleKeys() {
    // The mouse taking over hides the cursor.
    if (mouseX != cursorMouseX || mouseY != cursorMouseY) {
        cursorShown = false;
        cursorMouseX = mouseX;
        cursorMouseY = mouseY;
    }
    const int direction = playerKeys::directionPressed();
    const bool choose = playerKeys::choosePressed();
    const bool letGo = KeyState::get()->wasPressed(VK_GAMEPAD_B);
    if (picked && !selected) dropSelection();

    const bool wasShown = cursorShown;
    if (direction != kNone || choose || letGo) {
        cursorShown = true;
        if (!wasShown) placeCursor();
    }

    if (picked) {
        if (direction != kNone) {
            // The rules of a drag: a neighbour that is there and at rest.
            Block* mover = selected;
            Block* neighbour = findNeighbour(mover, direction);
            if (neighbour && !neighbour->moving) {
                swapBlocks(mover, neighbour);
                cursorCol = mover->col;  // with the tile, if the swap was taken
                cursorRow = mover->row;
            }
        } else if ((choose && wasShown) || letGo) {
            selected->targeted = false;
            dropSelection();
        }
        return;
    }

    // The first key only shows where the cursor is.
    if (!wasShown) return;
    if (direction == kLeft && cursorCol > 0) --cursorCol;
    if (direction == kRight && cursorCol < 7) ++cursorCol;
    if (direction == kUp && cursorRow > 0) --cursorRow;
    if (direction == kDown && cursorRow < 7) ++cursorRow;
    if (choose) {
        Block* block = blockAt(cursorCol, cursorRow);
        // As a press would: only a tile at rest can be picked. Picked by key,
        // it waits for its partner as after a click.
        if (block && !block->moving) {
            pick(block);
            released = true;
        }
    }
}

void BlockBoard::renderCursor(HDC dc) {
    if (!cursorShown || !dc) return;
    playerKeys::drawCursor(dc, cellRects[cursorRow * 8 + cursorCol], picked);
}

void BlockBoard::skipPausedTime(std::uint32_t ms) {
    // The last update's tick moves too, so the next swap compares as if no
    // time had passed.
    auto later = [ms](std::int32_t t) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(t) + ms);
    };
    if (comboDeadline != 0) comboDeadline = later(comboDeadline);
    now = later(now);
}
