// The board as a whole: neighbours by grid cell, refresh, the combo clock,
// and picks that disappear under the player's hand.
#include "BoardFixture.h"

namespace testing_support {
namespace {

using Board = BoardTest;

TEST_F(Board, FindNeighbourGoesByGridCells) {
    arrangeWith();
    const struct {
        int col, row, direction, nCol, nRow;  // nCol -1: none
    } cases[] = {{0, 3, BlockBoard::kLeft, -1, 0}, {7, 3, BlockBoard::kRight, -1, 0},
                 {4, 0, BlockBoard::kUp, -1, 0},   {4, 7, BlockBoard::kDown, -1, 0},
                 {4, 4, BlockBoard::kNone, -1, 0}, {4, 4, BlockBoard::kLeft, 3, 4},
                 {4, 4, BlockBoard::kDown, 4, 5},  {4, 4, BlockBoard::kUp, 4, 3}};
    for (const auto& c : cases) {
        Block* expected = c.nCol < 0 ? nullptr : at(c.nCol, c.nRow);
        EXPECT_EQ(board.findNeighbour(at(c.col, c.row), c.direction), expected)
            << c.col << "," << c.row << " dir " << c.direction;
    }
    // A block whose row ran ahead of its pixels is found in its new cell.
    takeOut(2, 5);
    Block* falling = at(2, 4);
    updateAt(kQuietMs);
    ASSERT_EQ(falling->y, Block::cellY(4));
    EXPECT_EQ(board.findNeighbour(at(2, 6), BlockBoard::kUp), falling);
}

TEST_F(Board, RefreshWithOneLeftReplacesEveryBlockAndThenNothing) {
    arrangeWith();
    at(0, 0)->markedH = true;  // destroyed marked blocks still pay
    board.refreshLeft = 1;
    board.refresh();
    EXPECT_EQ(board.score, 10);
    for (const Block* b : board.blocks) EXPECT_EQ(b->y, Block::cellY(b->row - 8));  // falling in anew
    const std::vector<Block*> before = board.blocks;
    board.refresh();
    EXPECT_EQ(board.refreshLeft, 0);
    EXPECT_EQ(board.blocks, before);
}

TEST_F(Board, ComboStillLapsesWhenTheMillisecondCountWraps) {
    // A second before the signed 32-bit tick count turns negative.
    const std::uint64_t nearWrap = 0x7FFFFC18ull;
    updateAt(nearWrap);
    board.combo = 1;
    board.comboDeadline = static_cast<std::int32_t>(platform::tickCount() + 2000u);
    updateAt(nearWrap + 500);
    EXPECT_EQ(board.combo, 1);
    updateAt(nearWrap + 2500);
    EXPECT_EQ(board.combo, 0);
}

TEST_F(Board, PickClearedOrRefreshedAwayDropsTheSelection) {
    arrangeLine();
    pickAt(3, 3);
    ASSERT_EQ(board.selected, at(3, 3));
    clearNow();  // the picked block is cleared under the mouse
    EXPECT_EQ(board.selected, nullptr);
    EXPECT_FALSE(board.picked);

    settle();
    arrangeWith();
    pickAt(5, 5);
    ASSERT_TRUE(board.picked);
    board.refresh();
    EXPECT_EQ(board.selected, nullptr);
    mouseTo(centreX(5), centreY(5) + 30);
    board.handleInput();  // nothing left to drag
}

}  // namespace
}  // namespace testing_support
