// SPDX-License-Identifier: GPL-3.0-or-later
// A library preloaded into a Qt 6 program (LD_PRELOAD) that ends it once its whole
// first screen is drawn: every top-level window shown has been exposed and painted.
// Under valgrind --tool=callgrind the program's instructions to its first screen are
// then counted, the same for every program and repeatable, with nothing of the
// benchmark in the program measured.

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QSet>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstScreen final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (window && window->isTopLevel()
            && (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest)) {
            m_drawn.insert(window);
            // Looked at once the event has been handled, the window painted.
            QTimer::singleShot(0, this, [this] { endIfDrawn(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void endIfDrawn()
    {
        const QWindowList windows = QGuiApplication::topLevelWindows();
        int shown = 0;
        for (QWindow *window : windows) {
            if (!window->isVisible() || window->type() == Qt::ToolTip)
                continue;
            ++shown;
            if (!window->isExposed() || !m_drawn.contains(window))
                return;
        }
        if (shown == 0)
            return;
        std::fflush(nullptr);
        std::_Exit(0);
    }

    QSet<QWindow *> m_drawn;
};

void install()
{
    qApp->installEventFilter(new FirstScreen(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
