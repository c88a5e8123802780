// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program in the X server named by DISPLAY and watches its top-level windows
// appear. It prints, in milliseconds from the start: the map event of the first
// window, the first drawing into that window, and the first drawing into the last
// window mapped before the reading (for a window that opens a dialog at once, the
// dialog: the whole first screen is drawn by then); then the number of windows mapped
// and the peak resident memory (VmHWM) in KiB, read SETTLE ms after the first map.
// Drawing is seen through the X DAMAGE extension, so GTK and Qt programs are timed
// alike, whatever their toolkit does between mapping a window and drawing it.
//
// Usage: startwatch [--settle MS] [--timeout MS] HOME -- program [arguments...]
// (--timeout: how long to wait for the first window, default 20 s)

#include "xsession.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long peakResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// A window may be gone by the time it is looked at.
int ignoreError(Display *, XErrorEvent *)
{
    return 0;
}

struct Watched
{
    Window window;
    Damage damage;
    double mapped;
    double drawn; // < 0 until the first drawing
};

} // namespace

int main(int argc, char *argv[])
{
    double settleMs = 1500;
    double timeoutMs = 20000;
    int first = 1;
    while (argc > first + 1 && argv[first][0] == '-' && argv[first][1] == '-' && argv[first][2]) {
        if (std::strcmp(argv[first], "--settle") == 0)
            settleMs = std::atof(argv[first + 1]);
        else if (std::strcmp(argv[first], "--timeout") == 0)
            timeoutMs = std::atof(argv[first + 1]);
        else
            break;
        first += 2;
    }
    if (argc < first + 3 || std::strcmp(argv[first + 1], "--") != 0) {
        std::fprintf(stderr,
            "usage: startwatch [--settle MS] [--timeout MS] HOME -- program [arguments...]\n");
        return 2;
    }
    const char *home = argv[first];
    char **command = argv + first + 2;

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startwatch: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreError);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        setenv("HOME", home, 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(command[0], command);
        _exit(127);
    }

    std::vector<Watched> created; // every top-level window the program creates
    std::vector<Watched> windows; // those mapped, in the order they were
    const int fd = ConnectionNumber(display);
    for (;;) {
        const double now = nowMs() - start;
        if (windows.empty() ? now > timeoutMs : now > windows.front().mapped + settleMs)
            break;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            const double at = nowMs() - start;
            if (event.type == CreateNotify && event.xcreatewindow.parent == root
                && !event.xcreatewindow.override_redirect) {
                // Watched from its creation: a program maps a window and draws into it
                // only after waiting for the server's expose event, so by then the
                // damage object is in place.
                const Damage damage
                    = XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
                created.push_back({ event.xcreatewindow.window, damage, -1, -1 });
            } else if (event.type == MapNotify && event.xmap.event == root
                && !event.xmap.override_redirect) {
                for (Watched &w : created) {
                    if (w.window == event.xmap.window && w.mapped < 0) {
                        w.mapped = at;
                        windows.push_back(w);
                    }
                }
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto *notify = reinterpret_cast<XDamageNotifyEvent *>(&event);
                for (Watched &w : windows) {
                    if (w.damage == notify->damage && w.drawn < 0)
                        w.drawn = at;
                }
                XDamageSubtract(display, notify->damage, None, None);
            }
        }
        XFlush(display);
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval wait { 0, 2'000 };
        select(fd + 1, &fds, nullptr, nullptr, &wait);
    }

    const long peak = peakResidentKiB(pid);
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    for (const Watched &w : created)
        XDamageDestroy(display, w.damage);
    XCloseDisplay(display);
    if (windows.empty()) {
        std::fprintf(stderr, "startwatch: %s showed no window\n", command[0]);
        return 1;
    }
    if (windows.front().drawn < 0 || windows.back().drawn < 0) {
        std::fprintf(stderr, "startwatch: %s drew nothing into a window it showed\n", command[0]);
        return 1;
    }
    std::printf("%.1f %.1f %.1f %zu %ld\n", windows.front().mapped, windows.front().drawn,
        windows.back().drawn, windows.size(), peak);
    return 0;
}
