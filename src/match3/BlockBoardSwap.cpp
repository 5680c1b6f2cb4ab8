// The player's side of the board: picking a block, swapping it with a
// neighbour by drag or by a second click, and what an accepted swap sets off.
#include <utility>

#include "engine/soundRegistry.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Clock.h"
#include "platform/Input.h"

namespace {
bool underMouse(const Block* block) { return PtInRect(block->rect, mouseX, mouseY); }

bool areNeighbours(const Block* a, const Block* b) {
    const int dc = a->col - b->col;
    const int dr = a->row - b->row;
    return (dc * dc == 1 && dr * dr == 0) || (dc * dc == 0 && dr * dr == 1);
}
}  // namespace

void BlockBoard::pick(Block* block) {
    selected = block;
    block->targeted = true;
    pickX = mouseX;
    pickY = mouseY;
    picked = true;
    released = false;
}

void BlockBoard::handleInput() {
    auto* keys = KeyState::get();

    if (!picked) {
        if (!keys->wasPressed(VK_LBUTTON)) return;
        selected = nullptr;
        for (Block* block : blocks) {
            if (!block->moving && underMouse(block)) {
                pick(block);
                return;
            }
        }
        return;
    }

    // A pick whose block was cleared or refreshed away is gone with it.
    if (!selected) {
        dropSelection();
        return;
    }

    if (!released) {
        // The release is asked only over the picked block, so a button let go
        // elsewhere leaves the drag running.
        if (underMouse(selected)) {
            if (keys->wasReleased(VK_LBUTTON)) {
                released = true;
                return;
            }
        }
        handleDrag();
        return;
    }

    if (!keys->wasPressed(VK_LBUTTON)) return;
    // By index: a swap does not change the list, but the pass must not depend
    // on that.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        Block* block = blocks[i];
        if (underMouse(block) && !block->moving) {
            if (selected && areNeighbours(block, selected)) {
                swapBlocks(selected, block);
                continue;
            }
            if (selected) selected->targeted = false;
            pick(block);
            return;
        }
        picked = released = false;
        if (selected) selected->targeted = false;
    }
}

void BlockBoard::handleDrag() {
    const int dy = pickY - mouseY;
    const int dx = pickX - mouseX;

    // Vertical wins; a jump of 64 or more up or left in one update counts as none.
    using names::kDragJumpLimit;
    using names::kDragThreshold;
    if (dy > kDragThreshold && dy < kDragJumpLimit) {
        dragDirection = kUp;
    } else if (dy < -kDragThreshold) {
        dragDirection = kDown;
    } else if (dx > kDragThreshold && dx < kDragJumpLimit) {
        dragDirection = kLeft;
    } else if (dx < -kDragThreshold) {
        dragDirection = kRight;
    } else {
        dragDirection = kNone;
    }

    if (dragDirection == kNone) return;
    Block* neighbour = findNeighbour(selected, dragDirection);
    if (neighbour && !neighbour->moving) swapBlocks(selected, neighbour);
}

bool BlockBoard::canMatchAt(const Block* a, const Block* b) const {
    const int c = b->col;
    const int r = b->row;
    const int k = a->kind;
    // a's old cell holds nothing of a's kind for this question.
    auto same = [&](int cc, int rr) {
        const Block* other = blockAt(cc, rr);
        return other && other != a && other->kind == k;
    };
    return (same(c - 1, r) && same(c + 1, r)) || (same(c, r - 1) && same(c, r + 1)) ||
           (same(c + 1, r) && same(c + 2, r)) || (same(c - 1, r) && same(c - 2, r)) ||
           (same(c, r + 1) && same(c, r + 2)) || (same(c, r - 1) && same(c, r - 2));
}

void BlockBoard::swapBlocks(Block* a, Block* b) {
    const bool okA = canMatchAt(a, b);
    const bool okB = canMatchAt(b, a);

    // Both slide toward each other's cell; a rejected pair then slides back.
    a->swapCol = b->col;
    a->swapRow = b->row;
    b->swapCol = a->col;
    b->swapRow = a->row;
    a->swapping = b->swapping = true;
    a->targeted = b->targeted = false;
    picked = released = false;

    if (!okA && !okB) return;

    if (combo == 0) {
        combo = 1;
        comboDeadline = static_cast<std::int32_t>(platform::tickCount() + kComboWindowMs);
    } else if (combo >= 1 && isLater(comboDeadline, now)) {
        combo += 1;
        comboDeadline = static_cast<std::int32_t>(platform::tickCount() + kComboWindowMs);
    }

    std::swap(a->col, b->col);
    std::swap(a->row, b->row);
    a->targeted = b->targeted = false;
    picked = released = false;

    swapCount += 1;
    if (swapCount % 5 == 0) {
        if (okA) sendObstacle(a->kind);
        if (okB) sendObstacle(b->kind);
    }
    playComboSound();
}

void BlockBoard::playComboSound() {
    if (combo <= 0) return;
    soundRegistry::get()->play(names::comboSound(combo), 1.0f);
}
