// The block board: its selection and swaps, its blocks' motion, and the
// marking and clearing of lines.
#include "BoardFixture.h"
#include "framework/GameNames.h"

namespace testing_support {
namespace {

// The board as a whole: neighbours by grid cell, refresh, the combo clock,
// and picks that disappear under the player's hand.

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

// Blocks sliding, falling and refilling their column, and the special
// overlay's pace.

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
        updateAt((n * 125 + 7) / 8);  // the first millisecond of step n
        across += b->specialFrameX != x;
        down += b->specialFrameY != y;
    }
    EXPECT_EQ(across, 6);
    EXPECT_EQ(down, 12);
    EXPECT_EQ(b->specialFrameX, 1) << "counts 0..4 across";
    EXPECT_EQ(b->specialFrameY, 0) << "counts 0..2 down";
}

// Picking, dragging and clicking, accepted and rejected swaps, the combo and
// its sounds, and the obstacles of every fifth accepted swap.

class Swapping : public BoardTest {
protected:
    // A whole click: pressed, held for a frame, let go on the block.
    void clickOn(int col, int row) {
        pickAt(col, row);
        board.handleInput();
        lift();
        board.handleInput();
    }
    // Row 3 reads 1 2 1 3: moving (3,3) right completes nothing, as its old
    // cell must not count as its own kind. Accepted: moving (3,3) right
    // completes a row when pickedToo, (4,3) moving left when partnerToo.
    void arrangeRejected() { arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 3}}); }
    void arrangeAccepted(bool pickedToo = true, bool partnerToo = false) {
        arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, pickedToo ? 1 : 3}, {6, 3, pickedToo ? 1 : 4},
                     {1, 3, partnerToo ? 2 : 5}, {2, 3, partnerToo ? 2 : 6}});
    }
    void swapPair() { board.swapBlocks(at(3, 3), at(4, 3)); }
};

TEST_F(Swapping, DragThresholdsAreExclusiveVerticalWinsAndALongJumpUpIsNone) {
    const int t = names::kDragThreshold, jump = names::kDragJumpLimit;
    const struct {
        int dx, dy, col, row;  // the partner of (3,4), or -1
    } cases[] = {{0, -t, -1, -1},     {0, -t - 1, 3, 3},    {0, t + 1, 3, 5},    {-t, 0, -1, -1},
                 {-t - 1, 0, 2, 4},   {t + 1, 0, 4, 4},     {-20, -20, 3, 3},    {0, -jump, -1, -1},
                 {-jump, 0, -1, -1},  {0, 200, 3, 5}};
    for (const auto& c : cases) {
        arrangeWith();
        pickAt(3, 4);
        mouseTo(centreX(3) + c.dx, centreY(4) + c.dy);
        board.handleInput();
        const Block* picked = at(3, 4);
        EXPECT_EQ(picked->swapping ? picked->swapCol * 10 + picked->swapRow : -11, c.col * 10 + c.row)
            << c.dx << "," << c.dy;
        lift();
        board.handleInput();
    }
}

TEST_F(Swapping, DragTowardTheEdgeKeepsThePickAndAnotherDirectionSwapsWithTheButtonUp) {
    arrangeWith();
    pickAt(0, 4);
    mouseTo(centreX(0) - 40, centreY(4));  // no neighbour to the left
    board.handleInput();
    lift();  // let go outside the picked block: still dragging
    board.handleInput();
    EXPECT_TRUE(board.picked && !board.released);
    mouseTo(centreX(0) - 5, centreY(4) + 40);
    board.handleInput();
    EXPECT_EQ(at(0, 4)->swapRow, 5);
}

TEST_F(Swapping, ClickClickSwapsPicksAnotherOrDropsTheSelection) {
    arrangeAccepted();
    Block* first = at(3, 3);
    clickOn(3, 3);
    pickAt(4, 3);
    EXPECT_EQ(first->col, 4);  // accepted: the cells are exchanged
    lift();

    arrangeWith();
    clickOn(3, 3);
    pickAt(6, 6);  // not a neighbour: picks that one instead
    EXPECT_EQ(board.selected, at(6, 6));
    EXPECT_FALSE(at(3, 3)->targeted);
    clickOn(6, 6);
    pressAt(5, 5);  // outside the grid
    EXPECT_FALSE(board.picked || at(6, 6)->targeted);
    lift();
}

