// Start-up that never ends in silence: until the window is up, Qt's messages
// wait, and whatever ends the program (Qt giving up, a library's _exit(), a
// crash) first says why in one sentence built from them; later too, a fatal
// message or a crash ends with a sentence and status 1, never a core dump.
#pragma once

namespace crossing::startup {

void begin(); // before the application object exists

// The window is up: what Qt said on the way told of no failure (of a platform it
// gave up for the next, say). Where Qt shows Vulkan windows only, says so and ends.
void end();

} // namespace crossing::startup
