// Start-up failures: whatever keeps the window from opening ends the program
// with one sentence on stderr naming the cause, in Qt's own words where Qt
// gave a reason, and exit status 1 -- never Qt's plugin diagnostics followed
// by an abort and a core dump.
#pragma once

namespace crossing::startup {

// False, after saying so, where X11 or Wayland is the display system and
// neither the environment nor the command line names a display or a platform.
bool displayNamed(int argc, char* argv[]);

// Holds back Qt's messages from here on. A fatal one ends the program with
// exit status 1 and one sentence built from what Qt said before it.
void holdQtMessages(int argc, char* argv[]);

// Ends the program with exit status 1, after saying so, when Qt started a
// platform without any screen (the framebuffer platform without a
// framebuffer): no window could be shown on it.
void requireScreen();

// The window is up: shows the messages held back and lets Qt's own handling
// of fatal messages return.
void releaseQtMessages();

} // namespace crossing::startup