TEST_F(Swapping, TilesStillMovingAreNeitherPickedNorSwappedWith) {
    arrangeAccepted();
    Block* a = at(3, 3);
    a->moving = true;
    pickAt(3, 3);
    EXPECT_FALSE(board.picked) << "a falling tile was picked";
    lift();
    a->moving = false;
    at(4, 3)->moving = true;
    clickOn(3, 3);
    pickAt(4, 3);  // a second click on a moving neighbour drops the selection
    EXPECT_FALSE(a->swapping || board.picked);
    lift();
    pickAt(3, 3);
    mouseTo(centreX(3) + 20, centreY(3));  // a drag onto it waits...
    board.handleInput();
    EXPECT_TRUE(board.picked && !a->swapping);
    at(4, 3)->moving = false;
    board.handleInput();  // ...until it rests
    EXPECT_EQ(a->col, 4);
}

TEST_F(Swapping, RejectedSwapSlidesThereAndBackAndCountsNothing) {
    arrangeRejected();
    Block* a = at(3, 3);
    swapPair();
    EXPECT_EQ(board.swapCount + board.combo + plays("combo1.mp3"), 0);
    bool arrived = false;
    for (int n = 0; n < 40; ++n) {
        updateAt(kQuietMs);
        arrived = arrived || a->x == Block::cellX(4);
    }
    EXPECT_TRUE(arrived);
    EXPECT_EQ(a->x, Block::cellX(3));
    EXPECT_EQ(a->col, 3);
}

TEST_F(Swapping, EachSwapOfAComboPlaysItsOwnSoundFromTheFifthOnTheLastThenItLapses) {
    // The sounds heard, spelled out: the test must not share the table it checks.
    const char* heard[] = {"combo1.mp3", "combo2.mp3", "combo3.mp3", "combo4.mp3", "combo5.mp3", "combo5.mp3"};
    int total = 0;
    for (int n = 1; n <= 6; ++n) {
        time.clock.setMs(1'000'000 + 500 * (n - 1));
        arrangeAccepted();
        board.update();  // no line yet: only the clock is read
        const int before = plays(heard[n - 1]);
        swapPair();
        EXPECT_EQ(board.combo, n);
        EXPECT_EQ(plays(heard[n - 1]) - before, 1) << "swap " << n;
        total = 0;
        for (const char* f : {"combo1.mp3", "combo2.mp3", "combo3.mp3", "combo4.mp3", "combo5.mp3"}) total += plays(f);
        EXPECT_EQ(total, n) << "one sound per accepted swap";
    }
    arrangeWith();  // no line left to clear while the combo ages
    updateAt(1'004'500);  // the deadline's own tick keeps it
    EXPECT_EQ(board.combo, 6);
    updateAt(1'004'516);
    EXPECT_EQ(board.combo, 0);
}

TEST_F(Swapping, EveryFifthAcceptedSwapSendsObstaclesOfTheKindsThatCompleteALine) {
    for (int i = 0; i < 4; ++i) {
        arrangeAccepted();
        swapPair();
        arrangeRejected();
        swapPair();  // rejected: not counted
    }
    EXPECT_TRUE(runner.obstacles.empty());
    arrangeAccepted(true, true);
    swapPair();
    EXPECT_EQ(sent(0), kindPicture("daruma"));  // the picked block's kind first
    EXPECT_EQ(sent(1), kindPicture("drum"));
    for (int i = 0; i < 5; ++i) {
        arrangeAccepted(i < 4, true);
        swapPair();
    }
    EXPECT_EQ(runner.obstacles.size(), 3u);
    EXPECT_EQ(sent(2), kindPicture("drum"));
}

// Marking lines by grid cell and clearing them: points, special blocks,
// obstacles, refills and the delete sound.

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
