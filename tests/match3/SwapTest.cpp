// Picking, dragging and clicking, accepted and rejected swaps, the combo and
// the obstacles of every fifth accepted swap.
#include "BoardFixture.h"

namespace testing_support {
namespace {

class Swapping : public BoardTest {
protected:
    // Presses at a point and runs one input step. The latches are cleared
    // first, as the frames with the button up between two clicks would.
    void pressAt(int x, int y) {
        KeyState::get()->clear();
        mouseTo(x, y);
        press();
        board.handleInput();
    }
    void pickAt(int col, int row) { pressAt(centreX(col), centreY(row)); }
    // A whole click on a block: pressed, held for a frame, let go on it.
    void clickOn(int col, int row) {
        pickAt(col, row);
        board.handleInput();
        lift();
        board.handleInput();
    }
    void arrangeRejectedPair() { arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 3}}); }
    // A layout where moving (3,3) right completes a row for it; with
    // partnerToo, (4,3) moving left completes one as well.
    void arrangeAcceptedPair(bool pickedToo, bool partnerToo) {
        arrangeWith({{3, 3, 1},
                     {4, 3, 2},
                     {5, 3, pickedToo ? 1 : 3},
                     {6, 3, pickedToo ? 1 : 4},
                     {1, 3, partnerToo ? 2 : 5},
                     {2, 3, partnerToo ? 2 : 6}});
    }
};

