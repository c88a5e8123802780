// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke-to-screen latency, measured as editor latency is measured: real key
// events go into a private X server and the window's pixels around the typing box are
// read until the typed character shows. The practice window and a minimal Qt window
// with one QLineEdit take turns, a row of keys at a time, in the same run.
//
// The tool does not poll: it sleeps until the X DAMAGE extension reports drawing into
// the window, then reads the pixels, so it takes no processor time from the program
// it measures, and the time it reports is when the drawing reached the server.
//
// Usage: latency [--rows N] [--samples FILE] path/to/keyvale path/to/minimal_window
// (N rows of 20 keys a side, a multiple of 3, default 24: eight blocks; FILE receives
// every key's figures: row, key in the row, practice ms, minimal ms)

#include "xsession.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int RowLength = 20; // keys per row
constexpr int BoxLeft = 40;
constexpr int BoxWidth = 732;
constexpr int BoxHeight = 51;
constexpr int BoxTops[3] = { 208, 359, 507 };
constexpr double TimeoutMs = 2000;

// Letters wide enough that a drawn glyph never looks like the blinking caret.
const char Letters[] = "abcdeghkmnopqsuvwxyz";

std::string row(int r)
{
    std::string text;
    for (int i = 0; i < RowLength; ++i)
        text += Letters[(r * 7 + i * 3) % (sizeof Letters - 1)];
    return text;
}

struct Image
{
    XImage *image = nullptr;
    ~Image()
    {
        if (image)
            XDestroyImage(image);
    }
};

// The span of columns in which two grabs differ; the caret alone spans a column or two.
int changedWidth(const XImage *a, const XImage *b)
{
    const int bytesPerPixel = a->bits_per_pixel / 8;
    int first = BoxWidth, last = -1;
    for (int y = 0; y < BoxHeight; ++y) {
        const char *rowA = a->data + size_t(y) * size_t(a->bytes_per_line);
        const char *rowB = b->data + size_t(y) * size_t(b->bytes_per_line);
        if (std::memcmp(rowA, rowB, size_t(BoxWidth * bytesPerPixel)) == 0)
            continue;
        for (int x = 0; x < BoxWidth; ++x) {
            if (std::memcmp(
                    rowA + x * bytesPerPixel, rowB + x * bytesPerPixel, size_t(bytesPerPixel))
                != 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return last - first + 1;
}

// Drawing into one window, as the DAMAGE extension reports it.
class DamageWatch
{
public:
    DamageWatch(Display *display, int eventBase, Window window)
        : m_display(display)
        , m_eventBase(eventBase)
        , m_damage(XDamageCreate(display, window, XDamageReportNonEmpty))
    { }
    ~DamageWatch() { XDamageDestroy(m_display, m_damage); }
    DamageWatch(const DamageWatch &) = delete;
    DamageWatch &operator=(const DamageWatch &) = delete;

    // Reads the events that have arrived; true when the window was drawn into since
    // the last call. Each report is acknowledged, so that the next drawing sends another.
    bool drawn()
    {
        bool any = false;
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type != m_eventBase + XDamageNotify)
                continue;
            // Another window's report is acknowledged too: unacknowledged, it would
            // never report again.
            const Damage damage = reinterpret_cast<XDamageNotifyEvent *>(&event)->damage;
            XDamageSubtract(m_display, damage, None, None);
            any = any || damage == m_damage;
        }
        return any;
    }

    // Sleeps until an event arrives or the time runs out.
    void wait(double ms)
    {
        XFlush(m_display);
        const int fd = ConnectionNumber(m_display);
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval timeout { 0, long(ms * 1000) };
        select(fd + 1, &fds, nullptr, nullptr, &timeout);
    }

private:
    Display *m_display;
    int m_eventBase;
    Damage m_damage;
};

XImage *grab(Display *display, Window window, int top)
{
    return XGetImage(display, window, BoxLeft, top, BoxWidth, BoxHeight, AllPlanes, ZPixmap);
}

// Sends one key and returns the milliseconds until the box shows it.
double typeAndWatch(XSession &x, DamageWatch &watch, Window window, int top, char c)
{
    Display *display = x.display();
    watch.drawn(); // forget drawing from before the key: the caret's blinking
    Image before;
    before.image = grab(display, window, top);
    const char name[2] = { c, 0 };
    const double start = nowMs();
    x.key(name);
    for (;;) {
        // A look every 5 ms as well, in case a report was missed.
        const bool drawn = watch.drawn();
        const double elapsed = nowMs() - start;
        if (drawn || elapsed > 5) {
            Image now;
            now.image = grab(display, window, top);
            if (now.image && before.image && changedWidth(before.image, now.image) >= 4)
                return elapsed;
        }
        if (elapsed > TimeoutMs)
            return TimeoutMs;
        watch.wait(5);
    }
}

struct Summary
{
    double median, p95;
};

Summary summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double q) {
        return samples[size_t(q * double(samples.size() - 1))];
    };
    return { at(0.5), at(0.95) };
}

} // namespace

