// Marking lines by grid cell and clearing them: points, special blocks,
// obstacles, refills and the delete sound.
#include "BoardFixture.h"

namespace testing_support {
namespace {

using Matching = BoardTest;

TEST_F(Matching, PlainThreeIsHighlightedThenClearedOnATickMultipleOfTen) {
    arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}});
    updateAt(kQuietMs);
    EXPECT_EQ(markedCount(), 3);
    EXPECT_TRUE(at(2, 3)->markedH && at(3, 3)->markedH && at(4, 3)->markedH);
    EXPECT_FALSE(at(3, 3)->markedV);
    EXPECT_EQ(board.blocks.size(), 64u);

    updateAt(kClearingMs);
    EXPECT_EQ(board.blocks.size(), 61u);  // lower rows refill through the fall
    EXPECT_EQ(board.score, 30);
    EXPECT_EQ(plays("delete.mp3"), 1);

    // The columns fall and refill into a full grid again.
    settle();
    ASSERT_EQ(board.blocks.size(), 64u);
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) EXPECT_NE(at(c, r), nullptr) << c << "," << r;
    }
}

TEST_F(Matching, FourInAColumnIsClearedWholeWithNothingSpecial) {
    arrangeWith({{5, 2, 3}, {5, 3, 3}, {5, 4, 3}, {5, 5, 3}});
    time.clock.setMs(kClearingMs);
    board.checkMatches();
    EXPECT_EQ(board.blocks.size(), 60u);
    EXPECT_EQ(board.score, 40);
    for (const Block* b : board.blocks) EXPECT_EQ(b->special, 0);
    EXPECT_TRUE(runner.obstacles.empty());
}

TEST_F(Matching, PlusOfFiveLeavesASpecialCentreThatPaysWhenClearedInALine) {
    arrangeWith({{3, 3, 5}, {2, 3, 5}, {4, 3, 5}, {3, 2, 5}, {3, 4, 5}});
    Block* centre = at(3, 3);
    time.clock.setMs(kClearingMs);
    board.checkMatches();
    EXPECT_EQ(board.blocks.size(), 60u);
    EXPECT_EQ(board.score, 40);
    EXPECT_EQ(centre->special, 1);
    EXPECT_TRUE(centre->markedH && centre->markedV);  // still highlighted
    EXPECT_TRUE(runner.obstacles.empty());

    // The centre drops into the cleared arm below it; then it lies in a
    // single row line while combo 3 runs.
    settle();
    ASSERT_EQ(board.blocks.size(), 64u);
    ASSERT_EQ(centre->col, 3);
    ASSERT_EQ(centre->row, 4);
    for (Block* b : board.blocks) b->kind = kNoLines[b->row][b->col] - '0';
    centre->kind = at(2, 4)->kind = at(4, 4)->kind = 5;
    board.combo = 3;
    board.settled = true;
    time.clock.setMs(kClearingMs);
    const int before = board.score;
    board.checkMatches();
    EXPECT_EQ(board.score - before, 3 * 310 + 10000);
    ASSERT_EQ(runner.obstacles.size(), 1u);
    EXPECT_EQ(runner.obstacles[0]->picture, pictureRegistry::get()->findPicture(obstacleKey(5)));
}

TEST_F(Matching, TopRowClearRefillsAtOnceLowerRowsDoNot) {
    arrangeWith({{0, 0, 6}, {1, 0, 6}, {2, 0, 6}, {5, 6, 1}, {6, 6, 1}, {7, 6, 1}});
    time.clock.setMs(kClearingMs);
    board.checkMatches();
    ASSERT_EQ(board.blocks.size(), 61u);
    int refills = 0;
    for (const Block* b : board.blocks) {
        if (b->row != -1) continue;
        ++refills;
        EXPECT_EQ(b->y, 276);
        EXPECT_EQ(b->x, Block::cellX(b->col));
        EXPECT_LE(b->col, 2);
        EXPECT_FALSE(b->markedH || b->markedV);  // reached by the pass, and stays
    }
    EXPECT_EQ(refills, 3);
}

TEST_F(Matching, NothingChangesUntilTheLastBlockOfTheListRests) {
    arrangeWith({{2, 3, 4}, {3, 3, 4}, {4, 3, 4}});
    // The last block was still sliding in during the previous update.
    board.blocks.back()->y -= 6;
    board.settled = false;
    updateAt(kClearingMs);
    EXPECT_FALSE(board.settled);  // it moved in this update
    EXPECT_EQ(markedCount(), 0);
    updateAt(kClearingMs);
    EXPECT_TRUE(board.settled);  // at rest when this update began
    EXPECT_EQ(markedCount(), 0);
    EXPECT_EQ(board.blocks.size(), 64u);
    updateAt(kClearingMs);
    EXPECT_EQ(board.blocks.size(), 61u);
}

TEST_F(Matching, DeleteSoundPlaysOnceAndNeverOverAComboSound) {
    arrangeWith({{0, 2, 5}, {1, 2, 5}, {2, 2, 5}, {5, 5, 3}, {5, 6, 3}, {5, 7, 3}});
    time.clock.setMs(kClearingMs);
    board.checkMatches();
    EXPECT_EQ(plays("delete.mp3"), 1);

    settle();
    arrangeWith({{0, 2, 5}, {1, 2, 5}, {2, 2, 5}});
    time.clock.setMs(kClearingMs + 1000);  // the first delete sound has ended
    soundRegistry::get()->play("combo2", 1.0f);
    board.checkMatches();
    EXPECT_EQ(board.blocks.size(), 61u);
    EXPECT_EQ(plays("delete.mp3"), 1);
}

TEST_F(Matching, NewBoardMarksNothingUntilTheLastBlockLands) {
    // Fresh board with a line waiting in the bottom row.
    for (Block* b : board.blocks) {
        if (b->row == 7 && b->col <= 2) b->kind = 6;
        else b->kind = kNoLines[b->row][b->col] - '0';
    }
    Block* last = board.blocks.back();
    ASSERT_EQ(last->col, 7);
    ASSERT_EQ(last->row, 7);
    bool sawMarks = false;
    for (int n = 0; n < 300 && !sawMarks; ++n) {
        updateAt(kQuietMs);
        if (markedCount() > 0) {
            sawMarks = true;
            EXPECT_EQ(last->y, Block::cellY(7));  // landed before anything was marked
            EXPECT_TRUE(at(0, 7)->markedH);
            EXPECT_NE(board.blocks.front()->y, Block::cellY(0));  // top row still falling
        }
    }
    EXPECT_TRUE(sawMarks);
}

}  // namespace
}  // namespace testing_support
