// Starts a program and reports how long it took from the start until its
// window was mapped and viewable on the X server, and until the program first
// drew into it; then, once the program has gone idle, its resident memory.
// It listens on the root window (SubstructureNotify) before it forks and
// watches each new top-level window with the DAMAGE extension before it can
// be mapped, so both times are read when the X server announces the event,
// not by polling. Use it on a display without a window manager, where
// top-level windows are children of the root. Only the program's window is
// timed: other clients' windows (a session bus launcher's, say) and X errors
// about them pass by. The program's output goes to /dev/null, not to whoever
// reads this timer's line, and the program's process group is ended on every
// way out.
//
// Usage: map_timer PROGRAM [ARGUMENTS...]
// Prints one line: <ms to mapped> <ms to first drawing> <resident KiB once idle>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kMapDeadline = std::chrono::seconds(30);

long windowPid(Display* display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &remaining, &data)
            == Success
        && data != nullptr && format == 32 && items == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data != nullptr)
        XFree(data);
    return pid;
}

// User plus system time used so far, in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

// Idle: no processor time used for 300 ms, counted from at least 300 ms after
// the map, so that the first paint has happened; at most 5 s.
void waitUntilIdle(pid_t pid)
{
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    long before = cpuTicks(pid);
    int quiet = 0;
    while (quiet < 3 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long now = cpuTicks(pid);
        quiet = now == before ? quiet + 1 : 0;
        before = now;
    }
}

Drawable damagedWindow(const XEvent& event)
{
    XDamageNotifyEvent damage;
    std::memcpy(&damage, &event, sizeof damage);
    return damage.drawable;
}

// Every top-level window gets a damage watch as it is created, before anyone
// can know whose it is; on a window that cannot be drawn in (InputOnly) or that
// is already gone, that is an X error, which says nothing of the program.
int ignoreError(Display*, XErrorEvent*) { return 0; }

// Ends the program and whatever it started in its process group: asked first,
// then killed if it has not ended within a second.
int stop(pid_t pid, int status)
{
    kill(-pid, SIGTERM);
    for (int tenths = 0; tenths < 10; ++tenths) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            kill(-pid, SIGKILL);
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("usage: map_timer PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("map_timer: cannot open the display\n", stderr);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fputs("map_timer: the X server has no DAMAGE extension\n", stderr);
        return 2;
    }
    XSetErrorHandler(ignoreError);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        setpgid(0, 0);
        if (const int devNull = open("/dev/null", O_WRONLY); devNull >= 0)
            dup2(devNull, STDOUT_FILENO);
        execvp(argv[1], argv + 1);
        std::perror("map_timer: exec");
        _exit(127);
    }
    setpgid(pid, pid); // as the child does: whichever runs first, stop() finds the group

    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    Window window = None;
    double mappedMs = 0;
    while (true) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const auto now = Clock::now();
            const double ms = std::chrono::duration<double, std::milli>(now - start).count();
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                // Watched from creation on, so no drawing can come before the watch.
                XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
                XFlush(display);
            } else if (event.type == MapNotify && event.xmap.event == root && window == None) {
                XWindowAttributes attributes;
                if (windowPid(display, event.xmap.window, pidAtom) == pid
                    && XGetWindowAttributes(display, event.xmap.window, &attributes)
                    && attributes.map_state == IsViewable) {
                    window = event.xmap.window;
                    mappedMs = ms;
                }
            } else if (event.type == damageEvent + XDamageNotify && window != None
                       && damagedWindow(event) == window) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                waitUntilIdle(pid);
                std::printf("%.2f %.2f %ld\n", mappedMs, ms, residentKiB(pid));
                return stop(pid, 0);
            }
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fputs("map_timer: the program ended without mapping a window\n", stderr);
            kill(-pid, SIGKILL);
            return 1;
        }
        const auto left = kMapDeadline - (Clock::now() - start);
        if (left <= Clock::duration::zero()) {
            std::fputs("map_timer: no window was mapped and drawn in time\n", stderr);
            return stop(pid, 1);
        }
        poll(&connection, 1, 100);
    }
}
