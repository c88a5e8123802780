// SPDX-License-Identifier: GPL-3.0-or-later
#include "timer.h"

Timer::Timer(int intervalMs, QObject *parent)
    : QTimer(parent)
{
    setInterval(intervalMs);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == isActive())
        return;
    if (enabled)
        start();
    else
        stop();
    Q_EMIT enabledChanged(enabled);
}
