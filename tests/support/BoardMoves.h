// Boards a test or a review frame can set up, and moves a player could make,
// found the way the board judges them.
#pragma once

#include <initializer_list>

class Block;
class BlockBoard;

namespace testing_support {

// Kinds by row, one digit per column; no line of three anywhere.
inline const char* const kNoLines[8] = {"12345612", "34561234", "56123456", "12345612",
                                        "34561234", "56123456", "12345612", "34561234"};
inline int noLineKind(int col, int row) { return kNoLines[row][col] - '0'; }

struct Cell {
    int col, row, kind;
};
// Every block of a full board at rest in row-major cells with the no-line
// kinds, apart from the given cells; unmarked, unselected, the board settled.
void arrangeBoard(BlockBoard& board, std::initializer_list<Cell> cells = {});

// Two resting neighbours whose swap the board would accept; false when the
// board offers none right now.
bool findAcceptedSwap(BlockBoard& board, Block*& a, Block*& b);

}  // namespace testing_support
