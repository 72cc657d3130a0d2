// Centring a new top-level window together with the frame its X11 window
// manager draws around it.
//
// What breaks: a manager places a new window's frame from the position and
// the gravity Qt declares, but the frame's size is the manager's own, and
// Qt 6.4 learns it only once the manager has set _NET_FRAME_EXTENTS; it never
// asks for it before mapping. Centred by Qt alone the client area is centred
// and the frame hangs half a title bar low, or, where Qt declares the
// frame's corner (NorthWest gravity) at the client's place, a whole title
// bar low: 18.5 px under KWin 5.27 on X11.
// How to see it: without this, start the program on Xvfb under
// `kwin_x11 --replace` (or mutter, openbox, metacity) and compare the frame
// from `xwininfo -id WID` and `xprop -id WID _NET_FRAME_EXTENTS` with the
// screen's centre.
// When it may go: once the Qt in use asks for the frame's size itself (its
// libQt6XcbQpa.so then names _NET_REQUEST_FRAME_EXTENTS, which 6.4's does
// not) and the real-window tests still find the frame centred without it.
#pragma once

#include <memory>

class QWidget;

namespace crossing::platform {

// Puts a top-level window in the middle of its screen's available area:
// under an X11 manager that tells the frame's size, the frame; elsewhere the
// client area. Nothing waits for the manager's answer. openbox, metacity and
// mutter answer the question before mapping within milliseconds; KWin 5.27
// does not take the question and tells the frame once it maps the window,
// which then moves into place once, as it appears.
class FrameCentring {
public:
    // Asks the manager, if one runs that tells the frame's size, what frame
    // it would draw around a window of WINDOW's kind (its flags are set): the
    // question goes with a stand-in, so that WINDOW itself is created once,
    // in its place. Made before the window's controls are built, so that the
    // answer can arrive while they are.
    explicit FrameCentring(QWidget& window);
    ~FrameCentring();

    FrameCentring(const FrameCentring&) = delete;
    FrameCentring& operator=(const FrameCentring&) = delete;

    // Before WINDOW is first shown: centres it with the frame the manager
    // has told by now, or else its client area; a frame told only once the
    // window is mapped moves it there once, unless it has been moved since.
    void centre();

private:
    struct Question;
    QWidget& window_;
    std::unique_ptr<Question> question_; // none without a manager to ask
};

} // namespace crossing::platform
