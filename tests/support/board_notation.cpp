#include "board_notation.h"

#include <algorithm>
#include <stdexcept>

namespace crossing::testing {

namespace {

char seatLetter(const Seat& seat)
{
    const bool ticked = seat.tick == kTicked;
    if (seat.tick != kTicked && seat.tick != kUnticked)
        return '?';
    if (seat.caption == kBoyCaption)
        return ticked ? 'b' : 'B';
    if (seat.caption == kKnightCaption)
        return ticked ? 'k' : 'K';
    if (seat.caption.empty())
        return ticked ? '*' : '_';
    return '?';
}

std::string knightsOn(const MemoryBoard& board, Int16 bank)
{
    const auto& list = board.knights(bank);
    const bool wellFormed =
        std::all_of(list.begin(), list.end(), [](const auto& e) { return e == kKnightEntry; });
    return wellFormed ? std::to_string(list.size()) : "?";
}

std::string direction(const std::string& label)
{
    if (label == kToTheRight)
        return ">";
    if (label == kToTheLeft)
        return "<";
    return label.empty() ? "." : "?";
}

} // namespace

std::string notation(const MemoryBoard& board, const CrossingPuzzle& puzzle)
{
    std::string out;
    for (Int16 seat = 0; seat < kSeatCount; ++seat) {
        if (seat == kSeatsPerBank)
            out += '|';
        out += seatLetter(board.seats[std::size_t(seat)]);
    }
    out += ' ' + knightsOn(board, kLeftBank) + ':' + knightsOn(board, kRightBank) + ' ';
    out += board.bankEnabled(kLeftBank) ? '+' : '-';
    out += board.bankEnabled(kRightBank) ? '+' : '-';
    const auto boat = puzzle.BoatSide();
    out += !boat ? " ?" : *boat == kLeftBank ? " L" : *boat == kRightBank ? " R" : " ?";
    out += ' ' + board.labelCaption(kMoveCountLabel) + ' ' + direction(board.labelCaption(kDirectionLabel));
    return out;
}

std::vector<Action> actionsOf(std::string_view script)
{
    std::vector<Action> actions;
    for (const char c : script) {
        if (c >= '0' && c < '0' + kSeatCount)
            actions.push_back({Action::Kind::Click, c - '0'});
        else if (c == 'M')
            actions.push_back({Action::Kind::Move});
        else if (c == 'C')
            actions.push_back({Action::Kind::Clear});
        else if (c != ' ')
            throw std::invalid_argument("unknown action '" + std::string(1, c) + "' in a script");
    }
    return actions;
}

void play(Playthrough& game, std::string_view script)
{
    for (const Action& action : actionsOf(script))
        game.apply(action);
}

} // namespace crossing::testing
