// One game of the puzzle on a board: the rules over the board's controls, and
// what a screen reader is told after each command. Both front ends hold one
// and only show its answers; what the board looked like before a command is
// this layer's own business.
#pragma once

#include "board_controls.h"
#include "crossing_puzzle.h"

#include <optional>
#include <string>

namespace crossing::form {

class PlaySession {
public:
    // The board must outlive the session.
    explicit PlaySession(BoardControls& board) : board_(board), puzzle_(board) {}

    // The window's load handler: the board in the starting position.
    void OnLoad() { puzzle_.OnLoad(); }

    // Command1(index) was pressed: runs the rules, and answers the sentence
    // to say without the focus moving, or nothing when nothing changed on
    // screen (a refused move).
    [[nodiscard]] std::string OnCommandClick(Int16 index);

    [[nodiscard]] const CrossingPuzzle& puzzle() const { return puzzle_; }
    // For tests that start the count near its ceiling.
    [[nodiscard]] CrossingPuzzle& puzzle() { return puzzle_; }

private:
    // What a listener is told of depends on: where the boat lies, the count,
    // and whether any knight still waits on the left bank.
    struct Snapshot {
        std::optional<Int16> boatSide;
        Int16 moveCount = 0;
        Int16 knightsOnLeftBank = 0;
    };
    [[nodiscard]] Snapshot snapshot() const;
    [[nodiscard]] static std::string spoken(Int16 index, const Snapshot& before, const Snapshot& after);

    BoardControls& board_;
    CrossingPuzzle puzzle_;
};

} // namespace crossing::form