int main(int argc, char *argv[])
{
    int rows = 24;
    const char *samplesFile = nullptr;
    int first = 1;
    while (argc > first + 1 && argv[first][0] == '-') {
        if (std::strcmp(argv[first], "--rows") == 0)
            rows = std::atoi(argv[first + 1]);
        else if (std::strcmp(argv[first], "--samples") == 0)
            samplesFile = argv[first + 1];
        else
            break;
        first += 2;
    }
    if (argc != first + 2 || rows < 3 || rows % 3 != 0) {
        std::fprintf(stderr,
            "usage: latency [--rows N] [--samples FILE] path/to/keyvale "
            "path/to/minimal_window\n");
        return 2;
    }
    char folderTemplate[] = "/tmp/keyvale-latency-XXXXXX";
    std::string folder = mkdtemp(folderTemplate);
    // The dialog is typed into: keep the path to lower-case letters, digits and . / -
    for (char &c : folder)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    mkdir(folder.c_str(), 0700);
    {
        std::ofstream text(folder + "/text.txt", std::ios::binary);
        for (int r = 0; r < rows; ++r)
            text << row(r) << "\r\n";
    }

    char keyvale[PATH_MAX], minimalWindow[PATH_MAX];
    if (!realpath(argv[first], keyvale) || !realpath(argv[first + 1], minimalWindow)) {
        std::fprintf(stderr, "latency: cannot find the programs\n");
        return 2;
    }

    XSession x;
    const std::string environment = "HOME=" + folder + " LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=" + folder;
    x.start(keyvale, folder, environment);
    // Keyvale shows Qt's dialogs in Chinese; "Open" if the translations are missing.
    const Window dialog
        = x.waitForWindow(std::vector<std::string> { "\xE6\x89\x93\xE5\xBC\x80", "Open" });
    if (!dialog) {
        std::fprintf(stderr, "latency: the open-file dialog did not appear\n");
        return 1;
    }
    x.focus(dialog);
    x.type(folder + "/text.txt");
    x.key("Return");
    const Window practice = x.waitForWindow("Keyvale\xEF\xBC\x8D");
    x.start(minimalWindow, folder, environment);
    const Window minimal = x.waitForWindow("Minimal");
    if (!practice || !minimal) {
        std::fprintf(stderr, "latency: a window did not appear\n");
        return 1;
    }
    x.focus(minimal);
    x.click(minimal, 400, 233);
    x.focus(practice);
    x.click(practice, 400, 233);
    usleep(300'000);

    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(x.display(), &damageEvent, &damageError)) {
        std::fprintf(stderr, "latency: the X server has no DAMAGE extension\n");
        return 2;
    }
    DamageWatch practiceDrawn(x.display(), damageEvent, practice);
    DamageWatch minimalDrawn(x.display(), damageEvent, minimal);

    std::vector<double> ours, floor;
    int timeouts = 0;
    for (int r = 0; r < rows; ++r) {
        const std::string keys = row(r);
        x.focus(practice);
        usleep(150'000);
        for (char c : keys) {
            ours.push_back(typeAndWatch(x, practiceDrawn, practice, BoxTops[r % 3], c));
            timeouts += ours.back() >= TimeoutMs;
            usleep(40'000);
        }
        x.focus(minimal);
        usleep(150'000);
        for (char c : keys) {
            floor.push_back(typeAndWatch(x, minimalDrawn, minimal, BoxTops[0], c));
            timeouts += floor.back() >= TimeoutMs;
            usleep(40'000);
        }
    }

    if (samplesFile) {
        std::ofstream samples(samplesFile);
        samples << "# row key practice-ms minimal-ms\n";
        for (size_t i = 0; i < ours.size(); ++i)
            samples << i / RowLength + 1 << ' ' << i % RowLength + 1 << ' ' << ours[i] << ' '
                    << floor[i] << '\n';
    }

    const Summary a = summarise(ours);
    const Summary b = summarise(floor);
    std::printf("keys per window: %zu (%d rows of %d, row ends and block changes included)\n",
        ours.size(), rows, RowLength);
    std::printf("%-20s %10s %10s\n", "", "median ms", "p95 ms");
    std::printf("%-20s %10.2f %10.2f\n", "practice window", a.median, a.p95);
    std::printf("%-20s %10.2f %10.2f\n", "minimal QLineEdit", b.median, b.p95);
    std::printf("%-20s %10.2f %10.2f   (targets: 1.15 and 1.30)\n", "ratio", a.median / b.median,
        a.p95 / b.p95);
    std::printf("%-20s %10.2f %10.2f\n", "added ms", a.median - b.median, a.p95 - b.p95);

    // The same keys by kind: a row's last key moves to the next row, and the last key
    // of a block's third row also shows the next three lines.
    std::printf("\nmedians by key, practice / minimal ms:\n");
    const char *kinds[] = { "keys within a row", "row ends", "block changes" };
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<double> practiceKeys, minimalKeys;
        for (size_t i = 0; i < ours.size(); ++i) {
            const bool rowEnd = i % RowLength == RowLength - 1;
            const bool blockEnd = rowEnd && (i / RowLength) % 3 == 2;
            if ((kind == 0 && !rowEnd) || (kind == 1 && rowEnd && !blockEnd)
                || (kind == 2 && blockEnd)) {
                practiceKeys.push_back(ours[i]);
                minimalKeys.push_back(floor[i]);
            }
        }
        const double mx = summarise(practiceKeys).median;
        const double my = summarise(minimalKeys).median;
        std::printf("%-20s %6.2f / %-6.2f ratio %.2f   (%zu keys)\n", kinds[kind], mx, my, mx / my,
            practiceKeys.size());
    }
    if (timeouts)
        std::printf("keys never seen on screen within %.0f ms: %d\n", TimeoutMs, timeouts);
    std::string remove = "rm -rf '" + folder + "'";
    return std::system(remove.c_str()) == 0 && timeouts == 0 ? 0 : 1;
}
