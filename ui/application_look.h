// How Qt's own parts look and speak in this program: the program, its tests
// and its benchmark all start with this, so that each sees the same window.
#pragma once

namespace crossing {

// Gives the application one style on every desktop, and Qt's own texts (the
// statement's context menu, for one) in Bulgarian like every other text of
// the window, whatever the user's locale. Call it once the application
// exists; calling it again sets the style again and loads nothing twice.
// Returns false if Qt's Bulgarian translation is not installed (Debian:
// qt6-translations-l10n): Qt's texts then stay English.
bool applyApplicationLook();

} // namespace crossing
