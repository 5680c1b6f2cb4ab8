// Finding lines of three and clearing them: points come from the destroyed
// blocks, a block on a crossing of two lines turns special, and a cleared
// special block sends an obstacle to the runner. Cascades need no code of
// their own: blocks fall by themselves and the next settled update finds the
// new lines.
#include "engine/soundRegistry.h"
#include "framework/GameNames.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Clock.h"

namespace {
bool anyClearSoundPlaying() {
    auto* sounds = soundRegistry::get();
    for (const char* key : names::kComboSounds) {
        if (sounds->isPlaying(key)) return true;
    }
    return sounds->isPlaying(names::kDeleteSound);
}
}  // namespace

void BlockBoard::checkMatches() {
    // settled holds what the last block of the list wrote in the last update.
    if (!settled) return;

    for (Block* block : blocks) block->markedV = block->markedH = false;
    markRuns(kDown);
    markRuns(kRight);

    // An exact tick multiple, not elapsed time: eight times a second with the
    // platform's tick, so a marked line shows highlighted for a moment.
    if (platform::tickCount64() % 10 == 0) removeMarked();
}

void BlockBoard::markRuns(int direction) {
    for (Block* a : blocks) {
        if (direction == kRight && a->col >= 6) continue;
        if (direction == kDown && a->row >= 6) continue;
        Block* b = findNeighbour(a, direction);
        if (!b) continue;
        Block* c = findNeighbour(b, direction);
        if (!c) continue;
        if (a->kind != b->kind || b->kind != c->kind) continue;
        for (Block* m : {a, b, c}) {
            if (direction == kRight) {
                m->markedH = true;
            } else {
                m->markedV = true;
            }
        }
    }
}

void BlockBoard::removeMarked() {
    // By index, advancing only past blocks that stay: removal shifts the rest
    // up, and refills appended here are reached later in the same pass.
    std::size_t i = 0;
    while (i < blocks.size()) {
        Block* block = blocks[i];
        if (block->markedH && block->markedV) {
            block->special = 1;
            ++i;
            continue;
        }
        if (!block->markedH && !block->markedV) {
            ++i;
            continue;
        }

        if (block->special == 1) sendObstacle(block->kind);
        if (block->row == 0) {
            auto* refill = new Block();
            refill->init(this, block->col, -2, block->col, -1);
            blocks.push_back(refill);
        }
        blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
        destroyBlock(block);

        // One delete sound at a time, and never over a combo sound.
        if (!anyClearSoundPlaying()) soundRegistry::get()->play(names::kDeleteSound, 1.0f);
    }
}
