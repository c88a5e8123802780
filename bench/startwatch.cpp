// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program in the X server named by DISPLAY and prints the milliseconds from
// the start to the map event of its first top-level window, and its peak resident
// memory in KiB 1.5 s after that.
//
// Usage: startwatch HOME -- program [arguments...]

#include "xsession.h"

#include <X11/Xlib.h>

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

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4 || std::strcmp(argv[2], "--") != 0) {
        std::fprintf(stderr, "usage: startwatch HOME -- program [arguments...]\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        setenv("HOME", argv[1], 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[3], argv + 3);
        _exit(127);
    }

    double mapped = -1;
    const int fd = ConnectionNumber(display);
    while (mapped < 0 && nowMs() - start < 20000) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root
                && !event.xmap.override_redirect) {
                mapped = nowMs() - start;
                break;
            }
        }
        if (mapped >= 0)
            break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval wait { 0, 20'000 };
        select(fd + 1, &fds, nullptr, nullptr, &wait);
    }

    if (mapped >= 0)
        usleep(1'500'000);
    const long peak = peakResidentKiB(pid);
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    if (mapped < 0) {
        std::fprintf(stderr, "startwatch: %s showed no window\n", argv[3]);
        return 1;
    }
    std::printf("%.1f %ld\n", mapped, peak);
    return 0;
}
