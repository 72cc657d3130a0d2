// How the program looks and how Qt's own parts speak in it: the window's font
// and colour scheme, and the application's style, fonts and translation. The
// program, its tests and its benchmark all start with applyApplicationLook,
// so that each sees the same window.
#pragma once

#include <QFont>
#include <QPalette>

namespace crossing {

// The window's font, as its description names it.
QFont windowFont();

// The light scheme the window keeps under any desktop scheme; the menus the
// toolkit opens for it keep the desktop's.
QPalette windowScheme();

// Gives the application one style on every desktop, the window's font (the
// menus keep the desktop's), and Qt's own texts (the statement's context
// menu, for one) in Bulgarian like every other text of the window, whatever
// the user's locale. Call it once the application exists; calling it again
// sets the style and fonts again and loads nothing twice. Returns false if
// Qt's Bulgarian translation is not installed (Debian: qt6-translations-l10n):
// Qt's texts then stay English.
bool applyApplicationLook();

} // namespace crossing
