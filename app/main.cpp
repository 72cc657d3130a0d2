// The program: the application, its one window and the event loop.
#include "application_look.h"
#include "crossing_form.h"
#include "startup_failure.h"
#include "wayland_title_bar.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    crossing::startup::begin();
    QApplication app(argc, argv);

    QApplication::setApplicationName(QStringLiteral("rivercrossing"));
    QApplication::setApplicationVersion(QStringLiteral(CROSSING_VERSION));
    QApplication::setOrganizationName(QStringLiteral("The River Crossing developers"));
    QApplication::setOrganizationDomain(QStringLiteral(CROSSING_ORGANIZATION_DOMAIN));
    QApplication::setDesktopFileName(QStringLiteral(CROSSING_APP_ID));
    crossing::applyApplicationLook(); // without Qt's translation its own texts stay English

    crossing::CrossingForm form;
    const std::unique_ptr<QWidget> waylandFrame = crossing::frameOnWayland(form);
    (waylandFrame ? *waylandFrame : form).show();
    crossing::startup::end();
    const int status = QApplication::exec();
    // Qt 6.4's Wayland plugin can deadlock closing its connection (its event
    // thread waits for a read the main thread prepared and never made): nothing
    // is kept, so there the program ends without tearing the platform down.
    if (waylandFrame) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
