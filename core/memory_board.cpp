#include "memory_board.h"

namespace crossing {

namespace {
std::size_t at(Int16 index) { return static_cast<std::size_t>(index); }
} // namespace

bool MemoryBoard::clickSeat(Int16 seat)
{
    if (seat < 0 || seat >= kSeatCount || !bankEnabled(bankOfSeat(seat)))
        return false;
    Seat& s = seats[at(seat)];
    s.tick = s.tick == kTicked ? kUnticked : kTicked;
    return true;
}

std::string MemoryBoard::seatCaption(Int16 seat) const { return seats.at(at(seat)).caption; }

void MemoryBoard::setSeatCaption(Int16 seat, std::string_view caption)
{
    seats.at(at(seat)).caption = caption;
}

Int16 MemoryBoard::seatTick(Int16 seat) const { return seats.at(at(seat)).tick; }

void MemoryBoard::setSeatTick(Int16 seat, Int16 tick) { seats.at(at(seat)).tick = tick; }

void MemoryBoard::clearKnights(Int16 bank) { lists.at(at(bank)).clear(); }

void MemoryBoard::appendKnight(Int16 bank, std::string_view entry) { lists.at(at(bank)).emplace_back(entry); }

void MemoryBoard::removeFirstKnight(Int16 bank)
{
    auto& list = lists.at(at(bank));
    if (!list.empty())
        list.erase(list.begin());
}

Int16 MemoryBoard::knightCount(Int16 bank) const { return static_cast<Int16>(lists.at(at(bank)).size()); }

void MemoryBoard::setBankEnabled(Int16 bank, bool enabled) { frames.at(at(bank)) = enabled; }

void MemoryBoard::setLabelCaption(Int16 label, std::string_view caption) { labels.at(at(label)) = caption; }

} // namespace crossing
