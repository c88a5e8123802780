// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardhandover.h"

#include "xdg-activation-v1-client-protocol.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qwindowsysteminterface.h>

#include <wayland-client.h>

#include <cstring>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcHandOver, "keyvale.handover", QtWarningMsg)

namespace {

QPlatformNativeInterface *native()
{
    return QGuiApplication::platformNativeInterface();
}

} // namespace

// The compositor's activation interface, and a pointer and a keyboard of the program's
// own, on an event queue of the program's own: what arrives there, and waiting there for
// the compositor, leaves Qt's own events to Qt.
class KeyboardHandOver::Wayland final
{
public:
    // Null where the compositor does not offer the activation interface.
    static std::unique_ptr<Wayland> create();
    ~Wayland();
    Q_DISABLE_COPY_MOVE(Wayland)

    bool activate(QWindow *from, QWindow *to);

private:
    explicit Wayland(wl_display *display);
    static const wl_pointer_listener &pointerListener();
    static const wl_keyboard_listener &keyboardListener();
    // Follows the keyboard until it reaches the window activated (the compositor moves it
    // a little later), and says so.
    void watchArrival();

    wl_display *m_display;
    wl_event_queue *m_queue;
    xdg_activation_v1 *m_activation = nullptr;
    wl_pointer *m_pointer = nullptr;
    wl_keyboard *m_keyboard = nullptr;
    quint32 m_pressSerial = 0;
    quint32 m_releaseSerial = 0;
    wl_surface *m_keyboardFocus = nullptr;
    wl_surface *m_awaited = nullptr;
    QPointer<QWindow> m_awaitedWindow;
    QElapsedTimer m_sinceActivation;
    QTimer m_arrival;
};

KeyboardHandOver::Wayland::Wayland(wl_display *display)
    : m_display(display)
    , m_queue(wl_display_create_queue(display))
{
    // The registry, and what is bound through it, send their events to this queue.
    auto *wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), m_queue);
    wl_registry *registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    static const wl_registry_listener listener {
        [](void *data, wl_registry *bound, uint32_t name, const char *interface, uint32_t) {
            auto *self = static_cast<Wayland *>(data);
            if (!self->m_activation
                && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
                self->m_activation = static_cast<xdg_activation_v1 *>(
                    wl_registry_bind(bound, name, &xdg_activation_v1_interface, 1));
        },
        [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry_add_listener(registry, &listener, this);
    wl_display_roundtrip_queue(m_display, m_queue);
    wl_registry_destroy(registry);

    // A pointer and a keyboard of its own on the seat hear the clicks that Qt hears, with
    // their serials, and where the keyboard goes.
    if (auto *seat = static_cast<wl_seat *>(native()->nativeResourceForIntegration("wl_seat"))) {
        auto *seatWrapper = static_cast<wl_seat *>(wl_proxy_create_wrapper(seat));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(seatWrapper), m_queue);
        m_pointer = wl_seat_get_pointer(seatWrapper);
        m_keyboard = wl_seat_get_keyboard(seatWrapper);
        wl_proxy_wrapper_destroy(seatWrapper);
        wl_pointer_add_listener(m_pointer, &pointerListener(), this);
        wl_keyboard_add_listener(m_keyboard, &keyboardListener(), this);
    }
    m_arrival.setInterval(10);
    QObject::connect(&m_arrival, &QTimer::timeout, &m_arrival, [this] { watchArrival(); });
}

KeyboardHandOver::Wayland::~Wayland()
{
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
    if (m_activation)
        xdg_activation_v1_destroy(m_activation);
    wl_display_flush(m_display);
    wl_event_queue_destroy(m_queue);
}

const wl_pointer_listener &KeyboardHandOver::Wayland::pointerListener()
{
    static const wl_pointer_listener listener = [] {
        wl_pointer_listener ignoring = {};
        ignoring.enter = [](void *, wl_pointer *, uint32_t, wl_surface *, wl_fixed_t, wl_fixed_t) {
        };
        ignoring.leave = [](void *, wl_pointer *, uint32_t, wl_surface *) {
        };
        ignoring.motion = [](void *, wl_pointer *, uint32_t, wl_fixed_t, wl_fixed_t) {
        };
        ignoring.button = [](void *data, wl_pointer *, uint32_t serial, uint32_t, uint32_t,
                              uint32_t state) {
            auto *self = static_cast<Wayland *>(data);
            (state == WL_POINTER_BUTTON_STATE_PRESSED ? self->m_pressSerial : self->m_releaseSerial)
                = serial;
        };
        ignoring.axis = [](void *, wl_pointer *, uint32_t, uint32_t, wl_fixed_t) {
        };
        ignoring.frame = [](void *, wl_pointer *) {
        };
        ignoring.axis_source = [](void *, wl_pointer *, uint32_t) {
        };
        ignoring.axis_stop = [](void *, wl_pointer *, uint32_t, uint32_t) {
        };
        ignoring.axis_discrete = [](void *, wl_pointer *, uint32_t, int32_t) {
        };
        ignoring.axis_value120 = [](void *, wl_pointer *, uint32_t, int32_t) {
        };
        return ignoring;
    }();
    return listener;
}

const wl_keyboard_listener &KeyboardHandOver::Wayland::keyboardListener()
{
    static const wl_keyboard_listener listener = [] {
        wl_keyboard_listener following = {};
        following.keymap = [](void *, wl_keyboard *, uint32_t, int32_t fd, uint32_t) {
            ::close(fd);
        };
        following.enter = [](void *data, wl_keyboard *, uint32_t, wl_surface *surface, wl_array *) {
            static_cast<Wayland *>(data)->m_keyboardFocus = surface;
        };
        following.leave = [](void *data, wl_keyboard *, uint32_t, wl_surface *) {
            static_cast<Wayland *>(data)->m_keyboardFocus = nullptr;
        };
        following.key = [](void *, wl_keyboard *, uint32_t, uint32_t, uint32_t, uint32_t) {
        };
        following.modifiers
            = [](void *, wl_keyboard *, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
              };
        following.repeat_info = [](void *, wl_keyboard *, int32_t, int32_t) {
        };
        return following;
    }();
    return listener;
}

void KeyboardHandOver::Wayland::watchArrival()
{
    wl_display_dispatch_queue_pending(m_display, m_queue);
    const bool arrived = m_keyboardFocus && m_keyboardFocus == m_awaited;
    if (!arrived && m_sinceActivation.elapsed() < 2000)
        return;
    m_arrival.stop();
    const QString title = m_awaitedWindow ? m_awaitedWindow->title() : QString();
    if (arrived)
        qCDebug(lcHandOver).noquote()
            << "keyboard with" << title << "after" << m_sinceActivation.elapsed() << "ms";
    else
        qCWarning(lcHandOver).noquote() << "the compositor did not give the keyboard to" << title;
}

std::unique_ptr<KeyboardHandOver::Wayland> KeyboardHandOver::Wayland::create()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    auto *display = static_cast<wl_display *>(native()->nativeResourceForIntegration("wl_display"));
    if (!display)
        return nullptr;
    std::unique_ptr<Wayland> created(new Wayland(display));
    if (created->m_activation)
        return created;
    qCWarning(lcHandOver) << "the compositor offers no xdg_activation_v1";
    return nullptr;
}

