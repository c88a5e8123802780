// SPDX-License-Identifier: GPL-3.0-or-later
// The time from a wrong key to the first sound at the sound sink, with the program as a
// Wayland client. bench/sound.sh prepares the session: an X server (DISPLAY) showing a
// nested compositor's window ("Weston Compositor"), the compositor's socket
// (WAYLAND_DISPLAY), and a PulseAudio server whose default sink is the null sink
// "nullsink". The tool opens a practice text in the real program, then types into the
// compositor's window with XTest: two right keys and a wrong one, 100 ms apart, so the
// wrong keys come 300 ms apart (the program sounds at most once per 100 ms, and one
// bell lasts about 105 ms). A thread records the sink's monitor through parec.
//
// One clock for both ends, CLOCK_MONOTONIC. A key's time is read just before XTest
// sends it. A sound's time is when the read holding its first loud millisecond arrived
// from parec, which is asked for 5 ms fragments. The null sink hands each block to its
// monitor as it renders it, so the sound reached the sink no later than that arrival,
// and the key reached the X server no earlier than its time: each figure is an upper
// bound on the true latency, too high by at most one fragment of the monitor plus the
// recorder's wake-up. A real sound card adds its own output buffer, which a null sink
// has not.
//
// Usage: sound_latency [--keys N] path/to/keyvale   (N wrong keys, default 60)

#include "xsession.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int KeyGapMs = 100;
constexpr int RowLength = 30;
constexpr double SilentMs = 1000; // a wrong key with no sound this long after it is silent

// Colours the tool waits for on the compositor's screen (0xRRGGBB).
constexpr unsigned long Selection = 0x308CC6; // the dialog's selected file: Qt's highlight
constexpr unsigned long RowText = 0xC0FFC0; // the practice rows' text
constexpr unsigned long Background = 0x0000C0; // the main window's

// Where a colour shows in a window: how many pixels, and the top-left corner of
// their bounding box.
struct Spot
{
    long count = 0;
    int left = INT_MAX, top = INT_MAX;
};

Spot find(Display *display, Window window, unsigned long colour)
{
    XWindowAttributes attributes {};
    XGetWindowAttributes(display, window, &attributes);
    XImage *image
        = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    Spot spot;
    for (int y = 0; image && y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if (XGetPixel(image, x, y) == colour) {
                ++spot.count;
                spot.left = std::min(spot.left, x);
                spot.top = std::min(spot.top, y);
            }
        }
    }
    if (image)
        XDestroyImage(image);
    return spot;
}

bool waitFor(const std::function<bool()> &shown, const char *what)
{
    const double deadline = nowMs() + 20000;
    while (!shown()) {
        if (nowMs() > deadline) {
            std::fprintf(stderr, "sound_latency: %s did not show\n", what);
            return false;
        }
        usleep(100'000);
    }
    return true;
}

// Records the null sink's monitor and notes when each sound begins: at the first loud
// millisecond after at least 60 ms of quiet.
class Recorder
{
public:
    Recorder()
    {
        int fds[2];
        if (pipe(fds) != 0)
            std::exit(2);
        m_parec = fork();
        if (m_parec == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            execlp("parec", "parec", "--latency-msec=5", "--device=nullsink.monitor",
                "--format=s16le", "--rate=48000", "--channels=2", "--raw", nullptr);
            _exit(127);
        }
        close(fds[1]);
        m_fd = fds[0];
        m_thread = std::thread(&Recorder::run, this);
    }
    ~Recorder()
    {
        if (m_thread.joinable())
            stop();
    }
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    // Whether the recording runs: its first data has come.
    bool listening() const { return m_listening; }

    // Stops recording; the times at which sounds began, in order.
    std::vector<double> stop()
    {
        kill(m_parec, SIGTERM);
        waitpid(m_parec, nullptr, 0);
        m_thread.join();
        close(m_fd);
        return m_onsets;
    }

private:
    void run()
    {
        constexpr size_t Millisecond = 48 * 2 * sizeof(short); // 48 kHz, stereo
        constexpr int Loud = 300; // of 32767
        constexpr int QuietToEnd = 60; // ms
        std::vector<char> pending;
        char buffer[65536];
        int quiet = QuietToEnd;
        for (;;) {
            const ssize_t got = read(m_fd, buffer, sizeof buffer);
            const double arrived = nowMs();
            if (got <= 0)
                return;
            m_listening = true;
            pending.insert(pending.end(), buffer, buffer + got);
            size_t used = 0;
            for (; pending.size() - used >= Millisecond; used += Millisecond) {
                int peak = 0;
                for (size_t i = used; i < used + Millisecond; i += sizeof(short)) {
                    short sample;
                    std::memcpy(&sample, &pending[i], sizeof sample);
                    peak = std::max(peak, std::abs(int(sample)));
                }
                if (peak <= Loud) {
                    ++quiet;
                    continue;
                }
                if (quiet >= QuietToEnd)
                    m_onsets.push_back(arrived);
                quiet = 0;
            }
            pending.erase(pending.begin(), pending.begin() + long(used));
        }
    }

    pid_t m_parec = -1;
    int m_fd = -1;
    std::thread m_thread;
    std::atomic<bool> m_listening { false };
    std::vector<double> m_onsets; // read by stop() only after the thread ended
};

double quantile(std::vector<double> samples, double q)
{
    std::sort(samples.begin(), samples.end());
    return samples[size_t(q * double(samples.size() - 1))];
}

} // namespace

