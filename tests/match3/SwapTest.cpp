// Picking, dragging and clicking, accepted and rejected swaps, the combo and
// the obstacles of every fifth accepted swap.
#include "BoardFixture.h"

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
    const struct {
        int dx, dy, col, row;  // the partner of (3,4), or -1
    } cases[] = {{0, -10, -1, -1}, {0, -11, 3, 3},  {0, 11, 3, 5},   {-10, 0, -1, -1}, {-11, 0, 2, 4},
                 {11, 0, 4, 4},    {-20, -20, 3, 3}, {0, -64, -1, -1}, {-64, 0, -1, -1}, {0, 200, 3, 5}};
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

TEST_F(Swapping, AcceptedSwapsRaiseTheComboWithinTwoSecondsThenItLapses) {
    const struct {
        std::uint64_t ms;
        int combo;
        const char* sound;
    } swaps[] = {{1'000'000, 1, "combo1.mp3"}, {1'001'500, 2, "combo2.mp3"}};
    for (const auto& s : swaps) {
        time.clock.setMs(s.ms);
        arrangeAccepted();
        board.update();  // no line yet: only the clock is read
        swapPair();
        EXPECT_EQ(board.combo, s.combo);
        EXPECT_EQ(plays(s.sound), 1);
    }
    arrangeWith();  // no line left to clear while the combo ages
    updateAt(1'003'500);  // the deadline's own tick keeps it
    EXPECT_EQ(board.combo, 2);
    updateAt(1'004'000);
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
