// The puzzle's board as the page's own elements: every read and write of the
// rules goes straight to the document, as WidgetBoard does with the window's
// widgets, so what the page shows is the board and nothing keeps a copy.
#pragma once

#include "board_controls.h"
#include "dom.h"
#include "element_names.h"

#include <array>
#include <string>
#include <string_view>

namespace crossing::web {

class DomBoard final : public BoardControls {
public:
    // Finds the board's elements; the form must be in the document first.
    void attach();

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

private:
    struct Seat {
        dom::Element tick = 0;
        dom::Element caption = 0;
    };
    std::array<Seat, kSeatCount> seats_{};
    std::array<dom::Element, kBankCount> knightLists_{};
    std::array<dom::Element, kBankCount> banks_{};
    std::array<dom::Element, kLabelCount> labels_{};
};

} // namespace crossing::web
