// Centring a top-level window together with the frame its window manager
// draws around it, before the window is first mapped.
#pragma once

class QWidget;

namespace crossing {

// Moves WINDOW, created but not yet mapped, so that its frame is centred on
// its screen's available area. Only an X11 window manager that tells a
// window's frame before mapping makes this possible; elsewhere (no manager,
// one that does not answer, Wayland, offscreen) it returns false and the
// window stays where it is.
bool centreWithFrameBeforeMapping(QWidget& window);

} // namespace crossing
