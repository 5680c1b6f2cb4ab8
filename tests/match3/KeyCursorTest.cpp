// Play without a mouse: the cursor over the cells, picks and swaps by key and
// by the pad, under the same rules as the mouse.
#include "BoardFixture.h"
#include "platform/Canvas.h"
#include "platform/Surface.h"

namespace testing_support {
namespace {

class KeyCursor : public BoardTest {
protected:
    // Down for one update, up for the next, as a tap across two frames.
    void tapKey(int vk) {
        for (bool down : {true, false}) {
            platform::input().beginDrain();
            down ? platform::input().keyDown(vk) : platform::input().keyUp(vk);
            board.handleKeys();
        }
    }
    void cursorTo(int col, int row) {
        if (!board.cursorShown) tapKey(VK_LEFT);
        while (board.cursorCol != col) tapKey(board.cursorCol > col ? VK_LEFT : VK_RIGHT);
        while (board.cursorRow != row) tapKey(board.cursorRow > row ? VK_UP : VK_DOWN);
    }
    std::pair<int, int> cursor() const { return {board.cursorCol, board.cursorRow}; }
    // Moving (3,3) right completes a row of 1s, unless the last one is a 3.
    void arrange(bool accepted) { arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, accepted ? 1 : 3}}); }
};

TEST_F(KeyCursor, ShowsOnTheFirstKeyStaysOnTheGridAndMakesWayForTheMouse) {
    arrangeWith();
    tapKey(VK_RIGHT);
    EXPECT_TRUE(board.cursorShown);
    EXPECT_EQ(cursor(), std::pair(3, 4)) << "the first key only shows it";
    for (int i = 0; i < 6; ++i) tapKey(VK_GAMEPAD_DPAD_DOWN);
    for (int i = 0; i < 9; ++i) tapKey(VK_GAMEPAD_LEFT_THUMBSTICK_LEFT);
    EXPECT_EQ(cursor(), std::pair(0, 7));
    mouseTo(centreX(5), centreY(6));
    board.handleKeys();
    EXPECT_FALSE(board.cursorShown);
    tapKey(VK_UP);
    EXPECT_EQ(cursor(), std::pair(5, 6)) << "shown again where the mouse is";
}

TEST_F(KeyCursor, PicksATileAtRestAndAnArrowSwapsAsADragWould) {
    for (int choose : {VK_SPACE, VK_RETURN, VK_GAMEPAD_A}) {
        arrange(true);
        cursorTo(3, 3);
        at(3, 3)->moving = true;
        tapKey(choose);
        EXPECT_FALSE(board.picked) << "a falling tile is not picked";
        at(3, 3)->moving = false;
        tapKey(choose);
        ASSERT_TRUE(board.picked && board.released && at(3, 3)->targeted) << choose;
        at(4, 3)->moving = true;
        tapKey(VK_RIGHT);
        EXPECT_TRUE(board.picked) << "no swap toward a moving tile";
        at(4, 3)->moving = false;
        Block* mover = at(3, 3);
        tapKey(VK_RIGHT);
        EXPECT_EQ(std::pair(mover->col, board.combo), std::pair(4, 1)) << "accepted";
        EXPECT_EQ(cursor(), std::pair(4, 3)) << "the cursor goes with the tile";
        board.combo = 0;
    }
    arrange(false);
    cursorTo(3, 3);
    tapKey(VK_SPACE);
    tapKey(VK_RIGHT);
    EXPECT_TRUE(at(3, 3)->swapping && at(3, 3)->swapCol == 4) << "tried, and sliding back";
    EXPECT_EQ(std::pair(board.combo, cursor()), std::pair(0, std::pair(3, 3)));
    cursorTo(7, 2);
    tapKey(VK_SPACE);
    tapKey(VK_RIGHT);
    EXPECT_TRUE(board.picked) << "no neighbour past the edge: the pick stays";
}

TEST_F(KeyCursor, ChoosingAgainOrPadBLetsGoAndAMousePickSwapsByKey) {
    arrangeWith();
    for (int letGo : {VK_SPACE, VK_GAMEPAD_B}) {
        cursorTo(2, 2);
        tapKey(VK_RETURN);
        tapKey(letGo);
        EXPECT_FALSE(board.picked || at(2, 2)->targeted) << letGo;
    }
    arrange(true);
    pickAt(3, 3);
    lift();
    board.handleInput();
    tapKey(VK_RIGHT);
    EXPECT_EQ(board.combo, 1) << "a pick made by the mouse, swapped by key";
}

TEST_F(KeyCursor, IsDrawnOverItsCellPinkAndGoldWithAPick) {
    arrangeWith();
    auto edge = [&] {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board.render();
        const RECT& cell = board.cellRects[board.cursorRow * 8 + board.cursorCol];
        return std::pair(backDC()->pixel(cell.left, cell.top + 30), backDC()->pixel(cell.left - 1, cell.top + 30));
    };
    const auto hidden = edge();
    tapKey(VK_DOWN);
    EXPECT_EQ(edge(), std::pair(0xFF3C96u, 0x1E1E28u));
    tapKey(VK_SPACE);
    EXPECT_EQ(edge(), std::pair(0xFFC828u, 0x1E1E28u));
    EXPECT_NE(hidden.second, 0x1E1E28u);
}

}  // namespace
}  // namespace testing_support
