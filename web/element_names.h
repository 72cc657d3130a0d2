// How the page's elements are named after the window's controls, and how a
// control's element carries the name a screen reader calls it by: shared by
// the markup written when the page is built and the board that rewrites
// names as the rules change captions.
#pragma once

#include "form_description.h"

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

// Elements of the page itself.
inline constexpr std::string_view kFormId = "form";
inline constexpr std::string_view kAnnouncerId = "announcer";

// The element that takes the control's focus: a seat's check box, or the
// control's own element.
[[nodiscard]] std::string focusElementId(const form::Control& control);

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
