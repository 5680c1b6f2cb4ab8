// One tile of the 8 x 8 grid. It knows its kind, its grid cell and where it is
// drawn; it slides toward its cell, drops into an empty cell below it, refills
// its column when it leaves the top row, and pays its points when destroyed
// while part of a line.
#pragma once

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class BlockBoard;
class bitmapPicture;
class pngPicture;

class Block : public gameNode {
public:
    // Pixel pitch of the grid and where cell (0, 0) is drawn.
    static constexpr int kPitch = 69;
    static constexpr int kOriginX = 26;
    static constexpr int kOriginY = 414;
    static constexpr int kSize = 64;
    static constexpr int kStep = 6;  // pixels per update

    static constexpr int cellX(int col) { return kOriginX + kPitch * col; }
    static constexpr int cellY(int row) { return kOriginY + kPitch * row; }

    ~Block() override;  // credits the points of a marked block to its board

    using gameNode::init;  // a block is set up by the five-argument init only
    HRESULT init(BlockBoard* board, int startCol, int startRow, int col, int row);
    void release() override {}
    void update() override;
    void render() override;

    // One step toward the cell, one axis per call, horizontal first.
    void moveToward(int targetCol, int targetRow);

    BlockBoard* board = nullptr;
    bitmapPicture* picture = nullptr;
    pngPicture* specialPicture = nullptr;  // shared by every block of the column
    RECT rect{};
    int kind = 0;
    int special = 0;
    int x = 0;
    int y = 0;
    int col = 0;
    int row = 0;
    int swapCol = 0;
    int swapRow = 0;
    bool swapping = false;
    bool moving = false;
    bool targeted = false;
    bool markedH = false;
    bool markedV = false;
    int specialFrameX = 0;
    int specialFrameY = 0;
};
