// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a window manager's part for the end-to-end test, whose X server runs none.
//   fakewm close WINDOW       asks the window to close, as a close box or Alt+F4 does:
//                             with a WM_DELETE_WINDOW message
//   fakewm time               prints the server's time
//   fakewm focus WINDOW TIME  gives the window the keyboard as of TIME, as a window
//                             manager does with the time of the click that asked for it

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

Time serverTime(Display *display)
{
    // The time of an event the server sends now: a property changed on a window of ours.
    const Window window
        = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    XChangeProperty(display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace, nullptr, 0);
    XEvent event {};
    XWindowEvent(display, window, PropertyChangeMask, &event);
    XDestroyWindow(display, window);
    return event.xproperty.time;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    const bool time = argc == 2 && std::strcmp(argv[1], "time") == 0;
    const bool focus = argc == 4 && std::strcmp(argv[1], "focus") == 0;
    if (!close && !time && !focus) {
        std::fprintf(stderr, "usage: fakewm close WINDOW | time | focus WINDOW TIME\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "fakewm: cannot open the display\n");
        return 1;
    }
    const Window window = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : None;
    if (close) {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    } else if (time) {
        std::printf("%lu\n", serverTime(display));
    } else {
        XSetInputFocus(display, window, RevertToParent, std::strtoul(argv[3], nullptr, 0));
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
