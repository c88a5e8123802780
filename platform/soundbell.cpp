// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundbell.h"

#include <QFile>
#include <QStandardPaths>

#include <canberra.h>
#include <dlfcn.h>

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>

namespace {

// Faster than this, wrong keys blur into a rattle; one sound says enough.
constexpr qint64 ringIntervalMs = 100;
// A ring still waiting after this long (the sound server was slow to answer) is dropped:
// heard that late, it would point at a later key.
constexpr qint64 staleRingMs = 1000;
// The theme's sound for the X bell, what GNOME and KDE play for it on X11.
constexpr char bellEventId[] = "bell-window-system";

qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

template<typename Function>
bool resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// libcanberra, loaded at run time so that the program starts, and stays silent, where
// it is missing. The library is never unloaded: its sound-server modules keep threads
// and handlers of their own.
class Canberra
{
public:
    Canberra();
    ~Canberra();
    Q_DISABLE_COPY_MOVE(Canberra)

    bool loaded() const { return m_create != nullptr; }
    // Connects to the sound server when not connected and preloads the bell from the
    // named theme (empty: libcanberra's default). False when there is no server.
    bool prepare(const QByteArray &theme);
    // Plays the bell, prepared first.
    void play(const QByteArray &theme);

private:
    void createContext();

    decltype(&ca_context_create) m_create = nullptr;
    decltype(&ca_context_destroy) m_destroy = nullptr;
    decltype(&ca_context_set_driver) m_setDriver = nullptr;
    decltype(&ca_context_change_props) m_changeProps = nullptr;
    decltype(&ca_context_open) m_open = nullptr;
    decltype(&ca_context_cache) m_cache = nullptr;
    decltype(&ca_context_play) m_play = nullptr;
    ca_context *m_context = nullptr;
    bool m_connected = false;
    bool m_cached = false;
    QByteArray m_theme;
};

Canberra::Canberra()
{
    void *library = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return;
    if (!(resolve(library, "ca_context_create", m_create)
            && resolve(library, "ca_context_destroy", m_destroy)
            && resolve(library, "ca_context_set_driver", m_setDriver)
            && resolve(library, "ca_context_change_props", m_changeProps)
            && resolve(library, "ca_context_open", m_open)
            && resolve(library, "ca_context_cache", m_cache)
            && resolve(library, "ca_context_play", m_play))) {
        m_create = nullptr;
        return;
    }
    createContext();
}

Canberra::~Canberra()
{
    if (m_context)
        m_destroy(m_context);
}

void Canberra::createContext()
{
    if (m_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return;
    }
    // Only the PulseAudio protocol, which PipeWire speaks too: libcanberra's fallback,
    // ALSA, prints errors to standard error on a machine without a sound card.
    m_setDriver(m_context, "pulse");
    // The desktop's sound settings list the program by these, and show its icon.
    m_changeProps(m_context, CA_PROP_APPLICATION_NAME, "Keyvale", CA_PROP_APPLICATION_ID,
        KEYVALE_APP_ID, CA_PROP_APPLICATION_ICON_NAME, KEYVALE_APP_ID, nullptr);
}

bool Canberra::prepare(const QByteArray &theme)
{
    if (!m_context)
        return false;
    if (!m_connected)
        m_connected = m_open(m_context) == CA_SUCCESS;
    if (!m_connected)
        return false;
    if (!m_cached || theme != m_theme) {
        m_theme = theme;
        m_changeProps(m_context, CA_PROP_CANBERRA_XDG_THEME_NAME,
            theme.isEmpty() ? "freedesktop" : theme.constData(), nullptr);
        // Uploaded once, the sound plays in about a millisecond instead of being decoded
        // from its file at every ring.
        m_cache(m_context, CA_PROP_EVENT_ID, bellEventId, nullptr);
        m_cached = true;
    }
    return true;
}

void Canberra::play(const QByteArray &theme)
{
    if (!prepare(theme))
        return;
    const int result = m_play(m_context, 0, CA_PROP_EVENT_ID, bellEventId,
        CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
    // The sound server went away (a restart, a new session's server): the next ring
    // connects afresh.
    if (result == CA_ERROR_DISCONNECTED || result == CA_ERROR_STATE) {
        m_destroy(m_context);
        m_connected = false;
        m_cached = false;
        createContext();
    }
}

// GNOME's switches for alert sounds, read through GSettings where the schemas are
// installed. GIO is loaded at run time: building needs no GLib headers, and a program
// on X11, which rings the X bell instead, never loads it. The few functions used are
// GIO's stable C interface, declared here with opaque pointers. GIO stays loaded (GLib's
// types cannot be unloaded).
class GnomeSettings
{
public:
    GnomeSettings();
    ~GnomeSettings();
    Q_DISABLE_COPY_MOVE(GnomeSettings)

    // org.gnome.desktop.sound event-sounds and org.gnome.desktop.wm.preferences
    // audible-bell; on where a schema is missing. Read afresh each time: dconf sees a
    // change made while the program runs at once.
    bool alertSoundsOn() const;
    // org.gnome.desktop.sound theme-name; empty where the schema is missing.
    QByteArray themeName() const;

private:
    void *settings(const char *schemaId, std::initializer_list<const char *> keys) const;

    void *(*m_defaultSource)() = nullptr;
    void *(*m_lookupSchema)(void *source, const char *schemaId, int recursive) = nullptr;
    int (*m_schemaHasKey)(void *schema, const char *key) = nullptr;
    void (*m_unrefSchema)(void *schema) = nullptr;
    void *(*m_newSettings)(void *schema, void *backend, const char *path) = nullptr;
    int (*m_getBoolean)(void *settings, const char *key) = nullptr;
    char *(*m_getString)(void *settings, const char *key) = nullptr;
    void (*m_free)(void *memory) = nullptr;
    void (*m_unrefObject)(void *object) = nullptr;
    void *m_sound = nullptr;
    void *m_windowManager = nullptr;
};

GnomeSettings::GnomeSettings()
{
    void *library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return;
    if (!(resolve(library, "g_settings_schema_source_get_default", m_defaultSource)
            && resolve(library, "g_settings_schema_source_lookup", m_lookupSchema)
            && resolve(library, "g_settings_schema_has_key", m_schemaHasKey)
            && resolve(library, "g_settings_schema_unref", m_unrefSchema)
            && resolve(library, "g_settings_new_full", m_newSettings)
            && resolve(library, "g_settings_get_boolean", m_getBoolean)
            && resolve(library, "g_settings_get_string", m_getString)
            && resolve(library, "g_free", m_free)
            && resolve(library, "g_object_unref", m_unrefObject)))
        return;
    m_sound = settings("org.gnome.desktop.sound", { "event-sounds", "theme-name" });
    m_windowManager = settings("org.gnome.desktop.wm.preferences", { "audible-bell" });
}

GnomeSettings::~GnomeSettings()
{
    for (void *object : { m_sound, m_windowManager }) {
        if (object)
            m_unrefObject(object);
    }
}

void *GnomeSettings::settings(const char *schemaId, std::initializer_list<const char *> keys) const
{
    // GSettings aborts the program on a schema or key it does not know: both are
    // looked up first.
    void *source = m_defaultSource();
    void *schema = source ? m_lookupSchema(source, schemaId, true) : nullptr;
    if (!schema)
        return nullptr;
    bool complete = true;
    for (const char *key : keys)
        complete = complete && m_schemaHasKey(schema, key);
    void *object = complete ? m_newSettings(schema, nullptr, nullptr) : nullptr;
    m_unrefSchema(schema);
    return object;
}

bool GnomeSettings::alertSoundsOn() const
{
    return !(m_sound && !m_getBoolean(m_sound, "event-sounds"))
        && !(m_windowManager && !m_getBoolean(m_windowManager, "audible-bell"));
}

QByteArray GnomeSettings::themeName() const
{
    if (!m_sound)
        return QByteArray();
    char *name = m_getString(m_sound, "theme-name");
    const QByteArray copy(name);
    m_free(name);
    return copy;
}

// KDE's switch, read afresh at each ring: the files are small, and the worker, not the
// keystroke, pays for reading them.
bool kdeBellOn()
{
    QByteArrayList files;
    const QStringList folders
        = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &folder : folders) {
        QFile file(folder + QLatin1String("/kaccessrc"));
        if (file.open(QIODevice::ReadOnly))
            files.append(file.readAll());
    }
    return kdeSystemBellOn(files);
}

// A KConfig boolean: false, no, off and 0 in any case are false; anything else is true.
bool kconfigBool(const QByteArray &value)
{
    const QByteArray lower = value.toLower();
    return lower != "false" && lower != "no" && lower != "off" && lower != "0";
}

} // namespace

