// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixedsizeguard.h"

#include <QEvent>
#include <QWidget>

bool FixedSizeGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->minimumSize() == window->maximumSize()
            && window->windowState().testFlag(Qt::WindowMaximized))
            window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
    }
    return QObject::eventFilter(watched, event);
}
