// The page's form as markup, written from the window's description when the
// page is built, so that the browser parses it with the rest of the page and
// the WebAssembly only attaches the rules to it; and the media of the style
// sheets that lay it out on screens other than a desktop's.
#pragma once

#include <string>

namespace crossing::web {

// The form, every control's description for screen readers, and the
// announcer.
[[nodiscard]] std::string pageMarkup();

// Where the controls flow in a grid as wide as the screen, every target a
// fingertip's size: a screen narrower than the form, or any screen whose
// primary pointer is a finger.
[[nodiscard]] std::string flowLayoutMedia();

// Where the flowing controls stand in the window's three columns: a touch
// screen at least as wide as the form.
[[nodiscard]] std::string wideTouchLayoutMedia();

} // namespace crossing::web
