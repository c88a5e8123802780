// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

WorkingDirectory::WorkingDirectory(const QString &path)
    : m_saved(QDir::currentPath())
{
    if (!QDir::setCurrent(path))
        qFatal("cannot enter %s", qPrintable(path));
}

WorkingDirectory::~WorkingDirectory()
{
    QDir::setCurrent(m_saved);
}

QByteArray numberedLines(int n)
{
    QByteArray bytes;
    for (int i = 1; i <= n; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    return bytes;
}

struct SpecialFile::Watchdog
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> released = false;
    std::thread thread;
};

SpecialFile::SpecialFile(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo")) {
        if (::mkfifo(name.constData(), 0600) != 0)
            qFatal("cannot make a pipe at %s", name.constData());
        m_watchdog = std::make_unique<Watchdog>();
        m_watchdog->thread = std::thread([watchdog = m_watchdog.get(), name] {
            std::unique_lock lock(watchdog->mutex);
            if (watchdog->done.wait_for(
                    lock, std::chrono::seconds(5), [watchdog] { return watchdog->finished; }))
                return;
            // A reader or a writer is stuck in open(): the other end, coming and
            // going, releases it.
            watchdog->released = true;
            const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
    } else if (kind == QLatin1String("socket")) {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        if (size_t(name.size()) >= sizeof address.sun_path)
            qFatal("socket path too long: %s", name.constData());
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_socket < 0
            || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || ::listen(m_socket, 1) != 0)
            qFatal("cannot make a socket at %s", name.constData());
    }
}

bool SpecialFile::blocked() const
{
    return m_watchdog && m_watchdog->released;
}

SpecialFile::~SpecialFile()
{
    if (m_watchdog) {
        {
            std::lock_guard lock(m_watchdog->mutex);
            m_watchdog->finished = true;
        }
        m_watchdog->done.notify_all();
        m_watchdog->thread.join();
    }
    if (m_socket >= 0)
        ::close(m_socket);
}
