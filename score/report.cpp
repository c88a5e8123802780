// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStringEncoder>

#include <chrono>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString FieldLead = QStringLiteral("<p><font color =0000FF  > <body bgcolor=008f70>");

// How long a save waits, at most, for another running copy of the program to finish
// its own: a save takes milliseconds, and the window must not seem to hang.
constexpr std::chrono::milliseconds LockWait { 250 };
constexpr std::chrono::milliseconds LockPause { 10 };

// A name pasted with line breaks or other control characters would break the
// entry's fixed 13 lines; such characters become spaces.
QString oneLineName(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return name;
}

SaveResult failed(const QString &why)
{
    return { false, why };
}

SaveResult failedWith(int error)
{
    return failed(qt_error_string(error));
}

// Whether the name still leads to the open file, and not to one put in its place.
bool stillNamed(const QByteArray &name, int fd)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0
        && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Takes an advisory write lock on the whole file, waiting a moment for another copy
// of the program that holds it. POSIX record locks reach network file systems too.
SaveResult lockWhole(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const QDeadlineTimer deadline(LockWait);
    while (::fcntl(fd, F_SETLK, &lock) != 0) {
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return failedWith(errno);
        if (deadline.hasExpired())
            return failed(QStringLiteral("locked by another running copy of Keyvale"));
        std::this_thread::sleep_for(LockPause);
    }
    return { true, {} };
}

SaveResult writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failedWith(errno);
        if (written == 0)
            return failed(QStringLiteral("nothing could be written"));
        data += written;
        left -= written;
    }
    if (::fsync(fd) != 0)
        return failedWith(errno);
    return { true, {} };
}

} // namespace

QByteArray reportHeaderBytes()
{
    return QByteArrayLiteral("<html><meta charset=\"gb18030\">\r\n");
}

QByteArray reportEntryBytes(const ReportEntry &entry)
{
    QStringList lines;
    lines.append(QStringLiteral("<p><font color =0000FF face =arial >"));
    lines.append(entry.date + QLatin1Char(' ') + entry.time + QStringLiteral("</font></p>"));
    for (size_t i = 0; i < entry.titles.size(); ++i) {
        const QString value
            = i == 0 ? oneLineName(entry.values[i]).toHtmlEscaped() : entry.values[i];
        lines.append(FieldLead);
        lines.append(entry.titles[i] + QStringLiteral("  ") + QStringLiteral(" <font color=FFFF00>")
            + value + QStringLiteral("</p>"));
    }
    lines.append(QString());

    QStringEncoder encoder("GB18030");
    QByteArray bytes;
    for (const QString &line : std::as_const(lines)) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

ReportFile::~ReportFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

SaveResult ReportFile::open(const QString &path)
{
    m_name = QFile::encodeName(path);
    // Appending, without following a symbolic link in the report's place and without
    // waiting on a pipe.
    constexpr int Flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    // A copy that removed the file it had just created (its save failed) may have
    // done so while this one waited for the lock: then open it anew.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = ::open(m_name.constData(), Flags | O_CREAT | O_EXCL, 0666);
        m_created = m_fd >= 0;
        if (m_fd < 0 && errno == EEXIST)
            m_fd = ::open(m_name.constData(), Flags);
        if (m_fd < 0)
            return failedWith(errno);
        struct stat status = {};
        if (::fstat(m_fd, &status) != 0)
            return failedWith(errno);
        if (!S_ISREG(status.st_mode))
            return failed(QStringLiteral("not a regular file"));
        if (const SaveResult locked = lockWhole(m_fd); !locked)
            return locked;
        if (stillNamed(m_name, m_fd))
            return { true, {} };
    }
    return failed(QStringLiteral("removed again and again by another program"));
}

SaveResult ReportFile::append(const QByteArray &bytes, const QByteArray &header)
{
    struct stat status = {};
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0)
        return failed(QStringLiteral("not open"));
    // Under the lock no other copy writes, so this size is where these bytes begin,
    // and cutting back to it takes away nothing but their own.
    const off_t sizeBefore = status.st_size;
    SaveResult result = writeAll(m_fd, sizeBefore == 0 ? header + bytes : bytes);
    // Bytes written into a file that another program has meanwhile renamed away or
    // replaced are not in the report.
    const bool named = stillNamed(m_name, m_fd);
    if (result && named)
        return result;
    if (result)
        result = failed(QStringLiteral("replaced by another program during the save"));
    if (m_created && sizeBefore == 0 && named)
        ::unlink(m_name.constData());
    else if (::ftruncate(m_fd, sizeBefore) == 0)
        ::fsync(m_fd);
    return result;
}

SaveResult appendWhole(const QString &path, const QByteArray &bytes, const QByteArray &header)
{
    ReportFile file;
    if (const SaveResult opened = file.open(path); !opened)
        return opened;
    return file.append(bytes, header);
}
