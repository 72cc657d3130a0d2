// Start-up failures driven with words Qt never says, ending each way a
// start-up can: what the player is told must not hang on Qt's wording.
// Usage: startup_probe WARNING fatal FATAL-MESSAGE | exit | crash
#include "startup_failure.h"

#include <QGuiApplication>

#include <csignal>
#include <dlfcn.h>
#include <string_view>

int main(int argc, char* argv[])
{
    crossing::startup::begin();
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    qWarning("%s", argv[1]);
    const std::string_view ending = argv[2];
    if (ending == "fatal" && argc == 4)
        qFatal("%s", argv[3]);
    if (ending == "exit") {
        // Looked up as a library loaded at run time finds it, as Qt's Wayland
        // platform does when it ends the program.
        reinterpret_cast<void (*)(int)>(dlsym(RTLD_DEFAULT, "_exit"))(1);
    }
    if (ending == "crash")
        std::raise(SIGSEGV);
    return 2;
}