TEST_F(Swapping, DragThresholdsAreExclusiveAndVerticalWins) {
    struct Case {
        int dx, dy;
        int direction;
        int col, row;  // expected partner, or -1
    };
    const Case cases[] = {
        {0, -10, BlockBoard::kNone, -1, -1},  {0, -11, BlockBoard::kUp, 3, 3},
        {0, 11, BlockBoard::kDown, 3, 5},     {-11, 0, BlockBoard::kLeft, 2, 4},
        {11, 0, BlockBoard::kRight, 4, 4},    {-20, -20, BlockBoard::kUp, 3, 3},
        {0, -64, BlockBoard::kNone, -1, -1},  {-64, 0, BlockBoard::kNone, -1, -1},
        {0, 200, BlockBoard::kDown, 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        arrange(kNoLines);
        pickAt(3, 4);
        Block* picked = at(3, 4);
        ASSERT_EQ(board.selected, picked);
        EXPECT_TRUE(picked->targeted);
        mouseTo(centreX(3) + c.dx, centreY(4) + c.dy);
        board.handleInput();
        EXPECT_EQ(board.dragDirection, c.direction);
        if (c.col < 0) {
            EXPECT_TRUE(board.picked);
            EXPECT_FALSE(picked->swapping);
        } else {
            EXPECT_FALSE(board.picked);
            EXPECT_TRUE(picked->swapping);
            EXPECT_EQ(picked->swapCol, c.col);
            EXPECT_EQ(picked->swapRow, c.row);
            EXPECT_TRUE(at(c.col, c.row)->swapping);
        }
        lift();
        board.handleInput();
    }
}

TEST_F(Swapping, LongJumpUpWaitsUntilTheMouseComesBackIntoRange) {
    arrange(kNoLines);
    pickAt(3, 4);
    mouseTo(centreX(3) + 5, centreY(4) - 70);
    board.handleInput();
    EXPECT_TRUE(board.picked);
    mouseTo(centreX(3) + 5, centreY(4) - 30);
    board.handleInput();
    EXPECT_FALSE(board.picked);
    EXPECT_EQ(at(3, 4)->swapRow, 3);
}

TEST_F(Swapping, DragTowardTheEdgeKeepsThePickAndAnotherDirectionSwapsWithTheButtonUp) {
    arrange(kNoLines);
    pickAt(0, 4);
    Block* picked = at(0, 4);
    mouseTo(centreX(0) - 20, centreY(4));  // no neighbour to the left
    board.handleInput();
    EXPECT_TRUE(board.picked);
    EXPECT_EQ(board.selected, picked);
    mouseTo(centreX(0) - 40, centreY(4));
    board.handleInput();
    lift();  // let go outside the picked block: still dragging
    board.handleInput();
    EXPECT_TRUE(board.picked);
    EXPECT_FALSE(board.released);
    // Still outside the picked block: coming back onto it with the button up
    // would count as the release.
    mouseTo(centreX(0) - 5, centreY(4) + 40);
    board.handleInput();
    EXPECT_FALSE(board.picked);
    EXPECT_TRUE(picked->swapping);
    EXPECT_EQ(picked->swapRow, 5);
}

TEST_F(Swapping, ClickClickSwapsPicksAnotherOrDropsTheSelection) {
    arrangeAcceptedPair(true, false);
    Block* first = at(3, 3);
    clickOn(3, 3);
    ASSERT_TRUE(board.released);  // awaiting the second click
    pickAt(4, 3);
    EXPECT_FALSE(board.picked);
    EXPECT_EQ(first->col, 4);  // accepted: the cells are exchanged
    lift();

    arrange(kNoLines);
    clickOn(3, 3);
    ASSERT_TRUE(board.released);
    pickAt(6, 6);  // not a neighbour: picks that one instead
    EXPECT_TRUE(board.picked);
    EXPECT_FALSE(board.released);
    EXPECT_EQ(board.selected, at(6, 6));
    EXPECT_FALSE(at(3, 3)->targeted);
    EXPECT_TRUE(at(6, 6)->targeted);
    board.handleInput();
    lift();
    board.handleInput();
    ASSERT_TRUE(board.released);
    pressAt(5, 5);  // outside the grid
    EXPECT_FALSE(board.picked);
    EXPECT_FALSE(at(6, 6)->targeted);
    lift();
}

TEST_F(Swapping, MovingBlocksCannotBePickedOrTakenAsPartners) {
    arrange(kNoLines);
    at(2, 2)->moving = true;
    pickAt(2, 2);
    EXPECT_FALSE(board.picked);
    EXPECT_EQ(board.selected, nullptr);
    lift();
    board.handleInput();

    pickAt(2, 3);
    mouseTo(centreX(2), centreY(3) - 11);
    board.handleInput();  // up: (2,2) is moving
    EXPECT_TRUE(board.picked);
    EXPECT_FALSE(at(2, 2)->swapping);
}

TEST_F(Swapping, RejectedSwapSlidesBackAndCountsNothingAcceptedOneStays) {
    // Row 3 reads 1 2 1: the picked block's old cell must not count as its
    // own kind, so moving it right completes nothing.
    arrangeRejectedPair();
    Block* a = at(3, 3);
    Block* b = at(4, 3);
    EXPECT_FALSE(board.canMatchAt(a, b));
    EXPECT_FALSE(board.canMatchAt(b, a));
    board.swapBlocks(a, b);
    EXPECT_EQ(a->col, 3);
    EXPECT_EQ(board.swapCount, 0);
    EXPECT_EQ(board.combo, 0);
    EXPECT_EQ(plays("combo1.mp3"), 0);

    bool arrived = false;
    for (int n = 0; n < 40; ++n) {
        updateAt(kQuietMs);
        arrived = arrived || (a->x == Block::cellX(4) && !a->swapping);
    }
    EXPECT_TRUE(arrived);
    EXPECT_EQ(a->x, Block::cellX(3));
    EXPECT_EQ(b->x, Block::cellX(4));

    arrangeAcceptedPair(true, false);  // an accepted pair stays exchanged
    a = at(3, 3);
    b = at(4, 3);
    board.swapBlocks(a, b);
    settle();
    EXPECT_EQ(a->x, Block::cellX(4));
    EXPECT_EQ(b->x, Block::cellX(3));
}

TEST_F(Swapping, AcceptedSwapsRaiseTheComboWithinTwoSecondsThenItLapses) {
    time.clock.setMs(1'000'000);
    arrangeAcceptedPair(true, false);
    board.update();
    board.swapBlocks(at(3, 3), at(4, 3));
    EXPECT_EQ(board.combo, 1);
    EXPECT_EQ(plays("combo1.mp3"), 1);

    time.clock.setMs(1'001'500);
    arrangeAcceptedPair(true, false);
    board.update();
    board.swapBlocks(at(3, 3), at(4, 3));
    EXPECT_EQ(board.combo, 2);
    EXPECT_EQ(plays("combo2.mp3"), 1);
    EXPECT_EQ(plays("combo1.mp3"), 1);  // one sound per swap

    arrange(kNoLines);  // no line left to clear while the combo ages
    // The deadline is 1'003'500: its own tick keeps the combo, the next lapses it.
    updateAt(1'003'500);
    EXPECT_EQ(board.combo, 2);
    EXPECT_EQ(board.comboTimeLeft, 0);
    updateAt(1'004'000);
    EXPECT_EQ(board.combo, 0);
    EXPECT_EQ(board.comboDeadline, 0);
    arrangeAcceptedPair(true, false);
    board.swapBlocks(at(3, 3), at(4, 3));
    EXPECT_EQ(board.combo, 1);
    EXPECT_EQ(plays("combo1.mp3"), 2);
}

TEST_F(Swapping, EveryFifthAcceptedSwapSendsObstaclesOfTheKindsThatCompleteALine) {
    for (int i = 0; i < 4; ++i) {
        arrangeAcceptedPair(true, false);
        board.swapBlocks(at(3, 3), at(4, 3));
        arrangeRejectedPair();
        board.swapBlocks(at(3, 3), at(4, 3));  // rejected: not counted
    }
    EXPECT_EQ(board.swapCount, 4);
    EXPECT_TRUE(runner.obstacles.empty());

    arrangeAcceptedPair(true, true);
    board.swapBlocks(at(3, 3), at(4, 3));
    ASSERT_EQ(runner.obstacles.size(), 2u);
    auto* pictures = pictureRegistry::get();
    EXPECT_EQ(runner.obstacles[0]->picture, pictures->findPicture(obstacleKey(1)));
    EXPECT_EQ(runner.obstacles[1]->picture, pictures->findPicture(obstacleKey(2)));

    for (int i = 0; i < 4; ++i) {
        arrangeAcceptedPair(true, false);
        board.swapBlocks(at(3, 3), at(4, 3));
    }
    arrangeAcceptedPair(false, true);
    board.swapBlocks(at(3, 3), at(4, 3));
    ASSERT_EQ(runner.obstacles.size(), 3u);
    EXPECT_EQ(runner.obstacles[2]->picture, pictures->findPicture(obstacleKey(2)));
}

}  // namespace
}  // namespace testing_support
