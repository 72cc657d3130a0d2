#include "session_bus.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtGlobal>

namespace crossing {

// Every desktop session has a session bus: its address is in the environment, or
// it is the user's bus in XDG_RUNTIME_DIR, where libdbus looks next. Where there
// is none (a bare X server, ssh -X), libdbus would start one for the display
// (dbus-launch --autolaunch, where dbus-x11 is installed): a daemon that outlives
// the program, writes under HOME and XDG_RUNTIME_DIR and maps a window of its own
// on the display, while the start waits for it; when the display goes as it
// comes up, the start waits seconds, or until a call to the dying bus times out.
// No one would listen on a bus made for this program alone (a screen reader
// shares the desktop's), so the program goes without, as it does where
// dbus-x11 is not installed.
void useOnlyAGivenSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime + "/bus")).exists())
        return;
    // GLib reads it as "no bus"; libdbus fails on it at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

} // namespace crossing
