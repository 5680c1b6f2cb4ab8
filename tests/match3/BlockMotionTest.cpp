// Blocks sliding, falling and refilling their column.
#include "BoardFixture.h"

namespace testing_support {
namespace {

using BlockMotion = BoardTest;

TEST_F(BlockMotion, FallRunsTheGridRowAheadOfThePixels) {
    arrangeWith();
    for (int r = 5; r < 8; ++r) takeOut(0, r);
    Block* b = at(0, 4);
    const int startY = b->y;
    const struct {
        int row, y;
    } steps[] = {{5, startY}, {6, startY + 6}, {7, startY + 12}};  // at rest: only the row drops
    for (const auto& s : steps) {
        updateAt(kQuietMs);
        EXPECT_EQ(b->row, s.row);
        EXPECT_EQ(b->y, s.y);
    }
    settle();
    EXPECT_EQ(b->rect.top, Block::cellY(7));
}

TEST_F(BlockMotion, FallingBlockKeepsAFivePixelGapUnlessSwapping) {
    arrangeWith();
    takeOut(1, 7);
    Block* upper = at(1, 6);
    Block* lower = at(1, 5);
    // The upper block has dropped its row to 7; the lower one follows into
    // row 6 while its pixels are still in row 5.
    upper->row = 7;
    upper->rect.top = Block::cellY(6) + 6;
    lower->row = 6;
    const struct {
        int gap;
        bool swapping;
        int moved;
    } cases[] = {{5, false, 0}, {6, false, 6}, {0, true, 6}};
    for (const auto& c : cases) {
        const int y0 = lower->y;
        lower->rect.bottom = upper->rect.top - c.gap;
        lower->swapping = c.swapping;
        lower->moveToward(1, 6);
        EXPECT_EQ(lower->y - y0, c.moved) << "gap " << c.gap;
    }
}

TEST_F(BlockMotion, LeavingRowZeroAppendsOneRefillAndLeavingRowMinusOneNone) {
    arrangeWith();
    takeOut(3, 1);
    Block* top = at(3, 0);
    updateAt(kQuietMs);
    ASSERT_EQ(board.blocks.size(), 64u);
    Block* refill = board.blocks.back();
    EXPECT_EQ(top->row, 1);
    // Made at row -2 (y 276) for cell -1, and moved and dropped a row in the
    // same pass.
    EXPECT_EQ(refill->col, 3);
    EXPECT_EQ(refill->y, 276 + 6);
    EXPECT_EQ(refill->row, 0);
    settle();
    expectFullGrid();
}

TEST_F(BlockMotion, SpecialOverlayStepsTwiceASecondAcrossAndFourTimesDown) {
    arrangeWith();
    Block* b = at(2, 5);
    b->special = 1;
    int across = 0, down = 0;
    // Three seconds, each tick value (steps of 15.625 ms) seen by one update.
    for (std::uint64_t n = 64000; n < 64000 + 3 * 64; ++n) {
        const int x = b->specialFrameX, y = b->specialFrameY;
        updateAt((n * 125 + 7) / 8);
        across += b->specialFrameX != x;
        down += b->specialFrameY != y;
    }
    EXPECT_EQ(across, 6);
    EXPECT_EQ(down, 12);
    EXPECT_EQ(b->specialFrameX, 1) << "counts 0..4 across";
    EXPECT_EQ(b->specialFrameY, 0) << "counts 0..2 down";
}

}  // namespace
}  // namespace testing_support
