// SPDX-License-Identifier: GPL-3.0-or-later
#include "xsession.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

double nowMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

namespace {

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "xsession: %s\n", what);
    std::exit(2);
}

std::vector<pid_t> g_started;

// Windows come and go while they are looked at; a vanished one is simply skipped.
int ignoreError(Display *, XErrorEvent *)
{
    return 0;
}

std::string caption(Display *display, Window window)
{
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char *data = nullptr;
    std::string text;
    if (XGetWindowProperty(
            display, window, netName, 0, 1024, False, utf8, &type, &format, &items, &after, &data)
            == Success
        && data) {
        text.assign(reinterpret_cast<char *>(data), items);
        XFree(data);
    }
    return text;
}

} // namespace

XSession::XSession()
{
    // A server that another one, started by others at the same moment, disturbs is
    // started again, after a pause.
    for (int attempt = 0; attempt < 5 && !m_display; ++attempt) {
        if (attempt > 0)
            usleep(500'000);
        m_display = startServer();
    }
    if (!m_display) {
        std::fprintf(stderr, "xsession: the X server said:\n");
        std::fflush(stderr);
        std::system(("cat " + m_log).c_str());
        die(("cannot connect to Xvfb on " + m_name).c_str());
    }
    std::remove(m_log.c_str());
    checkXTest();
}

XSession::XSession(const std::string &display)
    : m_display(XOpenDisplay(display.c_str()))
    , m_name(display)
{
    if (!m_display)
        die(("cannot connect to " + display).c_str());
    checkXTest();
}

void XSession::checkXTest()
{
    XSetErrorHandler(ignoreError);
    int event, error, major, minor;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor))
        die("no XTest extension");
}

Display *XSession::startServer()
{
    if (m_server > 0) {
        kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
        m_server = -1;
    }
    if (m_log.empty()) {
        char logTemplate[] = "/tmp/keyvale-xvfb-XXXXXX";
        const int log = mkstemp(logTemplate);
        if (log < 0)
            die("mkstemp");
        close(log);
        m_log = logTemplate;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        die("pipe");
    m_server = fork();
    if (m_server == 0) {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        const int null = open("/dev/null", O_WRONLY);
        const int log = open(m_log.c_str(), O_WRONLY | O_APPEND);
        dup2(null, 1);
        dup2(log, 2);
        // -noreset: a server that resets when its last client leaves would report its
        // display again, into a pipe nobody reads any more.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x1024x24",
            "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[32] = {};
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    if (got <= 0)
        return nullptr;
    m_name = ":" + std::string(buffer, size_t(got));
    while (!m_name.empty() && (m_name.back() == '\n'))
        m_name.pop_back();
    // The server may report its display a moment before it takes connections.
    Display *display = nullptr;
    const double deadline = nowMs() + 5000;
    while (!(display = XOpenDisplay(m_name.c_str())) && nowMs() < deadline) {
        if (waitpid(m_server, nullptr, WNOHANG) == m_server) {
            m_server = -1; // gone already
            break;
        }
        usleep(10'000);
    }
    return display;
}

XSession::~XSession()
{
    for (pid_t pid : g_started)
        stop(pid);
    if (m_display)
        XCloseDisplay(m_display);
    if (m_server > 0) {
        kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
    }
}

pid_t XSession::start(const std::string &program, const std::string &workingDirectory,
    const std::string &environment, const std::vector<std::string> &arguments)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(127);
        setenv("DISPLAY", m_name.c_str(), 1);
        unsetenv("QT_QPA_PLATFORM");
        size_t begin = 0;
        while (begin < environment.size()) {
            size_t end = environment.find(' ', begin);
            if (end == std::string::npos)
                end = environment.size();
            const std::string pair = environment.substr(begin, end - begin);
            const size_t eq = pair.find('=');
            if (eq != std::string::npos)
                setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
            begin = end + 1;
        }
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char *> argv { const_cast<char *>(program.c_str()) };
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    g_started.push_back(pid);
    return pid;
}

void XSession::stop(pid_t pid)
{
    if (kill(pid, 0) != 0)
        return;
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

Window XSession::waitForWindow(const std::string &prefix, int timeoutMs)
{
    return waitForWindow(std::vector<std::string> { prefix }, timeoutMs);
}

Window XSession::waitForWindow(const std::vector<std::string> &prefixes, int timeoutMs)
{
    const double deadline = nowMs() + timeoutMs;
    while (nowMs() < deadline) {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count);
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes {};
            if (!XGetWindowAttributes(m_display, children[i], &attributes)
                || attributes.map_state != IsViewable)
                continue;
            const std::string text = caption(m_display, children[i]);
            for (const std::string &prefix : prefixes) {
                if (text.rfind(prefix, 0) == 0)
                    found = children[i];
            }
        }
        if (children)
            XFree(children);
        if (found)
            return found;
        usleep(5000);
    }
    return 0;
}

void XSession::focus(Window window)
{
    // On top as well: pixels of a covered window cannot be read.
    XRaiseWindow(m_display, window);
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void XSession::click(Window window, int x, int y)
{
    int rootX, rootY;
    Window child;
    XTranslateCoordinates(
        m_display, window, DefaultRootWindow(m_display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(m_display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    XSync(m_display, False);
}

void XSession::key(const char *keysym)
{
    const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XSync(m_display, False);
}

void XSession::type(const std::string &text)
{
    for (char c : text) {
        const char *name = nullptr;
        char letter[2] = { c, 0 };
        switch (c) {
        case '/':
            name = "slash";
            break;
        case '.':
            name = "period";
            break;
        case '-':
            name = "minus";
            break;
        default:
            name = letter;
        }
        key(name);
        usleep(2000);
    }
}
