// Picking, dragging and clicking, accepted and rejected swaps, the combo and
// its sounds, and the obstacles of every fifth accepted swap.
#include "BoardFixture.h"
#include "framework/GameNames.h"

namespace testing_support {
namespace {

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

}  // namespace
}  // namespace testing_support
