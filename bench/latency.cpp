// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke-to-screen latency, measured as editor latency is measured: real key
// events go into a private X server and the window's pixels around the typing box are
// read until the typed character shows. The practice window and a minimal Qt window
// with one QLineEdit take turns, a row of keys at a time, in the same run.
//
// Usage: latency path/to/keyvale path/to/minimal_window

#include "xsession.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rows = 12; // four blocks of three rows
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
    int first = BoxWidth, last = -1;
    for (int y = 0; y < BoxHeight; ++y) {
        for (int x = 0; x < BoxWidth; ++x) {
            if (XGetPixel(const_cast<XImage *>(a), x, y)
                != XGetPixel(const_cast<XImage *>(b), x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return last - first + 1;
}

// Sends one key and returns the milliseconds until the box shows it.
double typeAndWatch(XSession &x, Window window, int top, char c)
{
    Display *display = x.display();
    Image before;
    before.image
        = XGetImage(display, window, BoxLeft, top, BoxWidth, BoxHeight, AllPlanes, ZPixmap);
    const char name[2] = { c, 0 };
    const double start = nowMs();
    x.key(name);
    for (;;) {
        Image now;
        now.image
            = XGetImage(display, window, BoxLeft, top, BoxWidth, BoxHeight, AllPlanes, ZPixmap);
        const double elapsed = nowMs() - start;
        if (now.image && before.image && changedWidth(before.image, now.image) >= 4)
            return elapsed;
        if (elapsed > TimeoutMs)
            return TimeoutMs;
        usleep(100);
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: latency path/to/keyvale path/to/minimal_window\n");
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
        for (int r = 0; r < Rows; ++r)
            text << row(r) << "\r\n";
    }

    char keyvale[PATH_MAX], minimalWindow[PATH_MAX];
    if (!realpath(argv[1], keyvale) || !realpath(argv[2], minimalWindow)) {
        std::fprintf(stderr, "latency: cannot find the programs\n");
        return 2;
    }

    XSession x;
    const std::string environment = "HOME=" + folder + " LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=" + folder;
    x.start(keyvale, folder, environment);
    const Window dialog = x.waitForWindow("Open");
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

    std::vector<double> ours, floor;
    int timeouts = 0;
    for (int r = 0; r < Rows; ++r) {
        const std::string keys = row(r);
        x.focus(practice);
        usleep(150'000);
        for (char c : keys) {
            ours.push_back(typeAndWatch(x, practice, BoxTops[r % 3], c));
            timeouts += ours.back() >= TimeoutMs;
            usleep(40'000);
        }
        x.focus(minimal);
        usleep(150'000);
        for (char c : keys) {
            floor.push_back(typeAndWatch(x, minimal, BoxTops[0], c));
            timeouts += floor.back() >= TimeoutMs;
            usleep(40'000);
        }
    }

    const Summary a = summarise(ours);
    const Summary b = summarise(floor);
    std::printf("keys per window: %zu (%d rows of %d, row ends and block changes included)\n",
        ours.size(), Rows, RowLength);
    std::printf("%-20s %10s %10s\n", "", "median ms", "p95 ms");
    std::printf("%-20s %10.2f %10.2f\n", "practice window", a.median, a.p95);
    std::printf("%-20s %10.2f %10.2f\n", "minimal QLineEdit", b.median, b.p95);
    std::printf("%-20s %10.2f %10.2f   (targets: 1.25 and 1.50)\n", "ratio", a.median / b.median,
        a.p95 / b.p95);
    std::printf("%-20s %10.2f %10.2f\n", "added ms", a.median - b.median, a.p95 - b.p95);
    if (timeouts)
        std::printf("keys never seen on screen within %.0f ms: %d\n", TimeoutMs, timeouts);
    std::string remove = "rm -rf '" + folder + "'";
    return std::system(remove.c_str()) == 0 && timeouts == 0 ? 0 : 1;
}
