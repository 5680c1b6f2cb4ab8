#include "BoardMoves.h"

#include <string>

#include "engine/pictureRegistry.h"
#include "match3/Block.h"
#include "match3/BlockBoard.h"

namespace testing_support {

void arrangeBoard(BlockBoard& board, std::initializer_list<Cell> cells) {
    for (std::size_t i = 0; i < board.blocks.size() && i < 64; ++i) {
        Block* b = board.blocks[i];
        b->col = b->swapCol = static_cast<int>(i % 8);
        b->row = b->swapRow = static_cast<int>(i / 8);
        b->x = Block::cellX(b->col);
        b->y = Block::cellY(b->row);
        b->rect = RECT{b->x, b->y, b->x + Block::kSize, b->y + Block::kSize};
        b->kind = noLineKind(b->col, b->row);
        b->swapping = b->moving = b->targeted = b->markedH = b->markedV = false;
        b->special = 0;
    }
    for (const Cell& c : cells) board.blockAt(c.col, c.row)->kind = c.kind;
    for (Block* b : board.blocks)
        b->picture = pictureRegistry::get()->findPicture(("block" + std::to_string(b->kind)).c_str());
    board.settled = true;
    board.picked = board.released = false;
    board.selected = nullptr;
}

bool findAcceptedSwap(BlockBoard& board, Block*& a, Block*& b) {
    for (Block* first : board.blocks) {
        if (first->moving || first->row < 0) continue;
        for (int dir : {BlockBoard::kRight, BlockBoard::kDown}) {  // every pair once
            Block* second = board.findNeighbour(first, dir);
            if (!second || second->moving) continue;
            if (board.canMatchAt(first, second) || board.canMatchAt(second, first)) {
                a = first;
                b = second;
                return true;
            }
        }
    }
    return false;
}

}  // namespace testing_support