bool RingLimiter::admit(qint64 nowMs)
{
    if (m_rung && nowMs - m_lastMs < m_intervalMs)
        return false;
    m_rung = true;
    m_lastMs = nowMs;
    return true;
}

bool kdeSystemBellOn(const QByteArrayList &kaccessrcFiles)
{
    bool on = true;
    // KConfig reads the least important file first; a locked entry stops the rest.
    for (auto file = kaccessrcFiles.crbegin(); file != kaccessrcFiles.crend(); ++file) {
        bool inBell = false;
        bool groupLocked = false;
        for (const QByteArray &rawLine : file->split('\n')) {
            const QByteArray line = rawLine.trimmed();
            if (line.startsWith('[')) {
                groupLocked = line == "[Bell][$i]";
                inBell = groupLocked || line == "[Bell]";
                continue;
            }
            const qsizetype equals = line.indexOf('=');
            if (!inBell || equals < 0)
                continue;
            const QByteArray key = line.left(equals).trimmed();
            if (key != "SystemBell" && key != "SystemBell[$i]")
                continue;
            on = kconfigBool(line.mid(equals + 1).trimmed());
            if (groupLocked || key.endsWith("[$i]"))
                return on;
        }
    }
    return on;
}

struct SoundBell::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finished;
    RingLimiter limiter { ringIntervalMs };
    bool pending = false;
    qint64 ringMs = 0;
    bool stopping = false;
    bool done = false;
};

