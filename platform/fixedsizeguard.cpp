// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixedsizeguard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class FixedSizeGuard final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::WindowStateChange
            && window->minimumSize() == window->maximumSize()
            && window->windowState().testFlag(Qt::WindowMaximized))
            window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepUnmaximised(QWidget *window)
{
    // One guard for all, freed with the application.
    static auto *guard = new FixedSizeGuard(qApp);
    window->installEventFilter(guard);
}
