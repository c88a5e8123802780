// SPDX-License-Identifier: GPL-3.0-or-later
#include "retirewindow.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

void retireWindow(QWidget *window)
{
    window->hide();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Long after any callback already on its way has been delivered.
        constexpr int Delay = 1000;
        QTimer::singleShot(Delay, window, &QObject::deleteLater);
    } else {
        window->deleteLater();
    }
}
