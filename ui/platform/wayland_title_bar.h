// On Wayland the window goes under a title bar of its own: the icon, the
// title, a close button, and dragging the bar moves the window.
//
// What breaks: unless the compositor decorates windows itself, Qt 6.4 draws
// the title bar on the window's own surface ("bradient", the only decoration
// Debian ships). That bar ignores the window's flags and always offers
// minimise and maximise, and the requests leave for the compositor before
// the program could refuse them: on weston a maximised fixed-size window no
// longer matches its maximised state and the compositor drops the program,
// and a minimised one cannot be brought back. It also centres the title in a
// bar as wide as the window, so a long title is cut off at both ends.
// (mutter decorates nothing and KWin draws no bar unless asked, so there
// this bar is the only one too.)
// How to see it: make frameOnWayland return nullptr and start the program
// under weston (QT_QPA_PLATFORM=wayland): the bar shows the two buttons, and
// maximising ends the program.
// When it may go: once the Qt in use draws no minimise or maximise button
// for a window without those flags; tests/desktop/wayland_window.sh checks
// the bar.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace crossing::platform {

// On Wayland, a frameless window holding our title bar above `window`, to be
// shown instead of it; elsewhere nullptr. `window` must outlive the frame,
// which hands it back, as a hidden window of its own, when it goes.
std::unique_ptr<QWidget> frameOnWayland(QWidget& window);

} // namespace crossing::platform
