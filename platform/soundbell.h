// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The audible error where the window system has no bell of its own (Wayland).
//
// SoundBell takes rings on the user-interface thread and plays them on a worker thread,
// so that a keystroke never waits on the sound server. What the worker needs comes in
// as parts made on the worker itself: a player, and readers of GNOME's and KDE's
// switches for alert sounds, asked at each ring. desktopbell.h makes the real parts
// (libcanberra, GSettings, KDE's files); the tests give their own.

#include <QByteArray>
#include <QLoggingCategory>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <thread>

Q_DECLARE_LOGGING_CATEGORY(lcBell)

// One desktop's word on alert sounds: whether they are on, and the sound theme it names
// (empty: none named).
struct AlertSound
{
    bool on = true;
    QByteArray theme;
};

// Plays the sound theme's bell. Made, used and destroyed on the worker thread.
class BellPlayer
{
public:
    virtual ~BellPlayer() = default;
    // Gets ready to play from the theme (empty: the default one) before the first ring.
    virtual void prepare(const QByteArray &theme) = 0;
    virtual void play(const QByteArray &theme) = 0;
};

class SoundBell final
{
public:
    // What the worker works with; made on the worker by the factory given.
    struct Parts
    {
        std::unique_ptr<BellPlayer> player;
        std::function<AlertSound()> gnome;
        std::function<AlertSound()> kde;
        // On KDE Plasma the sound theme is KDE's, elsewhere GNOME's.
        bool plasma = false;
    };
    // What became of a ring that reached the worker.
    enum class Outcome { Played, SwitchedOff, Stale };

    // clock is a monotonic clock in milliseconds, read on both threads; heard, when
    // given, learns on the worker what became of each ring.
    SoundBell(std::function<qint64()> clock, std::function<Parts()> makeParts,
        std::function<void(Outcome, const QByteArray &theme)> heard = {});
    ~SoundBell();
    Q_DISABLE_COPY_MOVE(SoundBell)

    // Asks for the sound and returns at once. At most one ring per 100 ms is heard, so a
    // burst of wrong keys sounds once, not as a rattle: a ring within 100 ms of the last
    // one heard is dropped, and false returned. Silent when the desktop's alert sounds
    // are off.
    bool ring();

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared> &shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_worker;
};
