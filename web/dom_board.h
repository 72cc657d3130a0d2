// The puzzle's board as the page's own elements: every read and write of the
// rules goes straight to the document, as WidgetBoard does with the window's
// widgets, so what the page shows is the board and nothing keeps a copy.
#pragma once

#include "board_controls.h"
#include "dom.h"
#include "form_description.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace crossing::web {

// The element carrying a control's name covers the control's place; parts
// inside it (a seat's check box and caption, a frame's fieldset) carry the
// name, a slash and the part.
[[nodiscard]] std::string elementId(form::ControlId control);
[[nodiscard]] std::string partId(form::ControlId control, std::string_view part);

inline constexpr std::string_view kTickPart = "tick";
inline constexpr std::string_view kCaptionPart = "caption";
inline constexpr std::string_view kGroupPart = "group";
inline constexpr std::string_view kDescriptionPart = "description";

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

// The attribute that gives a control the name a screen reader calls it by
// while it shows the caption; none for controls named by their own content
// (buttons, captions, the count and the direction). A seat is named by who
// stands there, so its name is written again with every caption.
struct Attribute {
    std::string_view name;
    std::string value;
};
[[nodiscard]] std::optional<Attribute> nameAttribute(const form::Control& control, std::string_view caption);

} // namespace crossing::web
