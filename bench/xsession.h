// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A private X server and real input for the benchmarks: start Xvfb, start programs,
// find their windows by caption, and send key and mouse events through XTest.

#include <X11/Xlib.h>

#include <string>
#include <sys/types.h>
#include <vector>

class XSession
{
public:
    XSession(); // starts Xvfb and connects; exits the process on failure
    // Connects to a running X server instead, such as the one a nested Wayland
    // compositor shows its window in; exits the process on failure.
    explicit XSession(const std::string &display);
    ~XSession(); // stops every program started and the server

    Display *display() const { return m_display; }
    const std::string &name() const { return m_name; }

    // Starts a program with DISPLAY set, the given extra environment ("NAME=value"
    // pairs, separated by spaces) and arguments.
    pid_t start(const std::string &program, const std::string &workingDirectory,
        const std::string &environment = std::string(),
        const std::vector<std::string> &arguments = {});
    void stop(pid_t pid);

    // The first mapped top-level window whose caption starts with prefix, waiting up
    // to timeoutMs; 0 when none appears.
    Window waitForWindow(const std::string &prefix, int timeoutMs = 10000);
    // The same for the first of several captions that shows.
    Window waitForWindow(const std::vector<std::string> &prefixes, int timeoutMs = 10000);
    // Raises a window and gives it the keyboard; there is no window manager to do it.
    void focus(Window window);
    // A left click at a point of a window's client area.
    void click(Window window, int x, int y);
    // Types text made of lower-case letters, digits and . / - as key events.
    void type(const std::string &text);
    void key(const char *keysym);

private:
    Display *startServer();
    void checkXTest();

    Display *m_display = nullptr;
    std::string m_name;
    std::string m_log; // the server's messages
    pid_t m_server = -1;
};

// Milliseconds of the monotonic clock.
double nowMs();
