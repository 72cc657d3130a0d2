// The program: the application, its one window and the event loop.
#include "application_look.h"
#include "crossing_form.h"
#include "platform/wayland_exit.h"
#include "platform/wayland_title_bar.h"
#include "session_bus.h"
#include "startup_failure.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    crossing::startup::begin();
    crossing::useOnlyAGivenSessionBus();
    QApplication app(argc, argv);

    QApplication::setApplicationName(QStringLiteral("rivercrossing"));
    QApplication::setApplicationVersion(QStringLiteral(CROSSING_VERSION));
    QApplication::setOrganizationName(QStringLiteral("The River Crossing developers"));
    QApplication::setOrganizationDomain(QStringLiteral(CROSSING_ORGANIZATION_DOMAIN));
    QApplication::setDesktopFileName(QStringLiteral(CROSSING_APP_ID));
    crossing::applyApplicationLook(); // without Qt's translation its own texts stay English

    crossing::CrossingForm form;
    const std::unique_ptr<QWidget> waylandFrame = crossing::platform::frameOnWayland(form);
    (waylandFrame ? *waylandFrame : form).show();
    crossing::startup::end();
    return crossing::platform::endProgram(QApplication::exec());
}
