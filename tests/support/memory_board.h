// A board held in plain memory, for running the puzzle without a window (the
// tests, the benchmark and the fuzzer). It also plays the user's part: ticking
// a seat is honoured only while the seat's bank frame is enabled.
#pragma once

#include "board_controls.h"

#include <array>
#include <string>
#include <vector>

namespace crossing {

struct Seat {
    std::string caption;
    Int16 tick = kUnticked;

    friend bool operator==(const Seat&, const Seat&) = default;
};

class MemoryBoard final : public BoardControls {
public:
    // A freshly built board: empty captions and lists, no ticks, every frame
    // enabled, as the window's controls are before the first reset.
    MemoryBoard() = default;

    // The user clicks a seat. Returns false, changing nothing, if the seat's
    // frame is disabled or the index names no seat.
    bool clickSeat(Int16 seat);

    std::string seatCaption(Int16 seat) const override;
    void setSeatCaption(Int16 seat, std::string_view caption) override;
    Int16 seatTick(Int16 seat) const override;
    void setSeatTick(Int16 seat, Int16 tick) override;
    void clearKnights(Int16 bank) override;
    void appendKnight(Int16 bank, std::string_view entry) override;
    void removeFirstKnight(Int16 bank) override;
    Int16 knightCount(Int16 bank) const override;
    void setBankEnabled(Int16 bank, bool enabled) override;
    void setLabelCaption(Int16 label, std::string_view caption) override;

    [[nodiscard]] bool bankEnabled(Int16 bank) const { return frames.at(slot(bank)); }
    [[nodiscard]] const std::string& labelCaption(Int16 label) const
    {
        return labels.at(slot(label));
    }
    [[nodiscard]] const std::vector<std::string>& knights(Int16 bank) const
    {
        return lists.at(slot(bank));
    }

    // Spelled out: a defaulted comparison would be deleted, as the interface
    // it implements has none.
    friend bool operator==(const MemoryBoard& a, const MemoryBoard& b)
    {
        return a.seats == b.seats && a.lists == b.lists && a.frames == b.frames && a.labels == b.labels;
    }

    std::array<Seat, kSeatCount> seats{};
    std::array<std::vector<std::string>, 2> lists{};
    std::array<bool, 2> frames{true, true};
    std::array<std::string, kLabelCount> labels{};
};

} // namespace crossing
