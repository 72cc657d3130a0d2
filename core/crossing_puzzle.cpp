#include "crossing_puzzle.h"

#include <limits>
#include <string>

namespace crossing {

namespace {
constexpr Int16 kKnightsInPlay = 3;
} // namespace

void CrossingPuzzle::OnLoad() { ResetPuzzle(); }

void CrossingPuzzle::OnCommandClick(Int16 index)
{
    if (index == kClearButton) {
        ResetPuzzle();
        return;
    }
    if (!boatSide_)
        return; // no board to play on before the first reset
    const bool crossed = *boatSide_ == kLeftBank ? crossFromLeft() : crossFromRight();
    if (crossed)
        finishMove();
}

// Ticks and the direction label are left as they are: a tick the user set
// before Clear stays until the user removes it or a move consumes it.
void CrossingPuzzle::ResetPuzzle()
{
    board_.clearKnights(kLeftBank);
    board_.clearKnights(kRightBank);
    for (Int16 i = 0; i < kKnightsInPlay; ++i)
        board_.appendKnight(kLeftBank, kKnightEntry);
    for (Int16 seat = 0; seat < kSeatCount; ++seat)
        board_.setSeatCaption(seat, kEmptyCaption);
    board_.setSeatCaption(kLeftFirstBoy, kBoyCaption);
    board_.setSeatCaption(kLeftSecondBoy, kBoyCaption);
    board_.setSeatCaption(kLeftKnight, kKnightCaption);
    boatSide_ = kLeftBank;
    board_.setBankEnabled(kLeftBank, true);
    board_.setBankEnabled(kRightBank, false);
    moveCount_ = 0;
    board_.setLabelCaption(kMoveCountLabel, std::to_string(moveCount_));
}

bool CrossingPuzzle::crossFromLeft()
{
    if (isTicked(kLeftFirstBoy) && isTicked(kLeftKnight))
        return false; // a boy may not travel with a knight
    if (isTicked(kLeftSecondBoy) && isTicked(kLeftKnight))
        return false;
    // Nobody chosen. The empty-boat check below refuses this too; kept so the
    // checks read as the story states the boat's rules.
    if (isUnticked(kLeftFirstBoy) && isUnticked(kLeftSecondBoy) && isUnticked(kLeftKnight))
        return false;
    if (!carriesSomeone(kLeftBank))
        return false; // the boat cannot cross by itself
    // The last knight may only go over if a boy already waits there to bring
    // the boat on; otherwise the boat would end on the wrong side for good.
    if (isTicked(kLeftKnight) && board_.knightCount(kLeftBank) == 1 && !boyStandsOnRight())
        return false;

    boatSide_ = kRightBank;
    if (isTicked(kLeftKnight)) {
        board_.appendKnight(kRightBank, kKnightEntry);
        board_.setSeatCaption(kRightKnight, kKnightCaption);
        board_.setSeatTick(kLeftKnight, kUnticked);
        board_.removeFirstKnight(kLeftBank);
    }
    if (isTicked(kLeftFirstBoy)) {
        board_.setSeatCaption(kLeftFirstBoy, kEmptyCaption);
        board_.setSeatTick(kLeftFirstBoy, kUnticked);
        board_.setSeatCaption(kRightFirstBoy, kBoyCaption);
    }
    if (isTicked(kLeftSecondBoy)) {
        board_.setSeatCaption(kLeftSecondBoy, kEmptyCaption);
        board_.setSeatTick(kLeftSecondBoy, kUnticked);
        board_.setSeatCaption(kRightSecondBoy, kBoyCaption);
    }
    board_.setBankEnabled(kLeftBank, false);
    if (board_.knightCount(kLeftBank) != 0) {
        board_.setBankEnabled(kRightBank, true);
    } else {
        // Every knight is across: both banks lock until Clear.
        board_.setSeatCaption(kLeftKnight, kEmptyCaption);
        board_.setBankEnabled(kRightBank, false);
    }
    return true;
}

bool CrossingPuzzle::crossFromRight()
{
    if (isTicked(kRightFirstBoy) && isTicked(kRightKnight))
        return false;
    if (isTicked(kRightSecondBoy) && isTicked(kRightKnight))
        return false;
    if (isUnticked(kRightFirstBoy) && isUnticked(kRightSecondBoy) && isUnticked(kRightKnight))
        return false; // nobody chosen; as on the left, the empty-boat check covers it too
    if (!carriesSomeone(kRightBank))
        return false;

    if (isTicked(kRightFirstBoy)) {
        board_.setSeatCaption(kRightFirstBoy, kEmptyCaption);
        board_.setSeatTick(kRightFirstBoy, kUnticked);
        board_.setSeatCaption(kLeftFirstBoy, kBoyCaption);
    }
    if (isTicked(kRightSecondBoy)) {
        board_.setSeatCaption(kRightSecondBoy, kEmptyCaption);
        board_.setSeatTick(kRightSecondBoy, kUnticked);
        board_.setSeatCaption(kLeftSecondBoy, kBoyCaption);
    }
    // A ticked knight seat travels alone (the checks above), so with the
    // empty-boat check it is never empty here; the caption test stays as a
    // guard against taking a knight from an empty list.
    if (!board_.seatCaption(kRightKnight).empty() && isTicked(kRightKnight)) {
        board_.appendKnight(kLeftBank, kKnightEntry);
        board_.setSeatTick(kRightKnight, kUnticked);
        board_.removeFirstKnight(kRightBank);
        if (board_.knightCount(kRightBank) == 0)
            board_.setSeatCaption(kRightKnight, kEmptyCaption);
    }
    board_.setBankEnabled(kLeftBank, true);
    board_.setBankEnabled(kRightBank, false);
    boatSide_ = kLeftBank;
    return true;
}

void CrossingPuzzle::finishMove()
{
    // The count stands at its ceiling rather than wrapping to a negative score.
    if (moveCount_ < std::numeric_limits<Int16>::max())
        ++moveCount_;
    board_.setLabelCaption(kMoveCountLabel, std::to_string(moveCount_));
    board_.setLabelCaption(kDirectionLabel, directionTowards(*boatSide_));
}

bool CrossingPuzzle::isTicked(Int16 seat) const { return board_.seatTick(seat) == kTicked; }

bool CrossingPuzzle::isUnticked(Int16 seat) const { return board_.seatTick(seat) == kUnticked; }

// True if a ticked seat of the bank has somebody standing on it.
bool CrossingPuzzle::carriesSomeone(Int16 bank) const
{
    const Int16 first = firstSeatOfBank(bank);
    for (Int16 seat = first; seat < first + kSeatsPerBank; ++seat) {
        if (isTicked(seat) && !board_.seatCaption(seat).empty())
            return true;
    }
    return false;
}

bool CrossingPuzzle::boyStandsOnRight() const
{
    return board_.seatCaption(kRightFirstBoy) == kBoyCaption
           || board_.seatCaption(kRightSecondBoy) == kBoyCaption;
}

} // namespace crossing
