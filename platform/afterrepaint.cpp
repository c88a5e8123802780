// SPDX-License-Identifier: GPL-3.0-or-later
#include "afterrepaint.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// Qt asks for a window's repaint with an event posted at low priority when a widget of
// it first changes, which may be after the handler that calls runAfterRepaint() has
// returned (a key's box takes the key then). An event of that priority posted from the
// handler comes before the request; posted once more from there, it comes after it.
class AfterRepaint final : public QObject
{
public:
    AfterRepaint(QObject *context, std::function<void()> work)
        : QObject(context)
        , m_work(std::move(work))
    {
        post();
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (--m_hopsLeft > 0) {
            post();
        } else {
            deleteLater();
            m_work();
        }
        return true;
    }

private:
    void post()
    {
        QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority);
    }

    std::function<void()> m_work;
    int m_hopsLeft = 2;
};

} // namespace

void runAfterRepaint(QObject *context, std::function<void()> work)
{
    new AfterRepaint(context, std::move(work));
}
