// Blocks sliding, falling and refilling their column.
#include "BoardFixture.h"

namespace testing_support {
namespace {

using BlockMotion = BoardTest;

TEST_F(BlockMotion, FallRunsTheGridRowAheadOfThePixels) {
    arrange(kNoLines);
    takeOut(0, 5);
    takeOut(0, 6);
    takeOut(0, 7);
    Block* b = at(0, 4);
    const int startY = b->y;

    updateAt(kQuietMs);  // at rest: only the row drops
    EXPECT_EQ(b->row, 5);
    EXPECT_EQ(b->y, startY);
    EXPECT_FALSE(b->moving);
    updateAt(kQuietMs);
    updateAt(kQuietMs);
    EXPECT_EQ(b->row, 7);
    EXPECT_EQ(b->y, startY + 12);
    EXPECT_TRUE(b->moving);

    settle();
    EXPECT_EQ(b->y, Block::cellY(7));
    EXPECT_EQ(b->rect.top, Block::cellY(7));
}

TEST_F(BlockMotion, FallingBlockKeepsTheFivePixelGapUnlessSwapping) {
    arrange(kNoLines);
    takeOut(1, 7);
    Block* upper = at(1, 6);
    Block* lower = at(1, 5);
    // The upper block has already dropped its row to 7; the lower one follows
    // into row 6 while its pixels are still in row 5.
    upper->row = 7;
    upper->y = Block::cellY(6) + 6;
    upper->rect = RECT{upper->x, upper->y, upper->x + 64, upper->y + 64};
    lower->row = 6;

    lower->rect.bottom = upper->rect.top - 5;  // exactly 5 apart: wait
    const int y0 = lower->y;
    lower->moveToward(1, 6);
    EXPECT_EQ(lower->y, y0);

    lower->rect.bottom = upper->rect.top - 6;  // the gap opened
    lower->moveToward(1, 6);
    EXPECT_EQ(lower->y, y0 + 6);

    lower->rect.bottom = upper->rect.top;  // a swap ignores the gap
    lower->swapping = true;
    lower->moveToward(1, 6);
    EXPECT_EQ(lower->y, y0 + 12);
}

TEST_F(BlockMotion, MovesOneAxisPerStepHorizontalFirstAndStopsOnTheCell) {
    arrange(kNoLines);
    Block* b = at(2, 2);
    b->x = Block::cellX(2) - 10;
    b->y = Block::cellY(2) + 4;
    b->swapping = true;
    b->moveToward(2, 2);
    EXPECT_EQ(b->x, Block::cellX(2) - 4);
    EXPECT_EQ(b->y, Block::cellY(2) + 4);
    b->moveToward(2, 2);
    EXPECT_EQ(b->x, Block::cellX(2));  // never past the target
    EXPECT_TRUE(b->swapping);
    b->moveToward(2, 2);
    EXPECT_EQ(b->y, Block::cellY(2));
    EXPECT_FALSE(b->swapping);  // cleared on arrival
}

TEST_F(BlockMotion, LeavingRowZeroAppendsOneRefillThatIsUpdatedInTheSamePass) {
    arrange(kNoLines);
    takeOut(3, 1);
    Block* top = at(3, 0);

    updateAt(kQuietMs);
    ASSERT_EQ(board.blocks.size(), 64u);
    Block* refill = board.blocks.back();
    EXPECT_EQ(top->row, 1);
    EXPECT_EQ(refill->col, 3);
    // Started at row -2 (y 276) for cell -1, and already moved and dropped a
    // row in the pass that made it.
    EXPECT_EQ(refill->x, Block::cellX(3));
    EXPECT_EQ(refill->y, 276 + 6);
    EXPECT_EQ(refill->row, 0);

    // Leaving row -1 made no second refill, and none comes later.
    settle();
    EXPECT_EQ(board.blocks.size(), 64u);
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) EXPECT_NE(at(c, r), nullptr) << c << "," << r;
    }
}

TEST_F(BlockMotion, OverlayCountersAdvanceOnlyOnTickMultiplesAndWrap) {
    arrange(kNoLines);
    Block* b = at(4, 4);
    Block* last = at(4, 7);  // updated after b: decides the column's frame
    updateAt(kQuietMs);
    EXPECT_EQ(b->specialFrameX, 0);
    EXPECT_EQ(b->specialFrameY, 0);

    // tick 1'000'000 is a multiple of 100 and of 50; 1'000'250 only of 50.
    for (int i = 0; i < 5; ++i) updateAt(kClearingMs);
    EXPECT_EQ(b->specialFrameX, 0);  // 1,2,3,4 then back to 0
    EXPECT_EQ(b->specialFrameY, 2);  // 1,2,0,1,2
    updateAt(1'000'250);
    EXPECT_EQ(b->specialFrameX, 0);
    EXPECT_EQ(b->specialFrameY, 0);

    last->specialFrameX = 3;
    updateAt(kQuietMs);
    ASSERT_NE(b->specialPicture, nullptr);
    EXPECT_EQ(b->specialPicture, last->specialPicture);
    EXPECT_EQ(b->specialPicture->info->currentFrameX, 3);
}

TEST_F(BlockMotion, DestroyedBlocksPayOnlyWhenMarked) {
    arrange(kNoLines);
    board.combo = 3;
    auto destroy = [&](int col, int row) {
        Block* b = at(col, row);
        board.blocks.erase(std::find(board.blocks.begin(), board.blocks.end(), b));
        delete b;
    };
    destroy(0, 0);
    EXPECT_EQ(board.score, 0);
    at(1, 0)->markedH = true;
    destroy(1, 0);
    EXPECT_EQ(board.score, 310);
    at(2, 0)->markedV = true;
    at(2, 0)->special = 1;
    destroy(2, 0);
    EXPECT_EQ(board.score, 310 + 10310);
}

}  // namespace
}  // namespace testing_support
