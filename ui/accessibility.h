// What a screen reader hears: names and descriptions for the window's
// controls, so that everything a sighted player reads is spoken as well. The
// rules know nothing of this; it only describes the widgets they write.
#pragma once

namespace crossing {

class CrossingForm;

// The name a seat is announced by while nobody stands there.
inline constexpr const char* kEmptySeatName = "празно място";

// Registers how the window and its seats are presented to assistive tools.
// Call once, after the application object exists and before the first window
// is built, so that no seat is ever described by the toolkit's stock interface.
void installAccessibility();

// Names and describes the controls of a built window.
void describeControls(CrossingForm& form);

} // namespace crossing
