#include "startup_failure.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QRegularExpression>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace crossing::startup {

static std::mutex heldMutex;
static QStringList held;                                       // what Qt said while the window was not up
static std::atomic<pid_t> startingProcess = 0;                 // none once the window is up
static bool starting() { return startingProcess == getpid(); } // not a child a library forked
static QtMessageHandler qtHandler = nullptr;

// One line on stderr: the program's name, `lead`, and `clauses` as one sentence.
static void say(const char* lead, QStringList clauses)
{
    for (QString& clause : clauses)
        clause = clause.simplified().remove(QRegularExpression(QStringLiteral("\\.+$")));
    clauses.removeAll(QString());
    const QString sentence = QLatin1String(lead) + clauses.join(QStringLiteral("; "));
    const bool asks = sentence.endsWith(u'?') || sentence.endsWith(u'!');
    std::fprintf(stderr, "rivercrossing: %s%s\n", qPrintable(sentence), asks ? "" : ".");
}

// Ends the program, saying why: the environment's facts, all Qt said, `conclusion`. Holds heldMutex.
[[noreturn]] static void endSaying(const QString& conclusion, int status = EXIT_FAILURE)
{
    QStringList causes;
    const bool noPlatform = QGuiApplication::platformName().isEmpty();
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (noPlatform && qEnvironmentVariableIsEmpty("DISPLAY") && !wayland)
        causes << QStringLiteral("no display is set (neither DISPLAY nor WAYLAND_DISPLAY)");
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    if (noPlatform && wayland && platforms.entryList({QStringLiteral("*wayland*")}, QDir::Files).isEmpty())
        causes << QStringLiteral("Qt's Wayland plugin is not installed (on Debian: package qt6-wayland)");
    if (noPlatform && held.isEmpty() && conclusion.isEmpty()) // Qt had no platform name to try
        causes << QStringLiteral("the platform name is empty (QT_QPA_PLATFORM, -platform)");
    say(starting() ? "cannot open its window: " : "", causes + held + QStringList{conclusion});
    std::_Exit(status); // no tearing down of a half-started platform, no core dump
}

static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const std::lock_guard lock(heldMutex);
    if (type != QtFatalMsg && starting() && type != QtDebugMsg)
        held << text;
    else if (type != QtFatalMsg)
        qtHandler(type, context, text);
    else // before any platform started, Qt gives up on those it tried, each of which said why
        endSaying(QGuiApplication::platformName().isEmpty() ? QString() : text);
}

static void onCrash(int signal) // only what is safe in a signal handler: a fixed sentence
{
    const char* said =
        starting() ? "rivercrossing: cannot open its window: it crashed (SIG" : "rivercrossing: crashed (SIG";
    for (const char* part : {said, sigabbrev_np(signal), ").\n"})
        [[maybe_unused]] const auto written = write(STDERR_FILENO, part, std::strlen(part));
    std::_Exit(EXIT_FAILURE);
}

void begin()
{
    startingProcess = getpid();
    qtHandler = qInstallMessageHandler(onMessage);
    for (const int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        std::signal(signal, onCrash);
    std::signal(SIGPIPE, SIG_IGN); // a display's socket closing under a write is an error Qt reports
}

void end()
{
    // Qt's Vulkan display platform takes a widget window, warns, and shows nothing.
    if (QGuiApplication::platformName() == QLatin1String("vkkhrdisplay"))
        qFatal("Qt's \"vkkhrdisplay\" platform shows Vulkan windows only");
    const std::lock_guard lock(heldMutex);
    startingProcess = 0;
    held.clear();
}

} // namespace crossing::startup

// Qt's Wayland platform ends the program with _exit() right after warning that the
// compositor has gone; the dynamic linker finds this _exit, in the program, first.
extern "C" void _exit(int status)
{
    using namespace crossing::startup;
    if (status != 0 && starting()) {
        const std::lock_guard lock(heldMutex);
        endSaying(held.isEmpty() ? QStringLiteral("Qt ended the program") : QString(), status);
    }
    std::_Exit(status);
}
