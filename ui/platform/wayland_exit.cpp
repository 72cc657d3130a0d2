#include "wayland_exit.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace crossing::platform {

int endProgram(int status)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace crossing::platform