SoundBell::SoundBell()
    : m_shared(std::make_shared<Shared>())
{
    // Loading libcanberra and connecting to the sound server can take a while (and
    // forever, if the server hangs): the program's start never waits on it.
    m_worker = std::thread(&SoundBell::run, m_shared);
}

SoundBell::~SoundBell()
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_one();
    // A sound server that stopped answering must not hold up the program's end: after a
    // moment the worker is left to end with the process. It holds the shared state.
    const bool done = m_shared->finished.wait_for(
        lock, std::chrono::milliseconds(500), [this] { return m_shared->done; });
    lock.unlock();
    if (done)
        m_worker.join();
    else
        m_worker.detach();
}

void SoundBell::ring()
{
    const qint64 nowMs = steadyMs();
    {
        // The worker holds the lock only to take a ring, never while it plays.
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (!m_shared->limiter.admit(nowMs))
            return;
        m_shared->pending = true;
        m_shared->ringMs = nowMs;
    }
    // Woken after the unlock, the worker does not wait on the lock this thread holds.
    m_shared->wake.notify_one();
}

void SoundBell::run(const std::shared_ptr<Shared> &shared)
{
    {
        Canberra canberra;
        // Without libcanberra there is nothing to play: GIO is not even loaded.
        std::unique_ptr<GnomeSettings> gnome;
        if (canberra.loaded()) {
            gnome = std::make_unique<GnomeSettings>();
            // Connected and the sound preloaded before the first wrong key.
            canberra.prepare(gnome->themeName());
        }
        for (;;) {
            std::unique_lock<std::mutex> lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->pending || shared->stopping; });
            if (shared->stopping)
                break;
            shared->pending = false;
            const qint64 ringMs = shared->ringMs;
            lock.unlock();
            if (!gnome || steadyMs() - ringMs > staleRingMs)
                continue;
            if (gnome->alertSoundsOn() && kdeBellOn())
                canberra.play(gnome->themeName());
        }
    }
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->done = true;
    shared->finished.notify_all();
}
