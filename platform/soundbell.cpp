// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundbell.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

Q_LOGGING_CATEGORY(lcBell, "keyvale.bell", QtWarningMsg)

namespace {

// Faster than this, wrong keys blur into a rattle; one sound says enough.
constexpr qint64 RingIntervalMs = 100;
// A ring still waiting after this long (the sound server was slow to answer) is dropped:
// heard that late, it would point at a later key.
constexpr qint64 StaleRingMs = 1000;

} // namespace

struct SoundBell::Shared
{
    std::function<qint64()> clock;
    std::function<Parts()> makeParts;
    std::function<void(Outcome, const QByteArray &)> heard;

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finished;
    std::optional<qint64> lastRingMs;
    bool pending = false;
    qint64 ringMs = 0;
    bool stopping = false;
    bool done = false;
};

SoundBell::SoundBell(std::function<qint64()> clock, std::function<Parts()> makeParts,
    std::function<void(Outcome, const QByteArray &)> heard)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->clock = std::move(clock);
    m_shared->makeParts = std::move(makeParts);
    m_shared->heard = std::move(heard);
    // Loading the sound and connecting to the sound server can take a while (and
    // forever, if the server hangs): the program's start never waits on it.
    m_worker = std::thread(&SoundBell::run, m_shared);
}

SoundBell::~SoundBell()
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_one();
    // A sound server that stopped answering must not hold up the program's end: after a
    // moment the worker is left to end with the process. It holds the shared state.
    const bool done = m_shared->finished.wait_for(
        lock, std::chrono::milliseconds(500), [this] { return m_shared->done; });
    lock.unlock();
    if (done)
        m_worker.join();
    else
        m_worker.detach();
}

bool SoundBell::ring()
{
    const qint64 nowMs = m_shared->clock();
    {
        // The worker holds the lock only to take a ring, never while it plays.
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (m_shared->lastRingMs && nowMs - *m_shared->lastRingMs < RingIntervalMs)
            return false;
        m_shared->lastRingMs = nowMs;
        m_shared->pending = true;
        m_shared->ringMs = nowMs;
    }
    // Woken after the unlock, the worker does not wait on the lock this thread holds.
    m_shared->wake.notify_one();
    return true;
}

void SoundBell::run(const std::shared_ptr<Shared> &shared)
{
    {
        Parts parts = shared->makeParts();
        const auto desktop = [&parts] {
            const AlertSound gnome = parts.gnome();
            const AlertSound kde = parts.kde();
            // Either desktop's switch silences the bell: a learner on one desktop may
            // have turned it off in the other's settings too, never the reverse.
            return AlertSound { gnome.on && kde.on, parts.plasma ? kde.theme : gnome.theme };
        };
        // Connected, and the sound loaded, before the first wrong key.
        parts.player->prepare(desktop().theme);
        for (;;) {
            std::unique_lock<std::mutex> lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->pending || shared->stopping; });
            if (shared->stopping)
                break;
            shared->pending = false;
            const qint64 ringMs = shared->ringMs;
            lock.unlock();

            Outcome outcome = Outcome::Stale;
            AlertSound sound;
            if (shared->clock() - ringMs <= StaleRingMs) {
                sound = desktop();
                outcome = sound.on ? Outcome::Played : Outcome::SwitchedOff;
            }
            if (outcome == Outcome::Played)
                parts.player->play(sound.theme);
            else
                qCDebug(lcBell) << "a ring was not played:"
                                << (outcome == Outcome::Stale ? "too late" : "switched off");
            if (shared->heard)
                shared->heard(outcome, sound.theme);
        }
    }
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->done = true;
    shared->finished.notify_all();
}
