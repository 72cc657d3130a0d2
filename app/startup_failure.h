// Start-up that never ends in silence: until the window is up, Qt's messages
// wait, and whatever ends the program (Qt giving up, a library's _exit(), a
// crash) first says why in one sentence built from them, with a non-zero exit
// status. Later too, a fatal message or a crash ends with a sentence, status 1.
#pragma once

namespace crossing::startup {

void begin(); // before the application object exists

// The window is up: what Qt said on the way described no failure (a platform
// it gave up on for the next in its list, say). Ends the program, saying
// why, if Qt's platform shows Vulkan windows only.
void end();

} // namespace crossing::startup
