#include "memory_board.h"

namespace crossing {

bool MemoryBoard::clickSeat(Int16 seat)
{
    if (seat < 0 || seat >= kSeatCount || !bankEnabled(bankOfSeat(seat)))
        return false;
    Seat& s = seats[slot(seat)];
    s.tick = s.tick == kTicked ? kUnticked : kTicked;
    return true;
}

std::string MemoryBoard::seatCaption(Int16 seat) const { return seats.at(slot(seat)).caption; }

void MemoryBoard::setSeatCaption(Int16 seat, std::string_view caption)
{
    seats.at(slot(seat)).caption = caption;
}

Int16 MemoryBoard::seatTick(Int16 seat) const { return seats.at(slot(seat)).tick; }

void MemoryBoard::setSeatTick(Int16 seat, Int16 tick) { seats.at(slot(seat)).tick = tick; }

void MemoryBoard::clearKnights(Int16 bank) { lists.at(slot(bank)).clear(); }

void MemoryBoard::appendKnight(Int16 bank, std::string_view entry) { lists.at(slot(bank)).emplace_back(entry); }

void MemoryBoard::removeFirstKnight(Int16 bank)
{
    auto& list = lists.at(slot(bank));
    if (!list.empty())
        list.erase(list.begin());
}

Int16 MemoryBoard::knightCount(Int16 bank) const { return static_cast<Int16>(lists.at(slot(bank)).size()); }

void MemoryBoard::setBankEnabled(Int16 bank, bool enabled) { frames.at(slot(bank)) = enabled; }

void MemoryBoard::setLabelCaption(Int16 label, std::string_view caption) { labels.at(slot(label)) = caption; }

} // namespace crossing
