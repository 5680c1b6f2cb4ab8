// Play without a mouse: the cursor over the cells, picks and swaps by key and
// by the pad, under the same rules as the mouse.
#include <filesystem>

#include "BoardFixture.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace testing_support {
namespace {

class KeyCursor : public BoardTest {
protected:
    // Down for one update, up for the next, as a tap across two frames.
    void tapKey(int vk) {
        platform::input().beginDrain();
        platform::input().keyDown(vk);
        board.handleKeys();
        platform::input().beginDrain();
        platform::input().keyUp(vk);
        board.handleKeys();
    }
    void cursorTo(int col, int row) {
        if (!board.cursorShown) tapKey(VK_LEFT);
        while (board.cursorCol > col) tapKey(VK_LEFT);
        while (board.cursorCol < col) tapKey(VK_RIGHT);
        while (board.cursorRow > row) tapKey(VK_UP);
        while (board.cursorRow < row) tapKey(VK_DOWN);
    }
    std::pair<int, int> cursor() const { return {board.cursorCol, board.cursorRow}; }
    // Moving (3,3) right completes a row of 1s; (3,3) and (4,3) of the
    // rejected layout complete nothing either way.
    void arrangeAccepted() { arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 1}}); }
    void arrangeRejected() { arrangeWith({{3, 3, 1}, {4, 3, 2}, {5, 3, 1}, {6, 3, 3}}); }
};

TEST_F(KeyCursor, ShowsOnTheFirstKeyMovesWithinTheGridAndHidesForTheMouse) {
    arrangeWith();
    EXPECT_FALSE(board.cursorShown);
    tapKey(VK_RIGHT);
    EXPECT_TRUE(board.cursorShown);
    EXPECT_EQ(cursor(), std::pair(3, 4)) << "the first key only shows it";
    for (int i = 0; i < 6; ++i) tapKey(VK_RIGHT);
    for (int i = 0; i < 6; ++i) tapKey(VK_GAMEPAD_DPAD_DOWN);
    EXPECT_EQ(cursor(), std::pair(7, 7));
    for (int i = 0; i < 9; ++i) tapKey(VK_GAMEPAD_LEFT_THUMBSTICK_LEFT);
    for (int i = 0; i < 9; ++i) tapKey(VK_UP);
    EXPECT_EQ(cursor(), std::pair(0, 0));
    mouseTo(centreX(5), centreY(6));
    board.handleKeys();
    EXPECT_FALSE(board.cursorShown);
    tapKey(VK_DOWN);
    EXPECT_EQ(cursor(), std::pair(5, 6)) << "shown again where the mouse is";
}

TEST_F(KeyCursor, PicksOnlyATileAtRestAndArrowsSwapAsADragWould) {
    for (int choose : {VK_SPACE, VK_RETURN, VK_GAMEPAD_A}) {
        arrangeAccepted();
        cursorTo(3, 3);
        at(3, 3)->moving = true;
        tapKey(choose);
        EXPECT_FALSE(board.picked) << "a falling tile is not picked";
        at(3, 3)->moving = false;
        tapKey(choose);
        ASSERT_TRUE(board.picked && board.released) << choose;
        EXPECT_EQ(board.selected, at(3, 3));
        EXPECT_TRUE(at(3, 3)->targeted);

        at(4, 3)->moving = true;
        tapKey(VK_RIGHT);
        EXPECT_TRUE(board.picked) << "no swap toward a moving tile";
        at(4, 3)->moving = false;
        Block* mover = at(3, 3);
        tapKey(VK_RIGHT);
        EXPECT_FALSE(board.picked);
        EXPECT_EQ(mover->col, 4) << "accepted";
        EXPECT_EQ(board.combo, 1);
        EXPECT_EQ(cursor(), std::pair(4, 3)) << "the cursor goes with the tile";
        board.combo = 0;
    }

    arrangeRejected();
    cursorTo(3, 3);
    tapKey(VK_SPACE);
    tapKey(VK_RIGHT);
    EXPECT_TRUE(at(3, 3)->swapping && at(3, 3)->swapCol == 4) << "tried, and sliding back";
    EXPECT_EQ(board.combo, 0);
    EXPECT_EQ(cursor(), std::pair(3, 3));

    // At the edge there is no neighbour: the pick stays.
    arrangeWith();
    cursorTo(7, 2);
    tapKey(VK_SPACE);
    tapKey(VK_RIGHT);
    EXPECT_TRUE(board.picked);
}

TEST_F(KeyCursor, ChoosingAgainOrPadBDropsAndAMousePickSwapsByKey) {
    arrangeWith();
    cursorTo(2, 2);
    tapKey(VK_SPACE);
    tapKey(VK_RETURN);
    EXPECT_FALSE(board.picked);
    EXPECT_FALSE(at(2, 2)->targeted);
    tapKey(VK_GAMEPAD_A);
    tapKey(VK_GAMEPAD_B);
    EXPECT_FALSE(board.picked);

    arrangeAccepted();
    pickAt(3, 3);
    lift();
    board.handleInput();
    ASSERT_TRUE(board.picked);
    tapKey(VK_RIGHT);
    EXPECT_EQ(board.combo, 1) << "a pick made by the mouse, swapped by key";
}

TEST_F(KeyCursor, IsDrawnOverItsCellPinkAndGoldWithAPick) {
    const std::string dir = gameDir() + "/../review";
    std::filesystem::create_directories(dir);
    arrangeWith();
    auto edge = [&](const char* name) {
        platform::fillWhite(*backDC(), 0, 0, 600, 1024);
        board.render();
        EXPECT_TRUE(platform::savePng(*backDC(), dir + "/board-" + name + ".png"));
        const RECT& cell = board.cellRects[board.cursorRow * 8 + board.cursorCol];
        return std::pair(backDC()->pixel(cell.left, cell.top + 30), backDC()->pixel(cell.left - 1, cell.top + 30));
    };
    const auto hidden = edge("no-cursor");
    tapKey(VK_DOWN);
    EXPECT_EQ(edge("cursor"), std::pair(0xFF3C96u, 0x1E1E28u));
    tapKey(VK_SPACE);
    EXPECT_EQ(edge("cursor-picked"), std::pair(0xFFC828u, 0x1E1E28u));
    EXPECT_NE(hidden.second, 0x1E1E28u);
}

}  // namespace
}  // namespace testing_support
