// A second statement of the puzzle's rules, written in terms of who stands
// where instead of in terms of controls. The randomized tests and the fuzzer
// play the same actions on the real core and on this model and compare the
// whole board after every step; a board-only invariant check sits beside it.
#pragma once

#include "crossing_puzzle.h"
#include "memory_board.h"

#include <array>
#include <cstdint>
#include <string>

namespace crossing::testing {

class ReferenceModel {
public:
    // The starting position as the window first shows it: no ticks, no direction.
    ReferenceModel() = default;

    void clear();
    // The user's click on a seat; ignored while its bank is locked, unless the
    // caller forces it (the fuzzer's way of ticking a disabled seat).
    void click(int seat, bool force = false);
    void move();
    // Starts counting from the given value; the count label changes only with
    // the next move, as in the core.
    void presetCount(int count) { moveCount_ = count; }

    [[nodiscard]] bool bankEnabled(int bank) const;
    [[nodiscard]] bool locked() const { return knightsLeft_ == 0; }
    [[nodiscard]] int boat() const { return boat_; }
    [[nodiscard]] int moveCount() const { return moveCount_; }

    // The board exactly as the window should show it now.
    [[nodiscard]] MemoryBoard expectedBoard() const;

private:
    [[nodiscard]] bool tryMove();

    std::array<bool, 2> boyOnRight_{};
    int knightsLeft_ = 3;
    int boat_ = 0;
    // The left knight seat is emptied when the last knight leaves and filled
    // again only by Clear; a knight fetched back later does not refill it.
    bool leftKnightShown_ = true;
    std::array<std::int16_t, kSeatCount> ticks_{};
    int moveCount_ = 0;
    std::string countLabel_ = "0";
    std::string direction_;
};

// What is wrong with the board, judged from the board alone, or "" if nothing.
// Holds for any sequence of clicks that honours disabled frames.
[[nodiscard]] std::string invariantViolation(const MemoryBoard& board, const CrossingPuzzle& puzzle);

// Describes the first difference between two boards, or "" if equal.
[[nodiscard]] std::string boardDifference(const MemoryBoard& actual, const MemoryBoard& expected);

// The real core and the reference model side by side.
struct Action {
    enum class Kind : std::uint8_t { Click, ForceClick, Move, Clear, PresetCount };
    Kind kind;
    int value = 0; // the seat for clicks, the count for PresetCount
};

class Playthrough {
public:
    Playthrough();
    void apply(const Action& action);
    // "" while core and model agree (and, unless a disabled seat was forced,
    // the board invariants hold); otherwise what differs.
    [[nodiscard]] std::string problem() const;

    [[nodiscard]] const MemoryBoard& board() const { return board_; }
    [[nodiscard]] const CrossingPuzzle& puzzle() const { return puzzle_; }
    [[nodiscard]] const ReferenceModel& model() const { return model_; }

private:
    MemoryBoard board_;
    CrossingPuzzle puzzle_{board_};
    ReferenceModel model_;
    bool forcedSinceClear_ = false;
};

} // namespace crossing::testing
