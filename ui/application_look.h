// How Qt's own parts look and speak in this program: the program, its tests
// and its benchmark all start with this, so that each sees the same window.
#pragma once

#include <QFont>

namespace crossing {

// The window's font, as its description names it.
QFont windowFont();

// Gives the application one style on every desktop, the window's font, and
// Qt's own texts (the statement's context menu, for one) in Bulgarian like
// every other text of the window, whatever the user's locale. Menus keep the
// desktop's font. Call it once the application
// exists; calling it again sets the style again and loads nothing twice.
// Returns false if Qt's Bulgarian translation is not installed (Debian:
// qt6-translations-l10n): Qt's texts then stay English.
bool applyApplicationLook();

} // namespace crossing
