#include "application_look.h"

#include <QApplication>
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

bool applyApplicationLook()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    static const bool translated = installToolkitTranslation();
    return translated;
}

} // namespace crossing
