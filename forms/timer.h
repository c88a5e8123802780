// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

// A timer that is switched on and off. Switching on a running timer leaves its
// interval running; it does not start it over. Every switch is announced, so a clock
// can run exactly while its timer does.
class Timer final : public QTimer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Timer)
public:
    explicit Timer(int intervalMs, QObject *parent);

    void setEnabled(bool enabled);
    bool isEnabled() const { return isActive(); }

Q_SIGNALS:
    void enabledChanged(bool enabled);
};
