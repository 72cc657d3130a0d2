// The board of the river-crossing puzzle as the rules see it: a set of
// control arrays addressed by index. The window's widgets stand behind this
// interface in the program, a plain in-memory board in the tests; the rules
// never keep a copy of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace crossing {

// Indices, ticks, list counts and the move count are 16-bit signed values.
using Int16 = std::int16_t;

// Every pair of bank controls (frames, knight lists) uses this numbering.
inline constexpr Int16 kLeftBank = 0;
inline constexpr Int16 kRightBank = 1;
inline constexpr Int16 kBankCount = 2;

// Seats of Check1: three per bank. Each boy has a fixed pair of seats, one per
// bank; the knight seat of a bank stands for any knight waiting there.
inline constexpr Int16 kSeatCount = 6;
inline constexpr Int16 kLeftFirstBoy = 0;
inline constexpr Int16 kLeftSecondBoy = 1;
inline constexpr Int16 kLeftKnight = 2;
inline constexpr Int16 kRightFirstBoy = 3;
inline constexpr Int16 kRightSecondBoy = 4;
inline constexpr Int16 kRightKnight = 5;
inline constexpr Int16 kSeatsPerBank = 3;

// Labels of Label1 that the rules write; the others never change.
inline constexpr Int16 kLabelCount = 7;
inline constexpr Int16 kMoveCountLabel = 4;
inline constexpr Int16 kDirectionLabel = 6;

// Buttons of Command1.
inline constexpr Int16 kMoveButton = 0;
inline constexpr Int16 kClearButton = 1;
inline constexpr Int16 kButtonCount = 2;

inline constexpr Int16 kUnticked = 0;
inline constexpr Int16 kTicked = 1;

// The texts the rules write (UTF-8).
inline constexpr std::string_view kBoyCaption = "Момче";
inline constexpr std::string_view kKnightCaption = "Рицар";
inline constexpr std::string_view kEmptyCaption = "";
inline constexpr std::string_view kKnightEntry = "1";
inline constexpr std::string_view kToTheRight = "вдясно";
inline constexpr std::string_view kToTheLeft = "вляво";

// The operations the rules perform on the board, and no others. Every write
// must be visible to the user as soon as it returns.
class BoardControls {
public:
    virtual ~BoardControls() = default;

    // Check1(seat), seat 0 to 5: who stands there, and the user's tick.
    [[nodiscard]] virtual std::string seatCaption(Int16 seat) const = 0;
    virtual void setSeatCaption(Int16 seat, std::string_view caption) = 0;
    [[nodiscard]] virtual Int16 seatTick(Int16 seat) const = 0;
    virtual void setSeatTick(Int16 seat, Int16 tick) = 0;

    // List1(bank): one entry per knight on that bank, appended at the end and
    // taken from the front. Removing from an empty list does nothing.
    virtual void clearKnights(Int16 bank) = 0;
    virtual void appendKnight(Int16 bank, std::string_view entry) = 0;
    virtual void removeFirstKnight(Int16 bank) = 0;
    [[nodiscard]] virtual Int16 knightCount(Int16 bank) const = 0;

    // Frame1(bank): while disabled, the user cannot change the bank's ticks.
    virtual void setBankEnabled(Int16 bank, bool enabled) = 0;

    // Label1(label): only the move count and direction labels are written.
    virtual void setLabelCaption(Int16 label, std::string_view caption) = 0;

protected:
    BoardControls() = default;
    BoardControls(const BoardControls&) = default;
    BoardControls& operator=(const BoardControls&) = default;
};

// A control index as a position in a container; indices are never negative.
[[nodiscard]] constexpr std::size_t slot(int index) { return static_cast<std::size_t>(index); }

// The bank a seat belongs to, and the seat of a role on a bank.
[[nodiscard]] constexpr Int16 bankOfSeat(Int16 seat) { return seat < kSeatsPerBank ? kLeftBank : kRightBank; }
[[nodiscard]] constexpr Int16 firstSeatOfBank(Int16 bank) { return static_cast<Int16>(bank * kSeatsPerBank); }

// The direction label's word for a crossing that ends at the bank.
[[nodiscard]] constexpr std::string_view directionTowards(Int16 bank)
{
    return bank == kRightBank ? kToTheRight : kToTheLeft;
}

} // namespace crossing
