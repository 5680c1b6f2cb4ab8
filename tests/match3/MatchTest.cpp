// Marking lines by grid cell and clearing them: points, special blocks,
// obstacles and refills.
#include "BoardFixture.h"
#include "framework/GameNames.h"

namespace testing_support {
namespace {

using Matching = BoardTest;

TEST_F(Matching, PlainThreeIsHighlightedThenClearedOnATickMultipleOfTen) {
    arrangeLine();
    updateAt(kQuietMs);
    EXPECT_EQ(markedCount(), 3);
    EXPECT_TRUE(at(2, 3)->markedH && at(4, 3)->markedH && !at(3, 3)->markedV);
    EXPECT_EQ(board.blocks.size(), 64u);
    updateAt(kClearingMs);
    EXPECT_EQ(board.blocks.size(), 61u);
    EXPECT_EQ(board.score, 30);  // combo 0: 10 a block
    EXPECT_EQ(plays("delete.mp3"), 1);
    settle();
    expectFullGrid();
}

TEST_F(Matching, NoDeleteSoundOverAnyComboSound) {
    for (const char* combo : names::kComboSounds) {
        arrangeLine();
        for (const char* other : names::kComboSounds) soundRegistry::get()->stop(other);
        soundRegistry::get()->play(combo, 1.0f);
        const int before = plays("delete.mp3");
        clearNow();
        EXPECT_EQ(board.blocks.size(), 61u);
        EXPECT_EQ(plays("delete.mp3"), before) << "over " << combo;
        settle();
    }
}

TEST_F(Matching, FourInAColumnIsClearedWholeWithNothingSpecial) {
    arrangeWith({{5, 2, 3}, {5, 3, 3}, {5, 4, 3}, {5, 5, 3}});
    clearNow();
    EXPECT_EQ(board.blocks.size(), 60u);
    EXPECT_EQ(board.score, 40);
    for (const Block* b : board.blocks) EXPECT_EQ(b->special, 0);
    EXPECT_TRUE(runner.obstacles.empty());
}

TEST_F(Matching, PlusOfFiveLeavesASpecialCentreThatPaysAndSendsAnObstacleLater) {
    arrangeWith({{3, 3, 5}, {2, 3, 5}, {4, 3, 5}, {3, 2, 5}, {3, 4, 5}});
    Block* centre = at(3, 3);
    clearNow();
    EXPECT_EQ(board.blocks.size(), 60u);  // the arms only
    EXPECT_EQ(board.score, 40);
    EXPECT_EQ(centre->special, 1);
    EXPECT_TRUE(runner.obstacles.empty());

    // The centre drops into the cleared arm below; then it lies in a single
    // row line while combo 3 runs.
    settle();
    ASSERT_EQ(board.blocks.size(), 64u);
    ASSERT_EQ(centre->row, 4);
    for (Block* b : board.blocks) b->kind = noLineKind(b->col, b->row);
    centre->kind = at(2, 4)->kind = at(4, 4)->kind = 5;
    board.combo = 3;
    board.settled = true;
    const int before = board.score;
    clearNow();
    EXPECT_EQ(board.score - before, 3 * 310 + 10000);
    EXPECT_EQ(runner.obstacles.size(), 1u);
    EXPECT_EQ(sent(0), kindPicture("bat"));
}

TEST_F(Matching, TopRowClearRefillsAtOnceLowerRowsDoNot) {
    arrangeWith({{0, 0, 6}, {1, 0, 6}, {2, 0, 6}, {5, 6, 1}, {6, 6, 1}, {7, 6, 1}});
    clearNow();
    ASSERT_EQ(board.blocks.size(), 61u);
    int refills = 0;
    for (const Block* b : board.blocks) {
        if (b->row != -1) continue;
        ++refills;
        EXPECT_LE(b->col, 2);
        EXPECT_FALSE(b->markedH || b->markedV);  // reached by the pass, and stays
    }
    EXPECT_EQ(refills, 3);
}

TEST_F(Matching, NothingIsMarkedUntilTheLastBlockOfTheListRests) {
    arrangeLine();
    board.blocks.back()->y -= 6;  // still sliding in during the last update
    board.settled = false;
    updateAt(kClearingMs);
    EXPECT_FALSE(board.settled);  // it moved in this update
    EXPECT_EQ(markedCount(), 0);
    updateAt(kClearingMs);
    EXPECT_EQ(markedCount(), 0);  // it rests only from now on
    updateAt(kClearingMs);
    EXPECT_EQ(board.blocks.size(), 61u);
}

}  // namespace
}  // namespace testing_support
