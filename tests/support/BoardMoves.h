// Moves a player could make on the grid, found the way the board judges them.
#pragma once

class Block;
class BlockBoard;

namespace testing_support {

// Two resting neighbours whose swap the board would accept; false when the
// board offers none right now.
bool findAcceptedSwap(BlockBoard& board, Block*& a, Block*& b);

}  // namespace testing_support
