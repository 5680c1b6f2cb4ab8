#include "match3/BlockBoard.h"

#include <cstdio>

#include "engine/pictureRegistry.h"
#include "engine/soundRegistry.h"
#include "framework/BackBuffer.h"
#include "framework/GameNames.h"
#include "framework/KeyState.h"
#include "match3/Block.h"
#include "platform/Canvas.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "platform/Surface.h"
#include "platform/Text.h"
#include "runner/AnimationBoard.h"
#include "runner/Obstacle.h"

namespace {
constexpr COLORREF kCellFrameColor = 0x525A73;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
}  // namespace

BlockBoard::~BlockBoard() { discardBlocks(); }

HRESULT BlockBoard::init(AnimationBoard* runner) {
    // A board entered again starts from nothing; what the last visit left is
    // not scored.
    discardBlocks();
    selected = nullptr;

    runnerBoard = runner;
    refreshLeft = 3;
    swapCount = 0;

    auto* pictures = pictureRegistry::get();
    bgPicture = pictures->addPicture("bg", "img/bg.bmp", names::kClientWidth, names::kClientHeight,
                                     true, MAGENTA);
    whitePicture = pictures->addPicture("white", "img/white.bmp", 557, 557, false, 0);

    cellCount = 64;
    picked = released = settled = false;
    cursorCol = 3;
    cursorRow = 4;
    cursorShown = false;
    cursorMouseX = mouseX;
    cursorMouseY = mouseY;
    combo = 0;
    comboDeadline = 0;
    comboTimeLeft = 0;
    score = 0;
    boardRect = RECT{21, 409, 578, 966};

    auto* sounds = soundRegistry::get();
    char file[64];
    for (const char* key : names::kComboSounds) {
        std::snprintf(file, sizeof file, "soundfile/%s.mp3", key);
        sounds->addSound(key, file, false, false);
    }
    sounds->addSound(names::kDeleteSound, "soundfile/delete.mp3", false, false);

    fill();
    checkMatches();
    return S_OK;
}

void BlockBoard::fill() {
    for (int i = 0; i < cellCount; ++i) {
        const int c = i % 8;
        const int r = i / 8;
        cellRects[i] = RECT{boardRect.left + 5 + 69 * c, boardRect.top + 5 + 69 * r,
                            boardRect.left + 69 + 69 * c, boardRect.top + 69 + 69 * r};
        // Every block starts eight rows above its cell and falls in.
        auto* block = new Block();
        block->init(this, c, r - 8, c, r);
        blocks.push_back(block);
    }
}

void BlockBoard::release() {
    // Marked blocks still pay out as they go.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        blocks[i]->release();
        destroyBlock(blocks[i]);
    }
    blocks.clear();
}

void BlockBoard::discardBlocks() {
    for (Block* block : blocks) {
        block->board = nullptr;
        delete block;
    }
    blocks.clear();
    selected = nullptr;
}

void BlockBoard::destroyBlock(Block* block) {
    // A destroyed pick must not be reached through the selection afterwards.
    if (block == selected) dropSelection();
    delete block;
}

void BlockBoard::dropSelection() {
    selected = nullptr;
    picked = released = false;
}

void BlockBoard::update() {
    now = static_cast<std::int32_t>(platform::tickCount());

    comboTimeLeft = 0;
    if (comboDeadline != 0) {
        const auto left = static_cast<std::int32_t>(static_cast<std::uint32_t>(comboDeadline) -
                                                    platform::tickCount());
        if (left >= 1) comboTimeLeft = left;
    }
    if (isLater(now, comboDeadline)) {
        combo = 0;
        comboDeadline = 0;
    }

    checkMatches();

    // By index: refill blocks appended during the pass are reached in it too.
    for (std::size_t i = 0; i < blocks.size(); ++i) blocks[i]->update();
}

void BlockBoard::render() {
    HDC dc = backDC();
    if (!dc) return;

    if (bgPicture) bgPicture->render(dc, 0, 0);
    if (whitePicture) whitePicture->alphaRender(dc, boardRect.left, boardRect.top, 50);
    for (int i = 0; i < cellCount; ++i) platform::frameRect(*dc, cellRects[i], kCellFrameColor);
    for (Block* block : blocks) block->render();
    renderCursor(dc);

    if (KeyState::get()->isToggled('C')) {
        char text[128];
        std::snprintf(text, sizeof text, "콤보타이머 : %d, 삭제블록 카운터 %d", comboTimeLeft,
                      swapCount);
        platform::Font* font = platform::getFont("HY견고딕", 20);
        platform::drawTextWithHalo(*dc, font, 40, 994, text, kWhite, kBlack);
    }
}

void BlockBoard::refresh() {
    if (refreshLeft <= 0) return;
    for (std::size_t i = 0; i < blocks.size(); ++i) destroyBlock(blocks[i]);
    blocks.clear();
    fill();
    refreshLeft -= 1;
}

Block* BlockBoard::blockAt(int col, int row) const {
    for (Block* block : blocks) {
        if (block->col == col && block->row == row) return block;
    }
    return nullptr;
}

Block* BlockBoard::findNeighbour(const Block* block, int direction) const {
    if (!block) return nullptr;
    switch (direction) {
        case kLeft: return blockAt(block->col - 1, block->row);
        case kRight: return blockAt(block->col + 1, block->row);
        case kUp: return blockAt(block->col, block->row - 1);
        case kDown: return blockAt(block->col, block->row + 1);
        default: return nullptr;
    }
}

void BlockBoard::sendObstacle(int kind) {
    if (!runnerBoard) return;
    auto* obstacle = new Obstacle();
    obstacle->setup(kind, runnerBoard);
    runnerBoard->obstacles.push_back(obstacle);
}
