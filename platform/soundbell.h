// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The audible error where the window system has no bell of its own (Wayland).
//
// SoundBell plays the desktop sound theme's "bell-window-system" through libcanberra,
// the sound an X11 desktop plays for the X bell. A worker thread owns the sound
// context: it loads libcanberra, connects to the sound server and preloads the sound,
// then plays when a ring reaches it, so a keystroke never waits on any of it. The
// desktop's own switches for alert sounds are read at each ring, on the worker.
// RingLimiter and kdeSystemBellOn() are the pure pieces, kept apart for the tests.

#include <QByteArrayList>
#include <QtGlobal>

#include <memory>
#include <thread>

// Admits at most one ring per interval: rings inside the interval that follows an
// admitted ring are dropped, so a burst of wrong keys sounds once, not as a rattle.
class RingLimiter
{
public:
    explicit RingLimiter(qint64 intervalMs)
        : m_intervalMs(intervalMs)
    { }

    // Whether a ring at nowMs (a monotonic clock) is to be heard.
    bool admit(qint64 nowMs);

private:
    qint64 m_intervalMs;
    qint64 m_lastMs = 0;
    bool m_rung = false;
};

// Whether KDE's audible system bell is on, given the texts of the kaccessrc files found
// in the configuration folders, the learner's own first (the order of
// QStandardPaths::standardLocations). On unless group [Bell] sets SystemBell to a false
// value; a more important file overrides a less important one unless that one locks the
// key or group with [$i].
bool kdeSystemBellOn(const QByteArrayList &kaccessrcFiles);

class SoundBell final
{
public:
    SoundBell();
    ~SoundBell();
    Q_DISABLE_COPY_MOVE(SoundBell)

    // Asks for the sound and returns at once. Silent when the desktop's alert sounds
    // are off, or when libcanberra, the sound server or the theme is missing.
    void ring();

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared> &shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_worker;
};
