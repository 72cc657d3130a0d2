// Qt's own texts (the statement's context menu, for one) in Bulgarian, like
// every other text of the window.
#pragma once

class QCoreApplication;

namespace crossing {

// Loads Qt's Bulgarian translation, whatever the user's locale, and installs
// it into the application, which owns it. Returns false, changing nothing, if
// the translation is not installed (Debian: qt6-translations-l10n); the
// program then shows Qt's English.
bool installToolkitTranslation(QCoreApplication& application);

} // namespace crossing
