#include "match3/Block.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/pictureRegistry.h"
#include "engine/pngPictureRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/KeyState.h"
#include "match3/BlockBoard.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Surface.h"

Block::~Block() {
    // The only place points are earned. A board that is going away detaches
    // its blocks first, so nothing is credited to it.
    if (!board || !(markedV || markedH)) return;
    board->score += board->combo * 100 + 10;
    if (special == 1) board->score += 10000;
}

HRESULT Block::init(BlockBoard* owner, int startCol, int startRow, int cellCol, int cellRow) {
    x = cellX(startCol);
    y = cellY(startRow);
    col = cellCol;
    row = cellRow;
    kind = std::rand() % 6 + 1;
    swapCol = col;
    swapRow = row;
    board = owner;

    swapping = targeted = markedH = markedV = false;
    special = 0;

    char key[32];
    char file[64];
    std::snprintf(key, sizeof key, "block%d", kind);
    std::snprintf(file, sizeof file, "img/block%d.bmp", kind);
    picture = pictureRegistry::get()->addFramePicture(key, file, 128, 64, 2, 1, true, MAGENTA);

    auto* pngs = pngPictureRegistry::get();
    pngs->addPicture("target", "img/target.png", false, 0, 0);
    // Keyed by column and starting x: a refill always starts in its own column,
    // so every block of a column shares one overlay picture.
    std::snprintf(key, sizeof key, "%d%d", col, cellX(startCol));
    specialPicture = pngs->addFramePicture(key, "img/special.png", 256, 128, 4, 2, false, 0, 0);

    specialFrameX = specialFrameY = 0;
    return S_OK;
}

void Block::moveToward(int targetCol, int targetRow) {
    const int tx = cellX(targetCol);
    const int ty = cellY(targetRow);
    if (x > tx) {
        x = std::max(x - kStep, tx);
    } else if (x < tx) {
        x = std::min(x + kStep, tx);
    } else if (y > ty) {
        y = std::max(y - kStep, ty);
    } else if (y < ty) {
        bool mayFall = swapping;
        if (!mayFall) {
            // Keep the 5-pixel gap to whatever stands in the cell below ours
            // until that block has moved away; rectangles are last update's.
            const Block* below = board ? board->blockAt(col, row + 1) : nullptr;
            mayFall = !below || below->rect.top > rect.bottom + 5;
        }
        if (mayFall) y = std::min(y + kStep, ty);
    }
    if (swapping && x == tx && y == ty) swapping = false;
}

void Block::update() {
    moving = x != cellX(col) || y != cellY(row);

    if (swapping) {
        moveToward(swapCol, swapRow);
    } else {
        moveToward(col, row);
    }

    // The grid row drops at once into an empty cell; the pixels follow.
    if (board && row < 7 && !board->blockAt(col, row + 1)) {
        const int left = row;
        row += 1;
        if (left == 0) {
            auto* refill = new Block();
            refill->init(board, col, -2, col, -1);
            board->blocks.push_back(refill);
        }
    }

    if (board) board->settled = !moving;
    rect = RECT{x, y, x + kSize, y + kSize};

    // Exact tick multiples, not elapsed time: with 15.625 ms steps these come
    // up every 500 ms and every 250 ms.
    const std::uint64_t tick = platform::tickCount64();
    if (tick % 100 == 0 && ++specialFrameX > 4) specialFrameX = 0;
    if (tick % 50 == 0 && ++specialFrameY > 2) specialFrameY = 0;

    // The column shares this picture: the last block updated decides its frame.
    if (specialPicture && specialPicture->info) {
        specialPicture->info->currentFrameX = specialFrameX;
        specialPicture->info->currentFrameY = specialFrameY;
    }
}

void Block::render() {
    HDC dc = backDC();
    if (!dc) return;

    const int frame = (markedH || markedV || special == 1) ? 1 : 0;
    if (picture) picture->frameRender(dc, rect.left, rect.top, frame, 0);
    if (special == 1 && specialPicture) specialPicture->frameRender(dc, rect.left - 6, rect.top - 6);
    if (targeted) pngPictureRegistry::get()->render("target", dc, rect.left, rect.top, 0);

    if (KeyState::get()->isToggled('F')) {
        if (targeted) platform::frameRect(*dc, rect, 0x646464);
        if (markedV) platform::frameRect(*dc, rect, 0x0000FF);
        if (markedH) platform::frameRect(*dc, rect, 0xFF0000);
        if (markedV && markedH) platform::frameRect(*dc, rect, 0xFFFF00);
    }
}
