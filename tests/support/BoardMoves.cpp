#include "BoardMoves.h"

#include "match3/Block.h"
#include "match3/BlockBoard.h"

namespace testing_support {

bool findAcceptedSwap(BlockBoard& board, Block*& a, Block*& b) {
    for (Block* first : board.blocks) {
        if (first->moving || first->row < 0) continue;
        for (int dir : {1, 3}) {  // right and down cover every pair once
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
