// The 8 x 8 match-3 grid: the owned list of blocks (there is no cell array; a
// cell's block is found by searching the list), the score, the combo and its
// deadline, the player's selection and swaps, the marking and clearing of
// lines, and the player's three refreshes.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/gameNode.h"
#include "platform/Win32Types.h"

class AnimationBoard;
class Block;
class bitmapPicture;

class BlockBoard : public gameNode {
public:
    // Directions of findNeighbour and of a drag.
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;
    static constexpr int kUp = 2;
    static constexpr int kDown = 3;
    static constexpr int kNone = 4;

    static constexpr int kComboWindowMs = 2000;

    ~BlockBoard() override;  // blocks still listed are freed without scoring

    using gameNode::init;  // the board is set up by init(runnerBoard) only
    HRESULT init(AnimationBoard* runner);
    void release() override;
    void update() override;
    void render() override;

    void refresh();
    Block* findNeighbour(const Block* block, int direction) const;
    // The first block in list order whose grid cell is (col, row).
    Block* blockAt(int col, int row) const;

    // Selection and swapping.
    void handleInput();
    void handleDrag();
    void swapBlocks(Block* a, Block* b);
    bool canMatchAt(const Block* a, const Block* b) const;
    void playComboSound();

    // Without a mouse: the arrows (or the pad) move a cursor over the cells,
    // Space or Return picks the tile under it, an arrow with a tile picked
    // swaps toward that neighbour under the rules of a drag.
    void handleKeys();
    void renderCursor(HDC dc);
    // The option panel was open this long: the combo's deadline moves on by it.
    void skipPausedTime(std::uint32_t ms);

    // Marking and clearing.
    void checkMatches();
    void markRuns(int direction);
    void removeMarked();

    AnimationBoard* runnerBoard = nullptr;
    std::vector<Block*> blocks;  // owned, in insertion order
    Block* selected = nullptr;
    int cellCount = 0;
    bitmapPicture* bgPicture = nullptr;
    bitmapPicture* whitePicture = nullptr;
    int swapCount = 0;
    int combo = 0;
    std::int32_t comboDeadline = 0;
    int score = 0;
    bool picked = false;
    bool released = false;
    bool settled = false;
    RECT cellRects[64]{};
    RECT boardRect{};
    int pickX = 0;
    int pickY = 0;
    int refreshLeft = 0;
    int dragDirection = 0;
    std::int32_t comboTimeLeft = 0;
    std::int32_t now = 0;
    int cursorCol = 3;
    int cursorRow = 4;
    bool cursorShown = false;  // hidden until a key is used, and again when the mouse moves

private:
    // Tick comparisons by difference, so they hold across the wrap of the
    // 32-bit millisecond count.
    static bool isLater(std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) -
                                         static_cast<std::uint32_t>(b)) > 0;
    }
    void fill();
    void destroyBlock(Block* block);  // deletes it, dropping it from the selection
    void discardBlocks();             // frees the list without crediting points
    void pick(Block* block);
    void dropSelection();
    void placeCursor();
    int cursorMouseX = 0;
    int cursorMouseY = 0;
    void sendObstacle(int kind);
};
