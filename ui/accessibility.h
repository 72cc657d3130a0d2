// What a screen reader hears: names and descriptions for the window's
// controls, so that everything a sighted player reads is spoken as well. The
// rules know nothing of this; it only describes the widgets they write.
#pragma once

#include "form_description.h"

class QWidget;

namespace crossing {

// Registers how the window and its seats are presented to assistive tools.
// The window calls it before it builds its first control, so that no seat is
// ever described by the toolkit's stock interface; calling it again is harmless.
void installAccessibility();

// Names and describes one built control as the form's description says.
void describeControl(QWidget& widget, const form::Control& control);

} // namespace crossing
