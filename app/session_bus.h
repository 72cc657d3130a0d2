// The session bus the program uses: the desktop's, never one started for it.
#pragma once

namespace crossing {

// Before the application object exists.
void useOnlyAGivenSessionBus();

} // namespace crossing
