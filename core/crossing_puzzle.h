// The rules of the river crossing: the reset and the move, working on a board
// through BoardControls. The puzzle keeps only where the boat lies and how many
// moves were made; who stands where is read back from the board each time.
#pragma once

#include "board_controls.h"

#include <optional>

namespace crossing {

class CrossingPuzzle {
public:
    // The board must outlive the puzzle.
    explicit CrossingPuzzle(BoardControls& board) : board_(board) {}

    // The window's load handler: puts the board into the starting position.
    void OnLoad();

    // The handler of both command buttons. Index 1 (Clear) starts again; any
    // other index (Move) carries the ticked passengers from the boat's bank,
    // or does nothing at all if the selection breaks the boat's rules.
    void OnCommandClick(Int16 index);

    // 0 while the boat lies at the left bank, 1 at the right; empty until the
    // first reset.
    [[nodiscard]] std::optional<Int16> BoatSide() const { return boatSide_; }

    // Moves made since the last reset; stops at 32767.
    [[nodiscard]] Int16 MoveCount() const { return moveCount_; }

    // Starts counting from the given value without touching the board, so
    // that tests can reach the counter's ceiling without 32767 moves.
    void presetMoveCount(Int16 count) { moveCount_ = count; }

private:
    void ResetPuzzle();
    // Carries the ticked passengers from the bank; false, changing nothing,
    // if the selection breaks the boat's rules.
    [[nodiscard]] bool cross(Int16 from);
    void finishMove();

    [[nodiscard]] bool isTicked(Int16 seat) const;
    [[nodiscard]] bool isUnticked(Int16 seat) const;
    [[nodiscard]] bool carriesSomeone(Int16 bank) const;
    [[nodiscard]] bool boyStandsOn(Int16 bank) const;

    BoardControls& board_;
    std::optional<Int16> boatSide_;
    Int16 moveCount_ = 0;
};

} // namespace crossing
