// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Elapsed practice time, read from a monotonic clock and counted only while the
// practice clock runs. Deriving the clock from elapsed time rather than counting
// timer ticks keeps it right when the program is busy and a tick comes late.
class PracticeClock
{
public:
    // Starts a new practice's clock at zero.
    void reset(qint64 nowMs);
    void run(qint64 nowMs);
    void stop(qint64 nowMs);

    // Whole tenths of a second counted so far.
    qint64 tenths(qint64 nowMs) const;

private:
    qint64 m_countedMs = 0;
    qint64 m_runningSince = 0;
    bool m_running = false;
};