bool KeyboardHandOver::Wayland::activate(QWindow *from, QWindow *to)
{
    auto *fromSurface
        = static_cast<wl_surface *>(native()->nativeResourceForWindow("surface", from));
    auto *toSurface = static_cast<wl_surface *>(native()->nativeResourceForWindow("surface", to));
    if (!fromSurface || !toSurface)
        return false;
    // The learner's last input on the seat shows the compositor that the hand-over answers
    // the learner, not a window pushing itself forward. Qt keeps the serial of the last
    // event; when that is a click's release, the compositor knows the click by its press.
    wl_display_dispatch_queue_pending(m_display, m_queue);
    auto *seat = static_cast<wl_seat *>(native()->nativeResourceForIntegration("wl_seat"));
    quint32 serial = quint32(quintptr(native()->nativeResourceForIntegration("serial")));
    if (m_releaseSerial != 0 && serial == m_releaseSerial)
        serial = m_pressSerial;

    struct Answer
    {
        QByteArray token;
        bool done = false;
    } answer;
    static const xdg_activation_token_v1_listener listener {
        [](void *data, xdg_activation_token_v1 *, const char *token) {
            auto *reply = static_cast<Answer *>(data);
            reply->token = token;
            reply->done = true;
        },
    };
    xdg_activation_token_v1 *token = xdg_activation_v1_get_activation_token(m_activation);
    xdg_activation_token_v1_add_listener(token, &listener, &answer);
    if (seat && serial)
        xdg_activation_token_v1_set_serial(token, serial, seat);
    xdg_activation_token_v1_set_surface(token, fromSurface);
    xdg_activation_token_v1_commit(token);
    // The compositor answers the commit at once: one round trip waits for it, no longer.
    wl_display_roundtrip_queue(m_display, m_queue);
    xdg_activation_token_v1_destroy(token);
    if (!answer.done) {
        qCWarning(lcHandOver) << "the compositor gave no activation token";
        return false;
    }
    xdg_activation_v1_activate(m_activation, answer.token.constData(), toSurface);
    wl_display_flush(m_display);
    m_awaited = toSurface;
    m_awaitedWindow = to;
    m_sinceActivation.start();
    m_arrival.start();
    // Qt asks the compositor to activate whichever window it takes to be active, each time
    // its focus moves: told now, before it acts on the click, that the keyboard has moved
    // on, it does not ask to have from activated again behind this request.
    QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(
        to, Qt::ActiveWindowFocusReason);
    return true;
}

KeyboardHandOver::KeyboardHandOver()
    : m_wayland(Wayland::create())
{ }

KeyboardHandOver::~KeyboardHandOver() = default;

bool KeyboardHandOver::handOver(QWindow *from, QWindow *to)
{
    if (!from || !to)
        return false;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        to->requestActivate();
    else if (!m_wayland || !m_wayland->activate(from, to))
        return false;
    qCDebug(lcHandOver).noquote() << "activated" << to->title();
    return true;
}
