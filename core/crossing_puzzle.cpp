#include "crossing_puzzle.h"

#include <array>
#include <limits>
#include <string>

namespace crossing {

namespace {

constexpr Int16 kKnightsInPlay = 3;

// A bank's seats: its first and second boy's, then its knight's.
struct BankSeats {
    std::array<Int16, 2> boys;
    Int16 knight;
};

constexpr BankSeats seatsOf(Int16 bank)
{
    const Int16 first = firstSeatOfBank(bank);
    return {{first, static_cast<Int16>(first + 1)}, static_cast<Int16>(first + 2)};
}

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
    if (cross(*boatSide_))
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

// The boat's rules and the hand-over are the same from either bank; only the
// lock belongs to the left one, which every knight must leave.
bool CrossingPuzzle::cross(Int16 from)
{
    const Int16 to = from == kLeftBank ? kRightBank : kLeftBank;
    const BankSeats here = seatsOf(from);
    const BankSeats there = seatsOf(to);
    for (const Int16 boy : here.boys) {
        if (isTicked(boy) && isTicked(here.knight))
            return false; // a boy may not travel with a knight
    }
    // Nobody chosen. The empty-boat check below refuses this too; kept so the
    // checks read as the story states the boat's rules.
    if (isUnticked(here.boys[0]) && isUnticked(here.boys[1]) && isUnticked(here.knight))
        return false;
    if (!carriesSomeone(from))
        return false; // the boat cannot cross by itself
    // The last knight may only go over if a boy already waits there to bring
    // the boat on; otherwise the boat would end on the wrong side for good.
    const bool lastKnightLeaves = from == kLeftBank && isTicked(here.knight) && board_.knightCount(from) == 1;
    if (lastKnightLeaves && !boyStandsOn(to))
        return false;

    boatSide_ = to;
    // A ticked knight seat travels alone (the checks above), so with the
    // empty-boat check a knight stands on it.
    if (isTicked(here.knight)) {
        board_.appendKnight(to, kKnightEntry);
        // The left knight seat is not written on the way back: it shows a
        // knight from the reset until the lock empties it.
        if (to == kRightBank)
            board_.setSeatCaption(there.knight, kKnightCaption);
        board_.setSeatTick(here.knight, kUnticked);
        board_.removeFirstKnight(from);
        if (board_.knightCount(from) == 0)
            board_.setSeatCaption(here.knight, kEmptyCaption);
    }
    for (std::size_t boy = 0; boy < here.boys.size(); ++boy) {
        if (isTicked(here.boys[boy])) {
            board_.setSeatCaption(here.boys[boy], kEmptyCaption);
            board_.setSeatTick(here.boys[boy], kUnticked);
            board_.setSeatCaption(there.boys[boy], kBoyCaption);
        }
    }
    board_.setBankEnabled(from, false);
    // Every knight is across: both banks lock until Clear.
    const bool locks = from == kLeftBank && board_.knightCount(from) == 0;
    board_.setBankEnabled(to, !locks);
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

bool CrossingPuzzle::boyStandsOn(Int16 bank) const
{
    const BankSeats seats = seatsOf(bank);
    return board_.seatCaption(seats.boys[0]) == kBoyCaption
           || board_.seatCaption(seats.boys[1]) == kBoyCaption;
}

} // namespace crossing
