// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopbell.h"

#include <QFile>
#include <QSet>
#include <QStandardPaths>

#include <canberra.h>
#include <gio/gio.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>
#include <utility>

namespace {

// The theme's sound for the X bell, what GNOME and KDE play for it on X11.
constexpr char BellEventId[] = "bell-window-system";
// Real KDE settings files are a few KiB; more than this is not a settings file.
constexpr qint64 MaxSettingsBytes = 64 * 1024;

// Every failure is logged once: a ring does not repeat what an earlier one said.
void warnOnce(const QString &what)
{
    // Used on the bell's worker thread only.
    static QSet<QString> said;
    if (!said.contains(what)) {
        said.insert(what);
        qCWarning(lcBell).noquote() << what;
    }
}

class CanberraPlayer final : public BellPlayer
{
public:
    CanberraPlayer() { createContext(); }
    ~CanberraPlayer() override;
    Q_DISABLE_COPY_MOVE(CanberraPlayer)

    // Connects to the sound server when not connected and loads the bell from the named
    // theme into it. Without a server it tries again at the next ring.
    void prepare(const QByteArray &theme) override;
    void play(const QByteArray &theme) override;

private:
    void createContext();
    bool succeeded(int result, const char *call);

    ca_context *m_context = nullptr;
    bool m_connected = false;
    bool m_cached = false;
    QByteArray m_theme;
};

CanberraPlayer::~CanberraPlayer()
{
    if (m_context)
        ca_context_destroy(m_context);
}

bool CanberraPlayer::succeeded(int result, const char *call)
{
    if (result == CA_SUCCESS)
        return true;
    warnOnce(QStringLiteral("%1: %2").arg(QLatin1String(call), QLatin1String(ca_strerror(result))));
    return false;
}

void CanberraPlayer::createContext()
{
    if (!succeeded(ca_context_create(&m_context), "ca_context_create")) {
        m_context = nullptr;
        return;
    }
    // Only the PulseAudio protocol, which PipeWire speaks too: libcanberra's fallback,
    // ALSA, prints errors to standard error on a machine without a sound card.
    succeeded(ca_context_set_driver(m_context, "pulse"), "ca_context_set_driver");
    // The desktop's sound settings list the program by these, and show its icon.
    succeeded(ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Keyvale",
                  CA_PROP_APPLICATION_ID, KEYVALE_APP_ID, CA_PROP_APPLICATION_ICON_NAME,
                  KEYVALE_APP_ID, nullptr),
        "ca_context_change_props");
}

void CanberraPlayer::prepare(const QByteArray &theme)
{
    if (!m_context)
        return;
    if (!m_connected)
        m_connected = succeeded(ca_context_open(m_context), "ca_context_open");
    if (!m_connected || (m_cached && theme == m_theme))
        return;
    m_theme = theme;
    succeeded(ca_context_change_props(m_context, CA_PROP_CANBERRA_XDG_THEME_NAME,
                  theme.isEmpty() ? "freedesktop" : theme.constData(), nullptr),
        "ca_context_change_props");
    // Uploaded once, the sound plays in about a millisecond instead of being decoded
    // from its file at every ring.
    m_cached = succeeded(
        ca_context_cache(m_context, CA_PROP_EVENT_ID, BellEventId, nullptr), "ca_context_cache");
}

void CanberraPlayer::play(const QByteArray &theme)
{
    prepare(theme);
    if (!m_connected)
        return;
    const int result = ca_context_play(m_context, 0, CA_PROP_EVENT_ID, BellEventId,
        CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
    succeeded(result, "ca_context_play");
    // The sound server went away (a restart, a new session's server): the next ring
    // connects afresh.
    if (result == CA_ERROR_DISCONNECTED || result == CA_ERROR_STATE) {
        ca_context_destroy(m_context);
        m_connected = false;
        m_cached = false;
        createContext();
    }
}

// GNOME's switches for alert sounds, where its schemas are installed. Read afresh at
// each ring: dconf sees a change made while the program runs at once.
class GnomeAlertSettings final
{
public:
    GnomeAlertSettings();
    ~GnomeAlertSettings();
    Q_DISABLE_COPY_MOVE(GnomeAlertSettings)

    // On unless org.gnome.desktop.sound event-sounds or org.gnome.desktop.wm.preferences
    // audible-bell is off; the theme of org.gnome.desktop.sound theme-name.
    AlertSound read() const;

private:
    using Keys = std::initializer_list<std::pair<const char *, const GVariantType *>>;
    static GSettings *settings(const char *schemaId, Keys keys);

    GSettings *m_sound = nullptr;
    GSettings *m_windowManager = nullptr;
};

GnomeAlertSettings::GnomeAlertSettings()
    : m_sound(settings("org.gnome.desktop.sound",
        { { "event-sounds", G_VARIANT_TYPE_BOOLEAN }, { "theme-name", G_VARIANT_TYPE_STRING } }))
    , m_windowManager(settings(
          "org.gnome.desktop.wm.preferences", { { "audible-bell", G_VARIANT_TYPE_BOOLEAN } }))
{ }

GnomeAlertSettings::~GnomeAlertSettings()
{
    for (GSettings *object : { m_sound, m_windowManager }) {
        if (object)
            g_object_unref(object);
    }
}

GSettings *GnomeAlertSettings::settings(const char *schemaId, Keys keys)
{
    // GSettings aborts the program on a schema or key it does not know, and complains at
    // every reading of a key of another type (a broken or foreign schema): each is checked
    // first, and a schema that fails is taken as missing.
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema
        = source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
    if (!schema)
        return nullptr;
    bool usable = true;
    for (const auto &[name, type] : keys) {
        GSettingsSchemaKey *key = g_settings_schema_has_key(schema, name)
            ? g_settings_schema_get_key(schema, name)
            : nullptr;
        if (!key || !g_variant_type_equal(g_settings_schema_key_get_value_type(key), type)) {
            warnOnce(QStringLiteral("GSettings schema %1 has no key %2 of type %3: not read")
                         .arg(QLatin1String(schemaId), QLatin1String(name),
                             QLatin1String(g_variant_type_peek_string(type),
                                 qsizetype(g_variant_type_get_string_length(type)))));
            usable = false;
        }
        if (key)
            g_settings_schema_key_unref(key);
    }
    GSettings *object = usable ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
    g_settings_schema_unref(schema);
    return object;
}

AlertSound GnomeAlertSettings::read() const
{
    AlertSound sound;
    if (m_sound) {
        sound.on = g_settings_get_boolean(m_sound, "event-sounds");
        gchar *theme = g_settings_get_string(m_sound, "theme-name");
        sound.theme = theme;
        g_free(theme);
    }
    if (m_windowManager)
        sound.on = sound.on && g_settings_get_boolean(m_windowManager, "audible-bell");
    return sound;
}

// A settings file's text: only a regular file, opened without waiting (a named pipe in
// its place would block), and no more than a settings file can hold.
QByteArray readSettingsFile(const QString &path)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            warnOnce(QStringLiteral("%1: %2").arg(path, qt_error_string(errno)));
        return QByteArray();
    }
    QByteArray text;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        warnOnce(QStringLiteral("%1: not a regular file, not read").arg(path));
    } else {
        text.resize(MaxSettingsBytes);
        qsizetype size = 0;
        while (size < text.size()) {
            const ssize_t got = ::read(fd, text.data() + size, size_t(text.size() - size));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            size += got;
        }
        if (size == MaxSettingsBytes)
            warnOnce(QStringLiteral("%1: only its first %2 bytes are read").arg(path).arg(size));
        text.truncate(size);
    }
    ::close(fd);
    return text;
}

