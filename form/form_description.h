// The puzzle's window as data: its frame, font and colours, and every control
// with its role, place, text, colour, tab place and stacking place, plus what
// a screen reader is told about each; and the answers every front end needs
// from it: the focus order and the sentences said after a command. Front ends
// build their window by walking this table; nothing here knows how any
// toolkit draws a control.
#pragma once

#include "board_controls.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace crossing::form {

// The control arrays, addressed by name and index as the rules address them.
enum class ControlArray : std::uint8_t { Frame1, Check1, Command1, List1, Label1, Text1 };

// The text boxes of Text1: the statement and the aphorism.
inline constexpr Int16 kTextCount = 2;

// How many controls an array holds: the rules' banks, seats, buttons and
// labels, and the window's two text boxes.
[[nodiscard]] constexpr Int16 arrayLength(ControlArray array)
{
    switch (array) {
    case ControlArray::Frame1:
    case ControlArray::List1:
        return kBankCount;
    case ControlArray::Check1:
        return kSeatCount;
    case ControlArray::Command1:
        return kButtonCount;
    case ControlArray::Label1:
        return kLabelCount;
    case ControlArray::Text1:
        return kTextCount;
    }
    return 0;
}

// What a control is for. Front ends present a control by its role, and its
// role decides whether it can take the focus.
enum class Role : std::uint8_t {
    Bank,       // the frame around a bank's seats, locked while the boat is away
    Seat,       // a tick box named by who stands there
    Command,    // a button the rules answer
    KnightList, // the knights on one bank, named by the caption above it
    Heading,    // the line that heads the window
    Caption,    // fixed text naming what stands beside or below it
    Value,      // what the rules last wrote (the count, the direction), named by it
    Statement,  // the problem statement, read-only
    Aphorism,   // a saying the window keeps with the statement
};

enum class ControlKind : std::uint8_t {
    Frame,      // group box with its caption in the top border; holds seats
    TickBox,    // two-state check box, caption to the right of the square
    PushButton, // whole face in its own colour
    ListBox,    // plain single-selection list, unsorted
    Label,      // opaque background, text centred horizontally
    TextBox,    // multi-line, read-only, wrapping, vertical scroll bar
};

// The kind of control that plays a role.
[[nodiscard]] constexpr ControlKind kindOf(Role role)
{
    switch (role) {
    case Role::Bank:
        return ControlKind::Frame;
    case Role::Seat:
        return ControlKind::TickBox;
    case Role::Command:
        return ControlKind::PushButton;
    case Role::KnightList:
        return ControlKind::ListBox;
    case Role::Heading:
    case Role::Caption:
    case Role::Value:
        return ControlKind::Label;
    case Role::Statement:
    case Role::Aphorism:
        return ControlKind::TextBox;
    }
    return ControlKind::Label;
}

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

// "#RRGGBB", upper case.
[[nodiscard]] std::string hex(Colour colour);

// Positions and sizes are kept in twips, 1/1440 inch: 15 to a pixel at 96
// dots per inch, the density the layout was drawn for.
inline constexpr int kTwipsPerPixel = 15;

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Pixels {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const Pixels&, const Pixels&) = default;
};

[[nodiscard]] constexpr Pixels toPixels(Twips place)
{
    return {place.left / kTwipsPerPixel, place.top / kTwipsPerPixel, place.width / kTwipsPerPixel,
            place.height / kTwipsPerPixel};
}

struct ControlId {
    ControlArray array = ControlArray::Frame1;
    Int16 index = 0;

    friend constexpr bool operator==(const ControlId&, const ControlId&) = default;
};

struct Control {
    ControlId id;
    Role role = Role::Caption;
    // The frame the control sits in; none for a control of the window itself.
    std::optional<ControlId> parent;
    // Relative to the parent frame's outer corner, or to the client area.
    Twips place;
    // Caption, or the text of a text box; the rules rewrite some of them.
    std::string_view text;
    // None: the system's own window colours (lists and text boxes).
    std::optional<Colour> background;
    // Keyboard focus order over the whole window, 0 first. Labels and frames
    // have a place too but never take the focus.
    int tabPlace = 0;
    // Among controls of the same parent, 0 lies lowest.
    int stackPlace = 0;
    bool shown = true;

    // For screen readers. An empty name means the control is named by its
    // own caption or text.
    std::string_view accessibleName;
    // Names the control after another one's caption (a list by its heading).
    std::optional<ControlId> labelledBy;
    // What the control is for; a seat's is prefixed with its bank.
    std::string_view accessibleDescription;

    [[nodiscard]] constexpr ControlKind kind() const { return kindOf(role); }
};

struct Font {
    std::string_view face;
    // A metric-compatible face to ask for where the first is missing.
    std::string_view substitute;
    int points = 0;
};

struct Window {
    // Where the program is published; the title bar shows it before the title.
    std::string_view siteAddress;
    std::string_view programTitle;
    Twips clientArea;
    Colour background;
    Font font;
};

[[nodiscard]] const Window& window();

// The title bar's text: the site address, two spaces, the program's title.
// Where that does not fit (the program's own bar on Wayland) the program's
// title stands alone.
[[nodiscard]] std::string fullTitle(const Window& window);

// Every control, in the order the window creates them: each frame before the
// seats inside it.
[[nodiscard]] std::span<const Control> controls();

// The controls that take the focus, in the order Tab visits them. A seat
// drops out of the cycle while its bank is locked.
[[nodiscard]] std::span<const Control* const> focusOrder();
// The control that has the focus when the window opens.
[[nodiscard]] const Control& firstFocus();

// The control of an array at an index; throws std::out_of_range for a name
// the window does not have.
[[nodiscard]] const Control& control(ControlArray array, Int16 index);

// "Check1", "Label1", ...
[[nodiscard]] std::string_view arrayName(ControlArray array);
// "Check1(3)".
[[nodiscard]] std::string controlName(ControlId id);
[[nodiscard]] std::string_view kindName(ControlKind kind);

// Where a control lies in the client area, at 96 dots per inch.
[[nodiscard]] Pixels windowPixels(const Control& control);

// What a screen reader calls the control: its caption, the caption of the
// control that labels it, or the name it is given here. A seat is named by
// who stands there, so its name follows the rules' captions.
[[nodiscard]] std::string accessibleName(const Control& control, std::string_view caption);
[[nodiscard]] std::string accessibleDescription(const Control& control);

// A seat nobody stands on is announced as such: a bare tick box says nothing.
inline constexpr std::string_view kEmptySeatName = "празно място";

// What a screen reader says after a move was carried out, without the focus
// moving: the count and the direction as the labels now show them and, once
// every knight is across, that the count stands as the result. A refused
// move is not announced, as nothing changes on screen either. The texts are
// templates in which {count} and {direction} stand for the labels' texts.
struct Announcements {
    std::string_view move;
    std::string_view everyKnightAcross;
    std::string_view startAgain; // when Clear starts the puzzle again
};
[[nodiscard]] const Announcements& announcements();

} // namespace crossing::form
