#include "application_look.h"

#include "form_description.h"
#include "qt_conversions.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace crossing {

namespace {

bool installToolkitTranslation()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_bg"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace

// Fontconfig maps the face to a metric-compatible one (Liberation Serif)
// where it is missing, which covers Cyrillic.
QFont windowFont()
{
    const form::Font& face = form::window().font;
    QFont font(toQString(face.face), face.points, QFont::Normal, false);
    font.setStyleHint(QFont::Serif);
    return font;
}

// A light scheme written out: the style's standard palette is the desktop's
// scheme, dark ones included. From a light grey the rest follows: black
// text, white lists and text boxes, grey disabled text and bevels.
QPalette windowScheme()
{
    QPalette scheme(QColor(0xEF, 0xEF, 0xEF));
    scheme.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6)); // as Qt's own light scheme
    return scheme;
}

// The application's font is the window's: a new text box lays out its empty
// document in the application's font before it takes the window's, and
// finding a face that is never drawn costs as much as the one that is.
bool applyApplicationLook()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(windowFont()); // first: it forgets the fonts of classes
    QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont), "QMenu");
    static const bool translated = installToolkitTranslation();
    return translated;
}

} // namespace crossing