// The texts of a KDE configuration file found in the configuration folders, the
// learner's first.
QByteArrayList kdeConfigFiles(const QString &name)
{
    QByteArrayList texts;
    const QStringList folders
        = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &folder : folders)
        texts.append(readSettingsFile(folder + QLatin1Char('/') + name));
    return texts;
}

// A KConfig boolean: false, no, off and 0 in any case are false; anything else is true.
bool kconfigBool(const std::optional<QByteArray> &value)
{
    if (!value)
        return true;
    const QByteArray lower = value->toLower();
    return lower != "false" && lower != "no" && lower != "off" && lower != "0";
}

bool onPlasma()
{
    const QByteArrayList desktops = qgetenv("XDG_CURRENT_DESKTOP").split(':');
    return desktops.contains("KDE");
}

} // namespace

std::optional<QByteArray> kconfigValue(
    const QByteArrayList &files, const QByteArray &group, const QByteArray &key)
{
    static const QByteArray Lock = QByteArrayLiteral("[$i]");
    const QByteArray header = '[' + group + ']';
    std::optional<QByteArray> value;
    // KConfig reads the least important file first; what a file locks, the files read
    // after it cannot change.
    for (auto file = files.crbegin(); file != files.crend(); ++file) {
        bool atTop = true;
        bool fileLocked = false;
        bool inGroup = false;
        bool groupLocked = false;
        bool entryLocked = false;
        for (const QByteArray &rawLine : file->split('\n')) {
            const QByteArray line = rawLine.trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            if (std::exchange(atTop, false) && line == Lock) {
                fileLocked = true;
                continue;
            }
            if (line.startsWith('[')) {
                const bool locked = line.endsWith(Lock) && line != Lock;
                inGroup = (locked ? line.chopped(Lock.size()) : line) == header;
                groupLocked = groupLocked || (inGroup && locked);
                continue;
            }
            const qsizetype equals = line.indexOf('=');
            if (!inGroup || equals < 0 || entryLocked)
                continue;
            QByteArray name = line.left(equals).trimmed();
            const bool locked = name.endsWith(Lock);
            if (locked)
                name.chop(Lock.size());
            if (name != key)
                continue;
            value = line.mid(equals + 1).trimmed();
            entryLocked = locked;
        }
        if (fileLocked || groupLocked || entryLocked)
            break;
    }
    return value;
}

AlertSound kdeAlertSound(const QByteArrayList &kaccessrc, const QByteArrayList &kdeglobals)
{
    AlertSound sound;
    sound.on = kconfigBool(kconfigValue(kaccessrc, "Bell", "SystemBell"))
        && kconfigBool(kconfigValue(kdeglobals, "Sounds", "Enable"));
    sound.theme = kconfigValue(kdeglobals, "Sounds", "Theme").value_or(QByteArrayLiteral("ocean"));
    return sound;
}

SoundBell::Parts desktopBellParts()
{
    SoundBell::Parts parts;
    parts.player = std::make_unique<CanberraPlayer>();
    auto gnome = std::make_shared<GnomeAlertSettings>();
    parts.gnome = [gnome] {
        return gnome->read();
    };
    // KDE's files are small and read afresh at each ring: the worker, not the
    // keystroke, pays for it.
    parts.kde = [] {
        return kdeAlertSound(kdeConfigFiles(QStringLiteral("kaccessrc")),
            kdeConfigFiles(QStringLiteral("kdeglobals")));
    };
    parts.plasma = onPlasma();
    return parts;
}
