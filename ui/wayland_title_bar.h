// On Wayland, unless the compositor decorates windows itself, Qt 6.4 draws
// the title bar on the window's own surface ("bradient", the only decoration
// Debian ships). That bar ignores the window's flags and always offers
// minimise and maximise, and the requests leave for the compositor before
// the program could refuse them: on weston a maximised fixed-size window no
// longer matches its maximised state and the compositor drops the program,
// and a minimised one cannot be brought back. It also centres the title in a
// bar as wide as the window, so a long title is cut off at both ends.
//
// So on Wayland the window goes under a title bar of its own: the icon, the
// title, a close button, and dragging the bar moves the window.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace crossing {

// On Wayland, a frameless window holding our title bar above `window`, to be
// shown instead of it; elsewhere nullptr. `window` must outlive the frame,
// which hands it back, as a hidden window of its own, when it goes.
std::unique_ptr<QWidget> frameOnWayland(QWidget& window);

} // namespace crossing