int main(int argc, char *argv[])
{
    int keys = 60;
    int first = 1;
    if (argc > 3 && std::strcmp(argv[1], "--keys") == 0) {
        keys = std::atoi(argv[2]);
        first = 3;
    }
    const char *display = std::getenv("DISPLAY");
    if (argc != first + 1 || keys < 1 || keys > 300 || !display) {
        std::fprintf(stderr, "usage: sound_latency [--keys N] path/to/keyvale (N: 1 to 300)\n");
        return 2;
    }

    // Rows of 'a'; every third key typed is an 'x'. The text is a row longer than what
    // is typed, so the practice never ends, and its errors stay under a third of its
    // characters, so it never fails.
    char folderTemplate[] = "/tmp/keyvale-sound-XXXXXX";
    const std::string folder = mkdtemp(folderTemplate);
    const std::string text = folder + "/text.txt";
    {
        std::ofstream file(text, std::ios::binary);
        for (int r = 0; r <= 3 * keys / RowLength + 1; ++r)
            file << std::string(RowLength, 'a') << "\r\n";
    }

    XSession x(display);
    const Window screen = x.waitForWindow("Weston Compositor");
    if (!screen) {
        std::fprintf(stderr, "sound_latency: no compositor window on %s\n", display);
        return 1;
    }
    x.focus(screen);
    const pid_t keyvale
        = x.start(argv[first], folder, "QT_QPA_PLATFORM=wayland LC_ALL=C.UTF-8", { text });
    Display *d = x.display();
    // The open-file dialog shows with the text selected: Return opens it.
    if (!waitFor([&] { return find(d, screen, Selection).count > 1000; }, "the open-file dialog"))
        return 1;
    x.key("Return");
    if (!waitFor(
            [&] {
                return find(d, screen, Selection).count == 0
                    && find(d, screen, RowText).count > 1000;
            },
            "the practice"))
        return 1;
    // The click puts the keyboard into the first typing box.
    const Spot window = find(d, screen, Background);
    x.click(screen, window.left + 406, window.top + 233);

    Recorder recorder;
    if (!waitFor([&] { return recorder.listening(); }, "the recording"))
        return 1;
    usleep(300'000); // the click reaching the program, and the box taking the keyboard
    std::vector<double> sent;
    for (int i = 0; i < keys; ++i) {
        x.key("a");
        usleep(KeyGapMs * 1000);
        x.key("a");
        usleep(KeyGapMs * 1000);
        sent.push_back(nowMs());
        x.key("x");
        usleep(KeyGapMs * 1000);
    }
    usleep(500'000);
    const std::vector<double> onsets = recorder.stop();

    std::vector<double> latencies;
    for (double key : sent) {
        const auto onset = std::lower_bound(onsets.begin(), onsets.end(), key);
        if (onset != onsets.end() && *onset - key < SilentMs)
            latencies.push_back(*onset - key);
    }
    std::printf("wrong keys: %d, %d ms apart; sounds heard: %zu, within %.0f ms of a key: %zu\n",
        keys, 3 * KeyGapMs, onsets.size(), SilentMs, latencies.size());
    if (latencies.empty())
        return 1;
    std::printf("%-20s %10s %10s %10s\n", "", "median ms", "p95 ms", "max ms");
    std::printf("%-20s %10.2f %10.2f %10.2f\n", "key to first sound", quantile(latencies, 0.5),
        quantile(latencies, 0.95), quantile(latencies, 1));
    std::printf("every key, ms:");
    for (double latency : latencies)
        std::printf(" %.1f", latency);
    std::printf("\n");
    x.stop(keyvale);
    std::system(("rm -rf '" + folder + "'").c_str());
    return int(latencies.size()) == keys && int(onsets.size()) == keys ? 0 : 1;
}
