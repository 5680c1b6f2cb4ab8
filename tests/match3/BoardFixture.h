// A block board driven without the whole game: the services it uses, a fake
// clock, simulated audio, scripted input and a runner board to receive
// obstacles.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "BoardMoves.h"
#include "Harness.h"
#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"
#include "platform/Input.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

namespace testing_support {

class BoardTest : public ::testing::Test {
protected:
    // Millisecond values whose stepped tick is (or is not) a multiple of 10.
    static constexpr std::uint64_t kClearingMs = 1'000'000;  // tick 1'000'000
    static constexpr std::uint64_t kQuietMs = 1'000'016;     // tick 1'000'015

    void SetUp() override {
        time.clock.setMs(kQuietMs);
        board.init(&runner);
    }
    void TearDown() override { board.release(); }  // the runner board frees the obstacles it got

    void arrangeWith(std::initializer_list<Cell> cells = {}) {
        ASSERT_EQ(board.blocks.size(), 64u);
        arrangeBoard(board, cells);
    }
    void arrangeLine() { arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}}); }
    Block* at(int col, int row) { return board.blockAt(col, row); }

    // Takes a block out of the board without scoring it.
    void takeOut(int col, int row) {
        Block* b = at(col, row);
        board.blocks.erase(std::find(board.blocks.begin(), board.blocks.end(), b));
        b->board = nullptr;
        delete b;
    }
    long markedCount() const {
        return std::count_if(board.blocks.begin(), board.blocks.end(),
                             [](const Block* b) { return b->markedH || b->markedV; });
    }
    void updateAt(std::uint64_t ms) {
        time.clock.setMs(ms);
        board.update();
    }
    void clearNow() {
        time.clock.setMs(kClearingMs);
        board.checkMatches();
    }
    // Updates without clearing until the columns have fallen and refilled.
    void settle() {
        for (int n = 0; n < 300; ++n) updateAt(kQuietMs);
    }
    void expectFullGrid() {
        for (int i = 0; i < 64; ++i) EXPECT_NE(at(i % 8, i / 8), nullptr) << i % 8 << "," << i / 8;
    }

    // Scripted mouse: position, then the left button's edges. A press clears
    // the latches first, as the frames with the button up between clicks would.
    static void mouseTo(int x, int y) { platform::input().mouseMove(x, y); }
    void pressAt(int x, int y) {
        KeyState::get()->clear();
        mouseTo(x, y);
        platform::input().beginDrain();
        platform::input().keyDown(VK_LBUTTON);
        board.handleInput();
    }
    void pickAt(int col, int row) { pressAt(centreX(col), centreY(row)); }
    static void lift() {
        platform::input().beginDrain();
        platform::input().keyUp(VK_LBUTTON);
    }
    static int centreX(int col) { return Block::cellX(col) + 32; }
    static int centreY(int row) { return Block::cellY(row) + 32; }

    int plays(const std::string& file) const { return services.audio()->playCount(file); }
    // The kind of obstacle n sent to the runner, read off its picture.
    bitmapPicture* sent(std::size_t n) const {
        return n < runner.obstacles.size() ? runner.obstacles[n]->picture : nullptr;
    }
    static bitmapPicture* kindPicture(const char* key) { return pictureRegistry::get()->findPicture(key); }

    TempWorkDir dir;
    ScopedFakeClock time;
    ScopedServices services{time.clock};
    AnimationBoard runner;
    BlockBoard board;
};

}  // namespace testing_support
