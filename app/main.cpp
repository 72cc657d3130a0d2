// Start-up: the application, its one window and the event loop. If the window
// cannot be opened the program says why in one sentence and exits with status
// 1, rather than printing Qt's plugin diagnostics and aborting with a core dump.
#include "crossing_form.h"
#include "startup_failure.h"
#include "toolkit_translation.h"
#include "wayland_title_bar.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    if (!crossing::startup::displayNamed(argc, argv))
        return EXIT_FAILURE;
    crossing::startup::holdQtMessages(argc, argv);
    QApplication app(argc, argv);
    crossing::startup::requireScreen();

    QApplication::setApplicationName(QStringLiteral("rivercrossing"));
    QApplication::setApplicationVersion(QStringLiteral(CROSSING_VERSION));
    QApplication::setOrganizationName(QStringLiteral("The River Crossing developers"));
    QApplication::setOrganizationDomain(QStringLiteral(CROSSING_ORGANIZATION_DOMAIN));
    QApplication::setDesktopFileName(QStringLiteral(CROSSING_APP_ID));
    QApplication::setStyle(QStringLiteral("Fusion")); // the same look on every desktop
    crossing::installToolkitTranslation(app);         // without it, Qt's own texts stay English

    crossing::CrossingForm form;
    const std::unique_ptr<QWidget> waylandFrame = crossing::frameOnWayland(form);
    if (waylandFrame)
        waylandFrame->show();
    else
        form.show();
    crossing::startup::releaseQtMessages();
    return app.exec();
}
