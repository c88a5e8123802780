// SPDX-License-Identifier: GPL-3.0-or-later
#include "practiceclock.h"

#include <algorithm>

void PracticeClock::reset(qint64 nowMs)
{
    m_countedMs = 0;
    m_runningSince = nowMs;
}

void PracticeClock::run(qint64 nowMs)
{
    if (m_running)
        return;
    m_running = true;
    m_runningSince = nowMs;
}

void PracticeClock::stop(qint64 nowMs)
{
    if (!m_running)
        return;
    m_countedMs += std::max<qint64>(0, nowMs - m_runningSince);
    m_running = false;
}

qint64 PracticeClock::tenths(qint64 nowMs) const
{
    const qint64 ms = m_countedMs + (m_running ? std::max<qint64>(0, nowMs - m_runningSince) : 0);
    return ms / 100;
}
