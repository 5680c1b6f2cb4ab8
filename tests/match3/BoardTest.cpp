// The board as a whole: its start, neighbours by grid cell, refresh, the
// combo clock, and picks that disappear under the player's hand.
#include "BoardFixture.h"

#include "platform/Text.h"

namespace testing_support {
namespace {

using Board = BoardTest;

TEST_F(Board, FindNeighbourGoesByGridCells) {
    arrange(kNoLines);
    EXPECT_EQ(board.findNeighbour(at(0, 3), BlockBoard::kLeft), nullptr);
    EXPECT_EQ(board.findNeighbour(at(7, 3), BlockBoard::kRight), nullptr);
    EXPECT_EQ(board.findNeighbour(at(4, 0), BlockBoard::kUp), nullptr);
    EXPECT_EQ(board.findNeighbour(at(4, 7), BlockBoard::kDown), nullptr);
    EXPECT_EQ(board.findNeighbour(at(4, 4), BlockBoard::kNone), nullptr);
    EXPECT_EQ(board.findNeighbour(at(4, 4), BlockBoard::kLeft), at(3, 4));
    EXPECT_EQ(board.findNeighbour(at(4, 4), BlockBoard::kDown), at(4, 5));

    // A block whose row has run ahead of its pixels is found in its new cell.
    takeOut(2, 5);
    Block* falling = at(2, 4);
    updateAt(kQuietMs);
    ASSERT_EQ(falling->row, 5);
    ASSERT_EQ(falling->y, Block::cellY(4));
    EXPECT_EQ(board.findNeighbour(at(2, 6), BlockBoard::kUp), falling);
}

TEST_F(Board, RefreshReplacesEveryBlockThreeTimesAtMost) {
    arrange(kNoLines);
    at(0, 0)->markedH = true;  // destroyed marked blocks still pay
    board.refreshLeft = 1;
    board.refresh();
    EXPECT_EQ(board.refreshLeft, 0);
    EXPECT_EQ(board.score, 10);
    ASSERT_EQ(board.blocks.size(), 64u);
    for (const Block* b : board.blocks) EXPECT_EQ(b->y, Block::cellY(b->row - 8));

    const std::vector<Block*> before = board.blocks;
    board.refresh();
    EXPECT_EQ(board.refreshLeft, 0);
    EXPECT_EQ(board.blocks, before);
}

TEST_F(Board, ComboStillLapsesWhenTheMillisecondCountWraps) {
    // A second before the signed 32-bit tick count turns negative, as after
    // 24.8 days of uptime: the deadline lies past the turn.
    const std::uint64_t nearWrap = 0x7FFFFC18ull;
    time.clock.setMs(nearWrap);
    arrange(kNoLines);
    board.update();
    board.combo = 1;
    board.comboDeadline = static_cast<std::int32_t>(platform::tickCount() + 2000u);
    updateAt(nearWrap + 500);
    EXPECT_EQ(board.combo, 1);
    EXPECT_GT(board.comboTimeLeft, 1000);
    updateAt(nearWrap + 2500);
    EXPECT_EQ(board.combo, 0);
}

TEST_F(Board, PickedBlockClearedOrRefreshedAwayDropsTheSelection) {
    arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}});
    KeyState::get()->clear();
    mouseTo(centreX(3), centreY(3));
    press();
    board.handleInput();
    ASSERT_EQ(board.selected, at(3, 3));
    time.clock.setMs(kClearingMs);
    board.checkMatches();  // the picked block is cleared under the mouse
    EXPECT_EQ(board.selected, nullptr);
    EXPECT_FALSE(board.picked);
    mouseTo(centreX(3), centreY(3) - 30);
    board.handleInput();  // nothing left to drag

    settle();
    arrange(kNoLines);
    KeyState::get()->clear();
    mouseTo(centreX(5), centreY(5));
    press();
    board.handleInput();
    ASSERT_TRUE(board.picked);
    board.refresh();
    EXPECT_EQ(board.selected, nullptr);
    mouseTo(centreX(5), centreY(5) + 30);
    board.handleInput();
    lift();
}

TEST_F(Board, DrawsWithoutAnyPicturesOrFonts) {
    // A working folder without img/, soundfile/ or fonts/: every picture and
    // sound is missing and nothing may be drawn from a null.
    TearDown();
    TempWorkDir bare(false);
    platform::releaseFonts();
    SetUp();
    EXPECT_EQ(board.bgPicture, nullptr);
    platform::input().keyDown('C');
    platform::input().keyDown('F');
    arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}});
    at(5, 5)->special = 1;
    at(6, 6)->targeted = true;
    for (int i = 0; i < 3; ++i) {
        updateAt(kQuietMs);
        board.render();
    }
    EXPECT_EQ(markedCount(), 3);
    TearDown();
    platform::releaseFonts();
    SetUp();
}

}  // namespace
}  // namespace testing_support
