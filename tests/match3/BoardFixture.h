// A block board driven without the whole game: the services it uses, a fake
// clock, simulated audio, scripted input and a runner board to receive
// obstacles. Layouts put chosen kinds at rest in chosen cells.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "FakeClock.h"
#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "engine/soundRegistry.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Input.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"
#include "shell/KeyState.h"

namespace testing_support {

// Kinds by row, one digit per column; no line of three anywhere.
inline const char* const kNoLines[8] = {
    "12345612", "34561234", "56123456", "12345612",
    "34561234", "56123456", "12345612", "34561234",
};

// Picture key of an obstacle kind.
inline const char* obstacleKey(int kind) {
    static const char* const keys[] = {"", "daruma", "drum", "pot", "dynamite", "bat", "manhole"};
    return kind >= 1 && kind <= 6 ? keys[kind] : "";
}

class BoardTest : public ::testing::Test {
protected:
    // Millisecond values whose stepped tick is (or is not) a multiple of 10.
    static constexpr std::uint64_t kClearingMs = 1'000'000;  // tick 1'000'000
    static constexpr std::uint64_t kQuietMs = 1'000'016;     // tick 1'000'015

    void SetUp() override {
        platform::input().reset();
        KeyState::get()->clear();
        pictureRegistry::get();
        backBuffer();
        soundRegistry::get()->init();
        pngPictureRegistry::get();
        time.clock.setMs(kQuietMs);
        board.init(&runner);
    }

    void TearDown() override {
        board.release();
        for (Obstacle* o : runner.obstacles) delete o;
        runner.obstacles.clear();
        KeyState::destroy();
        pictureRegistry::destroy();
        soundRegistry::destroy();
        pngPictureRegistry::destroy();
        platform::input().reset();
    }

    // Every listed block at rest in row-major cells with the given kinds,
    // unmarked and unselected; the board settled.
    void arrange(const char* const rows[8]) {
        ASSERT_EQ(board.blocks.size(), 64u);
        for (int i = 0; i < 64; ++i) {
            Block* b = board.blocks[i];
            const int c = i % 8, r = i / 8;
            b->col = b->swapCol = c;
            b->row = b->swapRow = r;
            b->x = Block::cellX(c);
            b->y = Block::cellY(r);
            b->rect = RECT{b->x, b->y, b->x + 64, b->y + 64};
            b->kind = rows[r][c] - '0';
            b->picture = kindPicture(b->kind);
            b->swapping = b->moving = b->targeted = b->markedH = b->markedV = false;
            b->special = 0;
        }
        board.settled = true;
        board.picked = board.released = false;
        board.selected = nullptr;
    }

    // The no-line layout with some cells changed: {col, row, kind}.
    struct Cell {
        int col, row, kind;
    };
    void arrangeWith(std::initializer_list<Cell> cells) {
        char rows[8][9];
        const char* ptrs[8];
        for (int r = 0; r < 8; ++r) {
            std::copy(kNoLines[r], kNoLines[r] + 9, rows[r]);
            ptrs[r] = rows[r];
        }
        for (const Cell& c : cells) rows[c.row][c.col] = static_cast<char>('0' + c.kind);
        arrange(ptrs);
    }

    static bitmapPicture* kindPicture(int kind) {
        const std::string n = std::to_string(kind);
        return pictureRegistry::get()->addFramePicture("block" + n, ("img/block" + n + ".bmp").c_str(),
                                                       128, 64, 2, 1, true, MAGENTA);
    }

    Block* at(int col, int row) { return board.blockAt(col, row); }

    // Takes a block out of the board without scoring it.
    void takeOut(int col, int row) {
        Block* b = at(col, row);
        ASSERT_NE(b, nullptr);
        board.blocks.erase(std::find(board.blocks.begin(), board.blocks.end(), b));
        b->board = nullptr;
        delete b;
    }

    int markedCount() const {
        int n = 0;
        for (const Block* b : board.blocks) n += (b->markedH || b->markedV) ? 1 : 0;
        return n;
    }

    // One board update at the given clock time.
    void updateAt(std::uint64_t ms) {
        time.clock.setMs(ms);
        board.update();
    }

    // Updates without clearing until every block rests in its cell and none
    // has an empty cell below it.
    int settle(int limit = 400) {
        for (int n = 0; n < limit; ++n) {
            bool resting = true;
            for (const Block* b : board.blocks) {
                resting = resting && b->x == Block::cellX(b->col) && b->y == Block::cellY(b->row) &&
                          !b->swapping && (b->row == 7 || board.blockAt(b->col, b->row + 1));
            }
            if (resting) return n;
            updateAt(kQuietMs);
        }
        return limit;
    }

    // Scripted mouse: position, then the left button's edges.
    static void mouseTo(int x, int y) { platform::input().mouseMove(x, y); }
    static void press() {
        platform::input().beginDrain();
        platform::input().keyDown(VK_LBUTTON);
    }
    static void lift() {
        platform::input().beginDrain();
        platform::input().keyUp(VK_LBUTTON);
    }
    static int centreX(int col) { return Block::cellX(col) + 32; }
    static int centreY(int row) { return Block::cellY(row) + 32; }

    int plays(const std::string& file) const { return audio.audio()->playCount(file); }

    TempWorkDir dir;
    ScopedFakeClock time;
    ScopedSimulatedAudio audio{time.clock};
    AnimationBoard runner;
    BlockBoard board;
};

}  // namespace testing_support
