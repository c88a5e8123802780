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
// With --errors every fourth key typed is wrong (another letter than the text's), in
// both windows alike: in the practice window it rings the X bell and turns the row's
// marker red as well. Its place moves on by one each row, so that a quarter of the
// row ends are wrong keys too. A quarter of the text's characters stays under the
// third at which the practice fails.
//
// Usage: latency [--rows N] [--errors] [--samples FILE] path/to/keyvale
//        path/to/minimal_window
// (N rows of 20 keys a side, a multiple of 3, default 24: eight blocks; FILE receives
// every key's figures: row, key in the row, practice ms, minimal ms)

#include "xsession.h"

#include <X11/XKBlib.h>
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

constexpr int LetterCount = sizeof Letters - 1;

int letter(int r, int i)
{
    return (r * 7 + i * 3) % LetterCount;
}

bool wrong(int r, int i)
{
    return (r + i) % 4 == 3;
}

std::string row(int r)
{
    std::string text;
    for (int i = 0; i < RowLength; ++i)
        text += Letters[letter(r, i)];
    return text;
}

// The keys typed for row r: the row itself, or with a wrong letter in every fourth place.
std::string typed(int r, bool errors)
{
    std::string keys = row(r);
    for (int i = 0; errors && i < RowLength; ++i) {
        if (wrong(r, i))
            keys[size_t(i)] = Letters[(letter(r, i) + LetterCount / 2) % LetterCount];
    }
    return keys;
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

// X bells rung, as XKB reports them: proof that the wrong keys were taken as errors.
int bellEvent = -1;
int bellsRung = 0;

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
            if (event.type == bellEvent)
                bellsRung += reinterpret_cast<XkbEvent *>(&event)->any.xkb_type == XkbBellNotify;
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
    bool errors = false;
    const char *samplesFile = nullptr;
    int first = 1;
    while (argc > first + 1 && argv[first][0] == '-') {
        if (std::strcmp(argv[first], "--errors") == 0) {
            errors = true;
            ++first;
            continue;
        }
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
            "usage: latency [--rows N] [--errors] [--samples FILE] path/to/keyvale "
            "path/to/minimal_window\n");
        return 2;
    }
    char folderTemplate[] = "/tmp/keyvale-latency-XXXXXX";
    std::string folder = mkdtemp(folderTemplate);
    // The dialog is typed into: keep the path to lower-case letters, digits and . / -
    for (char &c : folder)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (folder != folderTemplate) {
        mkdir(folder.c_str(), 0700);
        rmdir(folderTemplate);
    }
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
    const pid_t keyvalePid = x.start(keyvale, folder, environment);
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
    const pid_t minimalPid = x.start(minimalWindow, folder, environment);
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
    int xkbOpcode, xkbError, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(x.display(), &xkbOpcode, &bellEvent, &xkbError, &xkbMajor, &xkbMinor))
        XkbSelectEvents(x.display(), XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);

    std::vector<double> ours, floor;
    int timeouts = 0;
    for (int r = 0; r < rows; ++r) {
        const std::string keys = typed(r, errors);
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
    XSync(x.display(), False);
    practiceDrawn.drawn(); // the last bells
    std::printf(
        "wrong keys typed: %d; X bells rung: %d\n", errors ? int(ours.size()) / 4 : 0, bellsRung);
    std::printf("%-20s %10s %10s\n", "", "median ms", "p95 ms");
    std::printf("%-20s %10.2f %10.2f\n", "practice window", a.median, a.p95);
    std::printf("%-20s %10.2f %10.2f\n", "minimal QLineEdit", b.median, b.p95);
    std::printf("%-20s %10.2f %10.2f   (targets: 1.15 and 1.30)\n", "ratio", a.median / b.median,
        a.p95 / b.p95);
    std::printf("%-20s %10.2f %10.2f\n", "added ms", a.median - b.median, a.p95 - b.p95);

    // The same keys by kind: a row's last key moves to the next row, and the last key
    // of a block's third row also shows the next three lines. The wrong keys, of
    // every kind, are counted apart as well.
    std::printf("\nmedians by key, practice / minimal ms:\n");
    const char *kinds[] = { "keys within a row", "row ends", "block changes", "wrong keys" };
    for (int kind = 0; kind < (errors ? 4 : 3); ++kind) {
        std::vector<double> practiceKeys, minimalKeys;
        for (size_t i = 0; i < ours.size(); ++i) {
            const bool rowEnd = i % RowLength == RowLength - 1;
            const bool blockEnd = rowEnd && (i / RowLength) % 3 == 2;
            if ((kind == 0 && !rowEnd) || (kind == 1 && rowEnd && !blockEnd)
                || (kind == 2 && blockEnd)
                || (kind == 3 && wrong(int(i) / RowLength, int(i) % RowLength))) {
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
    // The programs first: ending, they may still write into the folder.
    x.stop(keyvalePid);
    x.stop(minimalPid);
    std::string remove = "rm -rf '" + folder + "'";
    return std::system(remove.c_str()) == 0 && timeouts == 0 ? 0 : 1;
}
